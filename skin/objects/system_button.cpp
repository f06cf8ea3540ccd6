#include "skin/objects/system_button.h"

#include "framework/rtl/scoped_value.h"

namespace zaprelay::skin {

namespace {

// Puts every child of the button in a state, and back to normal on the way out.
class TChildrenState {
public:
    TChildrenState(TVxSkinObject& parent, uint8_t state) : m_parent(parent) { Set(state); }
    ~TChildrenState() { Set(skin_state::kNormal); }
    TChildrenState(const TChildrenState&) = delete;
    TChildrenState& operator=(const TChildrenState&) = delete;

private:
    void Set(uint8_t state) {
        m_parent.ForEachChild([state](TVxSkinObject& child) { child.SetState(state); });
    }
    TVxSkinObject& m_parent;
};

// Shows the subtree inactive (its hot or pressed look must not pick the active images) and
// gives the old activity back on the way out.
class TSubtreeActive {
public:
    TSubtreeActive(TVxSkinObject& object, bool value) : m_object(object), m_old(object.Active) {
        object.SetActive(value);
    }
    ~TSubtreeActive() { m_object.SetActive(m_old); }
    TSubtreeActive(const TSubtreeActive&) = delete;
    TSubtreeActive& operator=(const TSubtreeActive&) = delete;

private:
    TVxSkinObject& m_object;
    bool m_old;
};

}  // namespace

TVxSystemButton::TVxSystemButton(TComponent* owner)
    : TVxActiveBitmap(owner),
      m_bitmapHot(std::make_unique<TVxBitmapLink>()),
      m_bitmapPressed(std::make_unique<TVxBitmapLink>()) {
    SetKind(skSysButton);
}

const TClassInfo& TVxSystemButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSystemButton;
        TClassInfo i = NewClassInfo<T, TVxActiveBitmap>("TVxSystemButton");
        TClassBuilder<T>(i)
            // Declared again for its default: a stored skNone must be written to come back.
            .Enum("Kind", kVxKindNames, &T::Kind, &T::SetKind, skSysButton)
            .Enum("Action", kVxActionNames, &T::Action, &T::SetAction, sbaNone)
            .Object("BitmapHot", [](T& o) -> TPersistent* { return &o.BitmapHot(); })
            .Object("BitmapPressed", [](T& o) -> TPersistent* { return &o.BitmapPressed(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxSystemButton::CopyFrom(const TPersistent& source) {
    TVxActiveBitmap::CopyFrom(source);
    const auto* other = dynamic_cast<const TVxSystemButton*>(&source);
    if (other == nullptr || other == this) {
        return;
    }
    m_bitmapHot->CopyFrom(*other->m_bitmapHot);
    m_bitmapPressed->CopyFrom(*other->m_bitmapPressed);
    m_action = other->m_action;
}

void TVxSystemButton::SetState(uint8_t value) {
    TVxActiveBitmap::SetState(value);
    ApplySysButtonVisibility(*this, m_action);
}

void TVxSystemButton::LinkBitmaps() {
    TVxActiveBitmap::LinkBitmaps();
    const TRect margins = MarginRect();
    ResolveLink(m_bitmapHot, Bitmaps, margins);
    ResolveLink(m_bitmapPressed, Bitmaps, margins);
}

void TVxSystemButton::DrawWithChildrenIn(TCanvas& canvas, uint8_t childState) {
    TChildrenState children(*this, childState);
    TVxActiveBitmap::Draw(canvas);
}

void TVxSystemButton::Draw(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0) {
        return;
    }
    if (m_action == sbaSysMenu) {
        DrawSysMenuIcon(*this, canvas);
        return;
    }
    if (!Active) {
        DrawWithChildrenIn(canvas, skin_state::kDisabled);
        return;
    }
    if (m_behavior.ButtonState == sbsNormal) {
        TVxActiveBitmap::Draw(canvas);
        return;
    }
    const bool pressed = m_behavior.ButtonState == sbsPressed;
    const TLinkSlot& image = pressed ? m_bitmapPressed : m_bitmapHot;
    // Restored in reverse: children, activity, then the image.
    TScopedValue<const TVxBitmapLink*> shown(ShownBitmap(), IsValid(image) ? image.get() : ShownBitmap());
    TSubtreeActive inactive(*this, false);
    DrawWithChildrenIn(canvas, pressed ? skin_state::kPressed : skin_state::kHot);
}

void TVxSystemButton::MouseEnter() {
    m_behavior.MouseEnter(*this);
}

void TVxSystemButton::MouseLeave() {
    m_behavior.MouseLeave(*this);
}

void TVxSystemButton::MouseDown(TMouseButton button, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.MouseDown(*this, button);
}

void TVxSystemButton::MouseMove(TShiftState shift, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.MouseMove(*this, shift);
}

void TVxSystemButton::MouseUp(TMouseButton button, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.MouseUp(*this, button, [this] { Click(); });
}

void TVxSystemButton::DblClick(TMouseButton button, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.DblClick(*this, button, m_action);
}

void TVxSystemButton::Click() {
    PerformSysButtonAction(*this, m_action);
}

}  // namespace zaprelay::skin
