// The timer component: OnTimer every Interval milliseconds on the thread that made it, through
// a hidden message-only window of its own.
#pragma once

#include "framework/rtl/component.h"
#include "framework/win32/platform.h"

#include <cstdint>

namespace zaprelay::win32 {

class TTimer : public TComponent {
public:
    // Makes the timer's window on the calling thread, which is where OnTimer runs. Raises
    // EOutOfResources "Not enough timers available" when the window cannot be made.
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // A system timer runs only while Enabled, Interval > 0 and OnTimer is assigned, and not
    // while the component is being read. Each setter restarts the count; those that arm the
    // timer raise EOutOfResources "Not enough timers available" when the system has none.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    // Milliseconds; a negative value raises EInvalidOperation and changes nothing.
    int32_t Interval() const { return m_interval; }
    void SetInterval(int32_t value);
    const TNotifyEvent& OnTimer() const { return m_onTimer; }
    // An empty handler unassigns the event (and stops the system timer).
    void SetOnTimer(TNotifyEvent::Handler handler);

    // True while a system timer is set for this component.
    bool Running() const { return m_running; }

    void AfterRead() override;

protected:
    // Runs OnTimer. Ticks that arrive while it runs (a message box inside the handler pumps
    // messages) are dropped rather than nested.
    virtual void Timer();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void Tick();
    void UpdateTimer();

    HWND m_window = nullptr;
    bool m_enabled = true;
    int32_t m_interval = 1000;
    TNotifyEvent m_onTimer;
    bool m_running = false;
    bool m_inTimer = false;
    // Points at a flag of the running Tick, so a handler that destroys its own timer is seen.
    bool* m_destroyed = nullptr;
};

}  // namespace zaprelay::win32
