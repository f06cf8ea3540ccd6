// Window states of the form component: the transition table, the bounds kept for the normal
// state, vetoes, and the tray, against a fake window that records what was asked of it.
#include "skin/form/form_states.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

using ::testing::ElementsAre;

const TRect kLayoutBounds = Bounds(100, 50, 400, 300);
const TRect kScreen = Bounds(0, 0, 1280, 1024);
const TRect kRolled = Bounds(100, 50, 400, 30);
const TRect kIcon = Bounds(0, 994, 160, 30);

class FakeForm : public TFormStateHost {
public:
    bool Allow(TFormAction action) override {
        Log("ask " + Name(action));
        return vetoed.count(action) == 0;
    }
    void MarkHotRegionStale() override {}
    bool HasOwnerForm() const override { return ownerForm; }
    bool OwnerModal() const override { return modal; }
    bool HasOwnerWindow() const override { return ownerWindow; }
    bool MinimizeApplication() const override { return minimizeApplication; }
    bool ShadowEnabled() const override { return false; }
    TRect OwnerBounds() const override { return bounds; }
    void SetFormBounds(const TRect& r) override {
        bounds = r;
        Log("bounds " + Text(r));
    }
    TRect MaximizedRect() const override { return kScreen; }
    TRect MinimizedRect() const override { return kIcon; }
    TRect RollupRect() const override { return Bounds(bounds.Left, bounds.Top, bounds.Width(), 30); }
    void RepaintOwner() override {}
    void RedrawFrame() override {}
    void MdiChildStateChanged(bool) override {}
    void PostSystemMinimize() override { Log("post minimize"); }
    void MinimizeApp() override { Log("minimize application"); }
    std::u16string ApplicationTitle() const override { return title; }
    std::u16string OwnerCaption() const override { return u"Form caption"; }
    void HideForTray(bool application) override {
        visible = false;
        Log(application ? "hide application" : "hide form");
    }
    void ShowFromTray(bool application) override {
        visible = true;
        Log(application ? "show application" : "show form");
    }
    void AddTrayIcon(const std::u16string& tip) override {
        trayTip = tip;
        trayIcon = true;
        Log("add icon");
    }
    void RemoveTrayIcon() override {
        trayIcon = false;
        Log("remove icon");
    }

    static std::string Text(const TRect& r) {
        return std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + std::to_string(r.Width()) + "x" +
               std::to_string(r.Height());
    }
    static std::string Name(TFormAction action) {
        const char* names[] = {"close", "minimize", "maximize", "rollup", "tray"};
        return names[static_cast<int>(action)];
    }
    void Log(const std::string& line) { calls.push_back(line); }

    TRect bounds = kLayoutBounds;
    bool ownerForm = true;
    bool modal = false;
    bool ownerWindow = true;
    bool minimizeApplication = false;
    bool visible = true;
    bool trayIcon = false;
    std::u16string title = u"Zaprelay";
    std::u16string trayTip;
    std::set<TFormAction> vetoed;
    std::vector<std::string> calls;
};

class FormStatesTest : public ::testing::Test {
protected:
    FormStatesTest() { states.SetNormalBounds(kLayoutBounds); }

    // Brings the form from normal into `state` by its own operation.
    void Enter(TVxWindowState state) { states.Apply(state); }

    FakeForm form;
    TFormStates states{form};
};

