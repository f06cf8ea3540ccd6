#include "framework/win32/group_box.h"

#include "framework/graphics/pixel.h"
#include "framework/win32/control_props.h"
#include "framework/win32/font_cache.h"
#include "framework/win32/gdi_canvas.h"

namespace zaprelay::win32 {

const TClassInfo& TGroupBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TGroupBox, TCustomControl>("TGroupBox");
        TClassBuilder<TGroupBox> b(i);
        publish::BiDiMode(b);
        publish::Caption(b);
        publish::Color(b, clBtnFace);
        publish::Constraints(b);
        publish::Drag(b);
        publish::Enabled(b);
        publish::Font(b);
        publish::ParentColor(b);
        publish::ParentsPopupHint(b);
        publish::TabOrder(b);
        publish::TabStop(b, false);
        publish::Visible(b);
        b.Event("OnClick", publish::Member<TGroupBox>(&TGroupBox::OnClick));
        b.Event("OnDblClick", publish::Member<TGroupBox>(&TGroupBox::OnDblClick));
        publish::KeyEvents(b);
        publish::MouseEvents(b);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TGroupBox::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TGroupBox, TCustomControl>()
                                           .On<&TGroupBox::CMDialogChar>(CM_DIALOGCHAR)
                                           .On<&TGroupBox::CMTextChanged>(CM_TEXTCHANGED);
    return table;
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::Paint() {
    HDC dc = Canvas().Handle();
    RECT client{0, 0, Width(), Height()};
    TSelectObject font(dc, CachedFont(Font()->Data()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    std::u16string text = Caption();
    // The frame starts half a text line down so the caption sits on its top edge.
    RECT frame = client;
    frame.top = text.empty() ? 0 : metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!text.empty()) {
        RECT r{0, 0, 0, 0};
        DrawTextW(dc, WidePtr(text), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
        int width = r.right - r.left;
        r = UseRightToLeftAlignment() ? RECT{Width() - 8 - width, 0, Width() - 8, metrics.tmHeight}
                                      : RECT{8, 0, 8 + width, metrics.tmHeight};
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, ToColorRef(Color()));
        UINT flags = DrawTextBiDiModeFlags(DT_SINGLELINE | DT_LEFT);
        if (Enabled()) {
            SetTextColor(dc, ToColorRef(Font()->Color()));
            DrawTextW(dc, WidePtr(text), static_cast<int>(text.size()), &r, flags);
        } else {
            // The caption's background goes under the highlight copy, one pixel past the caption.
            RECT light = r;
            OffsetRect(&light, 1, 1);
            TBrushHandle background(CreateSolidBrush(ToColorRef(Color())));
            FillRect(dc, &light, background.Get());
            DrawEngravedText(dc, text, r, flags);
        }
    }
}

void TGroupBox::CMDialogChar(TMessage& m) {
    if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        SelectNext(nullptr, true, true);
        m.Result = 1;
        return;
    }
    Inherited<TGroupBox>(m);
}

void TGroupBox::CMTextChanged(TMessage& m) {
    Inherited<TGroupBox>(m);
    Invalidate();
}

}  // namespace zaprelay::win32
