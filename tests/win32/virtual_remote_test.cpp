// The virtual remote plug-in, driven as the program drives DCD.dll: loaded by name, opened
// with a window, started; its remote is clicked and held with real mouse input, and its
// settings dialog is answered with a click.
#include "plugins/include/dcd_exports.h"
#include "plugins/kit/settings_store.h"
#include "plugins/virtual_remote/remote_buttons.h"
#include "plugins/virtual_remote/remote_window.h"
#include "plugins/virtual_remote/settings_dialog.h"
#include "plugins/virtual_remote/settings_file.h"
#include "tests/win32/input.h"
#include "tests/win32/plugin_host.h"
#include "tests/win32/test_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::test {
namespace {

constexpr wchar_t kRemoteClass[] = L"ZaprelayVirtualRemote";
constexpr char kQuickRepeats[] = "[VirtualRemote]\r\nRepeatDelay=150\r\nRepeatInterval=40\r\n";

INPUT MouseAt(POINT p, DWORD buttons) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = p.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    in.mi.dy = p.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return in;
}

void MouseDownAt(POINT p) {
    MoveMouseTo(p.x, p.y);
    INPUT in = MouseAt(p, MOUSEEVENTF_LEFTDOWN);
    SendInput(1, &in, sizeof in);
}

void MouseUpAt(POINT p) {
    INPUT in = MouseAt(p, MOUSEEVENTF_LEFTUP);
    SendInput(1, &in, sizeof in);
}

class VirtualRemoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_settingsPath = m_scratch.Path() + "remote.ini";
        SetEnvironmentVariableA("ZAPRELAY_REMOTE_SETTINGS", m_settingsPath.c_str());
        WriteFile(m_settingsPath, kQuickRepeats);
        ASSERT_TRUE(m_host.Load(BinaryFolder() + "DCD.dll"));
    }

    void TearDown() override { SetEnvironmentVariableA("ZAPRELAY_REMOTE_SETTINGS", nullptr); }

    // Opens and starts the plug-in; its remote is up when Start returns.
    HWND StartRemote() {
        m_host.OpenAndStart();
        HWND remote = FindWindowW(kRemoteClass, L"Virtual remote");
        EXPECT_TRUE(remote != nullptr && IsWindowVisible(remote));
        return remote;
    }

    static POINT ButtonCentre(HWND remote, const char* name) {
        int index = remote::FindButton(name);
        const remote::TRect& r = remote::RemoteButtons()[static_cast<std::size_t>(index)].Bounds;
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(remote, &p);
        return p;
    }

    bool WaitForCodes(std::size_t count) { return m_host.WaitForCodes(count); }
    bool AnotherCodeComes(std::size_t count, DWORD withinMs) { return m_host.AnotherCodeComes(count, withinMs); }

    ScratchFolder m_scratch;
    std::string m_settingsPath;
    TPluginHost m_host;
    dcd::TPluginEntries& m_dcd = m_host.Dcd;
    std::vector<TReceivedCode>& m_received = m_host.Received;
};

