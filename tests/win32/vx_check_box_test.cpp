// The skinned check box and radio button on a real form: defaults, the state cycle, groups,
// real mouse and key input, reading without clicks, and both looks read back from a DIB.
#include "skin/controls/vx_check_box.h"

#include "framework/win32/application.h"
#include "skin/controls/vx_radio_button.h"
#include "skin/form/window_theme.h"
#include "tests/win32/control_form_fixture.h"
#include "tests/win32/input.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr TColor kControlColor = 0x00C0B0A0;

using test::Rgb;

using TCheck = TVxCustomCheckBox;
using TRadio = TVxCustomRadioButton;

// A windowed container for a second group of radio buttons.
class TPanel : public TVxCustomControl {
public:
    using TVxCustomControl::TVxCustomControl;
};

class VxCheckBoxTest : public test::ControlFormTest {
protected:
    void SetUp() override {
        ControlFormTest::SetUp();
        Activate();
    }

    // A check box (which may be grayed) or a radio button showing mark, opaque.
    TCheckableControl* Make(bool radioButton, TCheckBoxState mark) {
        const TRect bounds{10, 10, 108, 30};
        TCheckableControl* made = nullptr;
        if (radioButton) {
            auto* radio = Place<TRadio>(form, bounds);
            radio->SetChecked(mark == cbChecked);
            made = radio;
        } else {
            auto* box = Place<TCheck>(form, bounds);
            box->SetAllowGrayed(true);
            box->SetState(mark);
            made = box;
        }
        made->SetTransparent(false);
        made->SetColor(kControlColor);
        return made;
    }
};

TEST_F(VxCheckBoxTest, DefaultsMatchTheStreamDefaults) {
    auto* check = new TCheck(form);
    auto* radio = new TRadio(form);
    const std::pair<win32::TControl*, const TClassInfo*> controls[] = {
        {check, &TCheck::StaticClassInfo()},
        {radio, &TRadio::StaticClassInfo()},
    };
    for (auto [control, info] : controls) {
        EXPECT_EQ(control->BoundsRect(), (TRect{0, 0, 98, 20})) << info->Name();
        for (const TPropInfo* prop : info->Properties()) {
            if (prop->IsOrdinal() && prop->Default && prop->GetOrd) {
                EXPECT_EQ(prop->GetOrd(*control), *prop->Default) << info->Name() << "." << prop->Name;
            }
        }
    }
    EXPECT_EQ(check->Caption(), u"CheckBox");
    EXPECT_EQ(radio->Caption(), u"RadioButton");
}

TEST_F(VxCheckBoxTest, ToggleCyclesTheStatesAndEveryChangeClicksOnce) {
    const std::pair<bool, std::vector<TCheckBoxState>> cases[] = {
        {false, {cbChecked, cbUnchecked, cbChecked}},
        {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
    };
    for (const auto& [allowGrayed, cycle] : cases) {
        auto* box = Place<TCheck>(form, {10, 10, 108, 30}, "box");
        box->SetAllowGrayed(allowGrayed);
        clicks.clear();
        for (std::size_t i = 0; i < cycle.size(); ++i) {
            box->Toggle();
            EXPECT_EQ(box->State(), cycle[i]) << "grayed " << allowGrayed << " step " << i;
            EXPECT_EQ(box->Checked(), cycle[i] == cbChecked);
            // Read as a standard check box is: BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE.
            EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(cycle[i]));
        }
        box->SetState(box->State());
        EXPECT_EQ(clicks.size(), cycle.size()) << "grayed " << allowGrayed;
        box->Free();
    }
}

