// The keyboard remote plug-in: keys pressed on the X display (xdotool), taken by the plug-in
// as raw input while another window has the focus, reach the program as codes: pairing in
// options mode, dispatch and repeats in management mode, the list of reported keys from the
// settings file and from the Setup dialog; and once stopped it is deaf.
#include "framework/win32/utility_window.h"
#include "plugins/include/dcd_exports.h"
#include "plugins/include/dcd_plugin.h"
#include "plugins/keys/keys_thread.h"
#include "plugins/keys/settings_dialog.h"
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/input.h"

#include <algorithm>
#include <cstring>
#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using Commands = std::vector<std::string>;

constexpr char kMute[] = "XF86AudioMute";
constexpr char kVolumeUp[] = "XF86AudioRaiseVolume";
// The key that closes each run of keys, and what it makes the viewer do.
constexpr char kClosingKey[] = "XF86AudioNext";
constexpr char kClosingRow[] = "17=KEY MEDIA_NEXT_TRACK";
constexpr char kClosingCommand[] = " /remote NextNumChannel";

// Starts xdotool on the host with the X focus on the window first; callers wait for what the
// keys do.
bool Xdotool(HWND focus, const std::string& commands) {
    const auto xWindow = reinterpret_cast<uintptr_t>(GetPropW(focus, L"__wine_x11_whole_window"));
    std::string line = "/usr/bin/xdotool ";
    if (xWindow != 0) {
        line += "windowfocus --sync " + std::to_string(xWindow) + " ";
    }
    line += commands;
    return test::StartHostProgram(line);
}

// Keys pressed one after another; slow enough that the viewers each key starts log in order.
std::string Presses(const std::vector<std::string>& keys) {
    std::string text = "key --delay 250";
    for (const std::string& key : keys) {
        text += " " + key;
    }
    return text;
}

// A key held down long enough for the display's auto-repeat, then let go. (A second key-down
// of a key that is down already is dropped by the X server.)
std::string Held(const std::string& key) {
    return "keydown " + key + " sleep 1 keyup " + key + " sleep 0.3";
}

// A window of the test process that is in front while keys are pressed: the program is not,
// so what it gets came through the plug-in. It notes the keys it sees itself.
class TFocusWindow {
public:
    TFocusWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &TFocusWindow::Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KeysTestFocus";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(WS_EX_TOPMOST, L"KeysTestFocus", L"keys", WS_POPUP | WS_VISIBLE | WS_BORDER, 20, 20,
                                   160, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TFocusWindow() { DestroyWindow(m_window); }
    TFocusWindow(const TFocusWindow&) = delete;
    TFocusWindow& operator=(const TFocusWindow&) = delete;

    HWND Handle() const { return m_window; }
    const std::vector<WPARAM>& KeyDowns() const { return m_keyDowns; }
    std::size_t KeyUps(WPARAM key) const {
        return static_cast<std::size_t>(std::count(m_keyUps.begin(), m_keyUps.end(), key));
    }

    // Runs the xdotool commands with the X focus here and waits until they are done: a last
    // key that nothing reports comes back up. One run must end before the next starts, or a
    // key still down from the first swallows the same key of the second.
    bool Run(const std::string& commands) {
        // Wine hands keys to the window in front, whichever X window has the X focus: bring
        // this one there, or they go to the program's window.
        SetForegroundWindow(m_window);
        SetFocus(m_window);
        if (!WaitFor([&] { return GetForegroundWindow() == m_window; })) {
            return false;
        }
        const std::size_t before = KeyUps(VK_PAUSE);
        return Xdotool(m_window, commands + " key Pause") && WaitFor([&] { return KeyUps(VK_PAUSE) > before; });
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TFocusWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && self != nullptr) {
            try {
                (msg == WM_KEYDOWN ? self->m_keyDowns : self->m_keyUps).push_back(wParam);
            } catch (...) {
                return 0;
            }
        }
        return DefWindowProcW(window, msg, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::vector<WPARAM> m_keyDowns;
    std::vector<WPARAM> m_keyUps;
};

// The plug-in's listening window in a process, once it has registered for input.
bool Listening(DWORD processId) {
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, keys::kWindowClass, nullptr); window != nullptr;
         window = FindWindowExW(HWND_MESSAGE, window, keys::kWindowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && TextOf(window) == keys::kListeningTitle) {
            return true;
        }
    }
    return false;
}

