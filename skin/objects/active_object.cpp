#include "skin/objects/active_object.h"

#include "skin/objects/basic_kinds.h"
#include "skin/objects/object_kinds.h"

namespace zaprelay::skin {

namespace {

bool ShowsActiveLook(uint8_t state) {
    return state == skin_state::kHot || state == skin_state::kPressed || state == skin_state::kFocused;
}

}  // namespace

TVxActiveObject::TVxActiveObject(TComponent* owner) : TVxSkinObject(owner), m_activeFont(std::make_unique<TFont>()) {}

const TClassInfo& TVxActiveObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxActiveObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxActiveObject");
        TClassBuilder<T>(i)
            .Color("ActiveColor", &T::ActiveColor, &T::SetActiveColor, clBlack)
            .Object("ActiveFont", [](T& o) -> TPersistent* { return &o.ActiveFont(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxActiveObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    const auto* other = dynamic_cast<const TVxActiveObject*>(&source);
    if (other == nullptr || other == this) {
        return;
    }
    m_activeColor = other->m_activeColor;
    m_activeFont->CopyFrom(*other->m_activeFont);
}

TFont& TVxActiveObject::CaptionFont() {
    return ShowsActiveLook(State) ? *m_activeFont : Font();
}

void TVxActiveObject::Draw(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0) {
        return;
    }
    if (!Active && !ShowsActiveLook(State)) {
        TVxSkinObject::Draw(canvas);
        return;
    }
    DrawShowing(canvas, m_activeColor, *m_activeFont);
}

void TVxActiveObject::ChangeHue(int delta) {
    TVxSkinObject::ChangeHue(delta);
    ShiftActiveLookHue(m_activeColor, *m_activeFont, delta);
}

void TVxActiveObject::SetCharset(TFontCharset charset) {
    TVxSkinObject::SetCharset(charset);
    m_activeFont->SetCharset(charset);
}

}  // namespace zaprelay::skin
