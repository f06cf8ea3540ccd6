// Components: named objects that own other components (destroying what they own), keep
// them in creation order, and tell each other when one goes away.
#pragma once

#include "framework/rtl/persistent.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : uint32_t {
    csLoading = 1,  // being read from a stream, until its after-read step has run
    csReading = 2,  // its properties are being read
    csWriting = 4,
    csDestroying = 8,
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TComponent* Owner() const { return m_owner; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components[static_cast<std::size_t>(index)]; }
    const std::vector<TComponent*>& ComponentList() const { return m_components; }
    int ComponentIndex() const;
    // An owned component by name, ignoring ASCII letter case; none for an empty name.
    TComponent* FindComponent(std::string_view name) const;

    // Takes ownership of component (which must not have an owner) / gives it up.
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Destroys the owned components, last first, each through Free.
    void DestroyComponents();
    // Runs BeforeDestruction while the whole object still exists, then destroys it. Owners
    // free their components this way; free a component of your own the same way when it has
    // a destruction event (a form's OnDestroy), since a destructor runs after the derived
    // parts are gone.
    void Free();
    // The last moment a component is whole before it is destroyed by Free.
    virtual void BeforeDestruction() {}

    const std::string& Name() const { return m_name; }
    // Raises EComponentError "A component named %s already exists" when another component
    // of the same owner has the name (ignoring letter case).
    virtual void SetName(const std::string& name);
    int32_t Tag() const { return m_tag; }
    void SetTag(int32_t tag) { m_tag = tag; }

    uint32_t ComponentState() const { return m_state; }
    bool HasState(TComponentStateFlag flag) const { return (m_state & flag) != 0; }
    void IncludeState(uint32_t flags) { m_state |= flags; }
    void ExcludeState(uint32_t flags) { m_state &= ~flags; }

    // Asks to be told (Notification with opRemove) when component is destroyed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Told when a component is inserted into or removed from this one's owner chain, or a
    // component asked for by FreeNotification goes. The base clears every published
    // reference to a removed component (its own, its sub-objects' and its collection items'),
    // then passes the news to the owned components.
    virtual void Notification(TComponent* component, TOperation operation);

    // Runs once the whole stream this component was read from has been read and its
    // references resolved.
    virtual void AfterRead() {}

    // The components written as nested records after this one's properties (none here).
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
    // The component a nested record was read inside of.
    virtual void SetParentComponent(TComponent* parent);
    // Written inside another component's record (a menu item, an action), not on its own.
    virtual bool HasParent() const { return false; }

protected:
    // Sets the name without the sibling check (for readers that create fresh objects).
    void ChangeName(const std::string& name) { m_name = name; }

private:
    void Remove(TComponent* component);
    void SetOwnerDestroying();

    TComponent* m_owner = nullptr;
    std::vector<TComponent*> m_components;
    std::vector<TComponent*> m_freeNotifies;
    std::string m_name;
    int32_t m_tag = 0;
    uint32_t m_state = 0;
};

// Points a component reference field at value, keeping the free notifications in step so
// the reference is cleared when value goes.
template <typename T>
void ReplaceReference(TComponent* self, T*& field, T* value) {
    if (field == value) {
        return;
    }
    if (field != nullptr) {
        field->RemoveFreeNotification(self);
    }
    field = value;
    if (value != nullptr) {
        value->FreeNotification(self);
    }
}

}  // namespace zaprelay
