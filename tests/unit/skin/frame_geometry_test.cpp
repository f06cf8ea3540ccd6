// The default frame geometry on a 400 x 300 form with the initial metrics: client inset,
// caption button rows, hit test with its corner reach, the WM_NCHITTEST answers, state rects.
#include "skin/form/frame_geometry.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr TPoint kForm{400, 300};
constexpr TVxBorderIcons kAll =
    BorderIconSet({kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray});
constexpr TVxBorderIcons kMainWindow = BorderIconSet({kbiClose, kbiTray});
constexpr TRect kNone{};

TCaptionLayout Layout(TVxBorderIcons icons,
                      bool themed,
                      TVxBorderStyle style = kbsStandard,
                      TVxWindowState state = kwsNormal) {
    TCaptionLayout layout;
    layout.ClientArea = DefaultClientArea(style, kForm, layout.Metrics);
    layout.Style = style;
    layout.Themed = themed;
    layout.State = state;
    layout.Icons = icons;
    return layout;
}

std::string Text(const TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
}

TEST(FrameGeometry, ClientAreaInsetsByFrameAndCaption) {
    const TFrameMetrics metrics;
    EXPECT_EQ(DefaultClientArea(kbsStandard, kForm, metrics), (TRect{4, 22, 396, 296}));
    EXPECT_EQ(DefaultClientArea(kbsToolWindow, kForm, metrics), (TRect{4, 19, 396, 296}));
    EXPECT_EQ(DefaultClientArea(kbsNone, kForm, metrics), (TRect{0, 0, 400, 300}));
    // Smaller than its own frame: an empty area where the frame ends, never inverted.
    EXPECT_EQ(DefaultClientArea(kbsStandard, {5, 5}, metrics), (TRect{4, 22, 4, 22}));
    EXPECT_EQ(DefaultClientArea(kbsStandard, {-10, -10}, metrics), (TRect{4, 22, 4, 22}));
}

// Rows in TVxBorderIcon order: close, system menu, minimize, maximize, help, roll-up, tray.
struct TButtonCase {
    const char* name;
    TCaptionLayout layout;
    std::vector<TRect> rects;
};

TEST(FrameGeometry, ButtonRows) {
    const TRect sys{4, 5, 21, 22};
    const std::vector<TButtonCase> cases = {
        {"main window, classic",
         Layout(kMainWindow, false),
         {{379, 7, 394, 20}, kNone, kNone, kNone, kNone, kNone, {362, 7, 377, 20}}},
        {"all, classic",
         Layout(kAll, false),
         {{379, 7, 394, 20},
          sys,
          {347, 7, 362, 20},
          {362, 7, 377, 20},
          {298, 7, 313, 20},
          {330, 7, 345, 20},
          {315, 7, 330, 20}}},
        {"all, themed: stops at roll-up",
         Layout(kAll, true),
         {{381, 6, 394, 19}, sys, {351, 6, 364, 19}, {366, 6, 379, 19}, kNone, kNone, kNone}},
        {"main window, themed: stops at tray",
         Layout(kMainWindow, true),
         {{381, 6, 394, 19}, kNone, kNone, kNone, kNone, kNone, kNone}},
        {"themed without roll-up and tray keeps help",
         Layout(kAll & ~BorderIconSet({kbiRollup, kbiTray}), true),
         {{381, 6, 394, 19}, sys, {351, 6, 364, 19}, {366, 6, 379, 19}, {334, 6, 347, 19}, kNone, kNone}},
        {"minimized, classic",
         Layout(kAll, false, kbsStandard, kwsMinimized),
         {{379, 7, 394, 20}, sys, {362, 7, 377, 20}, kNone, kNone, kNone, kNone}},
        {"minimized, themed goes on to no help",
         Layout(kAll, true, kbsStandard, kwsMinimized),
         {{381, 6, 394, 19}, sys, {366, 6, 379, 19}, kNone, kNone, kNone, kNone}},
        {"rolled up loses help",
         Layout(kAll, false, kbsStandard, kwsRollup),
         {{379, 7, 394, 20}, sys, {347, 7, 362, 20}, {362, 7, 377, 20}, kNone, {330, 7, 345, 20}, {315, 7, 330, 20}}},
        {"tool window, classic",
         Layout(kAll, false, kbsToolWindow),
         {{384, 7, 396, 17}, kNone, kNone, kNone, kNone, kNone, kNone}},
        {"tool window, themed",
         Layout(kAll, true, kbsToolWindow),
         {{386, 6, 396, 16}, kNone, kNone, kNone, kNone, kNone, kNone}},
        {"no frame", Layout(kAll, false, kbsNone), std::vector<TRect>(kBorderIconCount)},
    };
    for (const TButtonCase& c : cases) {
        for (int icon = 0; icon < kBorderIconCount; ++icon) {
            EXPECT_EQ(Text(DefaultButtonRect(c.layout, static_cast<TVxBorderIcon>(icon))), Text(c.rects[icon]))
                << c.name << ", button " << icon;
        }
    }
}

