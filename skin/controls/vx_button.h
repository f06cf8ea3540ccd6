// The skin library's push button: a caption with an optional glyph, predefined kinds (OK,
// Cancel, Yes, ...) with their captions, glyphs and modal results, Enter and Escape for the
// default and cancel buttons, and a face in the visual style or the classic raised look.
#pragma once

#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/actions.h"
#include "skin/controls/vx_custom_control.h"

#include <cstdint>

namespace zaprelay::skin {

enum TVxButtonState : uint8_t { kbsNormal, kbsPressed };
enum TVxButtonKind : uint8_t {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TVxButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

extern const TEnumInfo kVxButtonStateNames;
extern const TEnumInfo kVxButtonKindNames;
extern const TEnumInfo kVxButtonLayoutNames;

// A kind's glyph, loaded from the program's resources on first use and kept; empty for bkCustom.
const TVxBitmap& ButtonKindGlyph(TVxButtonKind kind);

class TVxCustomButton;

// The button's glyph as the component stream stores it: "Glyph.Data", the byte count of a BMP
// file and the file. Only a custom button's own glyph is stored; a kind brings its glyph.
class TVxButtonGlyph : public TPersistent {
public:
    explicit TVxButtonGlyph(TVxCustomButton& button) : m_button(button) {}

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void DeclareProperties(TPropertyDeclarations& declarations) override;

private:
    TVxCustomButton& m_button;
};

class TVxCustomButton : public TVxCustomControl, private win32::TActionLink {
public:
    explicit TVxCustomButton(TComponent* owner);
    ~TVxCustomButton() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // ---- published
    // This button answers Enter now: it is the default and focus is on no other push button.
    bool ActiveDefault() const { return m_activeDefault; }
    bool BlackAndWhiteGlyph() const { return m_blackAndWhite; }
    void SetBlackAndWhiteGlyph(bool value);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value) { m_cancel = value; }
    bool Default() const { return m_default; }
    // Every button of the form works out again which one answers Enter.
    void SetDefault(bool value);
    TVxButtonKind Kind() const { return m_kind; }
    // A predefined kind sets the caption (unless one was read), modal result, glyph and default.
    void SetKind(TVxButtonKind value);
    int32_t ModalResult() const { return m_modalResult; }
    void SetModalResult(int32_t value) { m_modalResult = value; }
    // Images side by side in Glyph: normal, disabled, pressed (1 to 4).
    int32_t NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int32_t value);
    int32_t Spacing() const { return m_spacing; }
    void SetSpacing(int32_t value);
    TVxButtonState State() const { return m_state; }
    void SetState(TVxButtonState value);
    const TVxBitmap& Glyph() const { return m_glyph; }
    // Copies the bitmap; a strip of square images sets NumGlyphs to their count (below 5).
    void SetGlyph(const TVxBitmap& value);
    TVxButtonLayout Layout() const { return m_layout; }
    void SetLayout(TVxButtonLayout value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    // Its caption, image and click; none unlinks. Not owned.
    win32::TAction* Action() const { return m_action; }
    void SetAction(win32::TAction* value);
    // The glyph is the action's image (not stored with the layout then).
    bool GlyphFromAction() const { return m_glyphFromAction; }

    // The form's ModalResult from the button's, then the action's execution or OnClick.
    void Click() override;
    void AfterRead() override;

    // ---- geometry (client coordinates)
    TPoint GlyphSize() const;
    virtual TRect GetContentRect();
    virtual TRect GetTextRect();
    virtual TRect GetGlyphRect();

protected:
    void PaintClient() override;
    virtual void PaintFace();
    virtual void PaintGlyph();
    virtual void PaintCaption();

    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyUp(uint16_t& key, TShiftState shift) override;

private:
    void ActionChanged(win32::TAction& action) override;
    void ActionDestroyed(win32::TAction& action) override;
    void GlyphChanged();
    // The glyph's band of the content rectangle, or the text's rest of it.
    TRect SplitContent(bool glyphBand);
    void PaintClassicFace(const TRect& face);
    void Frame(TRect& r, TColor leftTop, TColor rightBottom);

    void CMDialogChar(TMessage& m);
    void CMDialogKey(TMessage& m);
    void CMFocusChanged(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMTextChanged(TMessage& m);

    bool m_activeDefault = false;
    bool m_tracking = false;
    bool m_blackAndWhite = false;
    bool m_cancel = false;
    bool m_default = false;
    TVxButtonKind m_kind = bkCustom;
    int32_t m_modalResult = 0;
    int32_t m_numGlyphs = 1;
    int32_t m_spacing = 4;
    TVxButtonState m_state = kbsNormal;
    TVxBitmap m_glyph;
    TVxButtonLayout m_layout = blGlyphLeft;
    bool m_wordWrap = false;
    TVxButtonGlyph m_glyphData{*this};
    win32::TAction* m_action = nullptr;
    bool m_glyphFromAction = false;
};

}  // namespace zaprelay::skin
