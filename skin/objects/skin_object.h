// The skin object: a node of a skin's window-part tree. A rectangle with an alignment rule,
// colours, a caption font and text settings; its children are the components it owns, in
// creation (and stream) order. All nodes of a tree share one coordinate space.
#pragma once

#include "framework/graphics/canvas.h"
#include "framework/graphics/geometry.h"
#include "framework/graphics/region.h"
#include "framework/rtl/component.h"
#include "framework/rtl/font.h"
#include "framework/rtl/ident_tables.h"
#include "framework/rtl/mouse_input.h"
#include "skin/objects/skin_host.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {
class TVxBitmapList;
class TStream;
}  // namespace zaprelay

namespace zaprelay::skin {

enum TVxAlign {
    saNone,
    saLeft,
    saMostLeft,
    saTop,
    saMostTop,
    saRight,
    saMostRight,
    saBottom,
    saMostBottom,
    saClient,
    saTopLeft,
    saTopRight,
    saBottomLeft,
    saBottomRight,
    saCenter,
    saText,
};

enum TVxKind {
    skNone,
    skForm,
    skCaption,
    skTitle,
    skTop,
    skLeft,
    skRight,
    skBottom,
    skTopLeft,
    skTopRight,
    skBottomLeft,
    skBottomRight,
    skSysButton,
    skClient,
    skMenuBar,
    skMenuBarItem,
    skMenuBarItemText,
    skPopupMenu,
    skPopupMenuItem,
    skPopupMenuItemText,
    skItemText,
    skTranparent,  // the stored skins spell it so
};

enum TVxTextAlign {
    taTopLeft,
    taTopCenter,
    taTopRight,
    taLeft,
    taCenter,
    taRight,
    taBottomLeft,
    taBottomCenter,
    taBottomRight,
};

enum TVxTextEffect { teNone, teShadow };

extern const TEnumInfo kVxAlignNames;
extern const TEnumInfo kVxKindNames;
extern const TEnumInfo kVxTextAlignNames;
extern const TEnumInfo kVxTextEffectNames;

// Measures text in a font for saText children; the Win32 layer installs one that measures
// on the screen, the default measures with the built-in raster font.
using TSkinTextMeasure = int32_t (*)(const TFontData& font, std::u16string_view text);
void SetSkinTextMeasure(TSkinTextMeasure measure);
int32_t MeasureSkinText(const TFontData& font, std::u16string_view text);

// Whether the system's locale reads right to left; the Win32 layer sets it at start-up.
void SetSystemReadsRightToLeft(bool value);
bool SystemReadsRightToLeft();

// The text if it fits width pixels in the canvas's font, else its longest start that fits
// with "..." appended (just "..." when not even one character does).
std::u16string FitTitleText(TCanvas& canvas, std::u16string_view text, int32_t width);

// A colour moved by delta on the hue scale; system colours are resolved first, so they come
// back fixed.
TColor HueShiftedColor(TColor color, int delta);

class TVxSkinObject : public TComponent {
public:
    explicit TVxSkinObject(TComponent* owner);
    ~TVxSkinObject() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Copies the published values, then clones the source's children after any present, then
    // takes the bounds as they are (no realignment). Runtime state is not copied. A source
    // that is not a skin object raises EConvertError; a name a sibling already has raises
    // EComponentError (nothing after the name is copied then).
    void CopyFrom(const TPersistent& source) override;
    // The children, as the "Objects" binary property.
    void DeclareProperties(TPropertyDeclarations& declarations) override;

