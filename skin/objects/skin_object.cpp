#include "skin/objects/skin_object.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/raster_canvas.h"
#include "framework/rtl/scoped_value.h"
#include "framework/rtl/strings.h"
#include "skin/objects/skin_object_io.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <vector>

namespace zaprelay::skin {

const TEnumInfo kVxAlignNames = MakeEnumInfo<saText>(
    "TVxAlign",
    {"saNone", "saLeft", "saMostLeft", "saTop", "saMostTop", "saRight", "saMostRight", "saBottom", "saMostBottom",
     "saClient", "saTopLeft", "saTopRight", "saBottomLeft", "saBottomRight", "saCenter", "saText"});
const TEnumInfo kVxKindNames = MakeEnumInfo<skTranparent>("TVxKind",
                                                          {"skNone",
                                                           "skForm",
                                                           "skCaption",
                                                           "skTitle",
                                                           "skTop",
                                                           "skLeft",
                                                           "skRight",
                                                           "skBottom",
                                                           "skTopLeft",
                                                           "skTopRight",
                                                           "skBottomLeft",
                                                           "skBottomRight",
                                                           "skSysButton",
                                                           "skClient",
                                                           "skMenuBar",
                                                           "skMenuBarItem",
                                                           "skMenuBarItemText",
                                                           "skPopupMenu",
                                                           "skPopupMenuItem",
                                                           "skPopupMenuItemText",
                                                           "skItemText",
                                                           "skTranparent"});
const TEnumInfo kVxTextAlignNames =
    MakeEnumInfo<taBottomRight>("TVxTextAlign",
                                {"taTopLeft", "taTopCenter", "taTopRight", "taLeft", "taCenter", "taRight",
                                 "taBottomLeft", "taBottomCenter", "taBottomRight"});
const TEnumInfo kVxTextEffectNames = MakeEnumInfo<teShadow>("TVxTextEffect", {"teNone", "teShadow"});

namespace {

int32_t RasterMeasure(const TFontData& font, std::u16string_view text) {
    TPixel pixel = 0;
    TRasterCanvas canvas(TPixelSurface{&pixel, 1, 1});
    canvas.SetFont(font);
    return canvas.TextExtent(text).X;
}

TSkinTextMeasure& TextMeasure() {
    static TSkinTextMeasure measure = &RasterMeasure;
    return measure;
}

// A free area that may be inverted (narrower than nothing) while children take strips.
struct TArea {
    int64_t Left;
    int64_t Top;
    int64_t Right;
    int64_t Bottom;
    int64_t Width() const { return Right - Left; }
    int64_t Height() const { return Bottom - Top; }
};

bool& ReadsRightToLeft() {
    static bool value = false;
    return value;
}

// Format flags by text alignment: single line, with the alignment's horizontal and
// vertical bits; the shortcut text takes the horizontal mirror.
constexpr uint32_t kTextFlags[] = {0x20, 0x21, 0x22, 0x24, 0x25, 0x26, 0x28, 0x29, 0x2A};
constexpr uint32_t kShortCutFlags[] = {0x22, 0x21, 0x20, 0x26, 0x25, 0x24, 0x2A, 0x29, 0x28};
constexpr char16_t kEllipsis[] = u"...";

uint32_t FlagsFor(const uint32_t (&table)[9], TVxTextAlign align) {
    const auto index = static_cast<std::size_t>(align);
    return index < std::size(table) ? table[index] : table[taLeft];
}

}  // namespace

void SetSkinTextMeasure(TSkinTextMeasure measure) {
    TextMeasure() = measure != nullptr ? measure : &RasterMeasure;
}

int32_t MeasureSkinText(const TFontData& font, std::u16string_view text) {
    return TextMeasure()(font, text);
}

TColor HueShiftedColor(TColor color, int delta) {
    return PixelToColor(ShiftHue(ColorToPixel(ResolveColor(color)), delta));
}

void SetSystemReadsRightToLeft(bool value) {
    ReadsRightToLeft() = value;
}

bool SystemReadsRightToLeft() {
    return ReadsRightToLeft();
}

std::u16string FitTitleText(TCanvas& canvas, std::u16string_view text, int32_t width) {
    if (canvas.TextExtent(text).X <= width) {
        return std::u16string(text);
    }
    std::u16string taken;
    std::size_t index = 0;
    while (index < text.size()) {
        // A surrogate pair is one character: never cut between its halves.
        std::size_t length = 1;
        if (text[index] >= 0xD800 && text[index] <= 0xDBFF && index + 1 < text.size() && text[index + 1] >= 0xDC00 &&
            text[index + 1] <= 0xDFFF) {
            length = 2;
        }
        std::u16string candidate = taken;
        candidate.append(text.substr(index, length));
        candidate += kEllipsis;
        if (canvas.TextExtent(candidate).X > width) {
            break;
        }
        taken.append(text.substr(index, length));
        index += length;
    }
    return taken + kEllipsis;
}

// ---- TVxSkinObject

TVxSkinObject::TVxSkinObject(TComponent* owner) : TComponent(owner), m_font(std::make_unique<TFont>()) {}

TVxSkinObject::~TVxSkinObject() = default;

const TClassInfo& TVxSkinObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSkinObject;
        TClassInfo i = NewClassInfo<T, TComponent>("TVxSkinObject");
        TClassBuilder<T>(i)
            .Enum("Align", kVxAlignNames, &T::Align, &T::SetAlign, saNone)
            .Color("Color", &T::Color, &T::SetColor, clWhite)
            .Boolean("DrawIfOwner", &T::DrawIfOwner, &T::SetDrawIfOwner, false)
            .Object("Font", [](T& o) -> TPersistent* { return &o.Font(); })
            .Enum("Kind", kVxKindNames, &T::Kind, &T::SetKind, skNone)
            .Boolean("Masked", &T::Masked, &T::SetMasked, true)
            .Integer("Left", &T::Left, &T::SetLeft, 0)
            .Integer("Top", &T::Top, &T::SetTop, 0)
            .Integer("Height", &T::Height, &T::SetHeight, 0)
            .Integer("Width", &T::Width, &T::SetWidth, 0)
            .Integer("MarginLeft", &T::MarginLeft, &T::SetMarginLeft, 0)
            .Integer("MarginRight", &T::MarginRight, &T::SetMarginRight, 0)
            .Integer("MarginTop", &T::MarginTop, &T::SetMarginTop, 0)
            .Integer("MarginBottom", &T::MarginBottom, &T::SetMarginBottom, 0)
            .Enum("TextAlign", kVxTextAlignNames, &T::TextAlign, &T::SetTextAlign, taLeft)
            .Enum("TextEffect", kVxTextEffectNames, &T::TextEffect, &T::SetTextEffect, teNone)
            .Integer("TextMarginLeft", &T::TextMarginLeft, &T::SetTextMarginLeft, 0)
            .Integer("TextMarginRight", &T::TextMarginRight, &T::SetTextMarginRight, 0)
            .Integer("TextMarginTop", &T::TextMarginTop, &T::SetTextMarginTop, 0)
            .Creatable();
        return i;
    }();
    return info;
}