TEST_F(VxCheckBoxTest, CheckingARadioButtonUnchecksOnlyItsParentsGroup) {
    auto* panel = Place<TPanel>(form, {150, 10, 280, 100});
    auto* a = Place<TRadio>(form, {10, 10, 108, 30}, "a");
    auto* b = Place<TRadio>(form, {10, 40, 108, 60}, "b");
    auto* other = Place<TRadio>(form, {10, 70, 108, 90}, "other");
    auto* inPanel = Place<TRadio>(panel, {5, 5, 103, 25}, "inPanel");
    other->SetGroupIndex(1);
    auto* box = Place<TCheck>(form, {10, 100, 108, 120});
    box->SetChecked(true);
    struct Step {
        TRadio* check;
        std::string checked;  // a, b, other, inPanel: 1 for checked
        std::vector<std::string> clicks;
    };
    const Step steps[] = {
        {a, "1000", {"a"}}, {other, "1010", {"other"}}, {inPanel, "1011", {"inPanel"}},
        {b, "0111", {"b"}},  // a goes without a click of its own
        {b, "0111", {}},     // already checked
    };
    for (const Step& s : steps) {
        clicks.clear();
        s.check->SetChecked(true);
        std::string got;
        for (TRadio* r : {a, b, other, inPanel}) {
            got += r->Checked() ? '1' : '0';
            EXPECT_EQ(r->TabStop(), r->Checked());
        }
        EXPECT_EQ(got, s.checked);
        EXPECT_EQ(clicks, s.clicks) << s.checked;
    }
    EXPECT_TRUE(box->Checked());
    clicks.clear();
    b->SetChecked(false);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(VxCheckBoxTest, ReadingSetsTheStateWithoutClicks) {
    auto* box = Place<TCheck>(form, {10, 10, 108, 30}, "box");
    auto* first = Place<TRadio>(form, {10, 40, 108, 60}, "first");
    auto* second = Place<TRadio>(form, {10, 70, 108, 90}, "second");
    first->SetChecked(true);
    clicks.clear();
    for (win32::TControl* c : std::initializer_list<win32::TControl*>{box, first, second}) {
        c->IncludeState(csLoading);
    }
    TCheck::StaticClassInfo().FindProperty("State")->SetOrd(*box, cbGrayed);
    TRadio::StaticClassInfo().FindProperty("Checked")->SetOrd(*second, 1);
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_TRUE(second->Checked());
    EXPECT_FALSE(first->Checked());  // the group still holds
    EXPECT_TRUE(clicks.empty());
}

TEST_F(VxCheckBoxTest, FocusChecksARadioButtonOnceAlreadyOnTheButtonDown) {
    auto* radio = Place<TRadio>(form, {20, 20, 118, 40}, "radio");
    auto* box = Place<TCheck>(form, {20, 60, 118, 80});
    test::ProcessPendingMessages();
    std::vector<std::string> atRelease;
    auto press = [&](TPoint at) {
        clicks.clear();
        const POINT p = OnScreen(*radio, at);
        test::DragWithMouse(p, p, [&] {
            win32::Application()->ProcessMessages();
            atRelease = clicks;
        });
        EXPECT_TRUE(Pump([&] { return !radio->Pressed() && radio->Checked(); }));
    };
    press({49, 10});
    EXPECT_EQ(atRelease, std::vector<std::string>{"radio"});
    EXPECT_EQ(clicks, std::vector<std::string>{"radio"});
    EXPECT_TRUE(radio->Focused());

    // Focused already: the release checks it.
    radio->SetChecked(false);
    press({30, 12});
    EXPECT_TRUE(atRelease.empty());
    EXPECT_EQ(clicks, std::vector<std::string>{"radio"});

    // Focus given any other way checks it too.
    radio->SetChecked(false);
    box->SetFocus();
    clicks.clear();
    radio->SetFocus();
    EXPECT_TRUE(Pump([&] { return radio->Checked(); }));
    EXPECT_EQ(clicks, std::vector<std::string>{"radio"});
}

TEST_F(VxCheckBoxTest, AReleaseOnTheRightOrBottomEdgeStillToggles) {
    auto* box = Place<TCheck>(form, {40, 40, 138, 60}, "box");
    test::ProcessPendingMessages();
    const std::pair<TPoint, bool> cases[] = {{{98, 10}, true}, {{49, 20}, true}, {{99, 10}, false}, {{49, 21}, false}};
    for (auto [release, toggles] : cases) {
        const bool before = box->Checked();
        clicks.clear();
        test::DragWithMouse(OnScreen(*box, {49, 10}), OnScreen(*box, release));
        EXPECT_TRUE(Pump([&] { return !box->Pressed(); }));
        EXPECT_EQ(box->Checked() != before, toggles) << release.X << "," << release.Y;
        EXPECT_EQ(clicks.size(), toggles ? 1u : 0u) << release.X << "," << release.Y;
    }
}

TEST_F(VxCheckBoxTest, SpaceAndTheAcceleratorPickWithoutKeyUp) {
    auto* box = Place<TCheck>(form, {10, 10, 108, 30}, "box");
    auto* radio = Place<TRadio>(form, {10, 40, 108, 60}, "radio");
    auto* other = Place<TRadio>(form, {10, 70, 108, 90}, "other");
    box->SetCaption(u"&Stay");
    radio->SetCaption(u"&Manage");
    int keyUps = 0;
    for (TCheckableControl* c : std::initializer_list<TCheckableControl*>{box, radio}) {
        c->OnKeyUp = [&](TObject*, uint16_t&, win32::TShiftState) { ++keyUps; };
    }
    box->SetFocus();
    ASSERT_TRUE(Pump([&] { return box->Focused(); }));
    test::PressKey(VK_SPACE);
    EXPECT_EQ(box->State(), cbChecked);
    test::PressKey(VK_SPACE);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_FALSE(box->Pressed());

    // Alt and the caption's letter: focus, then pick.
    other->SetChecked(true);
    clicks.clear();
    test::PressKey('M', {VK_MENU});
    EXPECT_TRUE(radio->Focused());
    EXPECT_FALSE(other->Checked());
    EXPECT_EQ(clicks, std::vector<std::string>{"radio"});
    test::PressKey(VK_SPACE);  // checked stays checked
    EXPECT_TRUE(radio->Checked());
    test::PressKey('S', {VK_MENU});
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(box->State(), cbChecked);

    // A disabled control takes neither.
    box->SetEnabled(false);
    test::PressKey('S', {VK_MENU});
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(keyUps, 0);
}

TEST_F(VxCheckBoxTest, CaptionIsEmbossedWhenDisabledAndFramedWhenFocused) {
    TCheckableControl* box = Make(false, cbChecked);
    auto* other = Place<TCheck>(form, {10, 40, 108, 60});
    box->SetCaption(u"MMMM");
    other->SetFocus();
    ASSERT_TRUE(Pump([&] { return other->Focused(); }));
    const TRect caption{18, 0, 98, 20};  // after the glyph and the spacing
    const TColor text = box->Font()->Data().Color;
    const std::vector<uint32_t> enabled = Painted(*box);
    EXPECT_GT(Count(enabled, 98, caption, text), 0);
    EXPECT_EQ(Count(enabled, 98, caption, clBtnHighlight), 0);

    // The focus rectangle runs round the caption, from above it to below it.
    box->SetFocus();
    ASSERT_TRUE(Pump([&] { return box->HasFocus(); }));
    const std::vector<uint32_t> focused = Painted(*box);
    std::vector<int32_t> rows;
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 98; ++x) {
            if (enabled[y * 98 + x] != focused[y * 98 + x]) {
                EXPECT_GE(x, 13) << "in the glyph at " << x << "," << y;
                rows.push_back(y);
                break;
            }
        }
    }
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.front(), 5);
    EXPECT_GT(rows.back(), 14);

    box->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(box->Handle()));
    const std::vector<uint32_t> disabled = Painted(*box);
    EXPECT_GT(Count(disabled, 98, caption, clBtnHighlight), 0);
    EXPECT_GT(Count(disabled, 98, caption, clBtnShadow), 0);
    EXPECT_EQ(Count(disabled, 98, caption, text), 0);
}