TEST(FrameGeometry, TooSmallCaptionHasNoGlyphButtons) {
    TCaptionLayout layout = Layout(kAll, false);
    layout.ClientArea.Top = 7;  // a band of 2 rows
    for (int icon = 0; icon < kBorderIconCount; ++icon) {
        if (icon != kbiSystemMenu) {
            EXPECT_TRUE(DefaultButtonRect(layout, static_cast<TVxBorderIcon>(icon)).IsEmpty()) << icon;
        }
    }
    EXPECT_EQ(DefaultButtonRect(layout, kbiSystemMenu), Bounds(4, 5, 2, 2));
    EXPECT_TRUE(DefaultButtonRect(layout, static_cast<TVxBorderIcon>(40)).IsEmpty());
    layout.ClientArea = DefaultClientArea(kbsStandard, {3, 3}, layout.Metrics);
    EXPECT_TRUE(DefaultButtonRect(layout, kbiSystemMenu).IsEmpty());
}

struct THitCase {
    TPoint point;
    TVxFormRegion region;
};

void ExpectRegions(const THitTestFrame& frame, const std::vector<THitCase>& cases, const char* name) {
    for (const THitCase& c : cases) {
        EXPECT_EQ(DefaultHitTest(frame, c.point), c.region) << name << " at " << c.point.X << "," << c.point.Y;
    }
}

TEST(FrameGeometry, HitTestFindsCaptionAndButtons) {
    const THitTestFrame frame = DefaultHitTestFrame(Layout(kAll, false), kForm);
    ExpectRegions(frame,
                  {{{200, 5}, khrCaption},
                   {{200, 21}, khrCaption},
                   {{200, 22}, khrNone},
                   {{200, 100}, khrNone},
                   {{386, 13}, khrClose},
                   {{10, 13}, khrSysMenu},
                   {{350, 13}, khrMinimize},
                   {{370, 13}, khrMaximize},
                   {{300, 13}, khrHelp},
                   {{335, 13}, khrRollup},
                   {{320, 13}, khrTray},
                   {{345, 13}, khrCaption}},
                  "normal");
}

TEST(FrameGeometry, HitTestEdgesAndCornersReachTwentyPixels) {
    const std::vector<THitCase> edges = {
        {{200, 0}, khrTop},         {{200, 4}, khrTop},        {{19, 2}, khrTopLeft},        {{20, 2}, khrTop},
        {{380, 2}, khrTop},         {{381, 2}, khrTopRight},   {{200, 296}, khrBottom},      {{200, 295}, khrNone},
        {{19, 299}, khrBottomLeft}, {{20, 299}, khrBottom},    {{381, 299}, khrBottomRight}, {{0, 100}, khrLeft},
        {{3, 100}, khrLeft},        {{4, 100}, khrNone},       {{2, 19}, khrTopLeft},        {{2, 20}, khrLeft},
        {{2, 280}, khrLeft},        {{2, 281}, khrBottomLeft}, {{396, 100}, khrRight},       {{395, 100}, khrNone},
        {{399, 19}, khrTopRight},   {{399, 20}, khrRight},     {{399, 281}, khrBottomRight}, {{405, 100}, khrNone},
        {{-1, 0}, khrNone},
    };
    ExpectRegions(DefaultHitTestFrame(Layout(kAll, false), kForm), edges, "normal");
    ExpectRegions(DefaultHitTestFrame(Layout(kAll, true, kbsStandard, kwsTray), kForm), edges, "tray");
}

TEST(FrameGeometry, HitTestHasNoEdgesOutsideNormalAndTray) {
    for (TVxWindowState state : {kwsMaximized, kwsMinimized, kwsRollup}) {
        const THitTestFrame frame = DefaultHitTestFrame(Layout(kAll, false, kbsStandard, state), kForm);
        ExpectRegions(frame,
                      {{{200, 0}, khrCaption},
                       {{2, 2}, khrCaption},
                       {{0, 100}, khrNone},
                       {{399, 100}, khrNone},
                       {{200, 299}, khrNone},
                       {{386, 13}, khrClose}},
                      "not normal");
    }
}

