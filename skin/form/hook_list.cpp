#include "skin/form/hook_list.h"

#include "framework/win32/win_control.h"
#include "skin/form/control_hook.h"
#include "skin/objects/skin_messages.h"

#include <algorithm>

namespace zaprelay::skin {

using win32::TWinControl;

namespace {

THookList* g_list = nullptr;
bool g_ended = false;

// Frees the registry when the program ends (static destruction, reverse order of first use).
struct TListEnd {
    ~TListEnd() {
        g_ended = true;
        delete g_list;
        g_list = nullptr;
    }
};

}  // namespace

THookList* THookList::Instance() {
    static TListEnd end;
    if (g_list == nullptr && !g_ended) {
        g_list = new THookList();
    }
    return g_list;
}

THookList* THookList::Existing() {
    return g_list;
}

THookList::THookList() : m_window([this](TMessage& message) { WindowMessage(message); }) {}

THookList::~THookList() {
    while (!m_items.empty()) {
        std::unique_ptr<TControlHook> last = std::move(m_items.back());
        m_items.pop_back();
        last.reset();
    }
}

TControlHook* THookList::Find(const TWinControl* control) const {
    if (control == nullptr) {
        return nullptr;
    }
    for (const auto& item : m_items) {
        if (item->Control() == control) {
            return item.get();
        }
    }
    return nullptr;
}

TControlHook* THookList::FindOrAdd(TWinControl* control) {
    if (TControlHook* found = Find(control)) {
        return found;
    }
    m_items.push_back(std::make_unique<TControlHook>(this, control));
    return m_items.back().get();
}

bool THookList::Contains(const TControlHook* hook) const {
    return std::any_of(m_items.begin(), m_items.end(), [hook](const auto& item) { return item.get() == hook; });
}

void THookList::ControlDestroyed(const TWinControl* control) {
    if (TControlHook* hook = Find(control)) {
        hook->ControlDestroyed();
        if (hook->Empty()) {
            PostFree(hook);
        }
    }
}

void THookList::PostRehook(TControlHook* hook) {
    PostMessageW(m_window.Handle(), VXM_REHOOK, 0, reinterpret_cast<LPARAM>(hook));
}

void THookList::PostFree(TControlHook* hook) {
    PostMessageW(m_window.Handle(), VXM_FREEHOOK, 0, reinterpret_cast<LPARAM>(hook));
}

void THookList::FreeIfEmpty(TControlHook* hook) {
    auto it = std::find_if(m_items.begin(), m_items.end(), [hook](const auto& item) { return item.get() == hook; });
    if (it == m_items.end() || !hook->Empty()) {
        return;
    }
    if (hook->Busy()) {
        hook->SetFreePending();
        return;
    }
    std::unique_ptr<TControlHook> gone = std::move(*it);
    m_items.erase(it);
}

void THookList::WindowMessage(TMessage& message) {
    // The record in lParam may be long gone: it is only compared until found registered.
    auto* hook = reinterpret_cast<TControlHook*>(message.LParam);
    switch (message.Msg) {
        case VXM_REHOOK:
            if (Contains(hook)) {
                hook->Hook();
            }
            break;
        case VXM_FREEHOOK:
            FreeIfEmpty(hook);
            break;
        default:
            message.Result = DefWindowProcW(m_window.Handle(), message.Msg, message.WParam, message.LParam);
            break;
    }
}

}  // namespace zaprelay::skin
