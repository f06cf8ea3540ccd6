// The skinned scroll bar alone and built into the skinned control base: its range rules, the
// built-in bars' layout in every mode and frame, real mouse input on a built-in bar, and the
// themed and classic frames read back from a DIB.
#include "skin/controls/vx_scroll_bar.h"

#include "framework/win32/application.h"
#include "skin/form/window_theme.h"
#include "tests/win32/control_form_fixture.h"
#include "tests/win32/input.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr TColor kControlColor = 0x00C0B0A0;

using test::Rgb;

using TScrollLog = std::vector<std::pair<int, int>>;  // code, position

// Logs what its built-in bars send and moves a bar to the position sent, except while its thumb
// is dragged: as a view that scrolls once the thumb is let go.
class TScrolled : public TVxCustomControl {
public:
    using TVxCustomControl::TVxCustomControl;

    void WndProc(TMessage& m) override {
        if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
            const int code = LoWord(m.WParam);
            Log.emplace_back(code, HiWord(m.WParam));
            if (code != SB_THUMBTRACK) {
                (m.Msg == WM_HSCROLL ? HorzScrollBar() : VertScrollBar())->SetPosition(HiWord(m.WParam));
            }
        }
        TVxCustomControl::WndProc(m);
    }
    TScrollLog Log;
};

class VxScrollBarTest : public test::ControlFormTest {
protected:
    void SetUp() override {
        ControlFormTest::SetUp();
        Activate();
    }

    TScrolled* Framed(const TRect& bounds, uint8_t mode) {
        auto* c = Place<TScrolled>(form, bounds);
        c->SetColor(kControlColor);
        c->SetScrollBarMode(mode);
        return c;
    }
};

TEST_F(VxScrollBarTest, LayoutsCreateTheBarAtItsStreamDefaults) {
    const TClassInfo& info = TVxScrollBar::StaticClassInfo();
    ASSERT_TRUE(info.Create);
    TComponent* bar = info.Create(form);
    for (const TPropInfo* prop : info.Properties()) {
        if (prop->IsOrdinal() && prop->Default && prop->GetOrd) {
            EXPECT_EQ(prop->GetOrd(*bar), *prop->Default) << prop->Name;
        }
    }
}

TEST_F(VxScrollBarTest, PositionStaysInRangeAndTheThumbInTheTrack) {
    struct Case {
        int32_t min, max, page, position;
        int32_t expected;
    };
    const Case cases[] = {
        {0, 100, 0, 150, 100},
        {0, 100, 10, 150, 91},
        {0, 100, 10, -5, 0},
        {-50, -10, 0, 0, -10},
        {0, 5, 20, 3, 0},
        {INT_MIN, INT_MAX, 0, INT_MAX, INT_MAX},
        {INT_MIN, INT_MAX, INT_MAX, 7, 1},
        {0, 100, -3, 40, 40},
    };
    auto* bar = Place<TVxScrollBar>(form, {10, 10, 160, 27});
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.min) + ".." + std::to_string(c.max) + " page " +
                                 std::to_string(c.page) + " at " + std::to_string(c.position);
        bar->SetMin(INT_MIN);
        bar->SetMax(c.max);
        bar->SetMin(c.min);
        bar->SetPageSize(c.page);
        bar->SetPosition(c.position);
        EXPECT_EQ(bar->Position(), c.expected) << name;
        const TRect track{bar->PartRect(TVxScrollBar::spLowArrow).Right, 0,
                          bar->PartRect(TVxScrollBar::spHighArrow).Left, 17};
        const TRect thumb = bar->PartRect(TVxScrollBar::spThumb);
        EXPECT_TRUE(thumb.IsEmpty() || (thumb.Left >= track.Left && thumb.Right <= track.Right)) << name;
        Painted(*bar);
    }
    // A page as big as the range leaves nothing to scroll: no thumb, the disabled look.
    bar->SetPageSize(INT_MAX);
    EXPECT_FALSE(bar->Scrollable());
    EXPECT_TRUE(bar->PartRect(TVxScrollBar::spThumb).IsEmpty());
}

