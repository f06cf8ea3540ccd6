// An object with a second colour and font for the hot and focused states: the pointer over
// it selects them.
#pragma once

#include "framework/rtl/font.h"
#include "skin/objects/skin_object.h"

#include <memory>

namespace zaprelay::skin {

class TVxActiveSkinObject : public TVxSkinObject {
public:
    explicit TVxActiveSkinObject(TComponent* owner);
    ~TVxActiveSkinObject() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // ActiveFont in the states that paint with it, so a caption is measured as it is painted.
    TFont& CaptionFont() override;
    // States 5 and 7 paint with ActiveColor and ActiveFont; Active plays no part.
    void Draw(TCanvas& canvas) override;
    // ActiveColor follows unless it is clNone; ActiveFont's colour always does.
    void ChangeHue(int delta) override;
    void MouseEnter() override;
    void MouseLeave() override;

    TColor ActiveColor() const { return m_activeColor; }
    void SetActiveColor(TColor value) { m_activeColor = value; }
    TFont& ActiveFont() { return *m_activeFont; }
    const TFont& ActiveFont() const { return *m_activeFont; }
    void SetActiveFont(const TFont& value) { m_activeFont->CopyFrom(value); }

private:
    TColor m_activeColor = clBlack;
    std::unique_ptr<TFont> m_activeFont;
};

}  // namespace zaprelay::skin
