#include "skin/objects/active_skin_object.h"

#include "skin/objects/object_kinds.h"

namespace zaprelay::skin {

TVxActiveSkinObject::TVxActiveSkinObject(TComponent* owner)
    : TVxSkinObject(owner), m_activeFont(std::make_unique<TFont>()) {}

TVxActiveSkinObject::~TVxActiveSkinObject() = default;

const TClassInfo& TVxActiveSkinObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxActiveSkinObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxActiveSkinObject");
        TClassBuilder<T>(i)
            .Color("ActiveColor", &T::ActiveColor, &T::SetActiveColor, clBlack)
            .Object("ActiveFont", [](T& o) -> TPersistent* { return &o.ActiveFont(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxActiveSkinObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxActiveSkinObject*>(&source); other != nullptr && other != this) {
        m_activeColor = other->m_activeColor;
        m_activeFont->CopyFrom(*other->m_activeFont);
    }
}

TFont& TVxActiveSkinObject::CaptionFont() {
    return IsHotOrFocused(State) ? *m_activeFont : Font();
}

void TVxActiveSkinObject::Draw(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0) {
        return;
    }
    if (!IsHotOrFocused(State)) {
        TVxSkinObject::Draw(canvas);
        return;
    }
    DrawShowing(canvas, m_activeColor, *m_activeFont);
}

void TVxActiveSkinObject::ChangeHue(int delta) {
    TVxSkinObject::ChangeHue(delta);
    ShiftActiveLookHue(m_activeColor, *m_activeFont, delta);
}

void TVxActiveSkinObject::MouseEnter() {
    SetState(skin_state::kHot);
    Invalidate();
}

void TVxActiveSkinObject::MouseLeave() {
    SetState(skin_state::kNormal);
    Invalidate();
}

}  // namespace zaprelay::skin