TEST_F(VxScrollBarTest, BuiltInBarsLieInsideTheFrameAndFollowTheSize) {
    struct Case {
        uint8_t mode;
        int32_t border;
        int32_t bevelWidth;  // two lowered cuts
    };
    const Case cases[] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {1, 2, 0}, {2, 1, 1}, {3, 0, 2}};
    for (const Case& c : cases) {
        TScrolled* control = Framed({10, 10, 210, 130}, c.mode);
        control->SetBorderWidth(c.border);
        control->SetBevelWidth(c.bevelWidth);
        const int32_t s = control->ScrollBarSize();
        const int32_t inset = c.border + 2 * c.bevelWidth;
        const bool horz = (c.mode & 1) != 0;
        const bool vert = (c.mode & 2) != 0;
        const std::string name = "mode " + std::to_string(c.mode) + " inset " + std::to_string(inset);
        ASSERT_EQ(control->HorzScrollBar() != nullptr, horz) << name;
        ASSERT_EQ(control->VertScrollBar() != nullptr, vert) << name;
        // Set through the framework, then by the window alone.
        const std::function<void(int32_t, int32_t)> resizes[] = {
            [&](int32_t w, int32_t h) { control->SetBounds(10, 10, w, h); },
            [&](int32_t w, int32_t h) {
                SetWindowPos(control->Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
            },
        };
        for (const TPoint size : {TPoint{200, 120}, TPoint{150, 90}}) {
            resizes[size.X == 200 ? 0 : 1](size.X, size.Y);
            const int32_t right = size.X - inset;
            const int32_t bottom = size.Y - inset;
            if (horz) {
                EXPECT_EQ(control->HorzScrollBar()->BoundsRect(),
                          (TRect{inset, bottom - s, right - (vert ? s : 0), bottom}))
                    << name << " width " << size.X;
                EXPECT_EQ(control->HorzScrollBar()->Kind(), ksbHorizontal);
            }
            if (vert) {
                EXPECT_EQ(control->VertScrollBar()->BoundsRect(),
                          (TRect{right - s, inset, right, bottom - (horz ? s : 0)}))
                    << name << " width " << size.X;
                EXPECT_EQ(control->VertScrollBar()->Kind(), ksbVertical);
            }
            EXPECT_EQ(control->ClientRect(), (TRect{inset, inset, right - (vert ? s : 0), bottom - (horz ? s : 0)}))
                << name << " width " << size.X;
        }
        for (TVxScrollBar* bar : {control->HorzScrollBar(), control->VertScrollBar()}) {
            if (bar != nullptr) {
                EXPECT_EQ(bar->Owner(), control);
                EXPECT_TRUE(IsWindowVisible(bar->Handle())) << name;
                EXPECT_EQ(GetParent(bar->Handle()), control->Handle()) << name;
            }
        }
        control->SetScrollBarMode(0);
        EXPECT_EQ(control->HorzScrollBar(), nullptr);
        EXPECT_EQ(control->VertScrollBar(), nullptr);
        EXPECT_EQ(control->ControlCount(), 0);
        control->Free();
    }
}

TEST_F(VxScrollBarTest, MouseOnABuiltInBarScrollsTheControl) {
    TScrolled* control = Framed({20, 20, 140, 170}, 2);
    TVxScrollBar* bar = control->VertScrollBar();
    ASSERT_NE(bar, nullptr);
    bar->SetMax(10);
    bar->SetLargeChange(4);
    test::ProcessPendingMessages();
    const int32_t s = bar->Width();
    const TPoint up{s / 2, s / 2};
    const TPoint down{s / 2, 150 - s / 2};
    const TPoint trackEnd{s / 2, 150 - s - 3};

    struct Click {
        TPoint at;
        TScrollLog expected;
    };
    const Click steps[] = {
        {down, {{SB_LINEDOWN, 1}, {SB_ENDSCROLL, 1}}},
        {up, {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}},
        {up, {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}},  // at the top already
        {trackEnd, {{SB_PAGEDOWN, 4}, {SB_ENDSCROLL, 4}}},
        {trackEnd, {{SB_PAGEDOWN, 8}, {SB_ENDSCROLL, 8}}},
        {trackEnd, {{SB_PAGEDOWN, 10}, {SB_ENDSCROLL, 10}}},
        {down, {{SB_LINEDOWN, 10}, {SB_ENDSCROLL, 10}}},  // at the bottom already
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        control->Log.clear();
        const POINT p = OnScreen(*bar, steps[i].at);
        test::ClickAt(p.x, p.y);
        EXPECT_EQ(control->Log, steps[i].expected) << "click " << i;
        EXPECT_EQ(bar->Position(), steps[i].expected.back().second) << "click " << i;
    }

    // Held, an arrow repeats.
    control->Log.clear();
    const POINT upOnScreen = OnScreen(*bar, up);
    test::DragWithMouse(upOnScreen, upOnScreen, [&] { EXPECT_TRUE(Pump([&] { return control->Log.size() >= 3; })); });
    ASSERT_GE(control->Log.size(), 4u);
    EXPECT_EQ(TScrollLog(control->Log.begin(), control->Log.begin() + 3),
              (TScrollLog{{SB_LINEUP, 9}, {SB_LINEUP, 8}, {SB_LINEUP, 7}}));
    EXPECT_EQ(control->Log.back().first, SB_ENDSCROLL);

    // The thumb taken from the top to the bottom: tracking leaves the bar where the control keeps
    // it, the final position moves it.
    bar->SetPosition(0);
    control->Log.clear();
    const TRect thumb = bar->PartRect(TVxScrollBar::spThumb);
    int32_t positionWhileDragged = -1;
    test::DragWithMouse(OnScreen(*bar, {s / 2, (thumb.Top + thumb.Bottom) / 2}), OnScreen(*bar, {s / 2, 150 - s - 1}),
                        [&] {
                            win32::Application()->ProcessMessages();
                            positionWhileDragged = bar->Position();
                        });
    ASSERT_GE(control->Log.size(), 3u);
    EXPECT_EQ(positionWhileDragged, 0);
    for (std::size_t i = 0; i + 2 < control->Log.size(); ++i) {
        EXPECT_EQ(control->Log[i].first, SB_THUMBTRACK) << i;
    }
    EXPECT_EQ(TScrollLog(control->Log.end() - 2, control->Log.end()),
              (TScrollLog{{SB_THUMBPOSITION, 10}, {SB_ENDSCROLL, 10}}));
    EXPECT_EQ(bar->Position(), 10);
}

