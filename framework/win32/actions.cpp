#include "framework/win32/actions.h"

#include "framework/win32/control_props.h"
#include "framework/win32/image_list.h"

#include <algorithm>

namespace zaprelay::win32 {

// ---------------------------------------------------------------- TActionList

const TClassInfo& TActionList::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TActionList;
        TClassInfo i = NewClassInfo<T, TComponent>("TActionList");
        TClassBuilder<T>(i)
            .Component(
                "Images", [](const T& l) -> TComponent* { return l.Images(); },
                [](T& l, TComponent* c) { l.SetImages(dynamic_cast<TImageList*>(c)); })
            .Creatable();
        return i;
    }();
    return info;
}

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

TActionList::~TActionList() {
    for (TAction* action : std::vector<TAction*>(m_actions)) {
        action->SetActionList(nullptr);
    }
}

void TActionList::SetImages(TImageList* value) {
    ReplaceReference<TImageList>(this, m_images, value);
    for (TAction* action : m_actions) {
        action->Changed();
    }
}

void TActionList::Add(TAction* action) {
    if (action != nullptr && std::find(m_actions.begin(), m_actions.end(), action) == m_actions.end()) {
        m_actions.push_back(action);
    }
}

void TActionList::Remove(TAction* action) {
    m_actions.erase(std::remove(m_actions.begin(), m_actions.end(), action), m_actions.end());
}

void TActionList::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TAction* action : std::vector<TAction*>(m_actions)) {
        if (action->Owner() == root) {
            proc(action);
        }
    }
}

void TActionList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_images) {
        m_images = nullptr;
        for (TAction* action : m_actions) {
            action->Changed();
        }
    }
}

// ---------------------------------------------------------------- TAction

const TClassInfo& TAction::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TAction;
        TClassInfo i = NewClassInfo<T, TComponent>("TAction");
        TClassBuilder<T>(i)
            .WideString("Caption", &T::Caption, &T::SetCaption)
            .Boolean("Enabled", &T::Enabled, &T::SetEnabled, true)
            .Integer(
                "ImageIndex", &T::ImageIndex, [](T& a, int64_t v) { a.SetImageIndex(static_cast<int32_t>(v)); }, -1)
            .Event("OnExecute", &T::OnExecute)
            .Creatable();
        return i;
    }();
    return info;
}

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction() {
    for (TActionLink* link : std::vector<TActionLink*>(m_links)) {
        link->ActionDestroyed(*this);
    }
    m_links.clear();
    if (m_list != nullptr) {
        m_list->Remove(this);
        m_list->RemoveFreeNotification(this);
    }
}

void TAction::SetCaption(const std::u16string& value) {
    if (value != m_caption) {
        m_caption = value;
        Changed();
    }
}

void TAction::SetEnabled(bool value) {
    if (value != m_enabled) {
        m_enabled = value;
        Changed();
    }
}

void TAction::SetImageIndex(int32_t value) {
    if (value != m_imageIndex) {
        m_imageIndex = value;
        Changed();
    }
}

void TAction::SetActionList(TActionList* value) {
    if (value == m_list) {
        return;
    }
    if (m_list != nullptr) {
        m_list->Remove(this);
        m_list->RemoveFreeNotification(this);
    }
    m_list = value;
    if (m_list != nullptr) {
        m_list->Add(this);
        m_list->FreeNotification(this);
    }
    Changed();
}

void TAction::SetParentComponent(TComponent* parent) {
    if (auto* list = dynamic_cast<TActionList*>(parent)) {
        SetActionList(list);
        return;
    }
    TComponent::SetParentComponent(parent);
}

void TAction::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_list) {
        m_list = nullptr;
    }
}

bool TAction::Execute(TObject* sender) {
    if (!m_enabled || !OnExecute) {
        return false;
    }
    OnExecute(sender);
    return true;
}

void TAction::Link(TActionLink* link) {
    if (link != nullptr && std::find(m_links.begin(), m_links.end(), link) == m_links.end()) {
        m_links.push_back(link);
    }
}

void TAction::Unlink(TActionLink* link) {
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
}

void TAction::Changed() {
    for (TActionLink* link : std::vector<TActionLink*>(m_links)) {
        link->ActionChanged(*this);
    }
}

}  // namespace zaprelay::win32
