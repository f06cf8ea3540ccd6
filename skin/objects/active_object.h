// A plain skin object that changes colour and font while its window is active or while it
// is hot, pressed or focused.
#pragma once

#include "skin/objects/skin_object.h"

#include <memory>

namespace zaprelay::skin {

class TVxActiveObject : public TVxSkinObject {
public:
    explicit TVxActiveObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // ActiveFont while hot, pressed or focused; the window's activity plays no part here.
    TFont& CaptionFont() override;
    // The base's painting, with ActiveColor and ActiveFont in place of Color and Font while
    // the window is active or the object hot, pressed or focused.
    void Draw(TCanvas& canvas) override;
    // ActiveColor shifts unless it is clNone; ActiveFont's colour shifts whatever it is.
    void ChangeHue(int delta) override;
    void SetCharset(TFontCharset charset) override;

    TColor ActiveColor() const { return m_activeColor; }
    void SetActiveColor(TColor value) { m_activeColor = value; }
    TFont& ActiveFont() { return *m_activeFont; }
    void SetActiveFont(const TFont& value) { m_activeFont->CopyFrom(value); }

private:
    TColor m_activeColor = clBlack;
    std::unique_ptr<TFont> m_activeFont;
};

}  // namespace zaprelay::skin
