#include "skin/objects/system_button.h"

#include "skin/objects/basic_kinds.h"
#include "skin/objects/skin_object_io.h"
#include "tests/support/skin_tree.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::skin {
namespace {

using test::TProbeObject;
using test::TTestSurface;
using Strings = std::vector<std::string>;
using Seen = std::vector<std::pair<uint8_t, bool>>;

constexpr TPixel kNormal = 0xFF000001;
constexpr TPixel kActive = 0xFF000002;
constexpr TPixel kHot = 0xFF000005;
constexpr TPixel kPressed = 0xFF000006;

class SystemButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterSkinObjectClasses();
        RegisterBasicSkinObjectKinds();
        m_host.Form = &m_form;
        for (auto [name, pixel] : {std::pair{"Normal.bmp", kNormal},
                                   {"Active.bmp", kActive},
                                   {"Hot.bmp", kHot},
                                   {"Pressed.bmp", kPressed}}) {
            m_list.Add(test::SolidBitmap(name, 2, 2, pixel));
        }
    }
    void TearDown() override { UnregisterSkinObjectClasses(); }

    // A bound button of the action in the caption at (10, 4), its images resolved.
    TVxSystemButton& Button(TVxAction action, const std::string& name = "Button") {
        auto* button = new TVxSystemButton(m_caption.get());
        button->SetName(name);
        button->SetAction(action);
        button->SetBounds(Bounds(10, 4, 4, 4));
        for (auto [link, file] : {std::pair{&button->Bitmap(), "Normal.bmp"},
                                  {&button->BitmapHot(), "Hot.bmp"},
                                  {&button->BitmapPressed(), "Pressed.bmp"}}) {
            link->SetName(file);
            link->SetRect({0, 0, 2, 2});
        }
        m_caption->SetBitmapList(&m_list);
        m_caption->LinkBitmaps();
        m_caption->SetControl(&m_host);
        return *button;
    }
    static TPixel Drawn(TVxSystemButton& button) {
        TTestSurface s(20, 10);
        button.Draw(s.Canvas());
        return s.At(10, 4);
    }

    TVxBitmapList m_list;
    test::OwnedSkinObject m_caption{new TVxSkinObject(nullptr)};
    test::TFakeFormActions m_form;
    test::TFakeSkinHost m_host;
};

TEST_F(SystemButtonTest, VisibilityFollowsTheWindowStateAndTheBorderIcons) {
    // Visible after SetState 0, 2, 3 and 4, by action.
    const std::map<TVxAction, std::string> visible = {
        {sbaNone, "1111"},     {sbaClose, "1111"},   {sbaHelp, "1111"},      {sbaMinimize, "1101"},
        {sbaMaximize, "1001"}, {sbaRestore, "0110"}, {sbaRollUp, "1100"},    {sbaRollDown, "0001"},
        {sbaTray, "1111"},     {sbaSysMenu, "1111"}, {sbaRollPanel, "1111"}, {sbaCustom, "1111"}};
    for (const auto& [action, row] : visible) {
        Button(action, "B" + std::to_string(action));
    }
    auto shown = [&](TVxAction action) { return m_caption->FindObject("B" + std::to_string(action))->Visible; };
    for (uint8_t state : {0, 2, 3, 4}) {
        m_caption->SetState(state);
        for (const auto& [action, row] : visible) {
            EXPECT_EQ(shown(action), row[state == 0 ? 0 : state - 1u] == '1') << action << " in " << int{state};
        }
    }
    m_caption->SetState(5);  // other states leave visibility alone
    EXPECT_FALSE(shown(sbaRestore));
    EXPECT_TRUE(shown(sbaMinimize));

    m_form.Icons = BorderIconSet({kbiClose, kbiSystemMenu});
    for (uint8_t state : {0, 2, 3, 4, 5}) {
        m_caption->SetState(state);
        EXPECT_FALSE(shown(sbaMaximize) || shown(sbaTray) || shown(sbaRollUp)) << int{state};
        EXPECT_TRUE(shown(sbaClose) && shown(sbaCustom)) << int{state};
    }
    m_host.Form = nullptr;  // without a form nothing changes
    m_caption->SetState(0);
    EXPECT_FALSE(shown(sbaMaximize));
}