TEST(FrameGeometry, SizeGripSizesFromTheCorner) {
    THitTestFrame frame = DefaultHitTestFrame(Layout(kAll, false, kbsStandard, kwsMaximized), kForm);
    frame.SizeGrip = {380, 280, 396, 296};
    EXPECT_EQ(DefaultHitTest(frame, {390, 290}), khrBottomRight);
    EXPECT_EQ(DefaultHitTest(frame, {379, 290}), khrNone);
}

// Columns: free, not sizeable, maximized, not moveable.
struct TCodeCase {
    uint32_t region;
    int32_t codes[4];
};

TEST(FrameGeometry, SystemCodesFollowSizeableMoveableAndMaximized) {
    const THitTestRules rules[4] = {{}, {.Sizeable = false}, {.Maximized = true}, {.Moveable = false}};
    constexpr int32_t C = kHtClient;
    const TCodeCase cases[] = {
        {khrNone, {C, C, C, C}},
        {khrCaption, {kHtCaption, kHtCaption, kHtCaption, C}},
        {khrLeft, {kHtLeft, C, C, kHtLeft}},
        {khrTop, {kHtTop, C, C, kHtTop}},
        {khrRight, {kHtRight, C, C, kHtRight}},
        {khrBottom, {kHtBottom, C, C, kHtBottom}},
        {khrTopLeft, {kHtTopLeft, C, C, kHtTopLeft}},
        {khrTopRight, {kHtTopRight, C, C, kHtTopRight}},
        {khrBottomLeft, {kHtBottomLeft, C, C, kHtBottomLeft}},
        {khrBottomRight, {kHtBottomRight, C, C, kHtBottomRight}},
        {khrBorder, {kHtBorder, kHtBorder, kHtBorder, kHtBorder}},
        {khrRollup, {kHtBorder, kHtBorder, kHtBorder, kHtBorder}},
        {khrTray, {kHtBorder, kHtBorder, kHtBorder, kHtBorder}},
        {khrSysMenu, {kHtBorder, kHtBorder, kHtBorder, kHtBorder}},
        {khrSkinButton, {kHtBorder, kHtBorder, kHtBorder, kHtBorder}},
        {khrClose, {kHtClose, kHtClose, kHtClose, kHtClose}},
        {khrHelp, {kHtHelp, kHtHelp, kHtHelp, kHtHelp}},
        {khrMinimize, {kHtMinButton, kHtMinButton, kHtMinButton, kHtMinButton}},
        {khrMaximize, {kHtMaxButton, kHtMaxButton, kHtMaxButton, kHtMaxButton}},
        {khrClose | 0x80, {kHtClose, kHtClose, kHtClose, kHtClose}},  // only the low 7 bits count
        {99, {C, C, C, C}},
    };
    for (const TCodeCase& c : cases) {
        for (int rule = 0; rule < 4; ++rule) {
            EXPECT_EQ(SystemHitTestCode(c.region, rules[rule]), c.codes[rule])
                << "region " << c.region << ", rule " << rule;
        }
    }
}

TEST(FrameGeometry, StateRects) {
    const TRect area = DefaultClientArea(kbsStandard, kForm, TFrameMetrics{});
    EXPECT_EQ(RollupRect({100, 50}, kForm, area), Bounds(100, 50, 400, 26));
    EXPECT_EQ(MinimizedRect(160, 26, {0, 0, 1280, 994}), (TRect{0, 968, 160, 994}));
    const TRect work{0, 0, 1280, 994};
    const TRect monitor{0, 0, 1280, 1024};
    EXPECT_EQ(MaximizedRect(work, monitor, false, area), (TRect{-4, -4, 1284, 998}));
    EXPECT_EQ(MaximizedRect(work, monitor, true, area), (TRect{-4, -4, 1284, 1028}));
    EXPECT_EQ(MaximizedRect(work, monitor, false, TRect{0, 0, 400, 300}), work);
}

TEST(FrameGeometry, SizeLimitsTakeNonZeroConstraints) {
    const TRect maximized{-4, -4, 1284, 998};
    EXPECT_EQ(MaxFormSize(maximized, 0, 0), (TPoint{1288, 1002}));
    EXPECT_EQ(MaxFormSize(maximized, 800, 0), (TPoint{800, 1002}));
    EXPECT_EQ(MaxFormSize(maximized, 0, 600), (TPoint{1288, 600}));
    EXPECT_EQ(MinFormSize(0, 0), (TPoint{150, 40}));
    EXPECT_EQ(MinFormSize(200, 0), (TPoint{200, 40}));
    EXPECT_EQ(MinFormSize(0, 60), (TPoint{150, 60}));
    EXPECT_EQ(MinFormSize(-5, -5), (TPoint{150, 40}));
}

