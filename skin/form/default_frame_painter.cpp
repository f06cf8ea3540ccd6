#include "skin/form/default_frame_painter.h"

#include "framework/win32/gdi_handles.h"
#include "skin/form/caption_fonts.h"
#include "skin/form/window_theme.h"

#include <algorithm>
#include <utility>

namespace zaprelay::skin {
namespace {

constexpr int kButtonNormal = 1;
constexpr int kButtonHot = 2;
constexpr int kButtonPressed = 3;
constexpr int kButtonDisabled = 4;
constexpr int kTmtTextColor = 3803;

// The text keeps this far from the band's ends and from the buttons.
constexpr int32_t kTextInset = 2;

RECT ToRect(const TRect& rect) {
    return {rect.Left, rect.Top, rect.Right, rect.Bottom};
}

// A solid fill that makes no brush: the opaque background of an empty text run.
void FillSolid(HDC dc, const TRect& rect, COLORREF color) {
    if (rect.IsEmpty()) {
        return;
    }
    const RECT r = ToRect(rect);
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

int32_t Blend(int32_t from, int32_t to, int32_t step, int32_t steps) {
    return from + (to - from) * step / steps;
}

// Column by column, so the first column has exactly `from` and the last exactly `to`.
void FillHorizontalGradient(HDC dc, const TRect& rect, COLORREF from, COLORREF to) {
    const int32_t width = rect.Width();
    if (rect.IsEmpty()) {
        return;
    }
    const int32_t steps = std::max(width - 1, 1);
    for (int32_t x = 0; x < width; ++x) {
        const COLORREF color =
            RGB(Blend(GetRValue(from), GetRValue(to), x, steps), Blend(GetGValue(from), GetGValue(to), x, steps),
                Blend(GetBValue(from), GetBValue(to), x, steps));
        FillSolid(dc, {rect.Left + x, rect.Top, rect.Left + x + 1, rect.Bottom}, color);
    }
}

TVxFormRegion ButtonRegion(TVxBorderIcon icon) {
    static constexpr TVxFormRegion kRegions[kBorderIconCount] = {khrClose, khrSysMenu, khrMinimize, khrMaximize,
                                                                 khrHelp,  khrRollup,  khrTray};
    return kRegions[icon];
}

enum class TButtonLook { Normal, Hot, Pressed };

TButtonLook LookOf(const TDefaultFrame& frame, TVxBorderIcon icon) {
    const TVxFormRegion region = ButtonRegion(icon);
    if (frame.HotRegion != region) {
        return TButtonLook::Normal;
    }
    return frame.PressedRegion == region ? TButtonLook::Pressed : TButtonLook::Hot;
}

// The small icon scaled to the small-icon size, centred in its button.
void DrawSystemMenuIcon(HDC dc, const TRect& rect, HICON icon) {
    if (icon == nullptr) {
        icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }
    if (icon == nullptr) {
        return;
    }
    int width = GetSystemMetrics(SM_CXSMICON);
    int height = GetSystemMetrics(SM_CYSMICON);
    if (width <= 0 || height <= 0) {
        width = GetSystemMetrics(SM_CXSIZE);
        height = GetSystemMetrics(SM_CYSIZE);
    }
    width = std::min(width, static_cast<int>(rect.Width()));
    height = std::min(height, static_cast<int>(rect.Height()));
    if (width <= 0 || height <= 0) {
        return;
    }
    DrawIconEx(dc, rect.Left + (rect.Width() - width) / 2, rect.Top + (rect.Height() - height) / 2, icon, width, height,
               0, nullptr, DI_NORMAL);
}

// Black rows narrowing towards the point: up, or down for a form that is rolled up.
void DrawTriangle(HDC dc, const TRect& box, bool pointsDown) {
    const int32_t width = box.Width();
    const int32_t height = std::min(box.Height() + 1, (width + 1) / 2);
    if (width <= 0 || height <= 0) {
        return;
    }
    const int32_t top = box.Top + (box.Height() - height + 1) / 2;
    for (int32_t row = 0; row < height; ++row) {
        const int32_t inset = pointsDown ? row : height - 1 - row;
        FillSolid(dc, {box.Left + inset, top + row, box.Right - inset, top + row + 1}, RGB(0, 0, 0));
    }
}

void DrawClassicButton(HDC dc, const TDefaultFrame& frame, TVxBorderIcon icon, const TRect& rect) {
    const TButtonLook look = LookOf(frame, icon);
    const UINT pushed = look == TButtonLook::Pressed ? DFCS_PUSHED : 0;
    RECT r = ToRect(rect);
    auto caption = [&](UINT glyph) { DrawFrameControl(dc, &r, DFC_CAPTION, glyph | pushed); };
    switch (icon) {
        case kbiClose:
            caption(DFCS_CAPTIONCLOSE);
            break;
        case kbiMinimize:
            caption(frame.State == kwsMinimized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN);
            break;
        case kbiMaximize:
            caption(frame.State == kwsMaximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX);
            break;
        case kbiHelp:
            caption(DFCS_CAPTIONHELP);
            break;
        case kbiRollup: {
            DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | pushed);
            // A pushed face moves its glyph down-right; a raised one keeps it a pixel up-left.
            const int32_t shift = pushed != 0 ? 0 : -1;
            const TRect box = TRect{rect.Left + 4, rect.Top + 5, rect.Right - 4, rect.Bottom - 5}.Offset(shift, shift);
            DrawTriangle(dc, box, frame.State == kwsRollup);
            break;
        }
        case kbiTray: {
            DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | pushed);
            const int32_t shift = pushed != 0 ? 1 : 0;
            const TRect box =
                TRect{rect.Left + 5, rect.Top + 5, rect.Right - 5, rect.Bottom - 5}.Offset(shift, 2 + shift);
            if (!box.IsEmpty()) {
                win32::TSelectObject brush(dc, GetStockObject(BLACK_BRUSH));
                win32::TSelectObject pen(dc, GetStockObject(BLACK_PEN));
                Ellipse(dc, box.Left, box.Top, box.Right, box.Bottom);
            }
            break;
        }
        case kbiSystemMenu:
            DrawSystemMenuIcon(dc, rect, frame.SmallIcon);
            break;
    }
}

void DrawThemedButton(HDC dc,
                      const TWindowTheme& theme,
                      const TDefaultFrame& frame,
                      TVxBorderIcon icon,
                      const TRect& rect) {
    int state = kButtonNormal;
    if (!frame.Active) {
        state = kButtonDisabled;
    } else if (LookOf(frame, icon) == TButtonLook::Pressed) {
        state = kButtonPressed;
    } else if (LookOf(frame, icon) == TButtonLook::Hot) {
        state = kButtonHot;
    }
    switch (icon) {
        case kbiClose:
            theme.Draw(dc, kWpCloseButton, state, rect);
            break;
        case kbiMinimize:
            theme.Draw(dc, frame.State == kwsMinimized ? kWpRestoreButton : kWpMinButton, state, rect);
            break;
        case kbiMaximize:
            theme.Draw(dc, frame.State == kwsMaximized ? kWpRestoreButton : kWpMaxButton, state, rect);
            break;
        case kbiHelp:
            theme.Draw(dc, kWpHelpButton, state, rect);
            break;
        case kbiSystemMenu:
            DrawSystemMenuIcon(dc, rect, frame.SmallIcon);
            break;
        case kbiRollup:
        case kbiTray:
            // The visual style has no parts for these; the layout leaves them out.
            break;
    }
}

struct TPaintContext {
    const TDefaultFrame& Frame;
    TCaptionLayout Layout;
    TRect Band;
    const TWindowTheme* Theme = nullptr;  // none for the classic look
};

int CaptionPart(const TDefaultFrame& frame) {
    return frame.Style == kbsToolWindow ? kWpSmallCaption : kWpCaption;
}

int FrameState(const TDefaultFrame& frame) {
    return frame.Active ? kFrameStateActive : kFrameStateInactive;
}

COLORREF CaptionTextColor(const TPaintContext& context) {
    const TDefaultFrame& frame = context.Frame;
    COLORREF color = 0;
    if (context.Theme != nullptr && context.Theme->Color(CaptionPart(frame), FrameState(frame), kTmtTextColor, color)) {
        return color;
    }
    return GetSysColor(frame.Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
}

void DrawCaptionText(HDC dc, const TPaintContext& context) {
    const TDefaultFrame& frame = context.Frame;
    TRect area = CaptionTextRect(context.Layout);
    if (frame.Caption.empty() || area.IsEmpty()) {
        return;
    }
    win32::TSelectObject font(dc, frame.Style == kbsToolWindow ? SmallCaptionFont() : CaptionFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, CaptionTextColor(context));
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (frame.RightToLeftReading) {
        flags |= DT_RTLREADING;
    }
    RECT r = ToRect(area);
    // Whatever the font, nothing lands outside the room the buttons leave.
    win32::TSavedDC saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(frame.Caption.c_str()), static_cast<int>(frame.Caption.size()), &r, flags);
}

// The caption band's background, text and buttons, drawn at window coordinates into dc.
void DrawCaptionBand(HDC dc, const TPaintContext& context) {
    const TDefaultFrame& frame = context.Frame;
    if (context.Theme != nullptr) {
        // The part spans the whole top band; dc may clip it to the caption band.
        const TRect top{0, 0, frame.FormSize.X, context.Layout.ClientArea.Top};
        context.Theme->Draw(dc, CaptionPart(frame), FrameState(frame), top);
    } else if (frame.Active) {
        FillHorizontalGradient(dc, context.Band, GetSysColor(COLOR_ACTIVECAPTION),
                               GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    } else {
        FillHorizontalGradient(dc, context.Band, GetSysColor(COLOR_INACTIVECAPTION),
                               GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
    }
    DrawCaptionText(dc, context);

    static constexpr TVxBorderIcon kOrder[] = {kbiClose,  kbiSystemMenu, kbiMinimize, kbiMaximize,
                                               kbiRollup, kbiTray,       kbiHelp};
    for (TVxBorderIcon icon : kOrder) {
        if (icon != kbiClose && frame.Style != kbsStandard) {
            break;
        }
        const TRect rect = DefaultButtonRect(context.Layout, icon);
        if (rect.IsEmpty()) {
            continue;
        }
        if (context.Theme != nullptr) {
            DrawThemedButton(dc, *context.Theme, frame, icon, rect);
        } else {
            DrawClassicButton(dc, frame, icon, rect);
        }
    }
}

// Through a band-sized bitmap copied in one step, so the screen never shows a half-drawn
// caption; in place when the bitmap cannot be made.
void PaintCaptionBand(HDC dc, const TPaintContext& context) {
    const TRect& band = context.Band;
    if (band.IsEmpty()) {
        return;
    }
    if (context.Frame.Performance != ksfpNoBuffer) {
        win32::TSavedDC saved(dc);
        IntersectClipRect(dc, band.Left, band.Top, band.Right, band.Bottom);
        DrawCaptionBand(dc, context);
        return;
    }
    win32::TMemoryDC memory(CreateCompatibleDC(dc));
    win32::TBitmapHandle bitmap(memory ? CreateCompatibleBitmap(dc, band.Width(), band.Height()) : nullptr);
    if (!bitmap) {
        win32::TSavedDC saved(dc);
        IntersectClipRect(dc, band.Left, band.Top, band.Right, band.Bottom);
        DrawCaptionBand(dc, context);
        return;
    }
    {
        win32::TSelectObject select(memory.Get(), bitmap.Get());
        // The bitmap starts as what is there, so anything drawn with alpha blends as in place.
        BitBlt(memory.Get(), 0, 0, band.Width(), band.Height(), dc, band.Left, band.Top, SRCCOPY);
        SetWindowOrgEx(memory.Get(), band.Left, band.Top, nullptr);
        DrawCaptionBand(memory.Get(), context);
        SetWindowOrgEx(memory.Get(), 0, 0, nullptr);
        BitBlt(dc, band.Left, band.Top, band.Width(), band.Height(), memory.Get(), 0, 0, SRCCOPY);
    }
}

void PaintClassicFrame(HDC dc, const TPaintContext& context) {
    const TPoint size = context.Frame.FormSize;
    RECT whole{0, 0, size.X, size.Y};
    DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT | BF_ADJUST);

    // Inside the edge, around the client area and the caption band.
    const TRect inner{whole.left, whole.top, whole.right, whole.bottom};
    const TRect& client = context.Layout.ClientArea;
    const int32_t captionTop = context.Band.IsEmpty() ? client.Top : context.Band.Top;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    FillSolid(dc, {inner.Left, inner.Top, inner.Right, captionTop}, face);
    FillSolid(dc, {inner.Left, captionTop, client.Left, inner.Bottom}, face);
    FillSolid(dc, {client.Right, captionTop, inner.Right, inner.Bottom}, face);
    FillSolid(dc, {client.Left, client.Bottom, client.Right, inner.Bottom}, face);
    if (context.Band.IsEmpty() && captionTop < client.Top) {
        FillSolid(dc, {client.Left, captionTop, client.Right, client.Top}, face);
    }
    PaintCaptionBand(dc, context);
}

void PaintThemedFrame(HDC dc, const TPaintContext& context) {
    const TDefaultFrame& frame = context.Frame;
    const TPoint size = frame.FormSize;
    const TRect& client = context.Layout.ClientArea;
    const bool tool = frame.Style == kbsToolWindow;
    const int state = FrameState(frame);
    const TWindowTheme& theme = *context.Theme;
    theme.Draw(dc, tool ? kWpSmallFrameLeft : kWpFrameLeft, state, {0, client.Top, client.Left, client.Bottom});
    theme.Draw(dc, tool ? kWpSmallFrameRight : kWpFrameRight, state, {client.Right, client.Top, size.X, client.Bottom});
    theme.Draw(dc, tool ? kWpSmallFrameBottom : kWpFrameBottom, state, {0, client.Bottom, size.X, size.Y});
    {
        // The band gets the part once, with its contents; drawn twice, a translucent part
        // would darken.
        win32::TSavedDC saved(dc);
        const TRect& band = context.Band;
        ExcludeClipRect(dc, band.Left, band.Top, band.Right, band.Bottom);
        theme.Draw(dc, CaptionPart(frame), state, {0, 0, size.X, client.Top});
    }
    PaintCaptionBand(dc, context);
}

TCaptionLayout LayoutFor(const TDefaultFrame& frame, bool themed) {
    TCaptionLayout layout;
    layout.ClientArea = DefaultClientArea(frame.Style, frame.FormSize, frame.Metrics);
    layout.Metrics = frame.Metrics;
    layout.Style = frame.Style;
    layout.Themed = themed;
    layout.State = frame.State;
    layout.Icons = frame.Icons;
    return layout;
}

}  // namespace

TCaptionLayout DefaultFrameLayout(const TDefaultFrame& frame) {
    return LayoutFor(frame, frame.Themed && ThemeLibraryComplete());
}

TRect CaptionTextRect(const TCaptionLayout& layout) {
    const TRect band = CaptionBand(layout);
    if (band.IsEmpty()) {
        return {};
    }
    TRect text{band.Left + kTextInset, band.Top, band.Right - kTextInset, band.Bottom};
    for (int icon = 0; icon < kBorderIconCount; ++icon) {
        const TRect button = DefaultButtonRect(layout, static_cast<TVxBorderIcon>(icon));
        if (button.IsEmpty()) {
            continue;
        }
        if (icon == kbiSystemMenu) {
            text.Left = std::max(text.Left, button.Right + kTextInset);
        } else {
            text.Right = std::min(text.Right, button.Left - kTextInset);
        }
    }
    return text.IsEmpty() ? TRect{} : text;
}

void PaintDefaultFrame(HDC dc, const TDefaultFrame& frame) {
    if (dc == nullptr || frame.Style == kbsNone || frame.FormSize.X <= 0 || frame.FormSize.Y <= 0) {
        return;
    }
    win32::TSavedDC saved(dc);
    if (frame.Themed && ThemeLibraryComplete()) {
        TWindowTheme theme;
        if (theme) {
            const TCaptionLayout layout = LayoutFor(frame, true);
            PaintThemedFrame(dc, TPaintContext{frame, layout, CaptionBand(layout), &theme});
            return;
        }
    }
    const TCaptionLayout layout = LayoutFor(frame, false);
    PaintClassicFrame(dc, TPaintContext{frame, layout, CaptionBand(layout), nullptr});
}

}  // namespace zaprelay::skin
