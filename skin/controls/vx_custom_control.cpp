#include "skin/controls/vx_custom_control.h"

#include "framework/win32/control_props.h"
#include "framework/win32/gdi_handles.h"
#include "skin/controls/control_painting.h"
#include "skin/form/background_request.h"

#include <algorithm>

namespace zaprelay::skin {

using win32::TCreateParams;
using win32::TGdiCanvas;

namespace {

template <typename V>
bool Store(V& field, V value) {
    if (field == value) {
        return false;
    }
    field = value;
    return true;
}

}  // namespace

const TClassInfo& TVxCustomControl::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxCustomControl, TVxPaintedControl<win32::TCustomControl>>("TVxCustomControl");
        using T = TVxCustomControl;
        TClassBuilder<T> b(i);
        b.Object("Blending", [](T& c) -> TPersistent* { return c.Blending(); });
        b.Enum("Performance", kVxPerformanceNames, &T::Performance, &T::SetPerformance, kspNoBuffer);
        b.Boolean("Transparent", &T::Transparent, &T::SetTransparent, false);
        win32::publish::Constraints(b);
        win32::publish::BiDiMode(b);
        win32::publish::Drag(b);
        win32::publish::ShowHint(b);
        win32::publish::Visible(b);
        b.Event("OnClick", win32::publish::Member<T>(&T::OnClick));
        b.Event("OnDblClick", win32::publish::Member<T>(&T::OnDblClick));
        win32::publish::KeyEvents(b);
        win32::publish::MouseEvents(b);
        b.Event("OnResize", win32::publish::Member<T>(&T::OnResize));
        return i;
    }();
    return info;
}

const TMessageTable& TVxCustomControl::StaticMessageTable() {
    using T = TVxCustomControl;
    static const TMessageTable table = TMessageTable::For<T, TVxPaintedControl<win32::TCustomControl>>()
                                           .On<&T::CMFocusEnter>(win32::CM_FOCUSENTER)
                                           .On<&T::CMFocusExit>(win32::CM_FOCUSEXIT)
                                           .On<&T::WMEraseBkgnd>(WM_ERASEBKGND)
                                           .On<&T::WMThemeChanged>(WM_THEMECHANGED);
    return table;
}

TVxCustomControl::TVxCustomControl(TComponent* owner) : TVxPaintedControl(owner) {
    Painting().Blending().OnChange = [this](TObject*) {
        Painting().BlendingChanged();
        Invalidate();
    };
}

TVxCustomControl::~TVxCustomControl() = default;

// ---- properties

void TVxCustomControl::FrameSet() {
    FrameChanged();
    Invalidate();
}

void TVxCustomControl::SetBorderWidth(int32_t value) {
    if (Store(m_borderWidth, std::max(value, 0))) {
        FrameSet();
    }
}

void TVxCustomControl::SetBevelInner(TVxBevelCut value) {
    if (value != m_bevelInner && value <= kbvFlatBorder) {
        m_bevelKind = kbkNone;  // the cuts no longer follow a preset
        m_bevelInner = value;
        FrameSet();
    }
}

void TVxCustomControl::SetBevelOuter(TVxBevelCut value) {
    if (value != m_bevelOuter && value <= kbvFlatBorder) {
        m_bevelKind = kbkNone;
        m_bevelOuter = value;
        FrameSet();
    }
}

void TVxCustomControl::SetBevelKind(TVxBevelKind value) {
    if (value == m_bevelKind || value > kbkFlat) {
        return;
    }
    m_bevelKind = value;
    if (value != kbkNone) {
        m_bevelInner = m_bevelOuter = BevelKindCut(value);
    }
    FrameSet();
}

void TVxCustomControl::SetBevelSides(TVxBevelSides value) {
    if (Store(m_bevelSides, value & kAllBevelSides)) {
        FrameSet();
    }
}

void TVxCustomControl::SetBevelWidth(int32_t value) {
    if (Store(m_bevelWidth, std::max(value, 0))) {
        FrameSet();
    }
}

void TVxCustomControl::SetScrollBarMode(uint8_t value) {
    if (Store(m_scrollBarMode, std::min<uint8_t>(value, 3))) {
        Invalidate();
    }
}

TRect TVxCustomControl::GetInnerRect() const {
    TRect r{0, 0, Width(), Height()};
    const int32_t cuts = (m_bevelInner != kbvNone ? 1 : 0) + (m_bevelOuter != kbvNone ? 1 : 0);
    const int32_t bevel = m_bevelWidth * cuts;
    r.Left += m_borderWidth + (HasBevelSide(m_bevelSides, kbsLeft) ? bevel : 0);
    r.Top += m_borderWidth + (HasBevelSide(m_bevelSides, kbsTop) ? bevel : 0);
    r.Right -= m_borderWidth + (HasBevelSide(m_bevelSides, kbsRight) ? bevel : 0);
    r.Bottom -= m_borderWidth + (HasBevelSide(m_bevelSides, kbsBottom) ? bevel : 0);
    return r;
}

