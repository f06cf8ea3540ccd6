#include "skin/controls/vx_scroll_bar.h"

#include "framework/win32/control_props.h"
#include "framework/win32/gdi_handles.h"
#include "skin/form/window_theme.h"

#include <algorithm>
#include <utility>

namespace zaprelay::skin {

namespace {

// The "Scrollbar" class's parts; their states run normal, hot, pressed, disabled from 1.
constexpr int kSbpArrowButton = 1;
constexpr int kSbpThumbHorz = 2;
constexpr int kSbpThumbVert = 3;
constexpr int kSbpLowerTrackHorz = 4;
constexpr int kSbpUpperTrackHorz = 5;
constexpr int kSbpLowerTrackVert = 6;
constexpr int kSbpUpperTrackVert = 7;
constexpr int kSbpGripperHorz = 8;
constexpr int kSbpGripperVert = 9;
// The arrow button's first state for each direction.
constexpr int kAbsUp = 1;
constexpr int kAbsDown = 5;
constexpr int kAbsLeft = 9;
constexpr int kAbsRight = 13;

// A thumb shorter than this is hard to take.
constexpr int64_t kMinThumb = 8;
// A held arrow or track repeats after the first delay, then at the interval (ms).
constexpr int32_t kFirstRepeatDelay = 350;
constexpr int32_t kRepeatInterval = 50;

RECT ToRect(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

}  // namespace

const TEnumInfo kVxScrollBarKindNames = MakeEnumInfo<ksbVertical>("TVxScrollBarKind", {"ksbHorizontal", "ksbVertical"});

const TClassInfo& TVxScrollBar::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxScrollBar, TVxCustomControl>("TVxScrollBar");
        using T = TVxScrollBar;
        TClassBuilder<T> b(i);
        b.Enum("Kind", kVxScrollBarKindNames, &T::Kind, &T::SetKind, ksbHorizontal);
        b.Integer("LargeChange", &T::LargeChange, &T::SetLargeChange, 1);
        b.Integer("Max", &T::Max, &T::SetMax, 100);
        b.Integer("Min", &T::Min, &T::SetMin, 0);
        b.Integer("PageSize", &T::PageSize, &T::SetPageSize, 0);
        b.Integer("Position", &T::Position, &T::SetPosition, 0);
        b.Integer("SmallChange", &T::SmallChange, &T::SetSmallChange, 1);
        win32::publish::Enabled(b);
        b.Enum("Performance", kVxPerformanceNames, &T::Performance, &T::SetPerformance, kspDoubleBuffer);
        b.Event("OnScroll", &T::OnScroll);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TVxScrollBar::StaticMessageTable() {
    using T = TVxScrollBar;
    static const TMessageTable table =
        TMessageTable::For<T, TVxCustomControl>().On<&T::WMCaptureChanged>(WM_CAPTURECHANGED);
    return table;
}

TVxScrollBar::TVxScrollBar(TComponent* owner) : TVxCustomControl(owner) {
    // A bar is pressed and held, never clicked.
    SetControlStyle(ControlStyle() & ~static_cast<uint32_t>(win32::csClickEvents));
    SetPerformance(kspDoubleBuffer);
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
}

TVxScrollBar::~TVxScrollBar() = default;

// ---- properties

void TVxScrollBar::SetKind(TVxScrollBarKind value) {
    if (value == m_kind || value > ksbVertical) {
        return;
    }
    m_kind = value;
    if (!HasState(csLoading)) {
        SetBounds(Left(), Top(), Height(), Width());
    }
    Invalidate();
}

void TVxScrollBar::SetMin(int32_t value) {
    if (value != m_min) {
        m_min = value;
        m_max = std::max(m_max, value);
        RangeChanged();
    }
}

void TVxScrollBar::SetMax(int32_t value) {
    if (value != m_max) {
        m_max = value;
        m_min = std::min(m_min, value);
        RangeChanged();
    }
}

void TVxScrollBar::SetPageSize(int32_t value) {
    if (value = std::max(value, 0); value != m_pageSize) {
        m_pageSize = value;
        RangeChanged();
    }
}

void TVxScrollBar::RangeChanged() {
    m_position = Clamped(m_position);
    Invalidate();
}

void TVxScrollBar::SetPosition(int32_t value) {
    if (value = Clamped(value); value != m_position) {
        m_position = value;
        Invalidate();
    }
}

void TVxScrollBar::SetSmallChange(int32_t value) {
    m_smallChange = std::max(value, 1);
}

void TVxScrollBar::SetLargeChange(int32_t value) {
    m_largeChange = std::max(value, 1);
}

int32_t TVxScrollBar::MaxPosition() const {
    const int64_t last = static_cast<int64_t>(m_max) - std::max(m_pageSize - 1, 0);
    return static_cast<int32_t>(std::max<int64_t>(last, m_min));
}

int32_t TVxScrollBar::Clamped(int64_t position) const {
    return static_cast<int32_t>(std::clamp<int64_t>(position, m_min, MaxPosition()));
}

bool TVxScrollBar::Scrollable() const {
    return Enabled() && MaxPosition() > m_min;
}

// ---- geometry

TVxScrollBar::TGeometry TVxScrollBar::Geometry() const {
    TGeometry g;
    g.Area = GetInnerRect();
    g.Vertical = m_kind == ksbVertical;
    g.Begin = g.Vertical ? g.Area.Top : g.Area.Left;
    g.End = std::max(g.Begin, g.Vertical ? g.Area.Bottom : g.Area.Right);
    const int32_t across = std::max(g.Vertical ? g.Area.Width() : g.Area.Height(), 0);
    // Square arrows, halved when the bar is shorter than two.
    const int32_t arrow = std::min(across, (g.End - g.Begin) / 2);
    g.TrackBegin = g.Begin + arrow;
    g.TrackEnd = g.End - arrow;
    const int64_t track = g.TrackEnd - g.TrackBegin;
    int64_t thumb = 0;
    if (Scrollable()) {
        const int64_t span = static_cast<int64_t>(m_max) - m_min + 1;
        thumb = m_pageSize > 0 ? std::max(track * m_pageSize / span, kMinThumb) : across;
        if (thumb > track) {
            thumb = 0;  // no room: the track alone, still split at the position
        }
    }
    const int64_t range = static_cast<int64_t>(MaxPosition()) - m_min;
    const int64_t offset = range > 0 ? (track - thumb) * (static_cast<int64_t>(m_position) - m_min) / range : 0;
    g.ThumbBegin = g.TrackBegin + static_cast<int32_t>(offset);
    g.ThumbEnd = g.ThumbBegin + static_cast<int32_t>(thumb);
    return g;
}

TRect TVxScrollBar::TGeometry::Rect(TPart part) const {
    int32_t from = 0;
    int32_t to = 0;
    switch (part) {
        case spLowArrow:
            from = Begin;
            to = TrackBegin;
            break;
        case spLowTrack:
            from = TrackBegin;
            to = ThumbBegin;
            break;
        case spThumb:
            from = ThumbBegin;
            to = ThumbEnd;
            break;
        case spHighTrack:
            from = ThumbEnd;
            to = TrackEnd;
            break;
        case spHighArrow:
            from = TrackEnd;
            to = End;
            break;
        case spNone:
            return {};
    }
    return Vertical ? TRect{Area.Left, from, Area.Right, to} : TRect{from, Area.Top, to, Area.Bottom};
}

TRect TVxScrollBar::PartRect(TPart part) const {
    return Geometry().Rect(part);
}

TVxScrollBar::TPart TVxScrollBar::PartAt(TPoint p) const {
    const TGeometry g = Geometry();
    if (!g.Area.Contains(p)) {
        return spNone;
    }
    const int32_t at = Along(p);
    if (at < g.TrackBegin) {
        return spLowArrow;
    }
    if (at >= g.TrackEnd) {
        return spHighArrow;
    }
    if (at < g.ThumbBegin) {
        return spLowTrack;
    }
    return at < g.ThumbEnd ? spThumb : spHighTrack;
}

int32_t TVxScrollBar::PositionAt(const TGeometry& g, int32_t thumbBegin) const {
    const int64_t room = static_cast<int64_t>(g.TrackEnd - g.TrackBegin) - (g.ThumbEnd - g.ThumbBegin);
    if (room <= 0) {
        return m_min;
    }
    const int64_t offset = std::clamp<int64_t>(static_cast<int64_t>(thumbBegin) - g.TrackBegin, 0, room);
    const int64_t range = static_cast<int64_t>(MaxPosition()) - m_min;
    return Clamped(m_min + (offset * range + room / 2) / room);
}

// ---- painting

int TVxScrollBar::Look(TPart part) const {
    if (!Scrollable()) {
        return 3;
    }
    // A held arrow or track piece shows pressed only while the pointer is on it; the thumb
    // until it is let go.
    if (m_pressed == part && (part == spThumb || m_hot == part)) {
        return 2;
    }
    return m_hot == part ? 1 : 0;
}

void TVxScrollBar::PaintClient() {
    TVxCustomControl::PaintClient();
    const TGeometry g = Geometry();
    HDC dc = PaintCanvas().Handle();
    if (VisualStylesActive()) {
        if (const TWindowTheme theme(L"Scrollbar", WindowHandle()); theme) {
            PaintThemed(theme, dc, g);
            return;
        }
    }
    PaintClassic(dc, g);
}

void TVxScrollBar::PaintThemed(const TWindowTheme& theme, HDC dc, const TGeometry& g) {
    const bool v = g.Vertical;
    theme.Draw(dc, kSbpArrowButton, (v ? kAbsUp : kAbsLeft) + Look(spLowArrow), g.Rect(spLowArrow));
    theme.Draw(dc, kSbpArrowButton, (v ? kAbsDown : kAbsRight) + Look(spHighArrow), g.Rect(spHighArrow));
    // The style's upper track is the one toward the low positions.
    theme.Draw(dc, v ? kSbpUpperTrackVert : kSbpUpperTrackHorz, 1 + Look(spLowTrack), g.Rect(spLowTrack));
    theme.Draw(dc, v ? kSbpLowerTrackVert : kSbpLowerTrackHorz, 1 + Look(spHighTrack), g.Rect(spHighTrack));
    const TRect thumb = g.Rect(spThumb);
    theme.Draw(dc, v ? kSbpThumbVert : kSbpThumbHorz, 1 + Look(spThumb), thumb);
    theme.Draw(dc, v ? kSbpGripperVert : kSbpGripperHorz, 1 + Look(spThumb), thumb);
}

void TVxScrollBar::PaintClassic(HDC dc, const TGeometry& g) {
    const auto arrow = [&](TPart part, UINT direction) {
        const int look = Look(part);
        const UINT state = look == 3 ? DFCS_INACTIVE : look == 2 ? DFCS_PUSHED | DFCS_FLAT : 0;
        RECT r = ToRect(g.Rect(part));
        if (r.right > r.left && r.bottom > r.top) {
            DrawFrameControl(dc, &r, DFC_SCROLL, direction | state);
        }
    };
    arrow(spLowArrow, g.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT);
    arrow(spHighArrow, g.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT);

    // The track is a checker of the face and highlight colours, dark where it is held down.
    static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    const win32::TBitmapHandle pattern(CreateBitmap(8, 8, 1, 1, kChecker));
    const win32::TBrushHandle checker(CreatePatternBrush(pattern.Get()));
    const COLORREF oldText = SetTextColor(dc, win32::ToColorRef(clBtnFace));
    const COLORREF oldBack = SetBkColor(dc, win32::ToColorRef(clBtnHighlight));
    for (TPart part : {spLowTrack, spHighTrack}) {
        const RECT r = ToRect(g.Rect(part));
        if (Look(part) == 2) {
            FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
        } else {
            FillRect(dc, &r, checker.Get());
        }
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);

    RECT thumb = ToRect(g.Rect(spThumb));
    if (thumb.right > thumb.left && thumb.bottom > thumb.top) {
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
}

// ---- input

void TVxScrollBar::Scroll(int32_t code, int32_t position) {
    if (OnScroll) {
        OnScroll(this, code, position);
    }
    SetPosition(position);
}

void TVxScrollBar::Step(TPart part) {
    if (part == spNone || part == spThumb) {
        return;
    }
    const bool low = part == spLowArrow || part == spLowTrack;
    const bool arrow = part == spLowArrow || part == spHighArrow;
    const int32_t code = arrow ? (low ? SB_LINEUP : SB_LINEDOWN) : (low ? SB_PAGEUP : SB_PAGEDOWN);
    const int64_t step = arrow ? m_smallChange : m_largeChange;
    Scroll(code, Clamped(static_cast<int64_t>(m_position) + (low ? -step : step)));
}

void TVxScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TVxCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || m_pressed != spNone || !Scrollable()) {
        return;
    }
    m_mouse = {x, y};
    m_hot = m_pressed = PartAt(m_mouse);
    if (m_pressed == spThumb) {
        m_grip = Along(m_mouse) - Geometry().ThumbBegin;
        m_trackPosition = m_position;
    } else if (m_pressed != spNone) {
        Step(m_pressed);
        StartRepeat();
    }
    Invalidate();
}

void TVxScrollBar::MouseMove(TShiftState shift, int x, int y) {
    TVxCustomControl::MouseMove(shift, x, y);
    m_mouse = {x, y};
    if (m_pressed == spThumb) {
        const int32_t position = PositionAt(Geometry(), Along(m_mouse) - m_grip);
        if (position != m_trackPosition) {
            m_trackPosition = position;
            Scroll(SB_THUMBTRACK, position);
        }
        return;
    }
    if (const TPart hot = PartAt(m_mouse); hot != m_hot) {
        m_hot = hot;
        Invalidate();
    }
}

void TVxScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        EndPress();
    }
    TVxCustomControl::MouseUp(button, shift, x, y);
}