void TVxSkinObject::DeclareProperties(TPropertyDeclarations& declarations) {
    TComponent::DeclareProperties(declarations);
    // Always written, so a childless object still says so.
    declarations.DefineBinaryProperty(
        "Objects", [this](TStream& stream) { ReadSkinObjectChildren(stream, *this); },
        [this](TStream& stream) { WriteSkinObjectChildren(stream, *this); }, true);
}

void TVxSkinObject::CopyFrom(const TPersistent& source) {
    const auto* other = dynamic_cast<const TVxSkinObject*>(&source);
    if (other == nullptr) {
        TComponent::CopyFrom(source);
        return;
    }
    if (other == this) {
        return;
    }
    SetName(other->Name());
    m_masked = other->m_masked;
    m_align = other->m_align;
    m_kind = other->m_kind;
    Bitmaps = other->Bitmaps;
    m_color = other->m_color;
    m_drawIfOwner = other->m_drawIfOwner;
    m_font->CopyFrom(*other->m_font);
    m_textAlign = other->m_textAlign;
    m_textEffect = other->m_textEffect;
    m_textMarginLeft = other->m_textMarginLeft;
    m_textMarginRight = other->m_textMarginRight;
    m_textMarginTop = other->m_textMarginTop;
    m_marginLeft = other->m_marginLeft;
    m_marginTop = other->m_marginTop;
    m_marginRight = other->m_marginRight;
    m_marginBottom = other->m_marginBottom;
    // A snapshot: cloning into a descendant of the source must not visit the new copies.
    for (const TVxSkinObject* child : other->Children()) {
        CloneSkinObject(*child, this);
    }
    m_left = other->m_left;
    m_top = other->m_top;
    m_width = other->m_width;
    m_height = other->m_height;
}

