#include "framework/win32/utility_window.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/application.h"
#include "framework/win32/win_control.h"

namespace zaprelay::win32 {
namespace {

constexpr wchar_t kClassName[] = L"ZaprelayUtilityWindow";
constexpr char kNoWindow[] = "Error creating window";

const wchar_t* UtilityWindowClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc) != 0;
    }();
    return registered ? kClassName : nullptr;
}

}  // namespace

TUtilityWindow::TUtilityWindow(THandler handler, bool hearsBroadcasts) : m_handler(std::move(handler)) {
    const wchar_t* windowClass = UtilityWindowClass(&TUtilityWindow::WindowProc);
    if (windowClass != nullptr) {
        m_window =
            CreateWindowExW(WS_EX_TOOLWINDOW, windowClass, L"", WS_POPUP, 0, 0, 0, 0,
                            hearsBroadcasts ? nullptr : HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    if (m_window == nullptr) {
        throw EOutOfResources(kNoWindow);
    }
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilityWindow::~TUtilityWindow() {
    // Messages already queued for the window go nowhere once it is gone.
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || !self->m_handler) {
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    TMessage message{msg, wParam, lParam, 0};
    try {
        self->m_handler(message);
    } catch (...) {
        HandleCurrentException(nullptr);
        return 0;
    }
    return message.Result;
}

}  // namespace zaprelay::win32
