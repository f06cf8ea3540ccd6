#include "skin/controls/checkable_control.h"

#include "framework/win32/gdi_handles.h"
#include "skin/form/window_theme.h"

namespace zaprelay::skin {

TCheckableControl::TCheckableControl(TComponent* owner, const TGlyphKind& kind, const std::u16string& caption)
    : TVxCustomControl(owner), m_kind(kind) {
    // The click is this control's own (Pick), never the framework's on every release.
    SetControlStyle(ControlStyle() & ~static_cast<uint32_t>(win32::csClickEvents));
    SetBounds(0, 0, 98, 20);
    SetTransparent(true);
    SetPerformance(kspDoubleBuffer);
    SetText(caption);
}

const TMessageTable& TCheckableControl::StaticMessageTable() {
    using T = TCheckableControl;
    static const TMessageTable table = TMessageTable::For<T, TVxCustomControl>()
                                           .On<&T::CMDialogChar>(win32::CM_DIALOGCHAR)
                                           .On<&T::BMGetCheck>(BM_GETCHECK);
    return table;
}

void TCheckableControl::SetAlignment(TVxLeftRight value) {
    if (value != m_alignment && value <= ktaCenter) {
        m_alignment = value;
        Invalidate();
    }
}

void TCheckableControl::SetSpacing(int32_t value) {
    if (value != m_spacing) {
        m_spacing = value;
        Invalidate();
    }
}

void TCheckableControl::SetWordWrap(bool value) {
    if (value != m_wordWrap) {
        m_wordWrap = value;
        Invalidate();
    }
}

void TCheckableControl::SetPressed(bool value) {
    m_pressed = value;
    Invalidate();
}

void TCheckableControl::Click() {
    if (!HasState(csLoading)) {
        TVxCustomControl::Click();
    }
}

// ---- painting

void TCheckableControl::PaintClient() {
    TVxCustomControl::PaintClient();
    PaintGlyph();
    PaintCaption();
}

TRect TCheckableControl::GlyphRect() const {
    const TPoint size = GetGlyphSize();
    const int32_t left = m_alignment == ktaLeftJustify ? 0 : Width() - size.X;
    const int32_t top = (Height() - size.Y) / 2;
    return {left, top, left + size.X, top + size.Y};
}

void TCheckableControl::PaintGlyph() {
    const TRect glyph = GlyphRect();
    HDC dc = PaintCanvas().Handle();
    const TCheckBoxState mark = Mark();
    if (VisualStylesActive()) {
        if (const TWindowTheme theme(L"Button", WindowHandle()); theme) {
            // Four looks per mark, from 1: normal, hot, pressed, disabled.
            const int look = !Enabled() ? 3 : m_pressed ? 2 : MouseInControl() ? 1 : 0;
            theme.Draw(dc, m_kind.ThemePart, static_cast<int>(mark) * 4 + look + 1, glyph);
            return;
        }
    }
    UINT style = m_kind.ClassicStyle;
    if (mark != cbUnchecked) {
        style |= DFCS_CHECKED;
    }
    if (mark == cbGrayed) {
        style |= DFCS_BUTTON3STATE;
    }
    if (!Enabled()) {
        style |= DFCS_INACTIVE;
    }
    RECT r{glyph.Left, glyph.Top, glyph.Right, glyph.Bottom};
    DrawFrameControl(dc, &r, DFC_BUTTON, style);
}

void TCheckableControl::PaintCaption() {
    win32::TGdiCanvas& canvas = PaintCanvas();
    TFontData font = PaintFont().Data();
    canvas.SetFont(font);
    const std::u16string caption = Caption();
    const int32_t glyphWidth = GetGlyphSize().X;
    const uint32_t flags = DrawTextBiDiModeFlags(DT_EXPANDTABS | (m_wordWrap ? DT_WORDBREAK : 0));

    TRect r{0, 0, Width() - glyphWidth - 10, canvas.TextExtent(caption).Y};
    canvas.DrawText(caption, r, flags | DT_CALCRECT);
    const int32_t left = m_alignment == ktaLeftJustify ? glyphWidth + m_spacing : 2;
    r = Bounds(left, (Height() - r.Height()) / 2, r.Width(), r.Height());

    if (Enabled()) {
        canvas.DrawText(caption, r, flags);
    } else {
        // Embossed: the highlight one pixel right and down under the shadow.
        TRect light{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
        font.Color = clBtnHighlight;
        canvas.SetFont(font);
        canvas.DrawText(caption, light, flags);
        font.Color = clBtnShadow;
        canvas.SetFont(font);
        TRect shadow = r;
        canvas.DrawText(caption, shadow, flags);
    }

    if (HasFocus()) {
        const TRect focus{r.Left - 1, r.Top - 2, r.Right + 3, r.Bottom + 2};
        // The focus pattern's gaps take the background colour: the button shadow.
        win32::TSavedDC saved(canvas.Handle());
        SetBkColor(canvas.Handle(), win32::ToColorRef(clBtnShadow));
        SetTextColor(canvas.Handle(), win32::ToColorRef(font.Color));
        canvas.DrawFocusRect(focus);
    }
}

// ---- input

void TCheckableControl::DoMouseEnter() {
    TVxCustomControl::DoMouseEnter();
    Invalidate();
}

void TCheckableControl::DoMouseLeave() {
    TVxCustomControl::DoMouseLeave();
    Invalidate();
}

void TCheckableControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TVxCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) {
        return;
    }
    // Focusing an unchecked radio button checks it already here.
    if (CanFocus()) {
        SetFocus();
    }
    SetCapture(Handle());
    SetPressed(true);
}

void TCheckableControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (m_pressed) {
        SetPressed(false);
        if (GetCapture() == WindowHandle()) {
            ReleaseCapture();
        }
        // The right and bottom edges still count: a release there is on the control.
        if (x >= 0 && x <= Width() && y >= 0 && y <= Height()) {
            Pick();
        }
    }
    TVxCustomControl::MouseUp(button, shift, x, y);
}

void TCheckableControl::KeyDown(uint16_t& key, TShiftState shift) {
    TVxCustomControl::KeyDown(key, shift);
    if (key == VK_SPACE) {
        SetPressed(true);
    }
}

void TCheckableControl::KeyUp(uint16_t& key, TShiftState) {
    if (key == VK_SPACE) {
        Pick();
        SetPressed(false);
    }
}

void TCheckableControl::CMDialogChar(TMessage& m) {
    if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) {
            Pick();
        }
        m.Result = 1;
        return;
    }
    Inherited<TCheckableControl>(m);
}

void TCheckableControl::BMGetCheck(TMessage& m) {
    const TCheckBoxState mark = Mark();
    m.Result = mark == cbChecked ? BST_CHECKED : mark == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
}

}  // namespace zaprelay::skin