TFont& TVxSkinObject::CaptionFont() {
    return Font();
}

void TVxSkinObject::SetState(uint8_t value) {
    State = value;
    ForEachChild([&](TVxSkinObject& child) { child.SetState(value); });
}

void TVxSkinObject::LinkBitmaps() {
    ForEachChild([&](TVxSkinObject& child) { child.LinkBitmaps(); });
}

void TVxSkinObject::Draw(TCanvas& canvas) {
    if (!Visible || m_width <= 0 || m_height <= 0) {
        return;
    }
    if (ChildCount() == 0 || m_drawIfOwner) {
        if (m_color != clNone) {
            canvas.FillRect(BoundsRect(), m_color);
        }
        DrawCaption(canvas);
    }
    DrawChildren(canvas);
}

void TVxSkinObject::DrawChildren(TCanvas& canvas) {
    ForEachChild([&](TVxSkinObject& child) {
        if (child.Visible && child.m_width > 0 && child.m_height > 0) {
            child.Draw(canvas);
        }
    });
}

void TVxSkinObject::DrawCaption(TCanvas& canvas) {
    if (Text == u"-") {
        TRect line = BoundsRect();
        line.Top = ClampToInt32(int64_t{line.Top} + m_height / 2 - 1);
        line.Left = ClampToInt32(int64_t{line.Left} + 3);
        line.Right = ClampToInt32(int64_t{line.Right} - 3);
        line.Bottom = ClampToInt32(int64_t{line.Top} + 1);
        canvas.FillRect(line, CaptionFont().Color());
        return;
    }
    if (Text.empty() && ShortCutText.empty()) {
        return;
    }
    TRect rect = BoundsRect();
    rect.Left = ClampToInt32(int64_t{rect.Left} + m_textMarginLeft);
    rect.Right = ClampToInt32(int64_t{rect.Right} - m_textMarginRight);
    rect.Top = ClampToInt32(int64_t{rect.Top} + m_textMarginTop);
    TFontData font = Font().Data();
    if (!Enabled) {
        font.Color = clGray;
    }
    canvas.Save();
    canvas.SetFont(font);
    if (!Text.empty()) {
        std::u16string text = Text;
        if (m_kind == skTitle) {
            text = FitTitleText(canvas, text, ClampToInt32(int64_t{m_width} - m_textMarginLeft - m_textMarginRight));
        }
        const uint32_t flags = DrawTextFlags(FlagsFor(kTextFlags, m_textAlign));
        if (m_textEffect == teShadow) {
            TFontData shadow = font;
            shadow.Color = clBlack;
            canvas.SetFont(shadow);
            TRect offset{ClampToInt32(int64_t{rect.Left} + 1), ClampToInt32(int64_t{rect.Top} + 1),
                         ClampToInt32(int64_t{rect.Right} + 1), ClampToInt32(int64_t{rect.Bottom} + 1)};
            canvas.DrawText(text, offset, flags);
            canvas.SetFont(font);
        }
        TRect place = rect;
        canvas.DrawText(text, place, flags);
    }
    if (!ShortCutText.empty()) {
        TRect place = rect;
        uint32_t flags = FlagsFor(kShortCutFlags, m_textAlign);
        if (Control != nullptr) {
            flags = Control->DrawTextBiDiModeFlags(flags);
        }
        canvas.DrawText(ShortCutText, place, flags);
    }
    canvas.Restore();
}

uint32_t TVxSkinObject::DrawTextFlags(uint32_t flags) const {
    if (!SystemReadsRightToLeft()) {
        return flags;
    }
    if (BiDiMode != 0) {
        if ((flags & TextFormat::Right) != 0) {
            flags &= ~TextFormat::Right;
        } else if ((flags & TextFormat::Center) == 0) {
            flags |= TextFormat::Right;
        }
    }
    if (BiDiMode == 1) {
        flags |= TextFormat::RtlReading;
    }
    return flags;
}

std::optional<TRegion> TVxSkinObject::CreateRegion() {
    return TRegion(BoundsRect());
}