TEST_F(VxCheckBoxTest, ClassicGlyphShowsTheMarkAtItsSide) {
    struct Case {
        bool radioButton;
        TCheckBoxState mark;
        TVxLeftRight alignment;
        bool enabled = true;
    };
    const Case cases[] = {
        {false, cbUnchecked, ktaLeftJustify},      {false, cbChecked, ktaLeftJustify},
        {false, cbGrayed, ktaLeftJustify},         {false, cbChecked, ktaRightJustify},
        {true, cbUnchecked, ktaLeftJustify},       {true, cbChecked, ktaCenter},
        {false, cbChecked, ktaLeftJustify, false},
    };
    for (const Case& c : cases) {
        TCheckableControl* control = Make(c.radioButton, c.mark);
        control->SetAlignment(c.alignment);
        control->SetEnabled(c.enabled);
        control->SetCaption(u"");
        WithoutVisualStyles(*control);
        const std::string name = std::string(c.radioButton ? "radio " : "check ") + std::to_string(c.mark) + " align " +
                                 std::to_string(c.alignment) + (c.enabled ? "" : " disabled");
        const TRect glyph = control->GlyphRect();
        EXPECT_EQ(glyph, (c.alignment == ktaLeftJustify ? TRect{0, 3, 13, 16} : TRect{85, 3, 98, 16})) << name;
        // The middle of the box or circle: window colour when empty, the mark in the window
        // text colour, a grayed or disabled mark in its own colour.
        const std::vector<uint32_t> pixels = Painted(*control);
        const TRect middle{glyph.Left + 4, glyph.Top + 4, glyph.Right - 4, glyph.Bottom - 4};
        const int text = Count(pixels, 98, middle, clWindowText);
        const int window = Count(pixels, 98, middle, clWindow);
        if (c.mark == cbUnchecked) {
            EXPECT_EQ(window, middle.Width() * middle.Height()) << name;
        } else if (c.mark == cbGrayed || !c.enabled) {
            EXPECT_EQ(text, 0) << name;
            EXPECT_LT(window, middle.Width() * middle.Height()) << name;
        } else {
            EXPECT_GT(text, 0) << name;
        }
        control->Free();
    }
}