// The program's own MyTheatre rows: 0 VolUp, 1 VolDown, 14 EPG, 15 FullScreen,
// 17 NextNumChannel, 23 PlayOrSelect, 26 Mute.
// Run as the program's plug-in, and once more behind the guard, in its host process.
class KeysReceiverTest : public ZaprelayTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ZaprelayTest::SetUp());
        SetEnvironmentVariableA("ZAPRELAY_KEYS_SETTINGS", nullptr);
        if (GetParam()) {
            ASSERT_NO_FATAL_FAILURE(UseGuard("keys\\DCD.dll"));
            SetEnvironmentVariableA("ZAPRELAY_KEYS_SETTINGS", KeysSettingsPath().c_str());
        } else {
            ASSERT_NO_FATAL_FAILURE(UsePlugin("keys\\DCD.dll"));
        }
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                      IniSection("EZ", {"0=KEY VOLUME_UP", "26=KEY VOLUME_MUTE", "15=KEY A", "14=KEY B", kClosingRow,
                                        "23=KEY MEDIA_PLAY_PAUSE"}));
    }

    bool PluginStarted() const override { return Listening(ReceiverProcessId()); }

    std::string KeysSettingsPath() const { return FilePath("KeyboardRemote.ini"); }

    // The viewer command lines that the keys cause. Every run of keys ends with a key of its
    // own (next track): codes are handled in order, so once its command has come, all that the
    // keys before it cause have come too, a doubled last key included.
    Commands Dispatched(const std::string& commands) {
        EXPECT_TRUE(m_focus.Run(commands + " key " + kClosingKey)) << "the keys were not typed";
        return CommandsUntilClosed();
    }

    Commands CommandsUntilClosed() {
        Commands seen;
        EXPECT_TRUE(WaitFor([&] {
            for (const std::string& command : NewViewerCommands()) {
                seen.push_back(command);
            }
            return std::find(seen.begin(), seen.end(), kClosingCommand) != seen.end();
        })) << "the closing key did not come; got "
            << ::testing::PrintToString(seen);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), kClosingCommand), 1) << ::testing::PrintToString(seen);
        seen.erase(std::remove(seen.begin(), seen.end(), kClosingCommand), seen.end());
        return seen;
    }

    TFocusWindow m_focus;
};

TEST_P(KeysReceiverTest, AMediaKeyPairsInOptionsModeAndDispatchesInManagementMode) {
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                  IniSection("EZ", {"26=KEY VOLUME_MUTE", kClosingRow}));
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ListGroup); }));
    ClickRow(m_ui.List, 23);
    ASSERT_TRUE(WaitFor([&] { return ListSelection(m_ui.List) == 23; }));

    ASSERT_TRUE(m_focus.Run(Presses({"XF86AudioPlay"})));
    ASSERT_TRUE(m_focus.Run(Presses({"XF86AudioPlay"})));
    EXPECT_TRUE(WaitFor([&] { return Setting("EZ", "23") == "KEY MEDIA_PLAY_PAUSE"; })) << Setting("EZ", "23");
    EXPECT_EQ(TextOf(m_ui.CodeBox), L"KEY MEDIA_PLAY_PAUSE");

    Click(m_ui.Management);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(m_ui.ViewerGroup); }));
    // Once each: the keys do not also come through a second input path.
    EXPECT_THAT(Dispatched(Presses({"XF86AudioPlay", kMute})),
                UnorderedElementsAre(" /remote PlayOrSelect", " /remote Mute"));

    // With the program in front as well: its own window sees the keys, the codes still come
    // once each.
    Click(m_ui.Management);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == m_ui.Form; }));
    ASSERT_TRUE(Xdotool(m_ui.Form, Presses({kMute, "XF86AudioPlay", kClosingKey})));
    EXPECT_THAT(CommandsUntilClosed(), UnorderedElementsAre(" /remote Mute", " /remote PlayOrSelect"));
}