// Every operation from every state: the state reached and the bounds the window gets.
TEST_F(FormStatesTest, TransitionTable) {
    struct Row {
        TVxWindowState from;
        TVxWindowState operation;  // the state whose operation runs (normal = Restore)
        TVxWindowState to;
    };
    const Row rows[] = {
        {kwsNormal, kwsMaximized, kwsMaximized},
        {kwsNormal, kwsMinimized, kwsMinimized},
        {kwsNormal, kwsRollup, kwsRollup},
        {kwsNormal, kwsTray, kwsTray},
        {kwsNormal, kwsNormal, kwsNormal},
        {kwsMaximized, kwsMaximized, kwsNormal},
        {kwsMaximized, kwsMinimized, kwsMinimized},
        {kwsMaximized, kwsRollup, kwsRollup},
        {kwsMaximized, kwsTray, kwsTray},
        {kwsMaximized, kwsNormal, kwsNormal},
        {kwsMinimized, kwsMaximized, kwsMaximized},
        {kwsMinimized, kwsMinimized, kwsNormal},
        {kwsMinimized, kwsRollup, kwsRollup},
        {kwsMinimized, kwsTray, kwsTray},
        {kwsMinimized, kwsNormal, kwsNormal},
        {kwsRollup, kwsMaximized, kwsMaximized},
        {kwsRollup, kwsMinimized, kwsMinimized},
        {kwsRollup, kwsRollup, kwsNormal},
        {kwsRollup, kwsTray, kwsTray},
        {kwsRollup, kwsNormal, kwsNormal},
        {kwsTray, kwsMaximized, kwsMaximized},
        {kwsTray, kwsMinimized, kwsMinimized},
        {kwsTray, kwsRollup, kwsRollup},
        {kwsTray, kwsTray, kwsNormal},
        {kwsTray, kwsNormal, kwsNormal},
    };
    for (const Row& row : rows) {
        FakeForm host;
        TFormStates machine(host);
        machine.SetNormalBounds(kLayoutBounds);
        if (row.from != kwsNormal) {
            machine.Apply(row.from);
        }
        ASSERT_EQ(machine.State(), row.from);
        machine.Apply(row.operation);
        EXPECT_EQ(machine.State(), row.to) << "from " << int(row.from) << " by " << int(row.operation);
        if (row.to == kwsNormal) {
            EXPECT_EQ(host.bounds, kLayoutBounds) << "from " << int(row.from) << " by " << int(row.operation);
            EXPECT_FALSE(host.trayIcon);
            EXPECT_TRUE(host.visible);
        }
    }
}

TEST_F(FormStatesTest, NormalBoundsSurviveAnyDetour) {
    Enter(kwsRollup);
    EXPECT_EQ(form.bounds, kRolled);
    states.Maximize();
    EXPECT_EQ(form.bounds, kScreen);
    states.Minimize();
    states.Restore();  // back to maximized, the state before minimizing
    EXPECT_EQ(states.State(), kwsMaximized);
    states.Restore();
    EXPECT_EQ(states.State(), kwsNormal);
    EXPECT_EQ(form.bounds, kLayoutBounds);
}

TEST_F(FormStatesTest, RollingUpAMaximizedFormKeepsTheNormalBounds) {
    Enter(kwsMaximized);
    states.Rollup();
    EXPECT_EQ(form.bounds, Bounds(0, 0, 1280, 30));
    states.Restore();  // it was maximized before rolling up
    EXPECT_EQ(states.State(), kwsMaximized);
    states.Restore();
    EXPECT_EQ(form.bounds, kLayoutBounds);
}

TEST_F(FormStatesTest, RestoringFromTheTrayReturnsToTheStateBefore) {
    Enter(kwsMaximized);
    states.MinToTray();
    EXPECT_FALSE(form.visible);
    EXPECT_TRUE(form.trayIcon);
    EXPECT_EQ(form.trayTip, u"Form caption");
    states.Restore();
    EXPECT_EQ(states.State(), kwsMaximized);
    EXPECT_EQ(form.bounds, kScreen);
    EXPECT_FALSE(form.trayIcon);
    states.Restore();
    EXPECT_EQ(form.bounds, kLayoutBounds) << "the bounds from before the tray were lost";
}

TEST_F(FormStatesTest, RolledUpFormRestoresWhereItWasMoved) {
    Enter(kwsRollup);
    form.bounds = form.bounds.Offset(30, 40);  // dragged while rolled up
    states.Restore();
    EXPECT_EQ(form.bounds, kLayoutBounds.Offset(30, 40));
}

