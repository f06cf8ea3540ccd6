#include "skin/objects/sys_button_skin_object.h"

#include "skin/objects/roll_panel_object.h"

#include <memory>

namespace zaprelay::skin {

TVxSysButtonSkinObject::TVxSysButtonSkinObject(TComponent* owner)
    : TVxBitmapSkinObject(owner),
      m_bitmapHover(std::make_unique<TVxBitmapLink>()),
      m_bitmapDown(std::make_unique<TVxBitmapLink>()) {
    SetKind(skSysButton);
}

const TClassInfo& TVxSysButtonSkinObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSysButtonSkinObject;
        TClassInfo i = NewClassInfo<T, TVxBitmapSkinObject>("TVxSysButtonSkinObject");
        TClassBuilder<T>(i)
            // Declared again for its own default, so a stored button omits its usual kind.
            .Enum("Kind", kVxKindNames, &T::Kind, &T::SetKind, skSysButton)
            .Enum("Action", kVxActionNames, &T::Action, &T::SetAction, sbaNone)
            .Object("BitmapHover", [](T& o) -> TPersistent* { return &o.BitmapHover(); })
            .Object("BitmapDown", [](T& o) -> TPersistent* { return &o.BitmapDown(); })
            .String("RollPanel", &T::RollPanel, &T::SetRollPanel)
            .Creatable();
        return i;
    }();
    return info;
}

void TVxSysButtonSkinObject::CopyFrom(const TPersistent& source) {
    TVxBitmapSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxSysButtonSkinObject*>(&source); other != nullptr && other != this) {
        m_bitmapHover->CopyFrom(*other->m_bitmapHover);
        m_bitmapDown->CopyFrom(*other->m_bitmapDown);
        m_action = other->m_action;
        m_rollPanel = other->m_rollPanel;
    }
}

void TVxSysButtonSkinObject::SetState(uint8_t value) {
    TVxBitmapSkinObject::SetState(value);
    ApplySysButtonVisibility(*this, m_action);
}

void TVxSysButtonSkinObject::LinkBitmaps() {
    TVxBitmapSkinObject::LinkBitmaps();
    ResolveLink(m_bitmapHover, Bitmaps, {});
    ResolveLink(m_bitmapDown, Bitmaps, {});
}

void TVxSysButtonSkinObject::Draw(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0) {
        return;
    }
    if (m_action == sbaSysMenu) {
        DrawSysMenuIcon(*this, canvas);
        return;
    }
    if (!CanDraw()) {  // the pointer's images never stand in for a missing Bitmap
        return;
    }
    TLinkSlot none;
    TLinkSlot& image = m_behavior.ButtonState == sbsHot       ? m_bitmapHover
                       : m_behavior.ButtonState == sbsPressed ? m_bitmapDown
                                                              : none;
    TLinkSwap swap(BitmapSlot(), image);
    TVxBitmapSkinObject::Draw(canvas);
}

void TVxSysButtonSkinObject::MouseEnter() {
    m_behavior.MouseEnter(*this);
}

void TVxSysButtonSkinObject::MouseLeave() {
    m_behavior.MouseLeave(*this);
}

void TVxSysButtonSkinObject::MouseDown(TMouseButton button, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.MouseDown(*this, button);
}

void TVxSysButtonSkinObject::MouseMove(TShiftState shift, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.MouseMove(*this, shift);
}

void TVxSysButtonSkinObject::MouseUp(TMouseButton button, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.MouseUp(*this, button, [this] { Click(); });
}

void TVxSysButtonSkinObject::DblClick(TMouseButton button, int32_t /*x*/, int32_t /*y*/) {
    m_behavior.DblClick(*this, button, m_action);
}

void TVxSysButtonSkinObject::Click() {
    if (m_action != sbaRollPanel) {
        PerformSysButtonAction(*this, m_action);
        return;
    }
    // An empty name names no panel (unnamed objects would otherwise match it).
    if (GetForm() == nullptr || m_rollPanel.empty()) {
        return;
    }
    TVxSkinObject* top = this;
    while (auto* owner = dynamic_cast<TVxSkinObject*>(top->Owner())) {
        top = owner;
    }
    if (auto* panel = dynamic_cast<TVxRollPanelObject*>(top->FindObject(m_rollPanel))) {
        panel->Roll();
    }
}

}  // namespace zaprelay::skin