TEST_P(KeysReceiverTest, AHeldKeyRepeatsAndOnlyTheVolumeRowsActOnRepeats) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // The program drops repeats of mute and acts on those of volume up: several volume steps
    // and one mute show that the plug-in counted the auto-repeats as repeats.
    const Commands commands = Dispatched(Held(kMute) + " " + Held(kVolumeUp) + " key XF86AudioPlay");
    EXPECT_EQ(std::count(commands.begin(), commands.end(), " /remote Mute"), 1) << ::testing::PrintToString(commands);
    EXPECT_GE(std::count(commands.begin(), commands.end(), " /remote VolUp"), 2) << ::testing::PrintToString(commands);
    EXPECT_EQ(commands.size(), 1 + std::count(commands.begin(), commands.end(), " /remote VolUp") + 1);
    // After the release the next key-down is a fresh press again.
    EXPECT_THAT(Dispatched(Presses({kMute})), ElementsAre(" /remote Mute"));
}

TEST_P(KeysReceiverTest, ALetterIsReportedOnlyOnceItIsListed) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_THAT(Dispatched(Presses({"a", kMute})), ElementsAre(" /remote Mute"));

    // A hand edit of the settings file counts from the next key on.
    test::WriteFile(KeysSettingsPath(),
                    "; mine\r\n[KeyboardRemote]\r\nKeys=VOLUME_MUTE, a ,MEDIA_NEXT_TRACK,LATER_KEY\r\n");
    EXPECT_THAT(Dispatched(Presses({"a", kVolumeUp, kMute})),
                UnorderedElementsAre(" /remote FullScreen", " /remote Mute"))
        << "volume up is no longer listed";

    // The Setup dialog adds "b" as it is pressed in its capture field.
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.PluginSetup); }));
    Click(m_ui.PluginSetup);
    HWND dialog = WaitForDialog(ReceiverProcessId());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), keys::kSettingsDialogTitle);
    HWND list = GetDlgItem(dialog, keys::kKeyListId);
    HWND field = GetDlgItem(dialog, keys::kCaptureEditId);
    ASSERT_TRUE(list && field);
    EXPECT_THAT(ListRows(list), ElementsAre(L"VOLUME_MUTE", L"A", L"MEDIA_NEXT_TRACK"));
    Click(field);
    ASSERT_TRUE(Xdotool(dialog, "key b"));
    EXPECT_TRUE(WaitFor([&] { return ListRows(list).size() == 4; })) << ListRows(list).size();
    EXPECT_THAT(ListRows(list), ElementsAre(L"VOLUME_MUTE", L"A", L"MEDIA_NEXT_TRACK", L"B"));
    ClickDialogButton(dialog, IDOK);
    EXPECT_EQ(test::ReadFile(KeysSettingsPath()),
              "; mine\r\n[KeyboardRemote]\r\nKeys=VOLUME_MUTE,A,MEDIA_NEXT_TRACK,B,LATER_KEY\r\n");

    Click(m_ui.Management);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(m_ui.ViewerGroup); }));
    EXPECT_THAT(Dispatched(Presses({"b", kMute})), UnorderedElementsAre(" /remote EPG", " /remote Mute"));
}

// The plug-in loaded into the test process and driven as the program drives it, so its codes
// and its input registration can be watched directly.
INSTANTIATE_TEST_SUITE_P(Receiver, KeysReceiverTest, ::testing::Values(false, true), GuardedOrDirect);

