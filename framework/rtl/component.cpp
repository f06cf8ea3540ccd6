#include "framework/rtl/component.h"

#include "framework/rtl/collection.h"
#include "framework/rtl/exceptions.h"

#include <algorithm>

namespace zaprelay {

namespace {

// Sub-objects and collection items deeper than this are not searched (a sub-object that
// leads back to its holder would otherwise never end the search).
constexpr int kMaxReferenceDepth = 32;

// Clears every published reference to removed in object, its sub-objects and its
// collections' items.
void ClearReferences(TPersistent& object, const TComponent* removed, int depth) {
    if (depth > kMaxReferenceDepth) {
        return;
    }
    for (const TPropInfo* p : object.ClassInfo().Properties()) {
        if (p->Kind == pkComponent) {
            if (p->GetComponent(object) == removed) {
                p->SetComponent(object, nullptr);
            }
        } else if (p->Kind == pkObject) {
            if (TPersistent* sub = p->GetObject(object)) {
                ClearReferences(*sub, removed, depth + 1);
            }
        } else if (p->Kind == pkCollection) {
            if (TCollection* collection = p->GetCollection(object)) {
                for (int i = 0; i < collection->Count(); ++i) {
                    ClearReferences(*collection->Items(i), removed, depth + 1);
                }
            }
        }
    }
}

}  // namespace

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TComponent, TPersistent>("TComponent");
        TClassBuilder<TComponent>(i).Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
        return i;
    }();
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) {
        owner->InsertComponent(this);
    }
}

TComponent::~TComponent() {
    m_state |= csDestroying;
    // Those that asked are told first, while this component is still whole.
    while (!m_freeNotifies.empty()) {
        TComponent* other = m_freeNotifies.back();
        RemoveFreeNotification(other);  // both directions
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (m_owner != nullptr) {
        m_owner->RemoveComponent(this);
    }
}

int TComponent::ComponentIndex() const {
    if (m_owner == nullptr) {
        return -1;
    }
    const auto& siblings = m_owner->m_components;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    for (TComponent* c : m_components) {
        if (SameText(c->m_name, name)) {
            return c;
        }
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component->m_name.empty() && FindComponent(component->m_name) != nullptr) {
        throw EComponentError(Format(msg::kDuplicateName, {component->m_name}));
    }
    if (component->m_owner != nullptr) {
        component->m_owner->Remove(component);
    }
    m_components.push_back(component);
    component->m_owner = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::Remove(TComponent* component) {
    m_components.erase(std::remove(m_components.begin(), m_components.end(), component), m_components.end());
    component->m_owner = nullptr;
}

void TComponent::DestroyComponents() {
    for (TComponent* c : m_components) {
        c->SetOwnerDestroying();
    }
    while (!m_components.empty()) {
        TComponent* last = m_components.back();
        Remove(last);
        last->Free();
    }
}

void TComponent::Free() {
    BeforeDestruction();
    delete this;
}

void TComponent::SetOwnerDestroying() {
    m_state |= csDestroying;
    for (TComponent* c : m_components) {
        c->SetOwnerDestroying();
    }
}

void TComponent::SetName(const std::string& name) {
    if (name == m_name) {
        return;
    }
    if (m_owner != nullptr && !name.empty()) {
        TComponent* other = m_owner->FindComponent(name);
        if (other != nullptr && other != this) {
            throw EComponentError(Format(msg::kDuplicateName, {name}));
        }
    }
    m_name = name;
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) {
        return;
    }
    if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), component) == m_freeNotifies.end()) {
        m_freeNotifies.push_back(component);
        component->m_freeNotifies.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) {
        return;
    }
    m_freeNotifies.erase(std::remove(m_freeNotifies.begin(), m_freeNotifies.end(), component), m_freeNotifies.end());
    auto& back = component->m_freeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component != nullptr) {
        RemoveFreeNotification(component);
        ClearReferences(*this, component, 0);
    }
    // A copy: a handler may add or remove components while being told.
    std::vector<TComponent*> owned = m_components;
    for (TComponent* c : owned) {
        if (c != component) {
            c->Notification(component, operation);
        }
    }
}

void TComponent::GetChildren(const std::function<void(TComponent*)>&, TComponent*) {}

void TComponent::SetParentComponent(TComponent*) {}

}  // namespace zaprelay
