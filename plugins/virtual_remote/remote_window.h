// The remote control window: a small always-on-top tool window that draws the buttons and
// turns mouse presses (and keys, once the remote has been clicked outside its buttons)
// into codes with repeat counts. It lives on the plug-in's own thread.
#pragma once

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"
#include "plugins/virtual_remote/remote_settings.h"
#include "plugins/virtual_remote/repeat_schedule.h"

#include <optional>

namespace zaprelay::remote {

// What the window needs from the plug-in.
class TRemoteHost {
public:
    virtual ~TRemoteHost() = default;
    // Delivers one code; returns when the program has handled it.
    virtual void SendCode(std::size_t button, int32_t repeatCount) = 0;
    // The settings in force (the settings dialog may change them at any time).
    virtual TRemoteSettings Settings() = 0;
    // The user has moved the remote.
    virtual void Moved(TRemotePosition position) = 0;
};

class TRemoteWindow {
public:
    static constexpr wchar_t kClassName[] = L"ZaprelayVirtualRemote";
    static constexpr wchar_t kTitle[] = L"Virtual remote";
    // Posted to end the window (and the thread's message loop).
    static constexpr UINT kCloseMessage = WM_APP + 1;
    // The light that is lit while a button is down, labelled, in the title strip short of its
    // right corner: a lone dot in that corner reads as a close box. Client pixels.
    static constexpr TRect kHeldLight = {148, 12, 156, 20};
    static constexpr TRect kHeldLabelBounds = {161, 4, 188, kTitleHeight - 2};
    static constexpr wchar_t kHeldLabel[] = L"held";

    explicit TRemoteWindow(TRemoteHost& host) : m_host(host) {}
    ~TRemoteWindow();
    TRemoteWindow(const TRemoteWindow&) = delete;
    TRemoteWindow& operator=(const TRemoteWindow&) = delete;

    static bool RegisterWindowClass(HINSTANCE module);
    static void UnregisterWindowClass(HINSTANCE module);

    // Creates and shows the window without taking the focus; null on failure.
    HWND Create(HINSTANCE module, std::optional<TRemotePosition> position);
    HWND Handle() const { return m_window; }

private:
    enum class TPressSource { Mouse, Key };

    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    void Press(int button, TPressSource source, WPARAM key = 0);
    void EndPress();
    void RepeatTick();
    void SetHover(int button);
    void InvalidateButton(int button);
    void Paint(HDC dc);
    void PaintButton(HDC dc, std::size_t index);
    void PaintHeldLight(HDC dc);
    void MakeFonts();

    TRemoteHost& m_host;
    HWND m_window = nullptr;
    win32::TFontHandle m_titleFont;
    win32::TFontHandle m_labelFont;
    win32::TFontHandle m_digitFont;
    win32::TFontHandle m_statusFont;

    int m_pressed = -1;
    int m_hover = -1;
    TPressSource m_source = TPressSource::Mouse;
    WPARAM m_pressedKey = 0;
    std::optional<TRepeatSchedule> m_schedule;
    bool m_trackingLeave = false;
};

}  // namespace zaprelay::remote