class KeysPluginTest : public ::testing::Test {
protected:
    struct TCode {
        std::string Text;
        intptr_t RepeatCount;
        bool operator==(const TCode&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const TCode& code) {
            return out << code.Text << "/" << code.RepeatCount;
        }
    };

    void SetUp() override {
        ::testing::Test::SetUp();
        SetEnvironmentVariableA("ZAPRELAY_KEYS_SETTINGS", m_settings.c_str());
        m_library = LoadLibraryA((test::BinaryFolder() + "keys\\DCD.dll").c_str());
        ASSERT_NE(m_library, nullptr);
        ASSERT_TRUE(m_entries.Resolve(m_library));
        m_entries.Open(0, static_cast<int32_t>(reinterpret_cast<uintptr_t>(m_target.Handle())), 0);
    }

    void TearDown() override {
        if (m_library != nullptr) {
            m_entries.Stop();
            m_entries.Close();
            FreeLibrary(m_library);
        }
        SetEnvironmentVariableA("ZAPRELAY_KEYS_SETTINGS", nullptr);
        DeleteFileA(m_settings.c_str());
    }

    void OnMessage(TMessage& m) {
        m.Result = 0;
        if (m.Msg != dcd::kCodeReceived) {
            m.Result = DefWindowProcW(m_target.Handle(), m.Msg, m.WParam, m.LParam);
            return;
        }
        const char* text = reinterpret_cast<const char*>(m.WParam) + dcd::kCodeTextOffset;
        m_codes.push_back(TCode{std::string(text, strnlen(text, dcd::kCodeTextSize)), m.LParam});
        if (m_stopInHandler) {
            m_stopInHandler = false;
            m_entries.Stop();
            m_stopped = true;
        }
    }

    static std::vector<RAWINPUTDEVICE> Registered() {
        UINT count = 0;
        GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
        std::vector<RAWINPUTDEVICE> devices(count);
        if (count != 0 && GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE)) == UINT(-1)) {
            devices.clear();
        }
        return devices;
    }

    std::string m_settings = test::BinaryFolder() + "keys_plugin_test.ini";
    HMODULE m_library = nullptr;
    dcd::TPluginEntries m_entries;
    win32::TUtilityWindow m_target{[this](TMessage& m) { OnMessage(m); }};
    TFocusWindow m_focus;
    std::vector<TCode> m_codes;
    bool m_stopInHandler = false;
    bool m_stopped = false;
};

TEST_F(KeysPluginTest, StopFromInsideItsOwnCodeUnregistersAndLeavesItDeaf) {
    test::WriteFile(m_settings, "[KeyboardRemote]\r\nKeys=VOLUME_MUTE,F5\r\n");
    m_entries.Start();
    ASSERT_TRUE(Listening(GetCurrentProcessId()));
    std::vector<RAWINPUTDEVICE> devices = Registered();
    auto keyboard = std::find_if(devices.begin(), devices.end(),
                                 [](const RAWINPUTDEVICE& d) { return d.usUsagePage == 1 && d.usUsage == 6; });
    ASSERT_NE(keyboard, devices.end());
    EXPECT_EQ(keyboard->dwFlags & RIDEV_INPUTSINK, static_cast<DWORD>(RIDEV_INPUTSINK));

    ASSERT_TRUE(m_focus.Run(Presses({"Escape", "F5", kMute})));
    ASSERT_TRUE(WaitFor([&] { return m_codes.size() >= 2; })) << ::testing::PrintToString(m_codes);
    EXPECT_THAT(m_codes, ElementsAre(TCode{"KEY F5", 0}, TCode{"KEY VOLUME_MUTE", 0}));

    // The program stops the plug-in from inside the handler of a code (its shutdown row).
    m_stopInHandler = true;
    ASSERT_TRUE(m_focus.Run(Presses({kMute})));
    ASSERT_TRUE(WaitFor([&] { return m_stopped; })) << "Stop did not return; " << ::testing::PrintToString(m_codes);
    EXPECT_FALSE(Listening(GetCurrentProcessId()));
    EXPECT_TRUE(Registered().empty()) << "input is still registered";

    // Deaf now: the focus window sees the key, no code follows.
    const std::size_t codes = m_codes.size();
    const std::size_t seen = m_focus.KeyDowns().size();
    ASSERT_TRUE(m_focus.Run(Presses({kMute, "F5"})));
    EXPECT_GE(m_focus.KeyDowns().size(), seen + 3);
    test::ProcessPendingMessages();
    EXPECT_EQ(m_codes.size(), codes);

    // And it starts again as the program would after a new Open.
    m_entries.Start();
    EXPECT_TRUE(Listening(GetCurrentProcessId()));
    ASSERT_TRUE(m_focus.Run(Presses({"F5"})));
    EXPECT_TRUE(WaitFor([&] { return m_codes.size() > codes; }));
    EXPECT_EQ(m_codes.back(), (TCode{"KEY F5", 0}));
}

