#include "skin/objects/text_object.h"

#include "framework/rtl/scoped_value.h"
#include "skin/objects/basic_kinds.h"
#include "skin/objects/object_kinds.h"

namespace zaprelay::skin {

TVxTextObject::TVxTextObject(TComponent* owner)
    : TVxSkinObject(owner),
      m_fontHot(std::make_unique<TFont>()),
      m_fontFocused(std::make_unique<TFont>()),
      m_fontPressed(std::make_unique<TFont>()),
      m_fontDisabled(std::make_unique<TFont>()) {}

const TClassInfo& TVxTextObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxTextObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxTextObject");
        TClassBuilder<T>(i)
            .Object("FontHot", [](T& o) -> TPersistent* { return &o.FontHot(); })
            .Object("FontFocused", [](T& o) -> TPersistent* { return &o.FontFocused(); })
            .Object("FontPressed", [](T& o) -> TPersistent* { return &o.FontPressed(); })
            .Object("FontDisabled", [](T& o) -> TPersistent* { return &o.FontDisabled(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxTextObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    const auto* other = dynamic_cast<const TVxTextObject*>(&source);
    if (other == nullptr || other == this) {
        return;
    }
    m_fontHot->CopyFrom(*other->m_fontHot);
    m_fontFocused->CopyFrom(*other->m_fontFocused);
    m_fontPressed->CopyFrom(*other->m_fontPressed);
    m_fontDisabled->CopyFrom(*other->m_fontDisabled);
}

TFont* TVxTextObject::StateFont() {
    switch (State) {
        case skin_state::kHot:
            return m_fontHot.get();
        case skin_state::kPressed:
            return m_fontPressed.get();
        case skin_state::kFocused:
            return m_fontFocused.get();
        case skin_state::kDisabled:
            return m_fontDisabled.get();
        default:
            return nullptr;
    }
}

TFont& TVxTextObject::CaptionFont() {
    TFont* font = StateFont();
    return font != nullptr ? *font : Font();
}

void TVxTextObject::Draw(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0) {
        return;
    }
    TFont* font = StateFont();
    TScopedValue<TFont*> shown(ShownFont(), font != nullptr ? font : ShownFont());
    TVxSkinObject::Draw(canvas);
}

void TVxTextObject::ChangeHue(int delta) {
    TVxSkinObject::ChangeHue(delta);
    for (TFont* font : {m_fontHot.get(), m_fontFocused.get(), m_fontPressed.get(), m_fontDisabled.get()}) {
        font->SetColor(HueShiftedColor(font->Color(), delta));
    }
}

void TVxTextObject::SetCharset(TFontCharset charset) {
    TVxSkinObject::SetCharset(charset);
    for (TFont* font : {m_fontHot.get(), m_fontFocused.get(), m_fontPressed.get(), m_fontDisabled.get()}) {
        font->SetCharset(charset);
    }
}

}  // namespace zaprelay::skin