TEST_F(VirtualRemoteTest, ClickSendsTheButtonsCodeFromAnotherThread) {
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    EXPECT_NE(GetWindowLongW(remote, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    POINT five = ButtonCentre(remote, "5");
    ClickAt(five.x, five.y);
    ASSERT_TRUE(WaitForCodes(1));
    EXPECT_EQ(m_received[0].Text, "VIRTUAL 5");
    EXPECT_EQ(m_received[0].RepeatCount, 0);
    EXPECT_TRUE(m_received[0].FromOtherThread) << "codes come from the remote's own thread";

    POINT power = ButtonCentre(remote, "POWER");
    ClickAt(power.x, power.y);
    ClickAt(five.x, five.y);
    ASSERT_TRUE(WaitForCodes(3));
    EXPECT_EQ(m_received[1].Text, "VIRTUAL POWER");
    EXPECT_EQ(m_received[2].Text, "VIRTUAL 5") << "the same button sends the same text";
    EXPECT_NE(GetForegroundWindow(), remote) << "a button click does not take the focus";
}

TEST_F(VirtualRemoteTest, HeldRepeatingButtonSendsRepeatsInOrderAndStopsWhenLetGo) {
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    POINT volumeUp = ButtonCentre(remote, "VOL_UP");
    MouseDownAt(volumeUp);
    bool repeated = WaitForCodes(4);
    MouseUpAt(volumeUp);
    ASSERT_TRUE(repeated);
    const std::size_t atRelease = m_received.size();
    // One repeat may have been on its way as the button went up; none after that.
    PumpUntil([&] { return m_received.size() > atRelease; }, 200);
    const std::size_t settled = m_received.size();
    EXPECT_FALSE(AnotherCodeComes(settled, 400));

    for (std::size_t i = 0; i < m_received.size(); ++i) {
        EXPECT_EQ(m_received[i].Text, "VIRTUAL VOL_UP");
        EXPECT_EQ(m_received[i].RepeatCount, static_cast<LPARAM>(i)) << "press " << i;
    }
}

TEST_F(VirtualRemoteTest, HeldButtonThatDoesNotRepeatSendsOneCode) {
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    POINT ok = ButtonCentre(remote, "OK");
    MouseDownAt(ok);
    bool sent = WaitForCodes(1);
    // Held well past the delay and several intervals of the quick settings.
    bool more = AnotherCodeComes(1, 600);
    MouseUpAt(ok);
    ASSERT_TRUE(sent);
    EXPECT_FALSE(more);
    EXPECT_EQ(m_received[0].Text, "VIRTUAL OK");
    EXPECT_EQ(m_received[0].RepeatCount, 0);
}

TEST_F(VirtualRemoteTest, KeysPressButtonsOnceTheRemoteIsClickedOutsideTheButtons) {
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    RECT r{};
    GetWindowRect(remote, &r);
    ClickAt((r.left + r.right) / 2, r.top + remote::kTitleHeight / 2);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == remote; }));
    PressKey('7');
    PressKey(VK_NUMPAD0);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForCodes(3));
    EXPECT_EQ(m_received[0].Text, "VIRTUAL 7");
    EXPECT_EQ(m_received[1].Text, "VIRTUAL 0");
    EXPECT_EQ(m_received[2].Text, "VIRTUAL OK");
    EXPECT_EQ(m_received[2].RepeatCount, 0);
}

TEST_F(VirtualRemoteTest, AfterStopTheRemoteIsGoneAndNothingArrives) {
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    POINT five = ButtonCentre(remote, "5");
    ClickAt(five.x, five.y);
    ASSERT_TRUE(WaitForCodes(1));

    m_dcd.Stop();
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_EQ(FindWindowW(kRemoteClass, nullptr), nullptr);
    ClickAt(five.x, five.y);
    EXPECT_FALSE(AnotherCodeComes(1, 300));
    m_dcd.Close();

    // Started again, it shows a fresh remote that works.
    HWND again = StartRemote();
    ASSERT_NE(again, nullptr);
    POINT eight = ButtonCentre(again, "8");
    ClickAt(eight.x, eight.y);
    ASSERT_TRUE(WaitForCodes(2));
    EXPECT_EQ(m_received[1].Text, "VIRTUAL 8");
}

TEST_F(VirtualRemoteTest, StopFromInsideTheCodeHandlerReturns) {
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    m_host.StopInsideHandler = true;
    POINT menu = ButtonCentre(remote, "MENU");
    ClickAt(menu.x, menu.y);
    ASSERT_TRUE(PumpUntil([&] { return !m_host.TextAfterStop.empty(); }));
    EXPECT_EQ(m_host.TextAfterStop, "VIRTUAL MENU");
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_EQ(m_received.size(), 1u);
}

TEST_F(VirtualRemoteTest, StopWhileTheRemoteWaitsOnASendToThisThreadReturns) {
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    POINT down = ButtonCentre(remote, "DOWN");
    MouseDownAt(down);
    ASSERT_TRUE(WaitForCodes(1));
    // No pumping now: the first repeat stays blocked in SendMessage to this thread.
    const DWORD start = GetTickCount();
    while ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0 && GetTickCount() - start < 10000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
    }
    ASSERT_NE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE, 0);
    m_dcd.Stop();
    MouseUpAt(down);
    EXPECT_FALSE(IsWindow(remote));
    const std::size_t afterStop = m_received.size();
    EXPECT_FALSE(AnotherCodeComes(afterStop, 300));
}

// The settings dialog, once it is up (on this thread, inside Setup's modal loop).
void WhenSettingsDialogIsUp(std::function<void(HWND)> act) {
    WhenWindowIsUp(L"#32770", remote::kSettingsDialogTitle, std::move(act));
}

TEST_F(VirtualRemoteTest, SetupCancelledLeavesTheSettingsFileAsItWas) {
    const std::string before = ReadFile(m_settingsPath);
    bool shown = false;
    WhenSettingsDialogIsUp([&](HWND dialog) {
        shown = true;
        // Changes made before Cancel are dropped with it.
        CheckDlgButton(dialog, remote::kRepeatCheckId + remote::FindButton("POWER"), BST_CHECKED);
        SetDlgItemInt(dialog, remote::kDelayEditId, 1500, FALSE);
        POINT cancel = CenterOf(GetDlgItem(dialog, IDCANCEL));
        ClickAt(cancel.x, cancel.y);
    });
    m_dcd.Setup();
    EXPECT_TRUE(shown);
    EXPECT_EQ(ReadFile(m_settingsPath), before);
}

