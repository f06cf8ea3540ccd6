// A hidden window whose messages go to a handler: for components that need a window of their
// own for posted work or system callbacks (tray icon, deferred re-hooking) but show nothing.
#pragma once

#include "framework/rtl/message.h"
#include "framework/win32/platform.h"

#include <functional>

namespace zaprelay::win32 {

class TUtilityWindow {
public:
    // The handler gets every message once the window exists, with no default processing after
    // it; it sets Result. Exceptions it raises go to the
    // application's handler and the message is answered with 0. A message-only window gets
    // no broadcasts: a component that must hear the end of the session asks for a top-level one.
    using THandler = std::function<void(TMessage&)>;
    explicit TUtilityWindow(THandler handler, bool hearsBroadcasts = false);
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;

    HWND Handle() const { return m_window; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    THandler m_handler;
    HWND m_window = nullptr;
};

}  // namespace zaprelay::win32
