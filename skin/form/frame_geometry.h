// The default look's frame geometry: client inset, caption buttons, hit test, and the rectangles
// of the window states, as pure functions of explicit inputs (window points: origin at the
// window's top-left corner, frame included).
#pragma once

#include "framework/graphics/geometry.h"
#include "skin/form/form_types.h"

#include <array>
#include <cstdint>

namespace zaprelay::skin {

// Process-wide frame sizes; these values stand until the system's are read.
struct TFrameMetrics {
    int32_t CaptionHeight = 18;
    int32_t ToolCaptionHeight = 15;
    int32_t FrameWidth = 4;
    int32_t ButtonWidth = 16;
    int32_t ButtonHeight = 14;
    bool operator==(const TFrameMetrics&) const = default;
};

// The client rectangle inside a form of `formSize` (without the shadow margin); never inverted,
// however small the form.
TRect DefaultClientArea(TVxBorderStyle style, TPoint formSize, const TFrameMetrics& metrics);

// What the caption buttons' layout depends on.
struct TCaptionLayout {
    TRect ClientArea;
    TFrameMetrics Metrics;
    TVxBorderStyle Style = kbsStandard;
    bool Themed = false;
    TVxWindowState State = kwsNormal;
    TVxBorderIcons Icons = kDefaultBorderIcons;
};

// The band the caption text and buttons sit in; empty when the frame has no caption.
TRect CaptionBand(const TCaptionLayout& layout);

// The rectangle of one caption button; empty when the button is absent.
TRect DefaultButtonRect(const TCaptionLayout& layout, TVxBorderIcon button);

inline constexpr int kBorderIconCount = kbiTray + 1;

// What the hit test looks at. Buttons are indexed by TVxBorderIcon; an empty rect is absent.
struct THitTestFrame {
    TPoint FormSize;
    TRect ClientArea;
    int32_t CaptionTop = 0;  // rows above it are the top edge
    TVxWindowState State = kwsNormal;
    std::array<TRect, kBorderIconCount> Buttons{};
    TRect SizeGrip;  // a status bar's size grip, in window points; empty for none
};

// The hit-test inputs of the default look for a form of `formSize`.
THitTestFrame DefaultHitTestFrame(const TCaptionLayout& layout, TPoint formSize);

TVxFormRegion DefaultHitTest(const THitTestFrame& frame, TPoint point);

// The system's hit-test codes the form answers with.
inline constexpr int32_t kHtClient = 1;
inline constexpr int32_t kHtCaption = 2;
inline constexpr int32_t kHtMinButton = 8;
inline constexpr int32_t kHtMaxButton = 9;
inline constexpr int32_t kHtLeft = 10;
inline constexpr int32_t kHtRight = 11;
inline constexpr int32_t kHtTop = 12;
inline constexpr int32_t kHtTopLeft = 13;
inline constexpr int32_t kHtTopRight = 14;
inline constexpr int32_t kHtBottom = 15;
inline constexpr int32_t kHtBottomLeft = 16;
inline constexpr int32_t kHtBottomRight = 17;
inline constexpr int32_t kHtBorder = 18;
inline constexpr int32_t kHtClose = 20;
inline constexpr int32_t kHtHelp = 21;

struct THitTestRules {
    bool Sizeable = true;
    bool Moveable = true;
    bool Maximized = false;
};

// The answer to WM_NCHITTEST for a region code (only its low 7 bits count).
int32_t SystemHitTestCode(uint32_t region, const THitTestRules& rules);

// Only the frame bands stay: the form's width, top plus bottom band high, at `position`.
TRect RollupRect(TPoint position, TPoint formSize, const TRect& clientArea);

// An icon-wide strip at the left end of the bottom of `gravitationArea`.
TRect MinimizedRect(int32_t minimizedWidth, int32_t rollupHeight, const TRect& gravitationArea);

// A form that is not an MDI child fills the work area (the monitor when it stays on top), with
// its side frames pushed off-screen.
TRect MaximizedRect(const TRect& workArea, const TRect& monitor, bool stayOnTop, const TRect& clientArea);

// Size limits; a constraint of 0 (or less) leaves the default.
inline constexpr TPoint kDefaultMinSize{150, 40};
TPoint MaxFormSize(const TRect& maximizedRect, int32_t maxWidth, int32_t maxHeight);
TPoint MinFormSize(int32_t minWidth, int32_t minHeight);

// One step of dragging the frame by the region pressed. bounds: the window now; fromStart: the
// pointer's move since the press; fromLast: since the last step (the same as fromStart while an
// outline is dragged and the window stays put). The caption moves (when moveable and not
// maximized); edges and corners size (when sizeable and normal or in the tray), never below
// minSize from the fixed side.
struct TFrameDrag {
    TVxFormRegion Region = khrNone;
    bool Moveable = true;
    bool Sizeable = true;
    TVxWindowState State = kwsNormal;
    TPoint MinSize = kDefaultMinSize;
};
TRect DragFrame(const TFrameDrag& drag, const TRect& bounds, TPoint fromStart, TPoint fromLast);

// Snaps a window rectangle to the sides of area that lie closer than `distance` (strictly);
// the shadow margin (right and bottom) does not count as window.
TRect Gravitate(const TRect& proposed, const TRect& area, int32_t distance, int32_t shadowSize);

}  // namespace zaprelay::skin