TEST_F(VirtualRemoteTest, SetupSavedChangesTheFileAndTheRunningRemote) {
    WriteFile(m_settingsPath, std::string("; mine\r\n[Keep]\r\nA=1\r\n") + kQuickRepeats);
    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    bool shown = false;
    WhenSettingsDialogIsUp([&](HWND dialog) {
        shown = true;
        POINT volumeUp = CenterOf(GetDlgItem(dialog, remote::kRepeatCheckId + remote::FindButton("VOL_UP")));
        ClickAt(volumeUp.x, volumeUp.y);  // checked by default: now off
        POINT ok = CenterOf(GetDlgItem(dialog, IDOK));
        ClickAt(ok.x, ok.y);
    });
    m_dcd.Setup();
    ASSERT_TRUE(shown);
    const std::string saved = ReadFile(m_settingsPath);
    EXPECT_EQ(saved.rfind("; mine\r\n[Keep]\r\nA=1\r\n[VirtualRemote]\r\nRepeatDelay=150\r\nRepeatInterval=40\r\n", 0),
              0u)
        << saved;
    EXPECT_NE(saved.find("Repeating=CH_UP,VOL_DOWN,CH_DOWN,UP,LEFT,RIGHT,DOWN\r\n"), std::string::npos) << saved;

    POINT volumeUp = ButtonCentre(remote, "VOL_UP");
    MouseDownAt(volumeUp);
    bool sent = WaitForCodes(1);
    bool more = AnotherCodeComes(1, 600);
    MouseUpAt(volumeUp);
    ASSERT_TRUE(sent);
    EXPECT_FALSE(more) << "the remote follows the saved settings at once";
}

TEST_F(VirtualRemoteTest, SetupNamesTheRangeOfATimeOutsideItAndKeepsWhatWasTyped) {
    struct TCase {
        const char* Delay;
        const char* Interval;
        int Rejected;  // the box pointed out
        const char* Range;
    };
    const TCase cases[] = {
        {"5", "40", remote::kDelayEditId, "from 100 to 2000"},
        {"", "40", remote::kDelayEditId, "from 100 to 2000"},
        {"150", "29", remote::kIntervalEditId, "from 30 to 1000"},
        {"150", "1001", remote::kIntervalEditId, "from 30 to 1000"},
    };
    const std::string before = ReadFile(m_settingsPath);
    bool shown = false;
    WhenSettingsDialogIsUp([&](HWND dialog) {
        shown = true;
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Delay) + " / " + c.Interval);
            SetDlgItemTextA(dialog, remote::kDelayEditId, c.Delay);
            SetDlgItemTextA(dialog, remote::kIntervalEditId, c.Interval);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            char message[256] = {};
            GetDlgItemTextA(dialog, remote::kMessageTextId, message, sizeof message);
            EXPECT_NE(std::string(message).find(c.Range), std::string::npos) << "said: " << message;
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, c.Rejected)) << "the box to correct has the focus";
            char delay[16] = {}, interval[16] = {};
            GetDlgItemTextA(dialog, remote::kDelayEditId, delay, 16);
            GetDlgItemTextA(dialog, remote::kIntervalEditId, interval, 16);
            EXPECT_STREQ(delay, c.Delay) << "nothing is changed behind the user's back";
            EXPECT_STREQ(interval, c.Interval);
            EXPECT_EQ(ReadFile(m_settingsPath), before) << "nothing is saved";
        }
        // The ends of the ranges are in them.
        SetDlgItemTextA(dialog, remote::kDelayEditId, "100");
        SetDlgItemTextA(dialog, remote::kIntervalEditId, "1000");
        POINT ok = CenterOf(GetDlgItem(dialog, IDOK));
        ClickAt(ok.x, ok.y);
    });
    m_dcd.Setup();
    ASSERT_TRUE(shown);
    const std::string saved = ReadFile(m_settingsPath);
    EXPECT_NE(saved.find("RepeatDelay=100\r\nRepeatInterval=1000\r\n"), std::string::npos) << saved;
}

