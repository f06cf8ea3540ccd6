#include "framework/win32/label.h"

#include "framework/win32/control_props.h"
#include "framework/win32/font_cache.h"

namespace zaprelay::win32 {

const TEnumInfo kTextLayoutNames = MakeEnumInfo<tlBottom>("TTextLayout", {"tlTop", "tlCenter", "tlBottom"});

const TClassInfo& TLabel::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TLabel, TGraphicControl>("TLabel");
        TClassBuilder<TLabel> b(i);
        b.Enum("Alignment", kAlignmentNames, &TLabel::Alignment, &TLabel::SetAlignment, taLeftJustify);
        b.Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true);
        publish::BiDiMode(b);
        publish::Caption(b);
        publish::Color(b, clBtnFace);
        publish::Constraints(b);
        publish::Drag(b);
        publish::Enabled(b);
        b.Component("FocusControl", &TLabel::FocusControl,
                    [](TLabel& l, TComponent* c) { l.SetFocusControl(dynamic_cast<TWinControl*>(c)); });
        publish::Font(b);
        b.Enum("Layout", kTextLayoutNames, &TLabel::Layout, &TLabel::SetLayout, tlTop);
        publish::ParentColor(b);
        publish::ParentFont(b);
        publish::ParentShowHint(b);
        publish::PopupMenu(b);
        b.Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true);
        publish::ShowHint(b);
        b.Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false);
        publish::Visible(b);
        b.Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false);
        b.Event("OnClick", publish::Member<TLabel>(&TLabel::OnClick));
        b.Event("OnDblClick", publish::Member<TLabel>(&TLabel::OnDblClick));
        publish::MouseEvents(b);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TLabel::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TLabel, TGraphicControl>()
                                           .On<&TLabel::CMTextChanged>(CM_TEXTCHANGED)
                                           .On<&TLabel::CMFontChanged>(CM_FONTCHANGED)
                                           .On<&TLabel::CMDialogChar>(CM_DIALOGCHAR);
    return table;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(0, 0, 65, 17);
}

uint32_t TLabel::TextFlags() const {
    uint32_t flags = DT_EXPANDTABS;
    if (m_wordWrap) {
        flags |= DT_WORDBREAK;
    }
    if (!m_showAccelChar) {
        flags |= DT_NOPREFIX;
    }
    if (m_alignment == taRightJustify) {
        flags |= DT_RIGHT;
    } else if (m_alignment == taCenter) {
        flags |= DT_CENTER;
    }
    return DrawTextBiDiModeFlags(flags);
}

void TLabel::Paint() {
    TGdiCanvas& canvas = Canvas().Canvas();
    TRect client = ClientRect();
    if (!Transparent()) {
        canvas.FillRect(client, Color());
    }
    std::u16string text = Caption();
    if (text.empty()) {
        return;
    }
    TFontData font = Font()->Data();
    canvas.SetFont(font);
    TRect r = client;
    if (m_layout != tlTop) {
        TRect measure = client;
        canvas.DrawText(text, measure, TextFlags() | DT_CALCRECT);
        int32_t offset = client.Height() - measure.Height();
        r.Top += m_layout == tlBottom ? offset : offset / 2;
    }
    if (!Enabled()) {
        // The engraved look of disabled text: a light copy below right, the shadow on top.
        font.Color = clBtnHighlight;
        canvas.SetFont(font);
        TRect light = r.Offset(1, 1);
        canvas.DrawText(text, light, TextFlags());
        font.Color = clBtnShadow;
        canvas.SetFont(font);
    }
    canvas.DrawText(text, r, TextFlags());
}

void TLabel::AdjustBounds() {
    if (!m_autoSize || HasState(csLoading)) {
        return;
    }
    std::u16string text = Caption();
    if (text.empty()) {
        text.push_back(u' ');  // an empty label keeps the height of a line
    }
    TWindowDC screen(nullptr);
    TSelectObject font(screen.Get(), CachedFont(Font()->Data()));
    RECT r{0, 0, m_wordWrap ? Width() : 0, 0};
    DrawTextW(screen.Get(), WidePtr(text), static_cast<int>(text.size()), &r,
              (TextFlags() & ~DT_RIGHT & ~DT_CENTER) | DT_CALCRECT);
    int32_t left = Left();
    // A right-aligned label keeps its right edge where it was.
    if (m_alignment == taRightJustify && !m_wordWrap) {
        left += Width() - r.right;
    }
    SetBounds(left, Top(), r.right, r.bottom);
}

void TLabel::SetAlignment(TAlignment value) {
    if (value != m_alignment) {
        m_alignment = value;
        Invalidate();
    }
}

void TLabel::SetAutoSize(bool value) {
    if (value != m_autoSize) {
        m_autoSize = value;
        AdjustBounds();
    }
}

void TLabel::SetFocusControl(TWinControl* control) {
    ReplaceReference<TWinControl>(this, m_focusControl, control);
}

void TLabel::SetLayout(TTextLayout value) {
    if (value != m_layout) {
        m_layout = value;
        Invalidate();
    }
}

void TLabel::SetShowAccelChar(bool value) {
    if (value != m_showAccelChar) {
        m_showAccelChar = value;
        AdjustBounds();
        Invalidate();
    }
}

void TLabel::SetTransparent(bool value) {
    if (value != Transparent()) {
        SetControlStyle(value ? (ControlStyle() & ~static_cast<uint32_t>(csOpaque)) : (ControlStyle() | csOpaque));
        Invalidate();
    }
}

void TLabel::SetWordWrap(bool value) {
    if (value != m_wordWrap) {
        m_wordWrap = value;
        AdjustBounds();
        Invalidate();
    }
}

void TLabel::AfterRead() {
    TGraphicControl::AfterRead();
    AdjustBounds();
}

void TLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == m_focusControl) {
        m_focusControl = nullptr;
    }
}

void TLabel::CMTextChanged(TMessage&) {
    Invalidate();
    AdjustBounds();
}

void TLabel::CMFontChanged(TMessage& m) {
    Inherited<TLabel>(m);
    AdjustBounds();
}

void TLabel::CMDialogChar(TMessage& m) {
    if (m_focusControl != nullptr && Enabled() && m_showAccelChar &&
        IsAccel(static_cast<char16_t>(m.WParam), Caption()) && m_focusControl->CanFocus()) {
        m_focusControl->SetFocus();
        m.Result = 1;
    }
}

}  // namespace zaprelay::win32