    // ---- overridable operations of the object kinds
    virtual TFont& CaptionFont();
    virtual void SetState(uint8_t value);
    // Resolves bitmap references by name once a tree is loaded.
    virtual void LinkBitmaps();
    // Paints the object and its subtree. The base fills its bounds and draws its caption
    // when it has no children or DrawIfOwner is set, then draws the children over it.
    virtual void Draw(TCanvas& canvas);
    // A new region of the object's shape; none when it has no shape (bitmap kinds without
    // an image). The base gives its bounds.
    virtual std::optional<TRegion> CreateRegion();
    virtual void ChangeHue(int delta);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    // Coordinates are relative to the object's Left and Top.
    virtual void MouseDown(TMouseButton /*button*/, int32_t /*x*/, int32_t /*y*/) {}
    virtual void MouseMove(TShiftState /*shift*/, int32_t /*x*/, int32_t /*y*/) {}
    virtual void MouseUp(TMouseButton /*button*/, int32_t /*x*/, int32_t /*y*/) {}
    virtual void DblClick(TMouseButton /*button*/, int32_t /*x*/, int32_t /*y*/) {}
    virtual void SetCharset(TFontCharset charset);

    // ---- tree
    int ChildCount() const { return ComponentCount(); }
    // None outside 0 .. ChildCount() - 1, and for an owned component that is no skin object.
    TVxSkinObject* GetChild(int index) const;
    // visit(child) for each child, in order.
    template <typename Visit>
    void ForEachChild(Visit&& visit) const {
        for (int i = 0; i < ChildCount(); ++i) {
            if (TVxSkinObject* child = GetChild(i)) {
                visit(*child);
            }
        }
    }
    // The children as they are now: a loop that adds children is not disturbed by them.
    std::vector<TVxSkinObject*> Children() const;

    // ---- geometry
    // Right and bottom saturate at the 32-bit range, so absurd stored bounds stay harmless.
    TRect BoundsRect() const;
    // Nothing happens for the current bounds; otherwise remembers the old size, takes the
    // new one (negative sizes as 0) and realigns the children. A new size also moves the
    // corner children by it, keeping their distance from the right or bottom edge.
    void SetBounds(const TRect& rect);
    // The same by position and size, which keeps any 32-bit values exactly.
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    // Lays the children out by their edge, centre, text and client rules. Repeatable, so
    // painting may call it: the corner rules follow a change of size, in SetBounds.
    void Realign();

    // ---- lookup
    // This object or the first descendant (depth first) whose name matches ignoring case.
    TVxSkinObject* FindObject(std::string_view name);
    TVxSkinObject* FindObjectByKind(TVxKind kind);
    // This object or the first descendant, depth first, that match accepts.
    TVxSkinObject* FindFirst(const std::function<bool(const TVxSkinObject&)>& match);
    // The deepest visible object under point; later siblings win. Transparent objects and
    // their subtrees are never hit.
    TVxSkinObject* ObjectAtPoint(TPoint point);
    // The object's shape for the window mask: its own region, or for a masked parent the
    // union of its visible children's (which may be empty: a shape that shows nothing). None
    // for an object without area, which has no shape at all.
    std::optional<TRegion> CreateMaskRegion();

    // ---- painting
    // Visible children with an area, in order: later ones paint over earlier ones.
    void DrawChildren(TCanvas& canvas);
    // Text inside the text margins ("-" draws a separator line), then ShortCutText at the
    // opposite side.
    void DrawCaption(TCanvas& canvas);
    // Text format flags adjusted for a right-to-left system and reading order.
    uint32_t DrawTextFlags(uint32_t flags) const;

    // ---- subtree setters
    void SetBitmapList(TVxBitmapList* list);
    void SetBiDiMode(uint8_t mode);
    // Binds the subtree to a host window, taking its reading order; none unbinds.
    void SetControl(TVxSkinHost* control);
    // Returns at once when the value is already set: the subtree is taken to be in step.
    void SetActive(bool value);

    // ---- host calls
    // Asks the host to repaint this object, when visible and bound.
    void Invalidate();
    // The host window's form component; none when unbound or the window has none.
    TVxSkinFormActions* GetForm();

