// The "Button" class's visual style for the skinned buttons' default look (check box, radio
// button, group box), open only while visual styles are in use.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/win32/platform.h"

namespace zaprelay::skin {

// The "Button" class's parts.
inline constexpr int kBpRadioButton = 2;
inline constexpr int kBpCheckBox = 3;
inline constexpr int kBpGroupBox = 4;

class TButtonTheme {
public:
    // Opens the class's theme data for window when visual styles are drawn; empty otherwise.
    explicit TButtonTheme(HWND window);
    ~TButtonTheme();
    TButtonTheme(const TButtonTheme&) = delete;
    TButtonTheme& operator=(const TButtonTheme&) = delete;

    explicit operator bool() const { return m_theme != nullptr; }

    void Draw(HDC dc, int part, int state, const TRect& rect) const;

private:
    HANDLE m_theme = nullptr;
};

}  // namespace zaprelay::skin