TEST_F(KeysPluginTest, KeysPressedWhileTheSettingsDialogIsOpenAreCapturedNotSent) {
    test::WriteFile(m_settings, "[KeyboardRemote]\r\nKeys=VOLUME_MUTE\r\n");
    m_entries.Start();
    ASSERT_TRUE(Listening(GetCurrentProcessId()));
    std::wstring shown;
    test::WhenWindowIsUp(L"#32770", keys::kSettingsDialogTitle, [&](HWND dialog) {
        // The capture field has the focus as the dialog opens; a listed key pressed there is
        // captured (and said to be listed already), not sent to the program.
        Xdotool(dialog, "key " + std::string(kMute));
        HWND field = GetDlgItem(dialog, keys::kCaptureEditId);
        test::WhenTrue([field] { return TextOf(field).find(L"listed already") != std::wstring::npos; },
                       [&, field, dialog] {
                           shown = TextOf(field);
                           EndDialog(dialog, IDCANCEL);
                       },
                       [dialog] { EndDialog(dialog, IDCANCEL); });
    });
    m_entries.Setup();
    EXPECT_EQ(shown, L"VOLUME_MUTE is listed already");
    test::ProcessPendingMessages();
    EXPECT_THAT(m_codes, ::testing::IsEmpty()) << "a key pressed into the dialog reached the program";

    // Closed, the dialog no longer holds the keys back.
    ASSERT_TRUE(m_focus.Run(Presses({kMute})));
    EXPECT_TRUE(WaitFor([&] { return !m_codes.empty(); }));
}

TEST_F(KeysPluginTest, TheSettingsListShowsWholeRowsOnly) {
    test::WriteFile(m_settings, "");  // the default keys: more than the list shows at once
    int itemHeight = 0, rows = 0;
    RECT client{}, lastRow{};
    test::WhenWindowIsUp(L"#32770", keys::kSettingsDialogTitle, [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, keys::kKeyListId);
        itemHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        GetClientRect(list, &client);
        rows = itemHeight > 0 ? static_cast<int>(client.bottom) / itemHeight : 0;
        const auto last = static_cast<WPARAM>(SendMessageW(list, LB_GETTOPINDEX, 0, 0) + rows - 1);
        SendMessageW(list, LB_GETITEMRECT, last, reinterpret_cast<LPARAM>(&lastRow));
        EndDialog(dialog, IDCANCEL);
    });
    m_entries.Setup();
    ASSERT_GT(itemHeight, 0);
    EXPECT_GE(rows, 8);
    EXPECT_EQ(client.bottom % itemHeight, 0) << "a part row shows below " << rows << " whole ones";
    EXPECT_EQ(lastRow.bottom, client.bottom) << "the last row shown ends at the list's foot";
}

}  // namespace
}  // namespace zaprelay::e2e