void TVxSkinObject::DrawShowing(TCanvas& canvas, TColor color, TFont& font) {
    TScopedValue<TColor> shownColor(m_color, color);
    TScopedValue<TFont*> shownFont(m_shownFont, &font);
    TVxSkinObject::Draw(canvas);
}

void TVxSkinObject::ChangeHue(int delta) {
    if (m_color != clNone) {
        m_color = HueShiftedColor(m_color, delta);
    }
    if (m_font->Color() != clNone) {
        m_font->SetColor(HueShiftedColor(m_font->Color(), delta));
    }
    ForEachChild([&](TVxSkinObject& child) { child.ChangeHue(delta); });
}

void TVxSkinObject::SetCharset(TFontCharset charset) {
    m_font->SetCharset(charset);
    ForEachChild([&](TVxSkinObject& child) { child.SetCharset(charset); });
}

TVxSkinObject* TVxSkinObject::GetChild(int index) const {
    if (index < 0 || index >= ChildCount()) {
        return nullptr;
    }
    return dynamic_cast<TVxSkinObject*>(Components(index));
}

std::vector<TVxSkinObject*> TVxSkinObject::Children() const {
    std::vector<TVxSkinObject*> children;
    ForEachChild([&](TVxSkinObject& child) { children.push_back(&child); });
    return children;
}

TRect TVxSkinObject::BoundsRect() const {
    return {m_left, m_top, ClampToInt32(int64_t{m_left} + m_width), ClampToInt32(int64_t{m_top} + m_height)};
}

void TVxSkinObject::SetBounds(const TRect& rect) {
    SetBounds(rect.Left, rect.Top, ClampToInt32(int64_t{rect.Right} - rect.Left),
              ClampToInt32(int64_t{rect.Bottom} - rect.Top));
}

void TVxSkinObject::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == m_left && top == m_top && width == m_width && height == m_height) {
        return;
    }
    const bool resized = width != m_width || height != m_height;
    OldWidth = m_width;
    OldHeight = m_height;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Realign();
    if (resized) {
        FollowResize();
    }
}

void TVxSkinObject::Realign() {
    std::vector<TVxSkinObject*> visible;
    ForEachChild([&](TVxSkinObject& child) {
        if (child.Visible) {
            visible.push_back(&child);
        }
    });
    TArea area{m_left, m_top, int64_t{m_left} + m_width, int64_t{m_top} + m_height};
    auto place = [](TVxSkinObject* child, int64_t left, int64_t top, int64_t width, int64_t height) {
        child->SetBounds(ClampToInt32(left), ClampToInt32(top), ClampToInt32(width), ClampToInt32(height));
    };
    // Edge rules: the first pair of aligns takes a strip at the top / bottom, the second at
    // the left / right, and the free area shrinks by each strip.
    auto edges = [&](TVxAlign top, TVxAlign bottom, TVxAlign left, TVxAlign right) {
        for (TVxSkinObject* child : visible) {
            const int64_t h = child->m_height;
            if (child->m_align == top) {
                place(child, area.Left, area.Top, area.Width(), h);
                area.Top += h;
            } else if (child->m_align == bottom) {
                place(child, area.Left, area.Bottom - h, area.Width(), h);
                area.Bottom -= h;
            }
        }
        for (TVxSkinObject* child : visible) {
            const int64_t w = child->m_width;
            if (child->m_align == left) {
                place(child, area.Left, area.Top, w, area.Height());
                area.Left += w;
            } else if (child->m_align == right) {
                place(child, area.Right - w, area.Top, w, area.Height());
                area.Right -= w;
            }
        }
    };
    edges(saMostTop, saMostBottom, saMostLeft, saMostRight);
    edges(saTop, saBottom, saLeft, saRight);
    for (auto it = visible.rbegin(); it != visible.rend(); ++it) {
        TVxSkinObject* child = *it;
        if (child->m_align == saText) {
            const int64_t width = int64_t{MeasureSkinText(child->CaptionFont().Data(), child->Text)} +
                                  child->m_textMarginLeft + child->m_textMarginRight;
            place(child, child->m_left, child->m_top, width, child->m_height);
        }
    }
    for (auto it = visible.rbegin(); it != visible.rend(); ++it) {
        TVxSkinObject* child = *it;
        if (child->m_align == saCenter) {
            place(child, area.Left + (area.Width() - child->m_width) / 2,
                  area.Top + (area.Height() - child->m_height) / 2, child->m_width, child->m_height);
        }
    }
    for (TVxSkinObject* child : visible) {
        if (child->m_align == saClient) {
            place(child, area.Left, area.Top, area.Width(), area.Height());
        }
    }
}