    // ---- published properties
    TVxAlign Align() const { return m_align; }
    void SetAlign(TVxAlign value) { m_align = value; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    bool DrawIfOwner() const { return m_drawIfOwner; }
    void SetDrawIfOwner(bool value) { m_drawIfOwner = value; }
    // The font shown while a kind paints with another one (ShownFont), else the own font.
    TFont& Font() { return m_shownFont != nullptr ? *m_shownFont : *m_font; }
    const TFont& Font() const { return m_shownFont != nullptr ? *m_shownFont : *m_font; }
    TVxKind Kind() const { return m_kind; }
    void SetKind(TVxKind value) { m_kind = value; }
    bool Masked() const { return m_masked; }
    void SetMasked(bool value) { m_masked = value; }
    int32_t Left() const { return m_left; }
    void SetLeft(int32_t value) { SetBounds(value, m_top, m_width, m_height); }
    int32_t Top() const { return m_top; }
    void SetTop(int32_t value) { SetBounds(m_left, value, m_width, m_height); }
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t value) { SetBounds(m_left, m_top, m_width, value); }
    int32_t Width() const { return m_width; }
    void SetWidth(int32_t value) { SetBounds(m_left, m_top, value, m_height); }
    int32_t MarginLeft() const { return m_marginLeft; }
    void SetMarginLeft(int32_t value) { m_marginLeft = value; }
    int32_t MarginRight() const { return m_marginRight; }
    void SetMarginRight(int32_t value) { m_marginRight = value; }
    int32_t MarginTop() const { return m_marginTop; }
    void SetMarginTop(int32_t value) { m_marginTop = value; }
    int32_t MarginBottom() const { return m_marginBottom; }
    void SetMarginBottom(int32_t value) { m_marginBottom = value; }
    TVxTextAlign TextAlign() const { return m_textAlign; }
    void SetTextAlign(TVxTextAlign value) { m_textAlign = value; }
    TVxTextEffect TextEffect() const { return m_textEffect; }
    void SetTextEffect(TVxTextEffect value) { m_textEffect = value; }
    int32_t TextMarginLeft() const { return m_textMarginLeft; }
    void SetTextMarginLeft(int32_t value) { m_textMarginLeft = value; }
    int32_t TextMarginRight() const { return m_textMarginRight; }
    void SetTextMarginRight(int32_t value) { m_textMarginRight = value; }
    int32_t TextMarginTop() const { return m_textMarginTop; }
    void SetTextMarginTop(int32_t value) { m_textMarginTop = value; }

    // ---- runtime state (never streamed)
    bool Visible = true;
    bool Enabled = true;
    bool Active = false;
    uint8_t State = 0;
    TVxBitmapList* Bitmaps = nullptr;  // the skin's, not owned
    TVxSkinHost* Control = nullptr;    // the host, not owned
    uint8_t BiDiMode = 0;              // 0 left to right, 1 right to left
    int32_t OldWidth = 0;
    int32_t OldHeight = 0;
    std::u16string Text;
    std::u16string ShortCutText;

protected:
    // Moves without SetBounds: the corner rules keep children where the skin put them
    // without realigning their subtrees.
    void MoveLeft(int32_t value) { m_left = value; }
    void MoveTop(int32_t value) { m_top = value; }
    // Kinds that paint with a state's font for one Draw show it in Font's place by reference
    // (the own font stays owned and untouched); restore it with a TScopedValue.
    TFont*& ShownFont() { return m_shownFont; }
    // This painting with color and font shown in place of Color and Font, for one paint.
    void DrawShowing(TCanvas& canvas, TColor color, TFont& font);

private:
    void FollowResize();

    TVxAlign m_align = saNone;
    TColor m_color = clWhite;
    bool m_drawIfOwner = false;
    std::unique_ptr<TFont> m_font;
    TFont* m_shownFont = nullptr;
    TVxKind m_kind = skNone;
    bool m_masked = true;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_height = 0;
    int32_t m_width = 0;
    int32_t m_marginLeft = 0;
    int32_t m_marginRight = 0;
    int32_t m_marginTop = 0;
    int32_t m_marginBottom = 0;
    TVxTextAlign m_textAlign = taLeft;
    TVxTextEffect m_textEffect = teNone;
    int32_t m_textMarginLeft = 0;
    int32_t m_textMarginRight = 0;
    int32_t m_textMarginTop = 0;
};

}  // namespace zaprelay::skin