// ---- painting

void TVxCustomControl::CreateParams(TCreateParams& params) {
    win32::TCustomControl::CreateParams(params);
    // The built-in scroll bars are controls of their own, never the window's.
    params.Style &= ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
}

void TVxCustomControl::Paint() {
    if (Width() > 0 && Height() > 0) {
        Painting().Paint(*this, Canvas(), true, [this] { PaintLook(); });
    }
}

void TVxCustomControl::PaintLook() {
    HDC dc = Canvas().Handle();
    TRect inner = GetInnerRect();
    const TRect client = ClientRect();
    if (m_scrollBarMode == 3) {
        inner.Right = client.Right;
        inner.Bottom = client.Bottom;
    }
    {
        win32::TSavedDC saved(dc);
        ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
        PaintFrame();
    }
    win32::TSavedDC saved(dc);
    if (m_scrollBarMode == 3) {
        IntersectClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    }
    PaintClient();
}

void TVxCustomControl::PaintClient() {
    if (!Transparent()) {
        PaintCanvas().FillRect(GetInnerRect(), Color());
    }
}

void TVxCustomControl::PaintBevel(TRect& ring, TVxBevelCut cut, bool inner) {
    if (cut == kbvNone) {
        return;
    }
    const TBevelColors colors = BevelCutColors(cut, inner);
    TGdiCanvas& canvas = PaintCanvas();
    for (int32_t i = 0; i < m_bevelWidth && !ring.IsEmpty(); ++i) {
        if (HasBevelSide(m_bevelSides, kbsLeft)) {
            canvas.FillRect({ring.Left, ring.Top, ring.Left + 1, ring.Bottom}, colors.LeftTop);
        }
        if (HasBevelSide(m_bevelSides, kbsTop)) {
            canvas.FillRect({ring.Left, ring.Top, ring.Right, ring.Top + 1}, colors.LeftTop);
        }
        if (HasBevelSide(m_bevelSides, kbsBottom)) {
            canvas.FillRect({ring.Left, ring.Bottom - 1, ring.Right, ring.Bottom}, colors.BottomRight);
        }
        if (HasBevelSide(m_bevelSides, kbsRight)) {
            canvas.FillRect({ring.Right - 1, ring.Top, ring.Right, ring.Bottom}, colors.BottomRight);
        }
        ring.Left += HasBevelSide(m_bevelSides, kbsLeft) ? 1 : 0;
        ring.Top += HasBevelSide(m_bevelSides, kbsTop) ? 1 : 0;
        ring.Right -= HasBevelSide(m_bevelSides, kbsRight) ? 1 : 0;
        ring.Bottom -= HasBevelSide(m_bevelSides, kbsBottom) ? 1 : 0;
    }
}

void TVxCustomControl::PaintFrame() {
    TGdiCanvas& canvas = PaintCanvas();
    TRect ring{0, 0, Width(), Height()};
    if (m_scrollBarMode == 3) {
        // The corner between the two scroll bars.
        canvas.FillRect({ring.Right - 20, ring.Bottom - 20, ring.Right, ring.Bottom}, Color());
    }
    if (GetInnerRect() == ring) {
        return;
    }
    if (m_bevelWidth > 0) {
        PaintBevel(ring, m_bevelOuter, false);
        PaintBevel(ring, m_bevelInner, true);
    }
    for (int32_t i = 0; i < m_borderWidth && !ring.IsEmpty(); ++i) {
        canvas.FrameRect(ring, Color());
        ring = {ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1};
    }
}

// ---- messages

void TVxCustomControl::DoFocusEnter() {
    m_hasFocus = true;
    Invalidate();
}

void TVxCustomControl::DoFocusExit() {
    m_hasFocus = false;
    Invalidate();
}

void TVxCustomControl::CMFocusEnter(TMessage& m) {
    DoFocusEnter();
    Inherited<TVxCustomControl>(m);
}

void TVxCustomControl::CMFocusExit(TMessage& m) {
    DoFocusExit();
    Inherited<TVxCustomControl>(m);
}

void TVxCustomControl::WMEraseBkgnd(TMessage& m) {
    auto* dc = reinterpret_cast<HDC>(m.WParam);
    // A child's request gets this control's whole look; the system's erase gets nothing, the
    // paint covers every pixel.
    if (dc != nullptr && ReadBackgroundRequest(m.LParam) != nullptr) {
        TCanvasRebinding binding(Canvas(), dc);
        if (Transparent()) {
            Painting().PaintParentBackground(*this, dc);
        }
        PaintLook();
    }
    m.Result = 1;
}

void TVxCustomControl::WMThemeChanged(TMessage& m) {
    Invalidate();
    DefaultHandler(m);
}

}  // namespace zaprelay::skin
