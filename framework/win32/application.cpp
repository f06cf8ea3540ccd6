#include "framework/win32/application.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/forms.h"
#include "framework/win32/hint_window.h"
#include "framework/win32/screen.h"

#include <algorithm>
#include <stdexcept>

namespace zaprelay::win32 {
namespace {

TApplication* g_application = nullptr;

constexpr wchar_t kAppClass[] = L"TApplication";
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

std::u16string ExecutableTitle() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string name(reinterpret_cast<const char16_t*>(path), length);
    name = name.substr(name.find_last_of(u"\\/") + 1);
    if (std::size_t dot = name.find_last_of(u'.'); dot != std::u16string::npos) {
        name.resize(dot);
    }
    return name;
}

// The short part of a hint: the text before a '|'.
std::u16string ShortHint(const std::u16string& hint) {
    return hint.substr(0, hint.find(u'|'));
}

void ShowErrorBox(HWND owner, const std::u16string& text, const std::u16string& title) {
    MessageBoxW(owner, WidePtr(text), WidePtr(title), MB_OK | MB_ICONSTOP);
}

}  // namespace

TApplication* Application() {
    return g_application;
}

std::u16string WideFromAnsi(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(wide.data()),
                        length);
    return wide;
}

std::string AnsiFromWide(const std::u16string& text) {
    if (text.empty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    int length = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), ansi.data(), length, nullptr, nullptr);
    return ansi;
}

std::string ExecutableFolder() {
    char path[MAX_PATH];
    std::string exe(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return exe.substr(0, exe.find_last_of("\\/") + 1);
}

void HandleCurrentException(TObject* sender) noexcept {
    try {
        if (g_application != nullptr) {
            g_application->HandleException(sender);
            return;
        }
        throw;
    } catch (const std::exception& e) {
        ShowErrorBox(nullptr, WideFromAnsi(e.what()), u"Error");
    } catch (...) {
        ShowErrorBox(nullptr, u"Unknown error", u"Error");
    }
}

const TClassInfo& TApplication::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TApplication, TComponent>("TApplication");
    return info;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
    if (g_application != nullptr) {
        throw EInvalidOperation("The application object already exists");
    }
    g_application = this;
    new TScreen(this);
    m_title = ExecutableTitle();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kAppClass;
    RegisterClassExW(&wc);
    m_window = CreateWindowExW(0, kAppClass, WidePtr(m_title), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                               0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (FindResourceW(GetModuleHandleW(nullptr), L"MAINICON", MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */) != nullptr) {
        m_icon.LoadFromResource(GetModuleHandleW(nullptr), L"MAINICON");
    }
    m_hintWindow = std::make_unique<THintWindow>();
}

TApplication::~TApplication() {
    // Forms go first, while the application window that owns theirs still exists.
    DestroyComponents();
    m_hintWindow.reset();
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
    g_application = nullptr;
}

void TApplication::SetTitle(const std::u16string& title) {
    m_title = title;
    SetWindowTextW(m_window, WidePtr(title));
}

LRESULT CALLBACK TApplication::AppWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (...) {
        HandleCurrentException(self);
        return 0;
    }
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kHintShowTimer) {
                KillTimer(m_window, kHintShowTimer);
                ShowHintNow();
            } else if (wParam == kHintHideTimer) {
                CancelHint();
            }
            return 0;
        case WM_ACTIVATEAPP:
            if (wParam != 0 && OnActivate) {
                OnActivate(this);
            } else if (wParam == 0) {
                CancelHint();
                if (OnDeactivate) {
                    OnDeactivate(this);
                }
            }
            return 0;
        case WM_ENDSESSION:
            if (wParam != 0) {
                Terminate();
            }
            return 0;
        default:
            return DefWindowProcW(m_window, msg, wParam, lParam);
    }
}

// ---------------------------------------------------------------- the message loop

void TApplication::Run() {
    if (m_mainForm != nullptr && m_showMainForm) {
        m_mainForm->Show();
    }
    while (!m_terminated) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (msg.message == WM_QUIT) {
        m_terminated = true;
        return true;
    }
    bool handled = false;
    if (OnMessage) {
        OnMessage(msg, handled);
    }
    if (!handled && !IsMDIMsg(msg) && !IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
        if (m_terminated) {
            break;
        }
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) {
        Idle();
    }
}

void TApplication::Idle() {
    bool done = true;
    if (OnIdle) {
        OnIdle(this, done);
    }
    if (done) {
        WaitMessage();
    }
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

bool TApplication::IsMDIMsg(MSG& msg) {
    // Ctrl+F4, Ctrl+F6 and the child's system menu keys, for the main form's MDI children.
    HWND client = m_mainForm != nullptr ? m_mainForm->ClientHandle() : nullptr;
    return client != nullptr && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
           TranslateMDISysAccel(client, &msg);
}

bool TApplication::IsKeyMsg(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) {
        return false;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        CancelHint();
    }
    // The key goes to the nearest control of ours (a system window inside a control, such
    // as a combo box's edit, has none of its own).
    TWinControl* control = nullptr;
    for (HWND w = msg.hwnd; w != nullptr && control == nullptr; w = GetParent(w)) {
        control = TWinControl::FromHandle(w);
    }
    if (control == nullptr) {
        return false;
    }
    TCustomForm* form = control->GetParentForm();
    TMessage m = MakeMessage(msg.message, msg.wParam, msg.lParam);
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && form != nullptr && form->IsShortCut(m)) {
        return true;
    }
    if (msg.message == WM_SYSCHAR && form != nullptr) {
        return form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0;
    }
    return control->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

// ---------------------------------------------------------------- minimize and restore

