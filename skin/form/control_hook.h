// One subclassed window: the hook components attached to it and the procedure it had before.
#pragma once

#include "framework/rtl/message.h"
#include "framework/win32/platform.h"

#include <vector>

namespace zaprelay::win32 {
class TWinControl;
}

namespace zaprelay::skin {

class TVxHook;
class THookList;

// Made and freed by the registry only (THookList), one per hooked window control.
//
// The replacement procedure is one static function for every window; it finds the record of
// a window through a window property rather than through a generated thunk. A thunk needs
// executable memory of its own and dies with the record, while a property lets the procedure
// keep forwarding when somebody else subclassed the window after us and we could not step out
// of the chain: the previous procedure stays on the window after the record has gone.
//
// While the hook list is empty the control may already be gone (a record waits for its
// VXM_FREEHOOK), so the control is only used while hooks are attached.
class TControlHook {
public:
    TControlHook(THookList* list, win32::TWinControl* control);
    ~TControlHook();
    TControlHook(const TControlHook&) = delete;
    TControlHook& operator=(const TControlHook&) = delete;

    win32::TWinControl* Control() const { return m_control; }
    const std::vector<TVxHook*>& Hooks() const { return m_hooks; }
    bool Empty() const { return m_hooks.empty(); }
    bool Contains(const TVxHook* hook) const;
    // The window whose procedure is replaced now; none when not hooked.
    HWND HookedWindow() const { return m_window; }
    WNDPROC PreviousProc() const { return m_previous; }
    bool Destroying() const { return m_destroying; }
    // True while a message for the window is being handled (possibly nested).
    bool Busy() const { return m_busy > 0; }

    static WNDPROC ReplacementProc();

    void AddHook(TVxHook* hook);
    // Takes the hook out; unhooks the window when it was the last.
    void RemoveHook(TVxHook* hook);
    // Subclasses the control's window (making it when needed) unless it already is.
    void Hook();
    // Puts the previous procedure back when ours is still the window's; forgets it in any case.
    void Unhook();
    // The control is being freed: it must not be touched again.
    void ControlDestroyed();
    // Asks the registry to free this record once the message being handled is done.
    void SetFreePending() { m_freePending = true; }

private:
    friend LRESULT CALLBACK HookWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // Hooks receive messages only while attached to a live control.
    bool Deliverable() const;
    void CallPrevious(HWND window, WNDPROC previous, TMessage& message);
    // Last attached first; each call guarded. The before pass stops at the first that consumes.
    void RunBeforeHandlers(TMessage& message, bool& handled);
    void RunAfterHandlers(TMessage& message);

    THookList* m_list;
    win32::TWinControl* m_control;
    std::vector<TVxHook*> m_hooks;  // in order of attachment
    HWND m_window = nullptr;
    WNDPROC m_previous = nullptr;
    bool m_destroying = false;
    bool m_freePending = false;
    int m_busy = 0;
};

}  // namespace zaprelay::skin