TEST_F(SystemButtonTest, PointerPressesReleasesClicksOnceAndAsksForTheHint) {
    TVxSystemButton& button = Button(sbaClose);
    m_host.ClientOrigin = {100, 200};
    button.MouseMove(0, 2, 2);
    EXPECT_EQ(m_host.Hints, (std::vector<TPoint>{{110, 204}}));
    button.MouseEnter();
    EXPECT_EQ(button.ButtonState(), sbsHot);
    button.MouseDown(mbLeft, 1, 1);
    EXPECT_EQ(button.ButtonState(), sbsPressed);
    button.MouseMove(ssLeft, 1, 1);  // dragging repaints instead of hinting
    EXPECT_EQ(m_host.Hints.size(), 1u);
    EXPECT_EQ(button.HeldShift(), ssLeft);
    button.MouseLeave();
    EXPECT_EQ(button.ButtonState(), sbsNormal);
    button.MouseEnter();  // the left button is still held
    EXPECT_EQ(button.ButtonState(), sbsPressed);
    EXPECT_TRUE(m_form.Calls.empty());
    button.MouseUp(mbLeft, 1, 1);
    EXPECT_EQ(button.ButtonState(), sbsHot);
    EXPECT_EQ(button.HeldShift(), 0u);
    EXPECT_EQ(m_form.Calls, Strings{"Close"});
    EXPECT_EQ(m_host.Changed, Strings(6, "Button"));
    button.MouseUp(mbLeft, 1, 1);
    button.MouseLeave();
    button.MouseEnter();
    EXPECT_EQ(button.ButtonState(), sbsHot);

    // The right button never presses nor clicks.
    button.MouseDown(mbRight, 1, 1);
    EXPECT_EQ(button.ButtonState(), sbsHot);
    button.MouseDown(mbLeft, 1, 1);
    button.MouseUp(mbRight, 1, 1);
    EXPECT_EQ(button.ButtonState(), sbsPressed);
    EXPECT_EQ(m_form.Calls, Strings{"Close"});
}

TEST_F(SystemButtonTest, ClicksAndDoubleClicksActOnTheForm) {
    const std::vector<std::pair<TVxAction, Strings>> cases = {{sbaNone, {}},
                                                              {sbaClose, {"Close"}},
                                                              {sbaHelp, {"ContextHelp"}},
                                                              {sbaMinimize, {"Minimize"}},
                                                              {sbaMaximize, {"Maximize"}},
                                                              {sbaRestore, {"Restore"}},
                                                              {sbaRollUp, {"Rollup"}},
                                                              {sbaRollDown, {"Restore"}},
                                                              {sbaTray, {"MinToTray"}},
                                                              {sbaSysMenu, {"ShowSystemMenu"}},
                                                              {sbaRollPanel, {}},
                                                              {sbaCustom, {"Custom:Mine"}}};
    TVxSystemButton& button = Button(sbaNone, "Mine");
    for (const auto& [action, calls] : cases) {
        m_form.Calls.clear();
        button.SetAction(action);
        button.Click();
        EXPECT_EQ(m_form.Calls, calls) << action;
    }

    // Only a left double click on the system-menu button closes.
    m_form.Calls.clear();
    button.DblClick(mbLeft, 0, 0);
    button.SetAction(sbaSysMenu);
    button.DblClick(mbRight, 0, 0);
    EXPECT_TRUE(m_form.Calls.empty());
    button.DblClick(mbLeft, 0, 0);
    EXPECT_EQ(m_form.Calls, Strings{"Close"});

    m_host.Form = nullptr;
    button.Click();
    button.DblClick(mbLeft, 0, 0);
    EXPECT_EQ(m_form.Calls, Strings{"Close"});
}

TEST_F(SystemButtonTest, SystemMenuButtonShowsOnlyTheFormsIcon) {
    TVxSystemButton& menu = Button(sbaSysMenu);
    menu.SetBounds(Bounds(2, 1, 18, 18));
    menu.SetActive(true);
    m_host.IsForm = true;
    m_host.IconColor = clRed;
    TTestSurface s(24, 24);
    menu.Draw(s.Canvas());
    EXPECT_EQ(s.Count(Bounds(2, 1, 16, 16), clRed), 256);
    EXPECT_EQ(s.Count(Bounds(0, 0, 24, 24), PixelToColor(TTestSurface::kBackground)), 24 * 24 - 256);
    m_host.IsForm = false;  // a control's button draws nothing at all
    TTestSurface t(24, 24);
    menu.Draw(t.Canvas());
    EXPECT_EQ(t.Count(Bounds(0, 0, 24, 24), PixelToColor(TTestSurface::kBackground)), 24 * 24);
}

