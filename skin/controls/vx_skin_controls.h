// The skin-bound check box, radio button and group box: the controls of the program's main
// window. Each paints from its copy of one skin object (the glyph per state and the caption
// font, or the group's frame and caption) while the skin is usable, else like its custom class.
#pragma once

#include "skin/controls/skin_bound_control.h"
#include "skin/controls/vx_check_box.h"
#include "skin/controls/vx_group_box.h"
#include "skin/controls/vx_radio_button.h"

namespace zaprelay::skin {

// The glyph of the skinned check box and radio button: the copy's child for the mark, in the
// control's skin state, and the caption font from the "Text" child in the same state.
template <typename Base>
class TVxSkinCheckable : public TVxSkinBound<Base> {
public:
    using TVxSkinBound<Base>::TVxSkinBound;

    // The size of the skin's "Checked" glyph, else 13 x 13.
    TPoint GetGlyphSize() const override;

protected:
    // The copy's child that shows the current mark.
    virtual const char* GlyphName() const = 0;
    // Where the caption font comes from when the copy has no "Text" child.
    virtual TVxSkinObject* FontFallback(TVxSkinObject* glyph) const = 0;
    void PaintGlyph() override;
};

class TVxSkinCheckBox : public TVxSkinCheckable<TVxCustomCheckBox> {
public:
    explicit TVxSkinCheckBox(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

protected:
    const char* GlyphName() const override;
    TVxSkinObject* FontFallback(TVxSkinObject* glyph) const override { return glyph; }
    // The control's Font from the copy's "Text" child, or the copy's own.
    void SkinBound() override;
};

class TVxSkinRadioButton : public TVxSkinCheckable<TVxCustomRadioButton> {
public:
    explicit TVxSkinRadioButton(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Binds again with its engine: the radio button is the one that waits for reading to end.
    void AfterRead() override;

protected:
    const char* GlyphName() const override { return Checked() ? "Checked" : "Unchecked"; }
    TVxSkinObject* FontFallback(TVxSkinObject*) const override { return SkinObjectCopy(); }
};

class TVxSkinGroupBox : public TVxSkinBound<TVxCustomGroupBox> {
public:
    explicit TVxSkinGroupBox(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

protected:
    // A skinned check box bound to the group's engine.
    TVxCustomCheckBox* CreateCheckBox() override;
    // A masked "Frame" makes the group transparent.
    void SkinBound() override;
    // The caption check box follows the group's engine.
    void BindingDone() override;
    // The skin's frame, never over the caption, then the "Caption" object and the text.
    void PaintClient() override;
};

}  // namespace zaprelay::skin