TEST(FrameDrag, EachRegionMovesOrSizesItsOwnSidesAndKeepsTheMinimumFromTheFixedSide) {
    const TRect bounds{100, 100, 400, 300};
    // The pointer moved by (10, 20) since the press, by (3, 4) since the last step.
    const TPoint fromStart{10, 20};
    const TPoint fromLast{3, 4};
    struct Case {
        TVxFormRegion Region;
        TRect Expected;
    };
    const Case cases[] = {
        {khrCaption, {110, 120, 410, 320}},
        {khrLeft, {110, 100, 400, 300}},
        {khrTop, {100, 120, 400, 300}},
        {khrRight, {100, 100, 403, 300}},
        {khrBottom, {100, 100, 400, 304}},
        {khrTopLeft, {110, 120, 400, 300}},
        {khrTopRight, {100, 120, 403, 300}},
        {khrBottomLeft, {110, 100, 400, 304}},
        {khrBottomRight, {100, 100, 403, 304}},
        {khrBorder, bounds},
        {khrClose, bounds},
    };
    for (const Case& c : cases) {
        TFrameDrag drag;
        drag.Region = c.Region;
        EXPECT_EQ(DragFrame(drag, bounds, fromStart, fromLast), c.Expected) << int(c.Region);
    }
    // Dragging the left or top edge far past the other side stops at the minimum size.
    TFrameDrag drag;
    drag.Region = khrTopLeft;
    drag.MinSize = {150, 40};
    EXPECT_EQ(DragFrame(drag, bounds, {500, 500}, {500, 500}), (TRect{250, 260, 400, 300}));
}

TEST(FrameDrag, SettingsAndStatesThatForbidTheDragLeaveTheWindowAlone) {
    const TRect bounds{100, 100, 400, 300};
    TFrameDrag fixed;
    fixed.Region = khrBottomRight;
    fixed.Sizeable = false;
    EXPECT_EQ(DragFrame(fixed, bounds, {10, 10}, {10, 10}), bounds);
    TFrameDrag pinned;
    pinned.Region = khrCaption;
    pinned.Moveable = false;
    EXPECT_EQ(DragFrame(pinned, bounds, {10, 10}, {10, 10}), bounds);
    for (TVxWindowState state : {kwsMaximized, kwsMinimized, kwsRollup}) {
        TFrameDrag drag;
        drag.Region = khrRight;
        drag.State = state;
        EXPECT_EQ(DragFrame(drag, bounds, {10, 10}, {10, 10}), bounds) << int(state);
    }
    // A rolled-up or minimized window still moves by its caption; a maximized one does not.
    TFrameDrag rolled;
    rolled.Region = khrCaption;
    rolled.State = kwsRollup;
    EXPECT_EQ(DragFrame(rolled, bounds, {10, 10}, {0, 0}), bounds.Offset(10, 10));
    rolled.State = kwsMaximized;
    EXPECT_EQ(DragFrame(rolled, bounds, {10, 10}, {0, 0}), bounds);
}

TEST(Gravitation, SnapsOnlyWithinTheDistanceAndIgnoresTheShadowMargin) {
    const TRect area{0, 0, 1280, 1000};
    // 19 pixels from the left edge snaps, 20 does not (strictly closer than the distance).
    EXPECT_EQ(Gravitate({19, 300, 319, 500}, area, 20, 0), (TRect{0, 300, 300, 500}));
    EXPECT_EQ(Gravitate({20, 300, 320, 500}, area, 20, 0), (TRect{20, 300, 320, 500}));
    // The right and bottom sides snap too; the left side wins when both are close.
    EXPECT_EQ(Gravitate({975, 990, 1275, 995}, area, 20, 0), (TRect{980, 995, 1280, 1000}));
    EXPECT_EQ(Gravitate({5, 300, 1270, 500}, area, 20, 0).Left, 0);
    // With a shadow the form, not its margin, meets the edge.
    EXPECT_EQ(Gravitate({980, 300, 1290, 500}, area, 20, 8), (TRect{978, 300, 1288, 500}));
    // Negative distances (off-screen) count as distance too.
    EXPECT_EQ(Gravitate({-15, -5, 285, 195}, area, 20, 0), (TRect{0, 0, 300, 200}));
}

}  // namespace
}  // namespace zaprelay::skin