TEST_F(VirtualRemoteTest, TheHeldLightIsLabelledAwayFromTheCloseBoxCornerAndLitWhileAButtonIsDown) {
    using remote::TRemoteWindow;
    // Where a caption's close box would sit: the title strip's square at its right end.
    const remote::TRect closeBox{remote::kRemoteWidth - remote::kTitleHeight, 0, remote::kRemoteWidth,
                                 remote::kTitleHeight};
    for (const remote::TRect& part : {TRemoteWindow::kHeldLight, TRemoteWindow::kHeldLabelBounds}) {
        EXPECT_LE(part.Right, closeBox.Left);
        EXPECT_LE(part.Bottom, remote::kTitleHeight);
    }
    const remote::TRect& light = TRemoteWindow::kHeldLight;
    const remote::TRect& label = TRemoteWindow::kHeldLabelBounds;
    EXPECT_GE(label.Left, light.Right) << "the label stands beside the light";
    EXPECT_TRUE(label.Top <= light.Top && label.Bottom >= light.Bottom);

    HWND remote = StartRemote();
    ASSERT_NE(remote, nullptr);
    auto pixel = [remote](int x, int y) {
        POINT p{x, y};
        ClientToScreen(remote, &p);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
        return colour;
    };
    const int cx = (light.Left + light.Right) / 2, cy = (light.Top + light.Bottom) / 2;
    const COLORREF dark = pixel(cx, cy);
    POINT ok = ButtonCentre(remote, "OK");
    MouseDownAt(ok);
    const bool lit = PumpUntil([&] { return GetRValue(pixel(cx, cy)) > GetRValue(dark) + 100; });
    MouseUpAt(ok);
    EXPECT_TRUE(lit) << "held down, the light comes on";
    EXPECT_TRUE(PumpUntil([&] { return pixel(cx, cy) == dark; })) << "let go, it goes out";

    // The label is drawn: its box holds pixels other than the strip behind it.
    const COLORREF strip = pixel(label.Right - 1, label.Top);
    int ink = 0;
    for (int y = label.Top; y < label.Bottom; ++y) {
        for (int x = label.Left; x < label.Right; ++x) {
            ink += pixel(x, y) != strip ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20);
}

TEST(RemoteSettingsFile, SavesOnlyItsKeysAndLeavesFilesItMayNotRewriteAlone) {
    ScratchFolder scratch;
    const std::string path = scratch.Path() + "remote.ini";
    remote::TSettingsFile file(path);
    EXPECT_EQ(file.Load().RepeatDelayMs, remote::kDefaultRepeatDelayMs) << "a missing file reads as the defaults";

    remote::TRemoteSettings settings = remote::DefaultRemoteSettings();
    settings.RepeatDelayMs = 700;
    ASSERT_TRUE(file.SaveRepeatSettings(settings)) << "a missing file is created";
    ASSERT_TRUE(file.SavePosition({12, 34}));
    WriteFile(path, "[Mine]\r\nX=1\r\n" + ReadFile(path));
    settings.RepeatDelayMs = 800;
    ASSERT_TRUE(file.SaveRepeatSettings(settings));
    remote::TRemoteSettings read = file.Load();
    EXPECT_EQ(read.RepeatDelayMs, 800u);
    EXPECT_EQ(read.Position, (remote::TRemotePosition{12, 34})) << "saving the repeats keeps the position";
    EXPECT_EQ(ReadFile(path).rfind("[Mine]\r\nX=1\r\n[VirtualRemote]\r\n", 0), 0u) << ReadFile(path);
    EXPECT_EQ(GetFileAttributesA((path + ".new").c_str()), INVALID_FILE_ATTRIBUTES) << "no temporary file is left";

    const std::string before = ReadFile(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(file.SavePosition({1, 2}));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(path), before);

    // A store without a path (the plug-in's own path could not be had) reads nothing and
    // writes nothing, also not a file of that name in the current folder.
    const dcd::TSettingsStore nowhere("");
    EXPECT_EQ(nowhere.Read(), std::nullopt);
    EXPECT_FALSE(nowhere.Rewrite([](const std::string& text) { return text + "[X]\r\n"; }));
    EXPECT_EQ(GetFileAttributesA(".new"), INVALID_FILE_ATTRIBUTES);

    // Too large to be a settings file: read as the defaults, never rewritten.
    const std::string large = "[VirtualRemote]\r\nRepeatDelay=900\r\n" + std::string(2 << 20, ';');
    WriteFile(path, large);
    EXPECT_EQ(file.Load().RepeatDelayMs, remote::kDefaultRepeatDelayMs);
    EXPECT_FALSE(file.SaveRepeatSettings(settings));
    EXPECT_EQ(ReadFile(path).size(), large.size());
}

}  // namespace
}  // namespace zaprelay::test