void TVxSkinObject::FollowResize() {
    // Corner rules keep a child's distance from the right or bottom edge, hidden or not, by
    // the change from the old size: applied once per change, or each repaint would move the
    // child again. A bottom-right child keeps both distances.
    ForEachChild([&](TVxSkinObject& child) {
        const bool right = child.m_align == saTopRight || child.m_align == saBottomRight;
        const bool bottom = child.m_align == saBottomLeft || child.m_align == saBottomRight;
        if (right && OldWidth > 0) {
            child.MoveLeft(ClampToInt32(int64_t{m_width} - (int64_t{OldWidth} - child.m_left)));
        }
        if (bottom && (child.m_align == saBottomLeft || OldHeight > 0)) {
            child.MoveTop(ClampToInt32(int64_t{m_height} - (int64_t{OldHeight} - child.m_top)));
        }
    });
}

TVxSkinObject* TVxSkinObject::FindFirst(const std::function<bool(const TVxSkinObject&)>& match) {
    if (match(*this)) {
        return this;
    }
    for (int i = 0; i < ChildCount(); ++i) {
        if (TVxSkinObject* child = GetChild(i)) {
            if (TVxSkinObject* found = child->FindFirst(match)) {
                return found;
            }
        }
    }
    return nullptr;
}

TVxSkinObject* TVxSkinObject::FindObject(std::string_view name) {
    return FindFirst([name](const TVxSkinObject& o) { return SameText(o.Name(), name); });
}

TVxSkinObject* TVxSkinObject::FindObjectByKind(TVxKind kind) {
    return FindFirst([kind](const TVxSkinObject& o) { return o.m_kind == kind; });
}

TVxSkinObject* TVxSkinObject::ObjectAtPoint(TPoint point) {
    if (!Visible || !BoundsRect().Contains(point) || m_kind == skTranparent) {
        return nullptr;
    }
    if (ChildCount() == 0) {
        return this;
    }
    TVxSkinObject* hit = nullptr;
    ForEachChild([&](TVxSkinObject& child) {
        if (TVxSkinObject* found = child.ObjectAtPoint(point)) {
            hit = found;
        }
    });
    return hit != nullptr ? hit : this;
}

std::optional<TRegion> TVxSkinObject::CreateMaskRegion() {
    if (m_width <= 0 || m_height <= 0) {
        return std::nullopt;
    }
    if (ChildCount() == 0 || m_drawIfOwner || !m_masked) {
        return CreateRegion();
    }
    TRegion result;
    ForEachChild([&](TVxSkinObject& child) {
        if (!child.Visible) {
            return;
        }
        if (std::optional<TRegion> shape = child.CreateMaskRegion()) {
            result.Union(*shape);
        }
    });
    return result;
}

void TVxSkinObject::SetBitmapList(TVxBitmapList* list) {
    Bitmaps = list;
    ForEachChild([&](TVxSkinObject& child) { child.SetBitmapList(list); });
}

void TVxSkinObject::SetBiDiMode(uint8_t mode) {
    BiDiMode = mode;
    ForEachChild([&](TVxSkinObject& child) { child.SetBiDiMode(mode); });
}

void TVxSkinObject::SetControl(TVxSkinHost* control) {
    Control = control;
    // The recursion below reaches every descendant with the same control.
    if (control != nullptr) {
        BiDiMode = control->ReadingOrder();
    }
    ForEachChild([&](TVxSkinObject& child) { child.SetControl(control); });
}

void TVxSkinObject::Invalidate() {
    if (Visible && Control != nullptr) {
        Control->SkinObjectChanged(*this);
    }
}

TVxSkinFormActions* TVxSkinObject::GetForm() {
    return Control != nullptr ? Control->GetSkinForm() : nullptr;
}

void TVxSkinObject::SetActive(bool value) {
    if (Active == value) {
        return;
    }
    Active = value;
    ForEachChild([&](TVxSkinObject& child) { child.SetActive(value); });
}

}  // namespace zaprelay::skin
