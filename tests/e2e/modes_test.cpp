// The mode buttons: management locks the settings controls, options unlocks them, as often
// as the user switches.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"

#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

class ModesTest : public ZaprelayTest {
protected:
    // The controls only options mode lets the user change.
    std::vector<HWND> SettingsControls() const {
        return {m_ui.ListGroup,   m_ui.LearnGroup, m_ui.CodeBox, m_ui.DeleteCode,
                m_ui.PluginSetup, m_ui.PathBox,    m_ui.Browse,  m_ui.ViewerGroup};
    }

    bool SettingsEnabled(bool enabled) const {
        for (HWND control : SettingsControls()) {
            if ((IsWindowEnabled(control) != FALSE) != enabled) {
                return false;
            }
        }
        return true;
    }

    void ExpectModeButtonsUsable() const {
        EXPECT_TRUE(IsWindowEnabled(m_ui.ModeGroup));
        EXPECT_TRUE(IsWindowEnabled(m_ui.Options));
        EXPECT_TRUE(IsWindowEnabled(m_ui.Management));
    }
};

TEST_F(ModesTest, ManagementLocksTheSettingsAndOptionsUnlocksThemEachTime) {
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=C:\\ez.exe"}));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(IsChecked(m_ui.Management));
    EXPECT_TRUE(SettingsEnabled(false));
    ExpectModeButtonsUsable();
    ClickRow(m_ui.List, 4);
    EXPECT_EQ(ListSelection(m_ui.List), -1) << "a locked list took a click";

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Click(m_ui.Options);
        EXPECT_TRUE(WaitFor([&] { return SettingsEnabled(true); })) << "options left a control locked";
        EXPECT_TRUE(IsChecked(m_ui.Options));
        ExpectModeButtonsUsable();
        ClickRow(m_ui.List, 4 + round);
        EXPECT_EQ(ListSelection(m_ui.List), 4 + round);

        Click(m_ui.Management);
        EXPECT_TRUE(WaitFor([&] { return SettingsEnabled(false); })) << "management left a control usable";
        EXPECT_TRUE(IsChecked(m_ui.Management));
        ExpectModeButtonsUsable();
    }
}

TEST_F(ModesTest, PluginSettingsButtonCallsSetupInOptionsMode) {
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.PluginSetup);
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return SettingsEnabled(true); }));
    // Input is handled in order: the click on the locked button has been handled by now.
    EXPECT_THAT(Calls(), ::testing::ElementsAre(OpenCall(), "Start()"));
    Click(m_ui.PluginSetup);
    ASSERT_TRUE(WaitFor([&] { return Calls().size() >= 3; })) << PluginLog();
    EXPECT_THAT(Calls(), ::testing::ElementsAre(OpenCall(), "Start()", "Setup()"));
}

}  // namespace
}  // namespace zaprelay::e2e
