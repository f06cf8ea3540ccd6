// The registry of hooked windows: one record per window control, and a hidden window that
// runs the work deferred out of window procedures (re-hooking, freeing empty records).
#pragma once

#include "framework/rtl/message.h"
#include "framework/win32/utility_window.h"

#include <memory>
#include <vector>

namespace zaprelay::win32 {
class TWinControl;
}

namespace zaprelay::skin {

class TControlHook;

class THookList {
public:
    // The program's registry, made on first use; none once the program has started to end.
    static THookList* Instance();
    // The registry when it exists; never makes one.
    static THookList* Existing();

    THookList();
    ~THookList();
    THookList(const THookList&) = delete;
    THookList& operator=(const THookList&) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    TControlHook* Find(const win32::TWinControl* control) const;
    TControlHook* FindOrAdd(win32::TWinControl* control);
    bool Contains(const TControlHook* hook) const;

    // The control is being freed: its record forgets it and is freed later when empty.
    void ControlDestroyed(const win32::TWinControl* control);
    void PostRehook(TControlHook* hook);
    void PostFree(TControlHook* hook);
    // Frees the record now when it is registered and empty (later when a message for its
    // window is being handled).
    void FreeIfEmpty(TControlHook* hook);

    HWND Window() const { return m_window.Handle(); }

private:
    void WindowMessage(TMessage& message);

    std::vector<std::unique_ptr<TControlHook>> m_items;
    win32::TUtilityWindow m_window;
};

}  // namespace zaprelay::skin
