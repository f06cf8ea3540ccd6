#include "skin/form/vx_hook.h"

#include "framework/win32/win_control.h"
#include "skin/form/control_hook.h"
#include "skin/form/hook_list.h"

namespace zaprelay::skin {

using win32::TWinControl;

const TClassInfo& TVxHook::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TVxHook, TComponent>("TVxHook");
    return info;
}

const TMessageTable& TVxHook::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::Root();
    return table;
}

TVxHook::TVxHook(TComponent* owner) : TComponent(owner) {}

TVxHook::~TVxHook() {
    for (TCallFrame* frame = m_calls; frame != nullptr; frame = frame->Outer) {
        frame->Destroyed = true;
    }
    m_active = false;
    Detach();
    ChangeTarget(nullptr);
}

void TVxHook::SetActive(bool value) {
    if (value == m_active) {
        return;
    }
    m_active = value;
    if (!value) {
        Detach();
        return;
    }
    try {
        Attach();
    } catch (...) {
        Detach();
        m_active = false;
        throw;
    }
}

void TVxHook::SetTarget(TWinControl* value) {
    if (value == m_target) {
        return;
    }
    ChangeTarget(value);
    if (m_active) {
        Attach();
    }
}

void TVxHook::ChangeTarget(TWinControl* value) {
    TWinControl* old = m_target;
    TControlHook* oldHook = m_controlHook;
    Detach();
    ReplaceReference(this, m_target, value);
    THookList* list = THookList::Existing();
    if (list == nullptr || old == nullptr) {
        return;
    }
    if (oldHook == nullptr) {
        oldHook = list->Find(old);  // left empty by an earlier deactivation
    }
    if (oldHook != nullptr && oldHook->Empty()) {
        list->PostFree(oldHook);
    }
}

void TVxHook::Attach() {
    if (m_target == nullptr || m_target->HasState(csDestroying)) {
        return;
    }
    THookList* list = THookList::Instance();
    if (list == nullptr) {
        return;  // the program is ending
    }
    TControlHook* hook = list->FindOrAdd(m_target);
    hook->AddHook(this);
    try {
        hook->Hook();
    } catch (...) {
        hook->RemoveHook(this);
        if (hook->Empty()) {
            list->PostFree(hook);
        }
        throw;
    }
}

void TVxHook::Detach() {
    if (m_controlHook != nullptr) {
        m_controlHook->RemoveHook(this);  // clears m_controlHook
    }
}

void TVxHook::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove || component != m_target) {
        return;
    }
    // The control may be half destroyed already: its record must forget it before anything
    // looks at it again.
    if (component->HasState(csDestroying)) {
        if (THookList* list = THookList::Existing()) {
            list->ControlDestroyed(m_target);
        }
    }
    ChangeTarget(nullptr);
}

void TVxHook::BeforeWndProc(TMessage& message, bool& handled) {
    TMessageTable::Handler h = MessageTable().Find(message.Msg);
    if (h == nullptr) {
        return;
    }
    m_handled = handled;
    TCallFrame frame;
    frame.Outer = m_calls;
    m_calls = &frame;
    try {
        h(*this, message);
    } catch (...) {
        if (!frame.Destroyed) {
            m_calls = frame.Outer;
        }
        throw;
    }
    if (frame.Destroyed) {
        return;  // a handler freed this hook; what it decided went with it
    }
    m_calls = frame.Outer;
    handled = m_handled;
}

void TVxHook::AfterWndProc(TMessage&) {}

bool TVxHook::RunAfter(TMessage& message, bool& stop) {
    TCallFrame frame;
    frame.Outer = m_calls;
    m_calls = &frame;
    m_handled = false;
    try {
        AfterWndProc(message);
    } catch (...) {
        if (!frame.Destroyed) {
            m_calls = frame.Outer;
        }
        throw;
    }
    if (frame.Destroyed) {
        return false;
    }
    m_calls = frame.Outer;
    stop = m_handled;
    return true;
}

}  // namespace zaprelay::skin