TEST_F(VxCheckBoxTest, ThemedGlyphTakesTheStateOfMarkAndLook) {
    if (!VisualStylesActive() || !TWindowTheme(L"Button", form->Handle())) {
        GTEST_SKIP() << "no visual styles here";
    }
    enum TLook { Normal, Hot, Pressed, Disabled };
    struct Case {
        bool radioButton;
        TCheckBoxState mark;
        TLook look;
        int state;  // of the theme's part
    };
    const Case cases[] = {
        {false, cbUnchecked, Normal, 1}, {false, cbUnchecked, Hot, 2},   {false, cbChecked, Pressed, 7},
        {false, cbGrayed, Disabled, 12}, {false, cbGrayed, Normal, 9},   {true, cbChecked, Normal, 5},
        {true, cbUnchecked, Pressed, 3}, {true, cbChecked, Disabled, 8},
    };
    for (const Case& c : cases) {
        TCheckableControl* control = Make(c.radioButton, c.mark);
        if (c.look == Hot) {
            control->Perform(win32::CM_MOUSEENTER);
        } else if (c.look == Pressed) {
            control->Perform(WM_KEYDOWN, VK_SPACE);
        } else if (c.look == Disabled) {
            control->SetEnabled(false);
        }
        const std::vector<uint32_t> pixels = Painted(*control);
        const TRect glyph = control->GlyphRect();
        test::TSurface expected({98, 20}, Rgb(kControlColor));
        TWindowTheme(L"Button", control->Handle())
            .Draw(expected.DC(), c.radioButton ? kBpRadioButton : kBpCheckBox, c.state, glyph);
        const std::vector<uint32_t> reference = expected.Pixels();
        int wrong = 0;
        for (int32_t y = glyph.Top; y < glyph.Bottom; ++y) {
            for (int32_t x = glyph.Left; x < glyph.Right; ++x) {
                wrong += pixels[y * 98 + x] != reference[y * 98 + x] ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << (c.radioButton ? "radio" : "check") << " state " << c.state;
        control->Free();
    }
}

}  // namespace
}  // namespace zaprelay::skin