TEST_F(FormStatesTest, VetoedOperationsChangeNothing) {
    for (TFormAction action :
         {TFormAction::Maximize, TFormAction::Minimize, TFormAction::Rollup, TFormAction::MinToTray}) {
        FakeForm host;
        host.vetoed.insert(action);
        TFormStates machine(host);
        machine.SetNormalBounds(kLayoutBounds);
        machine.SetPendingState(kwsTray);
        machine.Apply(action == TFormAction::Maximize   ? kwsMaximized
                      : action == TFormAction::Minimize ? kwsMinimized
                      : action == TFormAction::Rollup   ? kwsRollup
                                                        : kwsTray);
        EXPECT_EQ(machine.State(), kwsNormal) << FakeForm::Name(action);
        EXPECT_EQ(host.bounds, kLayoutBounds);
        EXPECT_TRUE(host.visible);
        EXPECT_FALSE(host.trayIcon);
        EXPECT_EQ(host.calls, std::vector<std::string>{"ask " + FakeForm::Name(action)});
        EXPECT_TRUE(machine.PendingState().has_value()) << "a vetoed operation cleared the pending state";
    }
}

TEST_F(FormStatesTest, ModalOrMissingOwnerFormKeepsMinimizeAndTrayAway) {
    form.modal = true;
    states.Minimize();
    states.MinToTray();
    EXPECT_TRUE(form.calls.empty()) << "a modal form was asked";
    form.modal = false;
    form.ownerForm = false;
    states.MinToTray();
    EXPECT_THAT(form.calls, ElementsAre("ask tray"));
    EXPECT_EQ(states.State(), kwsNormal);
}

TEST_F(FormStatesTest, MinimizeGoesThroughTheSystemOrTheApplication) {
    form.ownerWindow = false;
    states.Minimize();
    EXPECT_THAT(form.calls, ElementsAre("ask minimize", "post minimize"));
    states.Restore();
    form.calls.clear();
    form.ownerWindow = true;
    form.minimizeApplication = true;
    states.Minimize();
    EXPECT_THAT(form.calls, ElementsAre("ask minimize", "minimize application"));
    form.calls.clear();
    form.minimizeApplication = false;
    states.Restore();
    states.Minimize();
    EXPECT_EQ(form.bounds, kIcon);
}

TEST_F(FormStatesTest, TrayWithTheApplicationHidesItAndTipsItsTitle) {
    form.minimizeApplication = true;
    form.title = std::u16string(80, u'T');
    states.MinToTray();
    EXPECT_THAT(form.calls, ElementsAre("ask tray", "minimize application", "hide application", "add icon"));
    EXPECT_EQ(form.trayTip, std::u16string(63, u'T'));
    form.calls.clear();
    states.Restore();
    EXPECT_THAT(form.calls, ElementsAre("show application", "remove icon", "bounds 100,50 400x300"));
}

TEST_F(FormStatesTest, PendingStateKeepsTheLayoutBoundsAsNormal) {
    // While loading the window was moved out of sight; those bounds must not become normal.
    states.SetPendingState(kwsTray);
    form.bounds = Bounds(0, 1024, 400, 300);
    states.Apply(kwsTray);
    EXPECT_FALSE(states.PendingState().has_value());
    states.Restore();
    EXPECT_EQ(form.bounds, kLayoutBounds);
}

TEST_F(FormStatesTest, SettingTheCurrentStateDoesNothing) {
    states.SetState(kwsNormal);
    EXPECT_TRUE(form.calls.empty());
    states.SetState(kwsRollup);
    states.SetState(kwsRollup);
    EXPECT_EQ(states.State(), kwsRollup);
    EXPECT_THAT(form.calls, ElementsAre("ask rollup", "bounds 100,50 400x30"));
}

}  // namespace
}  // namespace zaprelay::skin