void TApplication::Minimize() {
    if (m_minimized) {
        return;
    }
    m_minimized = true;
    if (m_mainForm != nullptr && m_mainForm->HandleAllocated()) {
        ShowWindow(m_mainForm->WindowHandle(), SW_MINIMIZE);
    }
    if (OnMinimize) {
        OnMinimize(this);
    }
}

void TApplication::Restore() {
    if (!m_minimized) {
        return;
    }
    m_minimized = false;
    if (m_mainForm != nullptr && m_mainForm->HandleAllocated()) {
        ShowWindow(m_mainForm->WindowHandle(), SW_RESTORE);
    }
    if (OnRestore) {
        OnRestore(this);
    }
}

// ---------------------------------------------------------------- errors

void TApplication::HandleException(TObject* sender) {
    try {
        throw;
    } catch (const std::exception& e) {
        if (OnException && !m_handlingException) {
            m_handlingException = true;
            try {
                OnException(sender, e);
            } catch (...) {
                m_handlingException = false;
                throw;
            }
            m_handlingException = false;
        } else {
            ShowException(e);
        }
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
}

void TApplication::ShowException(const std::exception& error) {
    HWND owner = GetActiveWindow();
    ShowErrorBox(owner != nullptr ? owner : m_window, WideFromAnsi(error.what()), m_title);
}

// ---------------------------------------------------------------- mouse tracking and hints

void TApplication::TrackMouse(TWinControl* window, const TMessage& message) {
    TControl* over = window;
    if (message.Msg == WM_MOUSEMOVE) {
        if (TControl* child = window->ControlAtPos({PointX(message.LParam), PointY(message.LParam)}, true)) {
            over = child;
        }
    }
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE | (message.Msg == WM_NCMOUSEMOVE ? TME_NONCLIENT : 0);
    track.hwndTrack = window->WindowHandle();
    TrackMouseEvent(&track);
    if (over == m_mouseControl) {
        return;
    }
    TControl* old = m_mouseControl;
    m_mouseControl = over;
    if (old != nullptr) {
        old->Perform(CM_MOUSELEAVE);
    }
    // The leave handler may have moved on already (a control destroyed, say).
    if (m_mouseControl == over) {
        over->Perform(CM_MOUSEENTER);
    }
    CancelHint();
    m_hintControl = nullptr;
    if (m_showHint && m_mouseControl == over && over->ShowHint() && !over->Hint().empty()) {
        m_hintControl = over;
        StartHintTimer(m_hintPause);
    }
}

void TApplication::ActivateHint(TPoint screenPoint) {
    TWinControl* window = TWinControl::FromHandle(WindowFromPoint({screenPoint.X, screenPoint.Y}));
    if (window == nullptr) {
        return;
    }
    TControl* over = window;
    if (TControl* child = window->ControlAtPos(window->ScreenToClient(screenPoint), true)) {
        over = child;
    }
    if (over == m_hintControl) {
        return;  // already pending or shown
    }
    CancelHint();
    m_hintControl = nullptr;
    if (m_showHint && over->ShowHint() && !over->Hint().empty()) {
        m_hintControl = over;
        StartHintTimer(m_hintPause);
    }
}

void TApplication::MouseLeft(TWinControl* window) {
    if (m_mouseControl == nullptr) {
        return;
    }
    if (m_mouseControl != window && m_mouseControl->Parent() != window) {
        return;  // already over another control of ours
    }
    if (dynamic_cast<TWinControl*>(m_mouseControl) != nullptr && m_mouseControl != window) {
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    if (under == window->WindowHandle()) {
        return;  // from the frame into the client area, or the other way
    }
    TControl* old = m_mouseControl;
    m_mouseControl = nullptr;
    old->Perform(CM_MOUSELEAVE);
    CancelHint();
    m_hintControl = nullptr;
}

void TApplication::ControlDestroyed(TControl* control) {
    if (m_mouseControl == control) {
        m_mouseControl = nullptr;
    }
    if (m_hintControl == control) {
        m_hintControl = nullptr;
        CancelHint();
    }
}

void TApplication::FormDestroyed(TCustomForm* form) {
    ControlDestroyed(form);
    if (m_mainForm == form) {
        m_mainForm = nullptr;
    }
}

void TApplication::SetShowHint(bool value) {
    m_showHint = value;
    if (!value) {
        CancelHint();
    }
}

HWND TApplication::HintWindow() const {
    return m_hintWindow && m_hintWindow->Showing() ? m_hintWindow->Handle() : nullptr;
}

void TApplication::StartHintTimer(int ms) {
    SetTimer(m_window, kHintShowTimer, static_cast<UINT>(std::max(ms, 1)), nullptr);
}

void TApplication::ShowHintNow() {
    if (m_hintControl == nullptr || m_hintControl != m_mouseControl) {
        return;
    }
    std::u16string text = ShortHint(m_hintControl->Hint());
    if (text.empty()) {
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    m_hintWindow->ActivateHint(p.x, p.y + GetSystemMetrics(SM_CYCURSOR) * 3 / 4, text);
    m_shownHint = text;
    SetTimer(m_window, kHintHideTimer, static_cast<UINT>(std::max(m_hintHidePause, 1)), nullptr);
    if (OnHint) {
        OnHint(this);
    }
}

void TApplication::CancelHint() {
    KillTimer(m_window, kHintShowTimer);
    KillTimer(m_window, kHintHideTimer);
    if (m_hintWindow && m_hintWindow->Showing()) {
        ShowWindow(m_hintWindow->Handle(), SW_HIDE);
    }
    m_shownHint.clear();
}

}  // namespace zaprelay::win32
