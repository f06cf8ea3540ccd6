// A caption whose font follows the state a host shows: hot, focused, pressed or disabled
// (the captions of check boxes and radio buttons, menu item texts).
#pragma once

#include "skin/objects/skin_object.h"

#include <memory>

namespace zaprelay::skin {

class TVxTextObject : public TVxSkinObject {
public:
    explicit TVxTextObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // The state's font: hot, pressed, focused or disabled, else Font.
    TFont& CaptionFont() override;
    // The base's painting with the state's font in Font's place.
    void Draw(TCanvas& canvas) override;
    // The state fonts' colours shift whatever they are.
    void ChangeHue(int delta) override;
    void SetCharset(TFontCharset charset) override;

    TFont& FontHot() { return *m_fontHot; }
    void SetFontHot(const TFont& value) { m_fontHot->CopyFrom(value); }
    TFont& FontFocused() { return *m_fontFocused; }
    void SetFontFocused(const TFont& value) { m_fontFocused->CopyFrom(value); }
    TFont& FontPressed() { return *m_fontPressed; }
    void SetFontPressed(const TFont& value) { m_fontPressed->CopyFrom(value); }
    TFont& FontDisabled() { return *m_fontDisabled; }
    void SetFontDisabled(const TFont& value) { m_fontDisabled->CopyFrom(value); }

private:
    // The state's own font, or none for Font.
    TFont* StateFont();

    std::unique_ptr<TFont> m_fontHot;
    std::unique_ptr<TFont> m_fontFocused;
    std::unique_ptr<TFont> m_fontPressed;
    std::unique_ptr<TFont> m_fontDisabled;
};

}  // namespace zaprelay::skin
