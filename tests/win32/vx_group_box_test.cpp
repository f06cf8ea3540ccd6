// The skinned group box on a real form: its enabled state passed to the children, the caption
// check box driven by the mouse and laid out inside the group, reading without clicks, and the
// etched and themed frames read back from a DIB.
#include "skin/controls/vx_group_box.h"

#include "skin/controls/vx_radio_button.h"
#include "skin/form/window_theme.h"
#include "tests/win32/control_form_fixture.h"
#include "tests/win32/input.h"

#include <gtest/gtest.h>

namespace zaprelay::skin {
namespace {

using test::kFormColor;
using test::Rgb;

class VxGroupBoxTest : public test::ControlFormTest {
protected:
    void SetUp() override {
        ControlFormTest::SetUp();
        group = Place<TVxCustomGroupBox>(form, {10, 10, 210, 110}, "group");
        group->OnCheckBoxClick = [this](TObject*) { clicks.push_back("checkbox"); };
        box = Place<TVxCustomCheckBox>(group, {10, 30, 100, 50});
        radio = Place<TVxCustomRadioButton>(group, {10, 60, 100, 80});
    }

    void ExpectChildren(bool enabled, const char* step) const {
        EXPECT_EQ(box->Enabled(), enabled) << step;
        EXPECT_EQ(radio->Enabled(), enabled) << step;
    }

    // The group's own look, opaque, in colour on a surface.
    std::vector<uint32_t> Look() {
        group->SetTransparent(false);
        group->SetColor(kFormColor);
        return Painted(*group);
    }

    TVxCustomGroupBox* group = nullptr;
    TVxCustomCheckBox* box = nullptr;
    TVxCustomRadioButton* radio = nullptr;
};

TEST_F(VxGroupBoxTest, EnabledStatePassesToEveryChildOrFollowsTheCheckBox) {
    box->SetEnabled(false);
    group->SetEnabled(false);
    ExpectChildren(false, "group disabled");
    EXPECT_FALSE(IsWindowEnabled(group->Handle()));
    group->SetEnabled(true);
    ExpectChildren(true, "group enabled, whatever each child was before");

    group->SetUseCheckBox(true);
    group->SetEnabled(false);
    EXPECT_TRUE(group->Enabled());
    ExpectChildren(true, "the check box decides");
    group->SetChecked(false);
    ExpectChildren(false, "unchecked");
    EXPECT_TRUE(group->CheckBox()->Enabled());
    EXPECT_FALSE(group->CheckBox()->Checked());
    group->SetChecked(true);
    ExpectChildren(true, "checked");
    group->SetUseCheckBox(false);
    EXPECT_EQ(group->CheckBox(), nullptr);
}

TEST_F(VxGroupBoxTest, ClickingTheCaptionCheckBoxSwitchesTheChildrenAndFiresOnce) {
    Activate();
    group->SetCaption(u"Receivers");
    group->SetUseCheckBox(true);
    test::ProcessPendingMessages();
    clicks.clear();
    TVxCustomCheckBox* caption = group->CheckBox();
    for (const bool checked : {false, true}) {
        const POINT p = OnScreen(*caption, {6, caption->Height() / 2});
        test::ClickAt(p.x, p.y);
        ASSERT_TRUE(Pump([&] { return group->Checked() == checked; }));
        ExpectChildren(checked, checked ? "checked by click" : "unchecked by click");
        EXPECT_EQ(clicks, (std::vector<std::string>{"group", "checkbox"}));
        clicks.clear();
    }
}

TEST_F(VxGroupBoxTest, CaptionCheckBoxStaysInsideTheGroup) {
    group->SetCaption(u"On");
    group->SetUseCheckBox(true);
    TVxCustomCheckBox* caption = group->CheckBox();
    EXPECT_LT(caption->Width(), 200 - 12 - 2);  // as wide as its caption needs
    EXPECT_EQ(group->ClientRect().Top, caption->Height());

    group->SetCaption(u"A caption far wider than the group box can show");
    EXPECT_EQ(caption->BoundsRect(), (TRect{12, 0, 200 - 2, 20}));
    group->SetBounds(10, 10, 60, 100);
    EXPECT_EQ(caption->BoundsRect(), (TRect{12, 0, 60 - 2, 20}));
    group->SetCaptionMargin(20);
    EXPECT_EQ(caption->BoundsRect(), (TRect{20, 0, 60 - 2, 20}));
}

TEST_F(VxGroupBoxTest, ReadingSetsTheCheckBoxWithoutClicksAndThenTheChildren) {
    group->IncludeState(csLoading);
    const TClassInfo& info = TVxCustomGroupBox::StaticClassInfo();
    info.FindProperty("UseCheckBox")->SetOrd(*group, 1);
    info.FindProperty("Checked")->SetOrd(*group, 0);
    auto* late = Place<TVxCustomCheckBox>(group, {10, 80, 100, 95});  // read after the group
    group->ExcludeState(csLoading);
    group->AfterRead();
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(group->CheckBox()->Checked());
    EXPECT_FALSE(late->Enabled());
}

TEST_F(VxGroupBoxTest, EtchedFrameLeavesTheCaptionItsGapAndEmbossesItWhenDisabled) {
    WithoutVisualStyles(*group);
    const int32_t w = group->Width();
    const TRect frame = group->GetFrameRect();
    const TRect topRow{frame.Left, frame.Top, frame.Right, frame.Top + 1};

    const std::vector<uint32_t> plain = Look();
    EXPECT_EQ(Count(plain, w, topRow, clBtnHighlight), frame.Width() - 1) << "an empty caption leaves no gap";

    group->SetCaption(u"Mode");
    const std::vector<uint32_t> captioned = Look();
    const int32_t gap = frame.Width() - 1 - Count(captioned, w, topRow, clBtnHighlight);
    EXPECT_GT(gap, 6 + 10);  // the caption and 3 pixels on each side
    const TRect text{12, 0, 12 + gap, frame.Top + 6};
    EXPECT_GT(Count(captioned, w, text, group->Font()->Color()), 0);

    group->SetEnabled(false);
    const std::vector<uint32_t> disabled = Look();
    EXPECT_EQ(Count(disabled, w, text, group->Font()->Color()), 0);
    EXPECT_GT(Count(disabled, w, text, clBtnShadow), 0);
    EXPECT_GT(Count(disabled, w, text, clBtnHighlight), 0);
}

TEST_F(VxGroupBoxTest, ThemedFrameKeepsTheNormalStateWhenDisabled) {
    if (!VisualStylesActive()) {
        GTEST_SKIP() << "no visual styles here";
    }
    group->SetCaption(u"Viewer");
    const std::vector<uint32_t> enabled = Look();
    group->SetEnabled(false);
    EXPECT_EQ(Look(), enabled);
    EXPECT_NE(enabled, std::vector<uint32_t>(enabled.size(), Rgb(kFormColor)));
}

}  // namespace
}  // namespace zaprelay::skin