void TVxScrollBar::DoMouseLeave() {
    TVxCustomControl::DoMouseLeave();
    m_hot = spNone;
    Invalidate();
}

void TVxScrollBar::StartRepeat() {
    if (!m_repeat) {
        m_repeat = std::make_unique<win32::TTimer>(nullptr);
        m_repeat->SetOnTimer([this](TObject*) { RepeatStep(); });
    }
    m_repeat->SetEnabled(false);
    m_repeat->SetInterval(kFirstRepeatDelay);
    m_repeat->SetEnabled(true);
}

void TVxScrollBar::RepeatStep() {
    if (m_pressed == spNone || m_pressed == spThumb) {
        m_repeat->SetEnabled(false);
        return;
    }
    if (m_repeat->Interval() != kRepeatInterval) {
        m_repeat->SetInterval(kRepeatInterval);
    }
    // The track repeats until the thumb reaches the pointer; either stops while it is away.
    if (PartAt(m_mouse) == m_pressed) {
        Step(m_pressed);
    }
}

void TVxScrollBar::EndPress() {
    const TPart part = std::exchange(m_pressed, spNone);
    if (part == spNone) {
        return;
    }
    if (m_repeat) {
        m_repeat->SetEnabled(false);
    }
    Invalidate();
    if (part == spThumb) {
        Scroll(SB_THUMBPOSITION, m_trackPosition);
    }
    Scroll(SB_ENDSCROLL, m_position);
}

void TVxScrollBar::WMCaptureChanged(TMessage& m) {
    // Losing the mouse to another window ends a press as letting go does.
    if (reinterpret_cast<HWND>(m.LParam) != WindowHandle()) {
        EndPress();
    }
    Inherited<TVxScrollBar>(m);
}

}  // namespace zaprelay::skin
