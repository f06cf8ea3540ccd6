// The hook component: attaches to a window control and sees the control's messages before
// (and after) the control's own window procedure, through its class's message table.
#pragma once

#include "framework/rtl/component.h"
#include "framework/rtl/message.h"

namespace zaprelay::win32 {
class TWinControl;
}

namespace zaprelay::skin {

class TControlHook;

class TVxHook : public TComponent {
public:
    explicit TVxHook(TComponent* owner);
    ~TVxHook() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    // A descendant declares its handlers in a table of its own made with
    // TMessageTable::For<Descendant, Base>(); messages it does not name fall through to the base's.
    static const TMessageTable& StaticMessageTable();
    virtual const TMessageTable& MessageTable() const { return StaticMessageTable(); }

    // True means attached to the target's window (as soon as there is a target).
    bool Active() const { return m_active; }
    void SetActive(bool value);
    // The control whose window is hooked; cleared when the control goes.
    win32::TWinControl* Target() const { return m_target; }
    void SetTarget(win32::TWinControl* value);
    // The record this hook is attached to; none while detached.
    TControlHook* ControlHook() const { return m_controlHook; }

    // Set by a message handler to consume the message: the window's own procedure and the
    // hooks attached before this one do not see it.
    bool Handled() const { return m_handled; }
    void SetHandled(bool value) { m_handled = value; }

    // Before the window's procedure: dispatches through MessageTable(); a message without a
    // handler is left alone.
    virtual void BeforeWndProc(TMessage& message, bool& handled);
    // After the window's procedure (Result holds its answer); set Handled to stop the hooks
    // attached before this one from seeing it.
    virtual void AfterWndProc(TMessage& message);
    // The target's window is hooked: at attaching, and whenever the framework made the window
    // again (RecreateWnd), with whatever the window made along with it.
    virtual void WindowHooked() {}

    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TControlHook;

    // A call into the hook in progress; a hook freed by its own handler marks every one.
    struct TCallFrame {
        bool Destroyed = false;
        TCallFrame* Outer = nullptr;
    };
    // AfterWndProc for the window procedure: false means the hook was freed during the call
    // and must not be touched; stop is the Handled it set.
    bool RunAfter(TMessage& message, bool& stop);

    void Attach();
    void Detach();
    void ChangeTarget(win32::TWinControl* value);

    bool m_active = true;
    bool m_handled = false;
    win32::TWinControl* m_target = nullptr;
    TControlHook* m_controlHook = nullptr;
    TCallFrame* m_calls = nullptr;
};

}  // namespace zaprelay::skin
