// A skinned control bound to an engine: it keeps a private copy of one top-level object of the
// engine's skin and paints from it while the skin is usable, otherwise it paints its custom
// look. It drops the copy before the engine changes skins, binds again after, and forgets the
// engine when it goes.
#pragma once

#include "framework/win32/messages.h"
#include "skin/form/skin_binding.h"
#include "skin/form/window_skin_host.h"
#include "skin/objects/object_kinds.h"
#include "skin/objects/skin_messages.h"
#include "skin/objects/skin_object_io.h"

#include <memory>
#include <string>

namespace zaprelay::skin {

template <typename Base>
class TVxSkinBound : public Base {
public:
    TVxSkinBound(TComponent* owner, const char* skinObject) : Base(owner), m_skinObject(skinObject) {}
    ~TVxSkinBound() override {
        m_copy.reset();
        if (m_veneer != nullptr) {
            m_veneer->RemoveFreeNotification(this);
        }
    }

    static const TMessageTable& StaticMessageTable() {
        using T = TVxSkinBound;
        static const TMessageTable table = TMessageTable::For<T, Base>()
                                               .template On<&T::VXMSkinChanged>(VXM_SKINCHANGED)
                                               .template On<&T::VXMSkinChanging>(VXM_SKINCHANGING)
                                               .template On<&T::VXMSkinObjectChanged>(VXM_SKINOBJECTCHANGED);
        return table;
    }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TVxVeneer* Veneer() const { return m_veneer; }
    // Binds now: copies SkinObject from the engine's skin, or drops the copy without one.
    void SetVeneer(TVxVeneer* value) {
        ReplaceReference<TVxVeneer>(this, m_veneer, value);
        Bind();
    }
    const std::string& SkinObject() const { return m_skinObject; }
    // Taken at the next binding.
    void SetSkinObject(const std::string& value) { m_skinObject = value; }
    TVxSkinObject* SkinObjectCopy() const { return m_copy.get(); }

    // Loaded, not being destroyed, and bound to an engine whose skin has the object.
    bool SkinUsable() const {
        return !this->HasState(csLoading) && !this->HasState(csDestroying) && m_copy && SkinLoaded(m_veneer) &&
               m_veneer->SkinSource().GetObjectByName(m_skinObject) != nullptr;
    }

    void Notification(TComponent* component, TOperation operation) override {
        Base::Notification(component, operation);
        if (operation == opRemove && component != nullptr && component == m_veneer) {
            // The copy draws from the engine's bitmaps, which go with it.
            m_veneer = nullptr;
            if (!this->HasState(csDestroying)) {
                Bind();
            }
        }
    }

protected:
    // After a copy was made (or none found): what a class takes from it besides painting.
    virtual void SkinBound() {}
    // The last step of binding, with or without a copy.
    virtual void BindingDone() {}

    // The state the glyph and text objects show: disabled, hot, focused or normal.
    uint8_t SkinState() const {
        if (!this->Enabled()) {
            return skin_state::kDisabled;
        }
        if (this->MouseInControl()) {
            return skin_state::kHot;
        }
        return this->HasFocus() ? skin_state::kFocused : skin_state::kNormal;
    }

private:
    void Bind() {
        if (SkinLoaded(m_veneer)) {
            m_copy.reset();
            if (TVxSkinObject* found = m_veneer->SkinSource().GetObjectByName(m_skinObject)) {
                m_copy.reset(CloneSkinObject(*found, nullptr));
            }
            SkinBound();
            if (m_copy) {
                if (!m_host) {
                    m_host = std::make_unique<TVxWindowSkinHost>(*this);
                }
                m_copy->SetControl(m_host.get());
            }
        } else {
            m_copy.reset();
        }
        BindingDone();
        this->Invalidate();
    }

    bool FromBoundEngine(const TMessage& m) const {
        return m_veneer != nullptr && m.LParam == reinterpret_cast<intptr_t>(m_veneer);
    }
    void VXMSkinChanged(TMessage& m) {
        if (FromBoundEngine(m)) {
            Bind();
        }
    }
    void VXMSkinChanging(TMessage& m) {
        if (FromBoundEngine(m)) {
            m_copy.reset();
        }
    }
    void VXMSkinObjectChanged(TMessage&) { this->Invalidate(); }

    TVxVeneer* m_veneer = nullptr;
    std::string m_skinObject;
    std::unique_ptr<TVxWindowSkinHost> m_host;  // declared before the copy, which calls it
    TSkinObjectPtr m_copy;
};

}  // namespace zaprelay::skin
