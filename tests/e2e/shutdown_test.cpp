// MyTheatre's last row switches the computer off: the viewer gets its power command, the
// plug-in is stopped and closed once when the countdown ends, the program ends and asks the
// system to power off. Wine powers nothing off but ends every process of the prefix that shows
// a window, so this runs only in a Wine session of its own: the CTest entry e2e_shutdown sets
// ZAPRELAY_E2E_SHUTDOWN. The test process itself shows no window and lives on.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"

#include <cstdlib>
#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;

class ShutdownTest : public ZaprelayTest {
protected:
    void SetUp() override {
        if (std::getenv("ZAPRELAY_E2E_SHUTDOWN") == nullptr) {
            GTEST_SKIP() << "ends every windowed process of the Wine prefix; run it through CTest's e2e_shutdown";
        }
        ZaprelayTest::SetUp();
    }

    void TearDown() override {
        if (m_bystander.hProcess != nullptr) {
            TerminateProcess(m_bystander.hProcess, 1);
            WaitForSingleObject(m_bystander.hProcess, 10000);
            CloseHandle(m_bystander.hThread);
            CloseHandle(m_bystander.hProcess);
        }
        ZaprelayTest::TearDown();
    }

    // Another process with a window on the screen, for the power-off to end: the program
    // without its plug-in, waiting in its fatal-error box.
    void StartBystander() {
        const std::string exe = m_bystanderFolder.Path() + "zaprelay.exe";
        ASSERT_TRUE(CopyFileA(FilePath("zaprelay.exe").c_str(), exe.c_str(), FALSE));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(
            CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_bystander));
        ASSERT_TRUE(WaitFor([&] { return !TopLevelWindows(m_bystander.dwProcessId, L"#32770").empty(); }));
    }

    bool BystanderRunning() const { return WaitForSingleObject(m_bystander.hProcess, 0) == WAIT_TIMEOUT; }

private:
    test::ScratchFolder m_bystanderFolder;
    PROCESS_INFORMATION m_bystander{};
};

TEST_F(ShutdownTest, PowerRowSendsPowerThenStopsThePluginOnceEndsAndPowersOff) {
    constexpr int kCodes = 20;
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                  IniSection("EZ", {"32=POWER"}));
    // The button held for ten seconds, five times the countdown: were each code to restart
    // the countdown, the program would outlive the script.
    std::string script = "wait go\nPOWER 0 0\n";
    for (int i = 1; i < kCodes; ++i) {
        script += "POWER 0 500\n";
    }
    WriteScript(script);
    ASSERT_NO_FATAL_FAILURE(StartBystander());
    ASSERT_NO_FATAL_FAILURE(Start());

    Signal("go");
    WaitSent();
    EXPECT_THAT(NewViewerCommands(), ElementsAre(" /remote Power"));
    EXPECT_TRUE(WaitFor([&] { return !Running(); }, 30000)) << "the program outlived the countdown";
    EXPECT_TRUE(WaitFor([&] { return !BystanderRunning(); }, 30000)) << "the system was not asked to power off";

    const std::string log = PluginLog();
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()", "Stop()", "Close()"));
    ASSERT_NE(log.rfind("Close()"), std::string::npos) << log;
    EXPECT_EQ(log.substr(log.rfind("Close()")), "Close()\n") << "the plug-in was used after it was closed:\n" << log;
    const std::size_t sent = SentCount();
    EXPECT_GE(sent, 2u) << "no power code came while the countdown ran";
    EXPECT_LT(sent, static_cast<std::size_t>(kCodes)) << "a repeated power code extended the countdown";
    // Every power code handled, armed or not, went to the viewer.
    std::vector<std::string> later = NewViewerCommands();
    EXPECT_EQ(later.size() + 1, sent);
    EXPECT_THAT(later, Each(" /remote Power"));
}

// Ended during the countdown (the tray menu's Close, the session ending), the program still
// stops and closes its plug-in: a receiver that releases its hardware in Close must get it.
TEST_F(ShutdownTest, ProgramEndedDuringTheCountdownStillStopsAndClosesThePlugin) {
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                  IniSection("EZ", {"32=POWER"}));
    WriteScript("wait go\nPOWER 0 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Signal("go");
    WaitSent();
    PostMessageW(m_ui.Form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0u);
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()", "Stop()", "Close()"));
}

}  // namespace
}  // namespace zaprelay::e2e