TEST_F(VxScrollBarTest, ThemedFrameTakesTheControlsState) {
    if (!VisualStylesActive() || !TWindowTheme(L"Edit", form->Handle())) {
        GTEST_SKIP() << "no visual styles here";
    }
    struct Case {
        const char* name;
        std::function<void(TScrolled&)> make;
        int state;
    };
    const Case cases[] = {
        {"normal", [](TScrolled&) {}, 1},
        {"hot", [](TScrolled& c) { c.Perform(win32::CM_MOUSEENTER); }, 2},
        {"focused", [](TScrolled& c) { c.SetFocus(); }, 3},
        {"disabled", [](TScrolled& c) { c.SetEnabled(false); }, 4},
    };
    std::vector<std::vector<uint32_t>> references;
    for (const Case& c : cases) {
        TScrolled* control = Framed({10, 10, 110, 50}, 0);
        control->SetBorderWidth(3);
        control->Update();
        ValidateRect(control->Handle(), nullptr);
        c.make(*control);
        ASSERT_TRUE(Pump([&] { return c.state != 3 || control->HasFocus(); })) << c.name;
        // The frame asks to be painted again on every change of state.
        EXPECT_EQ(GetUpdateRect(control->Handle(), nullptr, FALSE) != FALSE, c.state != 1) << c.name;

        const std::vector<uint32_t> pixels = Painted(*control, 0x00ABCDEF);
        test::TSurface expected({100, 40}, 0x00ABCDEF);
        TWindowTheme(L"Edit", control->Handle()).Draw(expected.DC(), 1, c.state, {0, 0, 100, 40});
        references.push_back(expected.Pixels());
        int wrong = 0;
        for (int32_t y = 0; y < 40; ++y) {
            for (int32_t x = 0; x < 100; ++x) {
                const bool ring = x < 3 || y < 3 || x >= 97 || y >= 37;
                const uint32_t want = ring ? references.back()[y * 100 + x] : Rgb(kControlColor);
                wrong += pixels[y * 100 + x] != want ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
        control->Free();
    }
    // Wine's style draws the hot and focused text box as the normal one; the disabled one differs.
    EXPECT_NE(references[3], references[0]);
}

TEST_F(VxScrollBarTest, ClassicFrameKeepsTheBevelsAndFillsTheCorner) {
    TScrolled* control = Framed({10, 10, 110, 70}, 3);
    control->SetBevelWidth(1);
    control->SetBevelOuter(kbvRaised);
    WithoutVisualStyles(*control);
    const std::vector<uint32_t> pixels = Painted(*control);
    // The outer ring raised, the inner one lowered.
    EXPECT_EQ(pixels[0], Rgb(static_cast<TColor>(clBtnHighlight)));
    EXPECT_EQ(pixels[59 * 100 + 99], Rgb(static_cast<TColor>(cl3DDkShadow)));
    EXPECT_EQ(pixels[1 * 100 + 1], Rgb(static_cast<TColor>(cl3DDkShadow)));
    EXPECT_EQ(pixels[57 * 100 + 97], Rgb(kControlColor)) << "corner";
    EXPECT_EQ(pixels[10 * 100 + 10], Rgb(kControlColor)) << "client";
}

}  // namespace
}  // namespace zaprelay::skin
