#include "skin/controls/vx_custom_control.h"

#include "framework/win32/control_props.h"
#include "framework/win32/gdi_handles.h"
#include "skin/controls/control_painting.h"
#include "skin/controls/vx_scroll_bar.h"
#include "skin/form/background_request.h"
#include "skin/form/window_theme.h"

#include <algorithm>
#include <utility>

namespace zaprelay::skin {

using win32::TCreateParams;
using win32::TGdiCanvas;

namespace {

// The "Edit" class's text box part.
constexpr int kEpEditText = 1;
// The square between two built-in bars.
constexpr int32_t kCornerSize = 20;

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
                                           .On<&T::WMThemeChanged>(WM_THEMECHANGED)
                                           .On<&T::WMWindowPosChanging>(WM_WINDOWPOSCHANGING);
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
    LayoutScrollBars(Width(), Height());
    Invalidate();
}

void TVxCustomControl::SetThemedFrame(bool value) {
    if (Store(m_themedFrame, value)) {
        FrameSet();
    }
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
        RebuildScrollBars();
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

TRect TVxCustomControl::ClientRect() const {
    TRect r = GetInnerRect();
    const int32_t size = ScrollBarSize();
    if (m_horzBar != nullptr) {
        r.Bottom = std::max(r.Top, r.Bottom - size);
    }
    if (m_vertBar != nullptr) {
        r.Right = std::max(r.Left, r.Right - size);
    }
    return r;
}

// ---- built-in scroll bars

int32_t TVxCustomControl::ScrollBarSize() const {
    return GetSystemMetrics(SM_CYVTHUMB);
}

TVxScrollBar* TVxCustomControl::CreateScrollBar(TVxScrollBarKind kind) {
    auto* bar = new TVxScrollBar(this);
    bar->SetKind(kind);
    return bar;
}

void TVxCustomControl::CreateWnd() {
    TVxPaintedControl::CreateWnd();
    RebuildScrollBars();
}

TVxScrollBar* TVxCustomControl::MakeScrollBar(TVxScrollBarKind kind) {
    TVxScrollBar* bar = CreateScrollBar(kind);
    if (bar == nullptr) {
        return nullptr;
    }
    bar->SetBorderWidth(0);
    bar->SetTransparent(false);
    bar->SetVisible(true);
    bar->OnScroll = [this, bar](TObject*, int32_t code, int32_t& position) { BarScrolled(*bar, code, position); };
    bar->SetParent(this);
    return bar;
}

void TVxCustomControl::RebuildScrollBars() {
    for (TVxScrollBar** bar : {&m_horzBar, &m_vertBar}) {
        if (TVxScrollBar* old = std::exchange(*bar, nullptr)) {
            old->Free();
        }
    }
    if (!HandleAllocated() || Parent() == nullptr) {
        return;
    }
    if (m_scrollBarMode & 1) {
        m_horzBar = MakeScrollBar(ksbHorizontal);
    }
    if (m_scrollBarMode & 2) {
        m_vertBar = MakeScrollBar(ksbVertical);
    }
    LayoutScrollBars(Width(), Height());
}

void TVxCustomControl::LayoutScrollBars(int32_t width, int32_t height) {
    if (m_horzBar == nullptr && m_vertBar == nullptr) {
        return;
    }
    // The window's own frame keeps its thickness at any size; the inner rectangle's insets
    // come off what it leaves.
    int32_t frameX = 0;
    int32_t frameY = 0;
    if (HWND window = WindowHandle()) {
        RECT outer{};
        RECT client{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        frameX = (outer.right - outer.left) - client.right;
        frameY = (outer.bottom - outer.top) - client.bottom;
    }
    const TRect inner = GetInnerRect();
    const TRect area{inner.Left, inner.Top, width - frameX - (Width() - inner.Right),
                     height - frameY - (Height() - inner.Bottom)};
    const int32_t size = ScrollBarSize();
    if (m_horzBar != nullptr) {
        const int32_t room = m_vertBar != nullptr ? size : 0;
        m_horzBar->SetBounds(area.Left, area.Bottom - size, std::max(area.Width() - room, 0), size);
    }
    if (m_vertBar != nullptr) {
        const int32_t room = m_horzBar != nullptr ? size : 0;
        m_vertBar->SetBounds(area.Right - size, area.Top, size, std::max(area.Height() - room, 0));
    }
}

void TVxCustomControl::BarScrolled(const TVxScrollBar& bar, int32_t code, int32_t& position) {
    const auto sent = static_cast<uint16_t>(code >= SB_LINEDOWN && code <= SB_ENDSCROLL ? code : 0);
    // The position in the high word, cut to 16 bits as the system's own message carries it.
    Perform(bar.Kind() == ksbHorizontal ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(sent, static_cast<uint16_t>(position)),
            0);
    // The handling decides where the bar goes, as for the window's own bars.
    position = bar.Position();
}

void TVxCustomControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    TVxPaintedControl::SetBounds(left, top, width, height);
    LayoutScrollBars(Width(), Height());
}

void TVxCustomControl::AfterRead() {
    TVxPaintedControl::AfterRead();
    LayoutScrollBars(Width(), Height());
}

void TVxCustomControl::Notification(TComponent* component, TOperation operation) {
    TVxPaintedControl::Notification(component, operation);
    if (operation == opRemove) {
        if (component == m_horzBar) {
            m_horzBar = nullptr;
        }
        if (component == m_vertBar) {
            m_vertBar = nullptr;
        }
    }
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

bool TVxCustomControl::DrawThemedFrame(int state, const TRect& rect) {
    if (!m_themedFrame || !VisualStylesActive()) {
        return false;
    }
    const TWindowTheme theme(L"Edit", WindowHandle());
    if (!theme) {
        return false;
    }
    theme.Draw(PaintCanvas().Handle(), kEpEditText, state, rect);
    return true;
}

void TVxCustomControl::PaintFrame() {
    TGdiCanvas& canvas = PaintCanvas();
    TRect ring{0, 0, Width(), Height()};
    if (m_scrollBarMode == 3) {
        // The corner between the two scroll bars.
        const TRect corner{ring.Right - kCornerSize, ring.Bottom - kCornerSize, ring.Right, ring.Bottom};
        if (!DrawThemedFrame(0, corner)) {
            canvas.FillRect(corner, Color());
        }
    }
    const TRect inner = GetInnerRect();
    if (inner == ring) {
        return;
    }
    {
        win32::TSavedDC saved(canvas.Handle());
        ExcludeClipRect(canvas.Handle(), inner.Left, inner.Top, inner.Right, inner.Bottom);
        const int state = !Enabled() ? 4 : m_hasFocus ? 3 : MouseInControl() ? 2 : 1;
        if (DrawThemedFrame(state, ring)) {
            return;
        }
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

void TVxCustomControl::DoMouseEnter() {
    TVxPaintedControl::DoMouseEnter();
    InvalidateFrame();
}

void TVxCustomControl::DoMouseLeave() {
    TVxPaintedControl::DoMouseLeave();
    InvalidateFrame();
}

void TVxCustomControl::InvalidateFrame() {
    if (GetInnerRect() != TRect{0, 0, Width(), Height()}) {
        Invalidate();
    }
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

void TVxCustomControl::WMWindowPosChanging(TMessage& m) {
    if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam); pos != nullptr && !(pos->flags & SWP_NOSIZE)) {
        LayoutScrollBars(pos->cx, pos->cy);
    }
    Inherited<TVxCustomControl>(m);
}

}  // namespace zaprelay::skin
