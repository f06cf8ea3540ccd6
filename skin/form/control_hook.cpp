#include "skin/form/control_hook.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/application.h"
#include "framework/win32/messages.h"
#include "framework/win32/win_control.h"
#include "skin/form/hook_list.h"
#include "skin/form/vx_hook.h"

#include <algorithm>

namespace zaprelay::skin {

using win32::HandleCurrentException;
using win32::TWinControl;

namespace {

// The record of a window while hooks are attached to it.
const wchar_t* RecordProperty() {
    static ATOM atom = AddAtomW(L"ZaprelaySkinHook");
    return MAKEINTATOM(atom);
}

// The procedure ours calls on: set while ours is anywhere in the window's chain, also after
// the record has gone when somebody else's procedure sits above ours.
const wchar_t* NextProperty() {
    static ATOM atom = AddAtomW(L"ZaprelaySkinHookNext");
    return MAKEINTATOM(atom);
}

WNDPROC CurrentProc(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

}  // namespace

LRESULT CALLBACK HookWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        auto* record = static_cast<TControlHook*>(GetPropW(window, RecordProperty()));
        if (record != nullptr && record->m_window == window) {
            return record->WindowProc(window, msg, wParam, lParam);
        }
        auto next = reinterpret_cast<WNDPROC>(GetPropW(window, NextProperty()));
        if (msg == WM_NCDESTROY) {
            RemovePropW(window, NextProperty());
        }
        return next != nullptr ? CallWindowProcW(next, window, msg, wParam, lParam)
                               : DefWindowProcW(window, msg, wParam, lParam);
    } catch (...) {
        HandleCurrentException(nullptr);
        return 0;
    }
}

WNDPROC TControlHook::ReplacementProc() {
    return &HookWndProc;
}

TControlHook::TControlHook(THookList* list, TWinControl* control) : m_list(list), m_control(control) {}

TControlHook::~TControlHook() {
    m_destroying = true;
    while (!m_hooks.empty()) {
        RemoveHook(m_hooks.back());
    }
    Unhook();
}

bool TControlHook::Contains(const TVxHook* hook) const {
    return std::find(m_hooks.begin(), m_hooks.end(), hook) != m_hooks.end();
}

void TControlHook::AddHook(TVxHook* hook) {
    if (!Contains(hook)) {
        m_hooks.push_back(hook);
    }
    hook->m_controlHook = this;
}

void TControlHook::RemoveHook(TVxHook* hook) {
    auto it = std::find(m_hooks.begin(), m_hooks.end(), hook);
    if (it == m_hooks.end()) {
        return;
    }
    m_hooks.erase(it);
    hook->m_controlHook = nullptr;
    if (m_hooks.empty()) {
        Unhook();
    }
}

void TControlHook::Hook() {
    if (m_hooks.empty() || m_control == nullptr || m_destroying || m_control->HasState(csDestroying)) {
        return;
    }
    HWND window = m_control->Handle();
    if (m_window == window) {
        return;
    }
    Unhook();  // a window of the control's that is gone or about to go
    void* record = GetPropW(window, RecordProperty());
    if (record != nullptr && record != this) {
        return;  // another record has the window; one subclassing per window
    }
    // Ours may still be in the window's chain below somebody else's: go on from there rather
    // than subclass the window twice.
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, NextProperty()));
    bool install = previous == nullptr;
    if (install) {
        previous = CurrentProc(window);
        if (previous == ReplacementProc() || !SetPropW(window, NextProperty(), reinterpret_cast<HANDLE>(previous))) {
            return;
        }
    }
    if (!SetPropW(window, RecordProperty(), this)) {
        if (install) {
            RemovePropW(window, NextProperty());
        }
        throw win32::EOutOfResources("Cannot hook the window");
    }
    if (install) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReplacementProc()));
    }
    m_window = window;
    m_previous = previous;
    std::vector<TVxHook*> hooks = m_hooks;  // a hook may detach itself meanwhile
    for (TVxHook* hook : hooks) {
        if (Contains(hook)) {
            hook->WindowHooked();
        }
    }
}

void TControlHook::Unhook() {
    HWND window = m_window;
    WNDPROC previous = m_previous;
    m_window = nullptr;
    m_previous = nullptr;
    if (window == nullptr || !IsWindow(window) || GetPropW(window, RecordProperty()) != this) {
        return;
    }
    RemovePropW(window, RecordProperty());
    // A procedure installed after ours stays; ours then only forwards to the previous one.
    if (CurrentProc(window) == ReplacementProc() && previous != nullptr) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(window, NextProperty());
    }
}

void TControlHook::ControlDestroyed() {
    Unhook();
    m_control = nullptr;
}

bool TControlHook::Deliverable() const {
    return !m_hooks.empty() && m_control != nullptr && !m_destroying && !m_control->HasState(csDestroying);
}

void TControlHook::RunBeforeHandlers(TMessage& message, bool& handled) {
    // Handlers may attach, detach or free hooks: walk a copy, skipping those gone meanwhile.
    std::vector<TVxHook*> hooks = m_hooks;
    for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it) {
        if (!Deliverable()) {
            return;
        }
        if (!Contains(*it)) {
            continue;
        }
        try {
            (*it)->BeforeWndProc(message, handled);
        } catch (...) {
            HandleCurrentException(Contains(*it) ? *it : nullptr);
        }
    }
}

void TControlHook::RunAfterHandlers(TMessage& message) {
    std::vector<TVxHook*> hooks = m_hooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        if (!Deliverable()) {
            return;
        }
        if (!Contains(*it)) {
            continue;
        }
        bool stop = false;
        try {
            if (!(*it)->RunAfter(message, stop)) {
                continue;
            }
        } catch (...) {
            HandleCurrentException(Contains(*it) ? *it : nullptr);
        }
        if (stop) {
            return;
        }
    }
}

void TControlHook::CallPrevious(HWND window, WNDPROC previous, TMessage& message) {
    if (!IsWindow(window)) {
        return;  // a handler destroyed it
    }
    if (previous != nullptr) {
        message.Result = CallWindowProcW(previous, window, message.Msg, message.WParam, message.LParam);
        return;
    }
    try {
        if (m_control != nullptr && !m_control->HasState(csDestroying)) {
            m_control->DefaultHandler(message);
        } else {
            message.Result = DefWindowProcW(window, message.Msg, message.WParam, message.LParam);
        }
    } catch (...) {
        HandleCurrentException(m_control);
    }
}

LRESULT TControlHook::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message = win32::MakeMessage(msg, wParam, static_cast<intptr_t>(lParam));
    // Kept for the call: a handler may unhook the window while the message is under way.
    WNDPROC previous = m_previous;
    ++m_busy;
    bool handled = false;
    if (msg != WM_QUIT && Deliverable()) {
        RunBeforeHandlers(message, handled);
    }
    if (!handled || msg == WM_DESTROY) {
        CallPrevious(window, previous, message);
        if (Deliverable()) {
            RunAfterHandlers(message);
        }
    }
    if (msg == WM_DESTROY && m_window == window) {
        Unhook();
        // The framework may make the control's window again (RecreateWnd): hook that one too.
        if (!m_destroying && m_control != nullptr && !m_control->HasState(csDestroying)) {
            m_list->PostRehook(this);
        }
    }
    --m_busy;
    LRESULT result = message.Result;
    if (m_busy == 0 && m_freePending) {
        m_freePending = false;
        m_list->FreeIfEmpty(this);  // may free this record: nothing of it is used after
    }
    return result;
}

}  // namespace zaprelay::skin
