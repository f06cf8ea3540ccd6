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

}  // namespace
}  // namespace zaprelay::skin