TEST_F(SystemButtonTest, ImagesAndChildrenFollowHotPressedAndInactive) {
    TVxSystemButton& button = Button(sbaClose);
    auto* glyph = new TProbeObject(&button);
    glyph->SetBounds(Bounds(10, 4, 1, 1));
    button.SetActive(true);
    EXPECT_EQ(Drawn(button), kNormal);
    button.MouseEnter();
    EXPECT_EQ(Drawn(button), kHot);
    button.MouseDown(mbLeft, 0, 0);
    EXPECT_EQ(Drawn(button), kPressed);
    // Hot and pressed glyphs are drawn in a subtree that looks inactive, then put back.
    EXPECT_EQ(glyph->Seen, (Seen{{0, true}, {5, false}, {6, false}}));
    EXPECT_EQ(glyph->State, 0);
    EXPECT_TRUE(glyph->Active && button.Active);

    button.SetActive(false);  // the plain image whatever the pointer did, the glyph disabled
    glyph->Seen.clear();
    EXPECT_EQ(Drawn(button), kNormal);
    EXPECT_EQ(glyph->Seen, (Seen{{8, false}}));
    EXPECT_EQ(glyph->State, 0);

    button.SetActive(true);
    button.BitmapPressed().SetImage(nullptr);
    EXPECT_EQ(Drawn(button), kNormal);
    button.ActiveBitmap().SetName("Active.bmp");
    button.ActiveBitmap().SetRect({0, 0, 2, 2});
    button.LinkBitmaps();
    button.MouseLeave();
    EXPECT_EQ(Drawn(button), kActive);
    button.MouseEnter();
    EXPECT_EQ(Drawn(button), kHot);

    button.SetBounds(Bounds(10, 4, 0, 4));
    glyph->Seen.clear();
    EXPECT_EQ(Drawn(button), TTestSurface::kBackground);
    EXPECT_TRUE(glyph->Seen.empty());
}

TEST_F(SystemButtonTest, ItsSwapsAreUndoneWhenDrawingThrows) {
    TVxSystemButton& button = Button(sbaClose);
    auto* glyph = new TProbeObject(&button);
    glyph->SetBounds(Bounds(10, 4, 1, 1));
    glyph->Throws = true;
    button.SetActive(true);
    button.MouseEnter();
    EXPECT_THROW(Drawn(button), std::runtime_error);
    EXPECT_EQ(glyph->State, 0);
    EXPECT_TRUE(glyph->Active && button.Active);
    button.SetActive(false);
    EXPECT_THROW(Drawn(button), std::runtime_error);
    EXPECT_EQ(glyph->State, 0);
    glyph->Throws = false;
    button.SetActive(true);
    button.MouseLeave();
    EXPECT_EQ(Drawn(button), kNormal);
}

TEST_F(SystemButtonTest, KindDefaultsToSysButtonAndCopiesLeaveThePointerStateBehind) {
    TVxSystemButton& button = Button(sbaMinimize);
    EXPECT_EQ(button.Kind(), skSysButton);
    EXPECT_EQ(test::TreeToText(button).find("Kind"), std::string::npos);
    button.SetKind(skNone);
    EXPECT_EQ(test::TreeFromText(test::TreeToText(button))->Kind(), skNone);

    button.MouseEnter();
    button.MouseDown(mbLeft, 0, 0);
    button.MouseMove(ssLeft, 0, 0);
    test::OwnedSkinObject copy(CloneSkinObject(button, nullptr));
    auto& clone = dynamic_cast<TVxSystemButton&>(*copy);
    EXPECT_EQ(clone.Action(), sbaMinimize);
    EXPECT_EQ(clone.BitmapHot().Image(), button.BitmapHot().Image());
    EXPECT_EQ(clone.BitmapPressed().Image(), button.BitmapPressed().Image());
    EXPECT_EQ(clone.ButtonState(), sbsNormal);
    EXPECT_EQ(clone.HeldShift(), 0u);
}

}  // namespace
}  // namespace zaprelay::skin
