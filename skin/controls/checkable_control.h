// What the skinned check box and radio button share: a glyph (box or circle) beside a caption,
// the pressed state, and the input that picks them (mouse, space bar, focus, accelerator).
#pragma once

#include "framework/win32/buttons.h"
#include "framework/win32/control_props.h"
#include "skin/controls/vx_custom_control.h"

#include <cstdint>

namespace zaprelay::skin {

using win32::cbChecked;
using win32::cbGrayed;
using win32::cbUnchecked;
using win32::TCheckBoxState;

// How the default look draws one kind of glyph.
struct TGlyphKind {
    int ThemePart;      // of the "Button" theme class
    UINT ClassicStyle;  // DFCS_BUTTONCHECK or DFCS_BUTTONRADIO
};

class TCheckableControl : public TVxCustomControl {
public:
    TCheckableControl(TComponent* owner, const TGlyphKind& kind, const std::u16string& caption);

    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TVxLeftRight Alignment() const { return m_alignment; }
    void SetAlignment(TVxLeftRight value);
    // Pixels between the glyph and the caption.
    int32_t Spacing() const { return m_spacing; }
    void SetSpacing(int32_t value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);
    // The left button went down on the control, or space was pressed, and is not released yet.
    bool Pressed() const { return m_pressed; }

    // OnClick, but not while the control is being read: reading the state is no user's click.
    void Click() override;
    virtual TPoint GetGlyphSize() const { return {13, 13}; }
    // Where the glyph is drawn: at the left or right edge, centred vertically.
    TRect GlyphRect() const;

protected:
    // What a click, the space bar or the accelerator does: the check box toggles, the radio
    // button checks itself.
    virtual void Pick() = 0;
    // The mark the glyph shows.
    virtual TCheckBoxState Mark() const = 0;

    // The base background, then the glyph, then the caption.
    void PaintClient() override;
    virtual void PaintGlyph();
    virtual void PaintCaption();

    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    // Space picks; OnKeyUp is never fired.
    void KeyUp(uint16_t& key, TShiftState shift) override;

private:
    void SetPressed(bool value);
    void CMDialogChar(TMessage& m);
    // What a standard check box answers, for tools that read controls by their messages.
    void BMGetCheck(TMessage& m);

    TGlyphKind m_kind;
    TVxLeftRight m_alignment = ktaLeftJustify;
    int32_t m_spacing = 5;
    bool m_wordWrap = false;
    bool m_pressed = false;
};

// The properties both publish beyond the base's, in stream order, with their defaults.
template <typename T>
void PublishCheckable(TClassBuilder<T>& b) {
    win32::publish::Caption(b);
    b.Enum("Alignment", kVxLeftRightNames, &TCheckableControl::Alignment, &TCheckableControl::SetAlignment,
           ktaLeftJustify);
    b.Integer("Spacing", &TCheckableControl::Spacing, &TCheckableControl::SetSpacing, 5);
    b.Boolean("WordWrap", &TCheckableControl::WordWrap, &TCheckableControl::SetWordWrap, false);
    win32::publish::Enabled(b);
    win32::publish::Font(b);
    win32::publish::TabOrder(b);
    b.Enum("Performance", kVxPerformanceNames, &T::Performance, &T::SetPerformance, kspDoubleBuffer);
    b.Boolean("Transparent", &T::Transparent, &T::SetTransparent, true);
}

}  // namespace zaprelay::skin
