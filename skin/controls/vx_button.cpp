#include "skin/controls/vx_button.h"

#include "framework/graphics/pixel.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "framework/win32/buttons.h"
#include "framework/win32/control_props.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/image_list.h"
#include "skin/form/window_skin_host.h"
#include "skin/form/window_theme.h"
#include "skin/store/bmp_codec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>

namespace zaprelay::skin {

const TEnumInfo kVxButtonStateNames = MakeEnumInfo<kbsPressed>("TVxButtonState", {"kbsNormal", "kbsPressed"});
const TEnumInfo kVxButtonKindNames = MakeEnumInfo<bkAll>(
    "TVxButtonKind",
    {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"});
const TEnumInfo kVxButtonLayoutNames =
    MakeEnumInfo<blGlyphBottom>("TVxButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});

namespace {

struct TKindData {
    const char16_t* Caption;
    int32_t ModalResult;
    const wchar_t* Resource;
};

constexpr std::array<TKindData, 11> kKinds = {{
    {nullptr, 0, nullptr},
    {u"OK", 1, L"VX_BTN_OK"},
    {u"Cancel", 2, L"VX_BTN_CANCEL"},
    {u"&Help", 0, L"VX_BTN_HELP"},
    {u"&Yes", 6, L"VX_BTN_YES"},
    {u"&No", 7, L"VX_BTN_NO"},
    {u"&Close", 0, L"VX_BTN_CLOSE"},
    {u"Abort", 3, L"VX_BTN_ABORT"},
    {u"&Retry", 4, L"VX_BTN_RETRY"},
    {u"&Ignore", 5, L"VX_BTN_IGNORE"},
    {u"&All", 8, L"VX_BTN_ALL"},
}};

// A program without the resources shows the kinds without glyphs.
void LoadGlyph(const wchar_t* resource, TVxBitmap& glyph) {
    win32::TBitmapHandle loaded(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!loaded || GetObjectW(loaded.Get(), sizeof info, &info) == 0) {
        return;
    }
    glyph.SetSize(info.bmWidth, info.bmHeight);
    win32::TMemoryDC source(CreateCompatibleDC(nullptr));
    win32::TSelectObject select(source.Get(), loaded.Get());
    BitBlt(win32::BitmapDC(glyph), 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
    GdiFlush();
    glyph.SetAlpha(255);
}

TPixel Grey(int value) {
    const auto v = static_cast<TPixel>(std::clamp(value, 0, 255));
    return 0xFF000000u | (v << 16) | (v << 8) | v;
}

}  // namespace

const TVxBitmap& ButtonKindGlyph(TVxButtonKind kind) {
    static std::map<TVxButtonKind, std::unique_ptr<TVxBitmap>> loaded;
    std::unique_ptr<TVxBitmap>& glyph = loaded[kind];
    if (!glyph) {
        glyph = std::make_unique<TVxBitmap>();
        if (kind < kKinds.size() && kKinds[kind].Resource != nullptr) {
            LoadGlyph(kKinds[kind].Resource, *glyph);
        }
    }
    return *glyph;
}

// ---------------------------------------------------------------- the glyph in the stream

const TClassInfo& TVxButtonGlyph::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TVxButtonGlyph, TPersistent>("TVxButtonGlyph");
    return info;
}

void TVxButtonGlyph::DeclareProperties(TPropertyDeclarations& declarations) {
    declarations.DefineBinaryProperty(
        "Data",
        [this](TStream& stream) {
            const int32_t size = stream.ReadInt32();
            // The count is checked against what the stream holds before anything is allocated.
            if (size < 0 || size > stream.Remaining()) {
                throw EReadError(msg::kInvalidBitmapImage);
            }
            std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
            stream.ReadBuffer(bytes.data(), size);
            TVxBitmap glyph;
            DecodeBmp(bytes, glyph);
            m_button.SetGlyph(glyph);
        },
        [this](TStream& stream) {
            const std::vector<uint8_t> bytes = EncodeBmp24(m_button.Glyph());
            stream.WriteInt32(static_cast<int32_t>(bytes.size()));
            stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        },
        m_button.Kind() == bkCustom && !m_button.Glyph().Empty() && !m_button.GlyphFromAction());
}

// ---------------------------------------------------------------- the button

const TClassInfo& TVxCustomButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxCustomButton, TVxCustomControl>("TVxCustomButton");
        using T = TVxCustomButton;
        TClassBuilder<T> b(i);
        b.Component(
            "Action", [](const T& c) -> TComponent* { return c.Action(); },
            [](T& c, TComponent* a) { c.SetAction(dynamic_cast<win32::TAction*>(a)); });
        b.Boolean("ActiveDefault", &T::ActiveDefault, [](T&, bool) {}).NotStored();
        b.Boolean("BlackAndWhiteGlyph", &T::BlackAndWhiteGlyph, &T::SetBlackAndWhiteGlyph, false);
        b.Boolean("Cancel", &T::Cancel, &T::SetCancel, false);
        win32::publish::Caption(b);
        b.Boolean("Default", &T::Default, &T::SetDefault, false);
        win32::publish::Enabled(b);
        win32::publish::Font(b);
        b.Enum("Kind", kVxButtonKindNames, &T::Kind, &T::SetKind, bkCustom);
        b.Integer(
            "ModalResult", &T::ModalResult, [](T& c, int64_t v) { c.SetModalResult(static_cast<int32_t>(v)); }, 0);
        b.Integer(
            "NumGlyphs", &T::NumGlyphs, [](T& c, int64_t v) { c.SetNumGlyphs(static_cast<int32_t>(v)); }, 1);
        b.Integer(
            "Spacing", &T::Spacing, [](T& c, int64_t v) { c.SetSpacing(static_cast<int32_t>(v)); }, 4);
        b.Enum("State", kVxButtonStateNames, &T::State, &T::SetState, kbsNormal);
        b.Object("Glyph", [](T& c) -> TPersistent* { return &c.m_glyphData; });
        b.Enum("Layout", kVxButtonLayoutNames, &T::Layout, &T::SetLayout, blGlyphLeft);
        win32::publish::TabOrder(b);
        win32::publish::TabStop(b, true);
        b.Boolean("WordWrap", &T::WordWrap, &T::SetWordWrap, false);
        b.Boolean("Transparent", &T::Transparent, &T::SetTransparent, false);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TVxCustomButton::StaticMessageTable() {
    using T = TVxCustomButton;
    static const TMessageTable table = TMessageTable::For<T, TVxCustomControl>()
                                           .On<&T::CMDialogChar>(win32::CM_DIALOGCHAR)
                                           .On<&T::CMDialogKey>(win32::CM_DIALOGKEY)
                                           .On<&T::CMFocusChanged>(win32::CM_FOCUSCHANGED)
                                           .On<&T::CMEnabledChanged>(win32::CM_ENABLEDCHANGED)
                                           .On<&T::CMTextChanged>(win32::CM_TEXTCHANGED);
    return table;
}

TVxCustomButton::TVxCustomButton(TComponent* owner) : TVxCustomControl(owner) {
    // The button makes its own clicks: on release over it, Enter, Escape, space and accelerator.
    SetControlStyle((ControlStyle() | win32::csCaptureMouse | win32::csSetCaption | win32::csDoubleClicks) &
                    ~static_cast<uint32_t>(win32::csClickEvents));
    SetColor(clBtnFace);
    SetPerformance(kspDoubleBuffer);
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

TVxCustomButton::~TVxCustomButton() = default;

// ---------------------------------------------------------------- properties

void TVxCustomButton::SetBlackAndWhiteGlyph(bool value) {
    if (Store(m_blackAndWhite, value)) {
        Invalidate();
    }
}

void TVxCustomButton::SetDefault(bool value) {
    m_default = value;
    if (HandleAllocated()) {
        if (win32::TCustomForm* form = GetParentForm()) {
            form->Perform(win32::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(form->ActiveControl()));
        }
    }
    Invalidate();
}

void TVxCustomButton::SetKind(TVxButtonKind value) {
    if (value == m_kind || value > bkAll) {
        return;
    }
    if (value != bkCustom) {
        SetDefault(value == bkOK || value == bkYes);
        // A caption read with the kind is the layout's own.
        if (!(HasState(csLoading) && !Caption().empty())) {
            SetCaption(kKinds[value].Caption);
        }
        m_modalResult = kKinds[value].ModalResult;
        SetGlyph(ButtonKindGlyph(value));
        m_numGlyphs = 2;
    }
    m_kind = value;
    Invalidate();
}

void TVxCustomButton::SetNumGlyphs(int32_t value) {
    if (Store(m_numGlyphs, std::clamp(value, 1, 4))) {
        Invalidate();
    }
}

void TVxCustomButton::SetSpacing(int32_t value) {
    if (Store(m_spacing, value)) {
        Invalidate();
    }
}

void TVxCustomButton::SetState(TVxButtonState value) {
    if (value <= kbsPressed && Store(m_state, value)) {
        Invalidate();
    }
}

void TVxCustomButton::SetLayout(TVxButtonLayout value) {
    if (value <= blGlyphBottom && Store(m_layout, value)) {
        Invalidate();
    }
}

void TVxCustomButton::SetWordWrap(bool value) {
    if (Store(m_wordWrap, value)) {
        Invalidate();
    }
}

void TVxCustomButton::SetGlyph(const TVxBitmap& value) {
    m_glyphFromAction = false;
    if (&value != &m_glyph) {
        // The pixels themselves: a bitmap's CopyFrom converts from other kinds of image only.
        m_glyph.SetSize(value.Width(), value.Height());
        if (!value.Empty() && !m_glyph.Empty()) {
            std::copy_n(value.Bits(),
                        static_cast<std::size_t>(value.Width()) * static_cast<std::size_t>(value.Height()),
                        m_glyph.Bits());
        }
    }
    GlyphChanged();
}

void TVxCustomButton::GlyphChanged() {
    const int32_t height = m_glyph.Height();
    if (height != 0 && m_glyph.Width() % height == 0) {
        const int32_t count = m_glyph.Width() / height;
        m_numGlyphs = count < 5 ? std::max(count, 1) : 1;
    }
    Invalidate();
}

void TVxCustomButton::Click() {
    if (win32::TCustomForm* form = GetParentForm()) {
        form->SetModalResult(m_modalResult);
    }
    if (m_action != nullptr && m_action->Execute(this)) {
        return;
    }
    TVxCustomControl::Click();
}

void TVxCustomButton::AfterRead() {
    TVxCustomControl::AfterRead();
    if (m_action != nullptr) {
        ActionChanged(*m_action);
    }
    Invalidate();
}

// ---------------------------------------------------------------- action

void TVxCustomButton::SetAction(win32::TAction* value) {
    if (value == m_action) {
        return;
    }
    if (m_action != nullptr) {
        m_action->Unlink(this);
    }
    ReplaceReference<win32::TAction>(this, m_action, value);
    if (m_action != nullptr) {
        m_action->Link(this);
        if (!HasState(csLoading)) {
            ActionChanged(*m_action);
        }
    }
}

void TVxCustomButton::ActionChanged(win32::TAction& action) {
    SetCaption(action.Caption());
    win32::TImageList* images = action.ActionList() != nullptr ? action.ActionList()->Images() : nullptr;
    const int index = action.ImageIndex();
    if (images != nullptr && index >= 0 && index < images->Count()) {
        // The image over magenta, the glyph's key colour, so its see-through pixels stay out.
        TVxBitmap image;
        image.SetSize(images->Width(), images->Height());
        image.Fill(0xFFFF00FF);
        if (HDC dc = win32::BitmapDC(image)) {
            images->Draw(dc, 0, 0, index);
            GdiFlush();
        }
        SetGlyph(image);
        m_glyphFromAction = true;
    }
}

void TVxCustomButton::ActionDestroyed(win32::TAction& action) {
    if (&action == m_action) {
        m_action->RemoveFreeNotification(this);
        m_action = nullptr;
        m_glyphFromAction = false;
    }
}

// ---------------------------------------------------------------- geometry

TPoint TVxCustomButton::GlyphSize() const {
    if (m_glyph.Empty()) {
        return {0, 0};
    }
    return {m_glyph.Width() / m_numGlyphs, m_glyph.Height()};
}

TRect TVxCustomButton::GetContentRect() {
    const TPoint glyph = GlyphSize();
    TRect r;
    if (m_wordWrap) {
        r = {0, 0, Width() - m_spacing - glyph.X - 10, Height() - m_spacing - glyph.Y - 10};
    } else {
        const TPoint text = ScreenTextExtent(PaintFont().Data(), Caption());
        r = {0, 0, text.X, text.Y};
    }
    if (glyph.X > 0 && glyph.Y > 0) {
        if (m_layout == blGlyphTop || m_layout == blGlyphBottom) {
            r.Bottom += glyph.Y + m_spacing;
        } else {
            r.Right += glyph.X + m_spacing;
        }
        r.Right = std::max(r.Right, glyph.X);
        r.Bottom = std::max(r.Bottom, glyph.Y);
    }
    r = r.Offset((Width() - r.Right) / 2, (Height() - r.Bottom) / 2);
    if (m_state == kbsPressed) {
        r = r.Offset(1, 1);
    }
    return r;
}

TRect TVxCustomButton::GetTextRect() {
    return SplitContent(false);
}

TRect TVxCustomButton::GetGlyphRect() {
    return SplitContent(true);
}

TRect TVxCustomButton::SplitContent(bool glyphBand) {
    TRect r = GetContentRect();
    const TPoint glyph = GlyphSize();
    if (glyph.X == 0) {
        return r;
    }
    // The band the glyph takes at its side; the text has the rest.
    const int32_t across = glyph.X + m_spacing;
    const int32_t down = glyph.Y + m_spacing;
    switch (m_layout) {
        case blGlyphLeft:
            (glyphBand ? r.Right : r.Left) = r.Left + across;
            break;
        case blGlyphRight:
            (glyphBand ? r.Left : r.Right) = r.Right - across;
            break;
        case blGlyphTop:
            (glyphBand ? r.Bottom : r.Top) = r.Top + down;
            break;
        case blGlyphBottom:
            (glyphBand ? r.Top : r.Bottom) = r.Bottom - down;
            break;
    }
    return r;
}

// ---------------------------------------------------------------- painting

void TVxCustomButton::PaintClient() {
    TVxCustomControl::PaintClient();
    PaintFace();
    PaintCaption();
    PaintGlyph();
}

void TVxCustomButton::PaintFace() {
    const TRect face = GetInnerRect();
    if (VisualStylesActive()) {
        if (const TWindowTheme theme(L"Button", WindowHandle()); theme) {
            const int state = !Enabled()                      ? 4
                              : m_state == kbsPressed         ? 3
                              : MouseInControl()              ? 2
                              : HasFocus() || m_activeDefault ? 5
                                                              : 1;
            // The theme's rounded corners show what lies under the button.
            if (!Transparent()) {
                Painting().PaintParentBackground(*this, PaintCanvas().Handle());
            }
            theme.Draw(PaintCanvas().Handle(), 1, state, face);
            return;
        }
    }
    PaintClassicFace(face);
}

void TVxCustomButton::Frame(TRect& r, TColor leftTop, TColor rightBottom) {
    win32::TGdiCanvas& canvas = PaintCanvas();
    const std::array<TPoint, 3> first{TPoint{r.Left, r.Bottom - 2}, TPoint{r.Left, r.Top}, TPoint{r.Right - 1, r.Top}};
    const std::array<TPoint, 3> second{TPoint{r.Right - 1, r.Top}, TPoint{r.Right - 1, r.Bottom - 1},
                                       TPoint{r.Left - 1, r.Bottom - 1}};
    canvas.Polyline(first, leftTop);
    canvas.Polyline(second, rightBottom);
}

void TVxCustomButton::PaintClassicFace(const TRect& face) {
    win32::TGdiCanvas& canvas = PaintCanvas();
    TRect r = face;
    if (HasFocus() || m_activeDefault) {
        canvas.FrameRect(r, clBlack);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    canvas.FillRect(r, Color());
    if (m_state == kbsNormal) {
        Frame(r, clBtnHighlight, clBlack);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        Frame(r, Color(), clBtnShadow);
    } else {
        Frame(r, clBtnShadow, clBtnShadow);
    }
    if (HasFocus()) {
        win32::TSavedDC saved(canvas.Handle());
        SetBkColor(canvas.Handle(), win32::ToColorRef(clBtnShadow));
        canvas.DrawFocusRect({face.Left + 4, face.Top + 4, face.Right - 4, face.Bottom - 4});
    }
}

void TVxCustomButton::PaintCaption() {
    win32::TGdiCanvas& canvas = PaintCanvas();
    canvas.SetFont(PaintFont().Data());
    const std::u16string caption = Caption();
    const TRect text = GetTextRect();
    const uint32_t wrap = m_wordWrap ? DT_WORDBREAK : 0;
    const TPoint extent = canvas.TextExtent(caption);
    TRect r{0, 0, m_wordWrap ? text.Width() : extent.X, extent.Y};
    canvas.DrawText(caption, r, DrawTextBiDiModeFlags(DT_CALCRECT | wrap));
    r = r.Offset(text.Left + (text.Width() - r.Width()) / 2, text.Top + (text.Height() - r.Height()) / 2);
    const uint32_t flags = DrawTextBiDiModeFlags(DT_CENTER | wrap);
    if (Enabled()) {
        canvas.DrawText(caption, r, flags);
    } else {
        win32::DrawEngravedText(canvas.Handle(), caption, {r.Left, r.Top, r.Right, r.Bottom}, flags);
    }
}

void TVxCustomButton::PaintGlyph() {
    const TPoint size = GlyphSize();
    if (size.X <= 0 || size.Y <= 0) {
        return;
    }
    const TRect band = GetGlyphRect();
    const int32_t left = band.Left + (band.Width() - size.X) / 2;
    const int32_t top = band.Top + (band.Height() - size.Y) / 2;
    int cell = 0;
    if (!Enabled() && m_numGlyphs > 1) {
        cell = 1;
    } else if (m_state == kbsPressed && m_numGlyphs > 2) {
        cell = 2;
    }
    const TPixel key = m_glyph.GetPixel(0, m_glyph.Height() - 1) & 0x00FFFFFF;
    const bool greyed = m_blackAndWhite && !MouseInControl();
    const bool disabled = m_numGlyphs == 1 && !Enabled();
    HDC dc = PaintCanvas().Handle();
    // Pixel by pixel: the key colour stays out, the others may turn grey.
    for (int32_t y = 0; y < size.Y; ++y) {
        for (int32_t x = 0; x < size.X; ++x) {
            TPixel pixel = m_glyph.GetPixel(cell * size.X + x, y);
            if ((pixel & 0x00FFFFFF) == key) {
                continue;
            }
            if (greyed) {
                pixel = Grey(static_cast<int>(std::lround(PixelToHSL(pixel).L * 255)));
            }
            if (disabled) {
                pixel = Grey(160 + static_cast<int>(std::lround(PixelToHSL(pixel).L * 50)));
            }
            SetPixelV(dc, left + x, top + y, RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
        }
    }
}

// ---------------------------------------------------------------- input

void TVxCustomButton::DoMouseEnter() {
    TVxCustomControl::DoMouseEnter();
    Invalidate();
}

void TVxCustomButton::DoMouseLeave() {
    TVxCustomControl::DoMouseLeave();
    Invalidate();
}

void TVxCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TVxCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) {
        return;
    }
    if (CanFocus()) {
        SetFocus();
    }
    SetState(kbsPressed);
    m_tracking = true;
}

void TVxCustomButton::MouseMove(TShiftState shift, int x, int y) {
    TVxCustomControl::MouseMove(shift, x, y);
    if (m_tracking) {
        const bool over = x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
        SetState(over ? kbsPressed : kbsNormal);
    }
}

void TVxCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TVxCustomControl::MouseUp(button, shift, x, y);
    if (!m_tracking) {
        return;
    }
    m_tracking = false;
    SetState(kbsNormal);
    // Unlike a check box, the right and bottom edges are outside.
    if (x >= 0 && x < Width() && y >= 0 && y < Height()) {
        Click();
    }
}

void TVxCustomButton::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == VK_SPACE && (shift & ssAlt) == 0) {
        SetState(kbsPressed);
    }
    TVxCustomControl::KeyDown(key, shift);
}

void TVxCustomButton::KeyUp(uint16_t& key, TShiftState shift) {
    if (key == VK_SPACE) {
        SetState(kbsNormal);
        Click();
        key = 0;
    }
    TVxCustomControl::KeyUp(key, shift);
}

void TVxCustomButton::CMDialogKey(TMessage& m) {
    const auto key = static_cast<uint16_t>(m.WParam);
    const bool plain = (win32::KeyboardShiftState() & (ssShift | ssAlt | ssCtrl)) == 0;
    const bool fits = (key == VK_RETURN && (m_activeDefault || Focused())) || (key == VK_ESCAPE && m_cancel);
    if (fits && plain && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    Inherited<TVxCustomButton>(m);
}

void TVxCustomButton::CMDialogChar(TMessage& m) {
    if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Click();
        m.Result = 1;
        return;
    }
    Inherited<TVxCustomButton>(m);
}

void TVxCustomButton::CMFocusChanged(TMessage& m) {
    auto* focused = reinterpret_cast<win32::TWinControl*>(m.LParam);
    const bool pushButton =
        dynamic_cast<TVxCustomButton*>(focused) != nullptr || dynamic_cast<win32::TButton*>(focused) != nullptr;
    if (Store(m_activeDefault, pushButton ? false : m_default)) {
        Invalidate();
    }
    Inherited<TVxCustomButton>(m);
}

void TVxCustomButton::CMEnabledChanged(TMessage& m) {
    Inherited<TVxCustomButton>(m);
    Invalidate();
}

void TVxCustomButton::CMTextChanged(TMessage& m) {
    Inherited<TVxCustomButton>(m);
    Invalidate();
}

}  // namespace zaprelay::skin
