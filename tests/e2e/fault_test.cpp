// Faults from outside the program: a settings file that is garbage, huge or gone while the
// program runs, a viewer path that leads nowhere, a plug-in that breaks its rules. Each says
// what the user sees, and that nothing saved is lost.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/tray_area.h"

#include <gmock/gmock.h>
#include <string>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class FaultTest : public ZaprelayTest {
protected:
    LRESULT Rows() const { return SendMessageW(m_ui.List, LB_GETCOUNT, 0, 0); }

    void CloseProgram() {
        PostMessageW(m_ui.Form, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForExit(), 0u);
    }

    // MyTheatre with the viewer, codes A and B paired with its first two commands.
    void WritePairedSettings() const {
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                      IniSection("EZ", {"0=A", "1=B"}));
    }
};

// Binary junk or ten megabytes of text where the settings should be: the window comes up with
// MyTheatre's built-in commands, as without a file, and the file is left as it was.
TEST_F(FaultTest, GarbageOrHugeSettingsShowTheBuiltInCommandsAndStayUntouched) {
    std::string junk;
    for (int i = 0; i < 65536; ++i) {
        junk += static_cast<char>((i * 7919 + 13) & 0xFF);
    }
    std::string huge = "[Main]\r\n";
    while (huge.size() < 10 * 1024 * 1024) {
        huge += "Key" + std::to_string(huge.size()) + "=" + std::string(40, 'x') + "\r\n";
    }
    for (const std::string* settings : {&junk, &huge}) {
        SCOPED_TRACE(settings == &junk ? "binary junk" : "10 MB of text");
        WriteSettings(*settings);
        WriteScript("");
        ASSERT_NO_FATAL_FAILURE(Start());
        EXPECT_EQ(Rows(), 33) << "MyTheatre's rows";
        CloseProgram();
        EXPECT_TRUE(SettingsBytes() == *settings) << "the file changed";
    }
}

// Deleted while the program runs: the next learned code makes the file again, holding it.
TEST_F(FaultTest, SettingsDeletedWhileRunningComeBackWithTheNextLearnedCode) {
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) + IniSection("EZ", {"3=OLD"}));
    WriteScript("wait a1\nNEW 0 0\nwait a2\nNEW 0 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ListGroup); }));
    ClickRow(m_ui.List, 5);
    ASSERT_TRUE(WaitFor([&] { return ListSelection(m_ui.List) == 5; }));
    ASSERT_TRUE(DeleteFileA(SettingsPath().c_str()));
    Step("a1");
    Step("a2");
    EXPECT_TRUE(WaitFor([&] { return Setting("EZ", "5") == "NEW"; })) << SettingsBytes();
    EXPECT_TRUE(Running());
}

// A viewer path that is missing, a folder, or no program: a code in management mode starts
// nothing, shows nothing and the program goes on; the settings stay as they were.
TEST_F(FaultTest, AViewerPathThatLeadsNowhereStartsNothingAndTheProgramGoesOn) {
    const std::string folder = FilePath("viewer folder");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string text = FilePath("notes.exe");
    test::WriteFile(text, "not a program");
    for (const std::string& path : {FilePath("missing.exe"), folder, text}) {
        SCOPED_TRACE(path);
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + path, "PathPR="}) + IniSection("EZ", {"0=VOL"}));
        WriteScript("wait go\nVOL 0 0\n");
        ASSERT_NO_FATAL_FAILURE(Start());
        const std::string before = SettingsBytes();
        Step("go");
        EXPECT_TRUE(Running());
        EXPECT_TRUE(TopLevelWindows(ProcessId(), L"#32770").empty()) << "a message box showed";
        EXPECT_EQ(SettingsBytes(), before);
        CloseProgram();
    }
}

// A plug-in that goes on sending once its Stop has returned, while its Close waits answering
// the sends: the program ends as usual and starts no viewer for those codes.
TEST_F(FaultTest, CodesSentAfterStopStartNoViewer) {
    WritePairedSettings();
    WriteScript("fault sends-after-stop\nwait go\nA 0 0\nwait stop\nA 0 0\nB 0 50\nA 0 50\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_THAT(Step("go"), ElementsAre(" /remote VolUp"));
    CloseProgram();
    EXPECT_EQ(SentCount(), 4u) << "the plug-in did not send after Stop";
    EXPECT_THAT(NewViewerCommands(), ElementsAre());
}

// Each code sent by four threads at once: the program acts on every one, once. (Viewers
// started within a millisecond cannot be told apart by time, so their order is not checked.)
TEST_F(FaultTest, CodesFromSeveralThreadsAtOnceAreEachActedOnOnce) {
    WritePairedSettings();
    WriteScript("fault threads 4\nwait go\nA 0 0\nB 0 0\nA 0 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Signal("go");
    ASSERT_TRUE(WaitFor([&] { return SentCount() == 3; }));
    const std::string a = " /remote VolUp", b = " /remote VolDown";
    EXPECT_THAT(NewViewerCommands(), UnorderedElementsAre(a, a, a, a, b, b, b, b, a, a, a, a));
    CloseProgram();
}

// A plug-in whose Stop never returns: the program ends all the same a few seconds later, its
// tray icon gone with it, the settings as they were.
TEST_F(FaultTest, APluginStuckInStopDoesNotKeepTheProgramAlive) {
    WritePairedSettings();
    WriteScript("fault blocks-in-stop\n");
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    const HWND tray = TrayWindow();
    ASSERT_TRUE(test::ShellHasIcon(tray, kTrayIconId));
    const std::string before = SettingsBytes();
    PostMessageW(m_ui.Form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 1u) << "ended as a program whose plug-in failed";
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()", "Stop()"));
    EXPECT_FALSE(test::ShellHasIcon(tray, kTrayIconId)) << "the icon stayed in the notification area";
    EXPECT_EQ(SettingsBytes(), before);
}

}  // namespace
}  // namespace zaprelay::e2e
