// The program with the network receiver beside it, against a real LIRC daemon on loopback:
// buttons the daemon reports pair with commands in options mode and start the viewer in
// management mode, held buttons act on the volume only, and a daemon that dies and comes back
// is found again.
#include "tests/e2e/lirc_daemon.h"
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"

#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// As irsend SIMULATE takes it: code, repeat count (hexadecimal), button, remote.
std::string Press(const char* button, const char* repeat = "00") {
    return std::string("0000000000000001 ") + repeat + " " + button + " tv";
}

// Run as the program's plug-in, and once more behind the guard, in its host process.
class LircReceiverTest : public ZaprelayTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        if (TLircDaemon::Program().empty()) {
            GTEST_SKIP() << "no LIRC daemon here (scripts/setup installs Debian's lirc)";
        }
        ZaprelayTest::SetUp();
        if (GetParam()) {
            ASSERT_NO_FATAL_FAILURE(UseGuard("lirc\\DCD.dll"));
        } else {
            UsePlugin("lirc\\DCD.dll");
        }
        ASSERT_TRUE(m_daemon.Start()) << "lircd did not start:\n" << m_daemon.Log();
        // The receiver's settings lie beside it.
        test::WriteFile(FilePath(GetParam() ? "receiver\\LircReceiver.ini" : "LircReceiver.ini"),
                        "[LircReceiver]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(m_daemon.Port()) + "\r\n");
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                      CommandSection("commandEZ", {"VolUp", "VolDown", "0", "1", "2", "Mute"}) +
                      IniSection("EZ", {"0=tv.KEY_VOLUMEUP", "1=tv.KEY_VOLUMEDOWN", "3=tv.KEY_1"}));
    }

    // The plug-in has started once the daemon counts it as a client.
    bool PluginStarted() const override { return m_daemon.Clients() >= 1; }

    // Sends a button through the daemon and waits until the viewer commands reach count.
    std::vector<std::string> CommandsAfter(const std::string& press, std::size_t count) {
        EXPECT_TRUE(m_daemon.Simulate(press)) << m_daemon.Log();
        EXPECT_TRUE(WaitFor([&] { return ViewerCommandCount() >= m_commands.size() + count; })) << "after " << press;
        std::vector<std::string> fresh = NewViewerCommands();
        m_commands.insert(m_commands.end(), fresh.begin(), fresh.end());
        return fresh;
    }

    std::size_t ViewerCommandCount() const {
        const std::string log = test::ReadFile(FilePath("fakeviewer.log"));
        std::size_t count = 0;
        for (std::size_t at = log.find("cmd="); at != std::string::npos; at = log.find("cmd=", at + 4)) {
            ++count;
        }
        return count;
    }

    TLircDaemon m_daemon;
    std::vector<std::string> m_commands;
};

TEST_P(LircReceiverTest, ButtonsPairInOptionsModeAndStartTheViewerInManagementMode) {
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ListGroup); }));
    ClickRow(m_ui.List, 4);
    ASSERT_TRUE(WaitFor([&] { return ListSelection(m_ui.List) == 4; }));

    // Two presses of one button pair it with the selected row.
    ASSERT_TRUE(m_daemon.Simulate(Press("KEY_2")));
    ASSERT_TRUE(m_daemon.Simulate(Press("KEY_2")));
    ASSERT_TRUE(WaitFor([&] { return Setting("EZ", "4") == "tv.KEY_2"; })) << Setting("EZ", "4");
    EXPECT_TRUE(WaitFor([&] { return TextOf(m_ui.CodeBox) == L"tv.KEY_2"; }));
    EXPECT_EQ(ViewerCommandCount(), 0u) << "options mode starts no viewer";

    Click(m_ui.Management);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(m_ui.ListGroup); }));
    EXPECT_THAT(CommandsAfter(Press("KEY_2"), 1), ElementsAre(" /remote 2"));
    EXPECT_THAT(CommandsAfter(Press("KEY_1"), 1), ElementsAre(" /remote 1"));
}

TEST_P(LircReceiverTest, HeldButtonRepeatsReachTheVolumeRowsOnly) {
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    EXPECT_THAT(CommandsAfter(Press("KEY_VOLUMEUP"), 1), ElementsAre(" /remote VolUp"));
    // Repeat counts above 9 are hexadecimal on the wire.
    EXPECT_THAT(CommandsAfter(Press("KEY_VOLUMEUP", "0a"), 1), ElementsAre(" /remote VolUp"));
    EXPECT_THAT(CommandsAfter(Press("KEY_VOLUMEDOWN", "1f"), 1), ElementsAre(" /remote VolDown"));
    // A repeat of an ordinary row starts nothing: the next press is the first to arrive.
    ASSERT_TRUE(m_daemon.Simulate(Press("KEY_1", "0b")));
    ASSERT_TRUE(m_daemon.Simulate(Press("KEY_1", "01")));
    EXPECT_THAT(CommandsAfter(Press("KEY_VOLUMEDOWN"), 1), ElementsAre(" /remote VolDown"));
    EXPECT_THAT(CommandsAfter(Press("KEY_1"), 1), ElementsAre(" /remote 1"));
    EXPECT_THAT(m_commands,
                ElementsAre(" /remote VolUp", " /remote VolUp", " /remote VolDown", " /remote VolDown", " /remote 1"));
}

TEST_P(LircReceiverTest, ADaemonKilledAndStartedAgainIsFoundAndLosesNothingSentAfter) {
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    EXPECT_THAT(CommandsAfter(Press("KEY_1"), 1), ElementsAre(" /remote 1"));

    ASSERT_TRUE(m_daemon.Kill());
    ASSERT_TRUE(m_daemon.Start()) << m_daemon.Log();
    ASSERT_TRUE(WaitFor([&] { return m_daemon.Clients() >= 1; }, 40000)) << m_daemon.Log();
    EXPECT_THAT(CommandsAfter(Press("KEY_VOLUMEUP"), 1), ElementsAre(" /remote VolUp"));
    EXPECT_THAT(CommandsAfter(Press("KEY_1"), 1), ElementsAre(" /remote 1"));
    EXPECT_TRUE(Running());
}

INSTANTIATE_TEST_SUITE_P(Receiver, LircReceiverTest, ::testing::Values(false, true), GuardedOrDirect);

}  // namespace
}  // namespace zaprelay::e2e
