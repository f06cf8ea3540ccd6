#include "skin/controls/vx_label.h"

#include "framework/win32/control_props.h"
#include "framework/win32/font_cache.h"
#include "framework/win32/gdi_handles.h"

namespace zaprelay::skin {

using win32::taCenter;
using win32::taLeftJustify;
using win32::taRightJustify;
using win32::tlBottom;
using win32::tlCenter;
using win32::tlTop;

const TClassInfo& TVxCustomLabel::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxCustomLabel, TVxGraphicControl>("TVxCustomLabel");
        using T = TVxCustomLabel;
        TClassBuilder<T> b(i);
        b.Enum("Alignment", win32::kAlignmentNames, &T::Alignment, &T::SetAlignment, taLeftJustify);
        b.Boolean("AutoSize", &T::AutoSize, &T::SetAutoSize, true);
        win32::publish::Caption(b);
        win32::publish::Color(b, clBtnFace);
        win32::publish::Drag(b);
        win32::publish::Enabled(b);
        b.Component("FocusControl", &T::FocusControl,
                    [](T& l, TComponent* c) { l.SetFocusControl(dynamic_cast<win32::TWinControl*>(c)); });
        win32::publish::Font(b);
        b.Enum("Layout", win32::kTextLayoutNames, &T::Layout, &T::SetLayout, tlTop);
        win32::publish::ParentColor(b, false);
        win32::publish::ParentFont(b);
        win32::publish::ParentShowHint(b);
        win32::publish::PopupMenu(b);
        b.Boolean("ShowAccelChar", &T::ShowAccelChar, &T::SetShowAccelChar, true);
        b.Boolean("Transparent", &T::Transparent, &T::SetTransparent, true);
        b.Boolean("WordWrap", &T::WordWrap, &T::SetWordWrap, false);
        b.Event("OnClick", win32::publish::Member<T>(&T::OnClick));
        b.Event("OnDblClick", win32::publish::Member<T>(&T::OnDblClick));
        win32::publish::MouseEvents(b);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TVxCustomLabel::StaticMessageTable() {
    using T = TVxCustomLabel;
    static const TMessageTable table = TMessageTable::For<T, TVxGraphicControl>()
                                           .On<&T::CMDialogChar>(win32::CM_DIALOGCHAR)
                                           .On<&T::CMFontChanged>(win32::CM_FONTCHANGED)
                                           .On<&T::CMTextChanged>(win32::CM_TEXTCHANGED);
    return table;
}

// The base's colour (clBtnFace, not the parent's) stays: it shows only once Transparent is off.
TVxCustomLabel::TVxCustomLabel(TComponent* owner) : TVxGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    SetTransparent(true);
    SetPerformance(kspNoBuffer);
}

TVxCustomLabel::~TVxCustomLabel() = default;

// ---- properties

void TVxCustomLabel::SetAlignment(TAlignment value) {
    if (value != m_alignment && value <= taCenter) {
        m_alignment = value;
        Invalidate();
    }
}

void TVxCustomLabel::SetAutoSize(bool value) {
    if (value != m_autoSize) {
        m_autoSize = value;
        AdjustBounds();
    }
}

// The base's Notification clears the published reference when the control goes.
void TVxCustomLabel::SetFocusControl(win32::TWinControl* value) {
    ReplaceReference(this, m_focusControl, value);
}

void TVxCustomLabel::SetLayout(TTextLayout value) {
    if (value != m_layout && value <= tlBottom) {
        m_layout = value;
        Invalidate();
    }
}

void TVxCustomLabel::SetShowAccelChar(bool value) {
    if (value != m_showAccelChar) {
        m_showAccelChar = value;
        Invalidate();
    }
}

void TVxCustomLabel::SetWordWrap(bool value) {
    if (value != m_wordWrap) {
        m_wordWrap = value;
        AdjustBounds();
        Invalidate();
    }
}

void TVxCustomLabel::AfterRead() {
    TVxGraphicControl::AfterRead();
    AdjustBounds();
}

std::u16string TVxCustomLabel::GetLabelText() const {
    return Caption();
}

// ---- text

void TVxCustomLabel::AdjustBounds() {
    if (HasState(csLoading) || !m_autoSize) {
        return;
    }
    TRect r = ClientRect();
    DoDrawText(r, (m_wordWrap ? DT_WORDBREAK : 0) | DT_CALCRECT | DT_EXPANDTABS);
    TAlignment alignment = m_alignment;
    if (UseRightToLeftAlignment() && alignment != taCenter) {
        alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    }
    int32_t left = Left();
    if (alignment == taRightJustify) {
        left += Width() - r.Right;
    }
    SetBounds(left, Top(), r.Right, r.Bottom);
}

void TVxCustomLabel::DoDrawText(TRect& r, uint32_t flags) {
    if (Parent() == nullptr) {
        return;
    }
    std::u16string text = GetLabelText();
    const bool measuring = (flags & DT_CALCRECT) != 0;
    // Measured, an empty text and a lone prefix still take one line.
    if (measuring && (text.empty() || (m_showAccelChar && text == u"&"))) {
        text += u' ';
    }
    if (!m_showAccelChar) {
        flags |= DT_NOPREFIX;
    }
    flags = DrawTextBiDiModeFlags(flags);
    const TFontData font = Font()->Data();
    const auto draw = [&](win32::TGdiCanvas& canvas) {
        canvas.SetFont(font);
        if (measuring || Enabled()) {
            canvas.DrawText(text, r, flags);
            return;
        }
        win32::TSelectObject selected(canvas.Handle(), win32::CachedFont(font));
        win32::DrawEngravedText(canvas.Handle(), text, {r.Left, r.Top, r.Right, r.Bottom}, flags);
    };
    if (Canvas().HandleAllocated()) {
        draw(PaintCanvas());
    } else if (measuring) {
        // Outside painting (AutoSize) the screen measures in the same font.
        win32::TWindowDC screen(nullptr);
        win32::TGdiCanvas canvas(screen.Get());
        draw(canvas);
    }
}

void TVxCustomLabel::PaintClient() {
    TVxGraphicControl::PaintClient();
    TRect r = ClientRect();
    uint32_t flags = DT_EXPANDTABS | (m_wordWrap ? DT_WORDBREAK : 0);
    if (m_alignment == taRightJustify) {
        flags |= DT_RIGHT;
    } else if (m_alignment == taCenter) {
        flags |= DT_CENTER;
    }
    if (m_layout != tlTop) {
        TRect measured = r;
        DoDrawText(measured, flags | DT_CALCRECT);
        const int32_t room = r.Height() - measured.Bottom;
        const int32_t shift = m_layout == tlBottom ? room : room / 2;
        r = r.Offset(0, shift);
    }
    DoDrawText(r, flags);
}

// ---- messages

void TVxCustomLabel::CMDialogChar(TMessage& m) {
    if (m_focusControl != nullptr && Enabled() && m_showAccelChar &&
        IsAccel(static_cast<char16_t>(m.WParam), Caption()) && m_focusControl->CanFocus()) {
        m_focusControl->SetFocus();
        m.Result = 1;
        return;
    }
    Inherited<TVxCustomLabel>(m);
}

void TVxCustomLabel::CMFontChanged(TMessage& m) {
    Inherited<TVxCustomLabel>(m);
    AdjustBounds();
}

// The caption is the control's text: one handler for both ways of setting it, repainted at once.
void TVxCustomLabel::CMTextChanged(TMessage&) {
    AdjustBounds();
    Invalidate();
    Update();
}

}  // namespace zaprelay::skin
