#include "framework/win32/timer.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/application.h"

namespace zaprelay::win32 {
namespace {

constexpr wchar_t kTimerWindowClass[] = L"ZaprelayTimerWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr char kNoTimers[] = "Not enough timers available";
constexpr char kNegativeInterval[] = "Timer interval must not be negative";

// Registered once per process; the class outlives every timer.
const wchar_t* TimerWindowClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kTimerWindowClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered ? kTimerWindowClass : nullptr;
}

}  // namespace

const TClassInfo& TTimer::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TTimer, TComponent>("TTimer");
        TClassBuilder<TTimer>(i)
            .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
            .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
            .Event("OnTimer", &TTimer::m_onTimer)
            .Creatable();
        return i;
    }();
    return info;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    const wchar_t* windowClass = TimerWindowClass(&TTimer::WindowProc);
    // A message-only window: no z-order, never shown, not enumerated with the top-level ones.
    if (windowClass != nullptr) {
        m_window = CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                   nullptr);
    }
    if (m_window == nullptr) {
        throw EOutOfResources(kNoTimers);
    }
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer() {
    if (m_destroyed != nullptr) {
        *m_destroyed = true;
    }
    // Ticks already queued for the window go nowhere once it is destroyed.
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    if (m_running) {
        KillTimer(m_window, kTimerId);
    }
    DestroyWindow(m_window);
}

void TTimer::SetEnabled(bool value) {
    if (value != m_enabled) {
        m_enabled = value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(int32_t value) {
    if (value < 0) {
        throw EInvalidOperation(kNegativeInterval);
    }
    if (value != m_interval) {
        m_interval = value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent::Handler handler) {
    m_onTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::AfterRead() {
    TComponent::AfterRead();
    UpdateTimer();
}

void TTimer::Timer() {
    if (m_onTimer) {
        m_onTimer(this);
    }
}

void TTimer::UpdateTimer() {
    if (m_running) {
        KillTimer(m_window, kTimerId);
        m_running = false;
    }
    if (!m_enabled || m_interval == 0 || !m_onTimer || HasState(csLoading)) {
        return;
    }
    if (SetTimer(m_window, kTimerId, static_cast<UINT>(m_interval), nullptr) == 0) {
        // Enabled stays as asked: the next change of a property tries again.
        throw EOutOfResources(kNoTimers);
    }
    m_running = true;
}

void TTimer::Tick() {
    // A tick queued before the timer was killed or restarted is stale.
    if (!m_running || m_inTimer) {
        return;
    }
    bool destroyed = false;
    m_destroyed = &destroyed;
    m_inTimer = true;
    try {
        Timer();
    } catch (...) {
        if (!destroyed) {
            HandleCurrentException(this);
        } else {
            HandleCurrentException(nullptr);
        }
    }
    if (!destroyed) {
        m_inTimer = false;
        m_destroyed = nullptr;
    }
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == kTimerId) {
        if (auto* self = reinterpret_cast<TTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->Tick();
        }
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace zaprelay::win32
