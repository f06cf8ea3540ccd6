// An object with a colour and a font for each of the hot, pressed, focused and disabled
// states (the grid's cells use one).
#pragma once

#include "framework/rtl/font.h"
#include "skin/objects/skin_object.h"

#include <memory>

namespace zaprelay::skin {

class TVxColorButtonObject : public TVxSkinObject {
public:
    explicit TVxColorButtonObject(TComponent* owner);
    ~TVxColorButtonObject() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // Paints with the state's colour and font (states 5 to 8), then puts Color and Font back.
    void Draw(TCanvas& canvas) override;

    TColor HotColor() const { return m_hotColor; }
    void SetHotColor(TColor value) { m_hotColor = value; }
    TFont& HotFont() { return *m_hotFont; }
    void SetHotFont(const TFont& value) { m_hotFont->CopyFrom(value); }
    TColor PressedColor() const { return m_pressedColor; }
    void SetPressedColor(TColor value) { m_pressedColor = value; }
    TFont& PressedFont() { return *m_pressedFont; }
    void SetPressedFont(const TFont& value) { m_pressedFont->CopyFrom(value); }
    TColor FocusedColor() const { return m_focusedColor; }
    void SetFocusedColor(TColor value) { m_focusedColor = value; }
    TFont& FocusedFont() { return *m_focusedFont; }
    void SetFocusedFont(const TFont& value) { m_focusedFont->CopyFrom(value); }
    TColor DisabledColor() const { return m_disabledColor; }
    void SetDisabledColor(TColor value) { m_disabledColor = value; }
    TFont& DisabledFont() { return *m_disabledFont; }
    void SetDisabledFont(const TFont& value) { m_disabledFont->CopyFrom(value); }

private:
    TColor m_hotColor = clBlack;
    std::unique_ptr<TFont> m_hotFont;
    TColor m_pressedColor = clBlack;
    std::unique_ptr<TFont> m_pressedFont;
    TColor m_focusedColor = clBlack;
    std::unique_ptr<TFont> m_focusedFont;
    TColor m_disabledColor = clBlack;
    std::unique_ptr<TFont> m_disabledFont;
};

}  // namespace zaprelay::skin
