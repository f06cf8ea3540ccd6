// The small pop-up that shows a control's hint under the mouse pointer.
#pragma once

#include "framework/win32/platform.h"

#include <string>

namespace zaprelay::win32 {

class THintWindow {
public:
    THintWindow();
    ~THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    // Shows text with its top-left corner at the screen point, kept inside the work area.
    void ActivateHint(int x, int y, const std::u16string& text);
    void ReleaseHandle();
    HWND Handle() const { return m_window; }
    bool Showing() const;
    const std::u16string& Text() const { return m_text; }

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    HWND m_window = nullptr;
    std::u16string m_text;
};

}  // namespace zaprelay::win32
