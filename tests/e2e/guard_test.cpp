// The guard between the program and a receiver that misbehaves: the scripted receiver runs in
// the guard's host and crashes, hangs, or lives through a resume from sleep. The program goes
// on through all of it, its settings untouched, and gets every code once.
#include "plugins/guard/guard_dialog.h"
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"

#include <algorithm>
#include <dbt.h>
#include <gmock/gmock.h>
#include <utility>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string kUp = " /remote VolUp";
const std::string kDown = " /remote VolDown";

class GuardTest : public ZaprelayTest {
protected:
    void SetUp() override {
        ZaprelayTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(UseGuard("scripted\\DCD.dll"));
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                      IniSection("EZ", {"0=A", "1=B"}));
    }

    std::size_t ReceiverStarts() const {
        const std::vector<std::string> calls = Calls();
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), "Start()"));
    }

    // Until a host has started the receiver for the n-th time.
    void WaitForReceiverStart(std::size_t n) {
        ASSERT_TRUE(WaitFor([&] { return ReceiverStarts() >= n && HostProcessId() != 0; }, 40000)) << PluginLog();
    }

    void WaitForSent(std::size_t n) {
        ASSERT_TRUE(WaitFor([&] { return SentCount() >= n; })) << PluginLog();
    }

    // The viewers' command lines once there are n (sent by the host, a code is still on its way).
    std::vector<std::string> ViewerCommands(std::size_t n) {
        std::vector<std::string> all;
        WaitFor([&] {
            const std::vector<std::string> more = NewViewerCommands();
            all.insert(all.end(), more.begin(), more.end());
            return all.size() >= n;
        });
        return all;
    }

    HWND Notice() const {
        for (HWND box : TopLevelWindows(ProcessId(), L"#32770")) {
            if (TextOf(box) == guard::kGuardDialogTitle) {
                return box;
            }
        }
        return nullptr;
    }
};

TEST_F(GuardTest, CodesBeforeAndAfterACrashArriveOnceEachInOrder) {
    // B a moment after A: viewers started within a millisecond of each other cannot be ordered.
    WriteScript("wait go\nA 0 0\nB 0 20\nwait boom\ncrash\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string settings = SettingsBytes();
    const DWORD first = HostProcessId();
    Signal("go");
    ASSERT_NO_FATAL_FAILURE(WaitForSent(2));
    Signal("boom");
    ASSERT_NO_FATAL_FAILURE(WaitForReceiverStart(2));
    EXPECT_NE(HostProcessId(), first);
    Signal("go");
    ASSERT_NO_FATAL_FAILURE(WaitForSent(4));

    EXPECT_THAT(ViewerCommands(4), ElementsAre(kUp, kDown, kUp, kDown));
    EXPECT_TRUE(Running());
    EXPECT_EQ(SettingsBytes(), settings);
    win32::TKernelHandle host(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, HostProcessId()));
    PostMessageW(m_ui.Form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0u);
    DWORD hostEnd = STILL_ACTIVE;
    EXPECT_TRUE(WaitForSingleObject(host.Get(), 5000) == WAIT_OBJECT_0 && GetExitCodeProcess(host.Get(), &hostEnd) &&
                hostEnd == 0)
        << "the host did not end by itself when stopped: " << hostEnd;
    EXPECT_THAT(Calls(),
                ElementsAre(StartsWith("Open("), "Start()", StartsWith("Open("), "Start()", "Stop()", "Close()"));
    EXPECT_TRUE(NewViewerCommands().empty()) << "a code came after Stop";
}

TEST_F(GuardTest, AHungReceiverIsEndedAndStartedAgain) {
    WriteScript("wait go\nA 0 0\nwait freeze\nhang\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    const DWORD first = HostProcessId();
    Signal("go");
    ASSERT_NO_FATAL_FAILURE(WaitForSent(1));
    Signal("freeze");
    ASSERT_NO_FATAL_FAILURE(WaitForReceiverStart(2));
    const std::vector<DWORD> hosts = ChildProcesses(ProcessId(), L"zaprelay-receiver.exe");
    EXPECT_EQ(std::find(hosts.begin(), hosts.end(), first), hosts.end()) << "the hung host is still there";
    Signal("go");
    ASSERT_NO_FATAL_FAILURE(WaitForSent(2));
    EXPECT_THAT(ViewerCommands(2), ElementsAre(kUp, kUp));
}

TEST_F(GuardTest, FiveFailuresTurnTheReceiverOffWithANoticeAndSetupTellsWhy) {
    WriteScript("crash\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string settings = SettingsBytes();
    ASSERT_TRUE(WaitFor([&] { return Notice() != nullptr; }, 60000)) << "no notice; " << PluginLog();
    EXPECT_EQ(ReceiverStarts(), 5u);
    EXPECT_TRUE(Running());
    EXPECT_EQ(SettingsBytes(), settings);

    ClickDialogButton(Notice(), IDOK);
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.PluginSetup) != FALSE; }));
    Click(m_ui.PluginSetup);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    const std::wstring state = TextOf(GetDlgItem(dialog, guard::kStateTextId));
    EXPECT_THAT(state, HasSubstr(L"Turned off"));
    EXPECT_THAT(state, HasSubstr(L"crashed"));
    ClickDialogButton(dialog, IDCANCEL);
}

// A receiver that dies across standby comes back: after a resume, and after a device arrives,
// the host is stopped as usual and started afresh.
TEST_F(GuardTest, AResumeOrANewDeviceStartsTheHostAfreshAndCodesFlowAgain) {
    WriteScript("wait go\nA 0 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<HWND> guards = TopLevelWindows(ProcessId(), L"ZaprelayReceiverGuard", true);
    ASSERT_EQ(guards.size(), 1u);
    const std::pair<UINT, WPARAM> events[] = {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                              {WM_DEVICECHANGE, DBT_DEVICEARRIVAL}};
    std::size_t starts = 1;
    for (const auto& [msg, event] : events) {
        Signal("go");
        ASSERT_NO_FATAL_FAILURE(WaitForSent(starts));
        // Sent, as the system does (a device event may not be posted); the guard reads no more.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(guards.front(), msg, event, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        ASSERT_NO_FATAL_FAILURE(WaitForReceiverStart(++starts));
    }
    Signal("go");
    ASSERT_NO_FATAL_FAILURE(WaitForSent(3));
    EXPECT_THAT(ViewerCommands(3), ElementsAre(kUp, kUp, kUp));
    EXPECT_THAT(Calls(), ElementsAre(StartsWith("Open("), "Start()", "Stop()", "Close()", StartsWith("Open("),
                                     "Start()", "Stop()", "Close()", StartsWith("Open("), "Start()"))
        << "a host did not stop its receiver";
}

TEST_F(GuardTest, TheHostEndsWithTheProgramEvenWhenTheProgramCrashes) {
    ASSERT_NO_FATAL_FAILURE(Start());
    win32::TKernelHandle host(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, HostProcessId()));
    ASSERT_TRUE(host);
    BOOL inJob = FALSE;
    EXPECT_TRUE(IsProcessInJob(host.Get(), nullptr, &inJob) && inJob) << "the host is in no job";
    TerminateProcess(Process(), 1);
    EXPECT_EQ(WaitForSingleObject(host.Get(), 10000), WAIT_OBJECT_0) << "the host outlived the program";
}

}  // namespace
}  // namespace zaprelay::e2e
