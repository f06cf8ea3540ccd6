// Start and end of the program: a missing or incomplete plug-in stops it before any window
// or settings file, an ordinary run opens the plug-in with the main window and closes it once.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/input.h"

#include <gmock/gmock.h>
#include <set>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;

// Every window the watched process makes, seen through window events as it happens: a main
// window made and destroyed again would still be noticed.
class WindowWatch {
public:
    explicit WindowWatch(DWORD processId)
        : m_hook(SetWinEventHook(EVENT_OBJECT_CREATE,
                                 EVENT_OBJECT_SHOW,
                                 nullptr,
                                 &WindowWatch::OnEvent,
                                 processId,
                                 0,
                                 WINEVENT_OUTOFCONTEXT)) {
        s_current = this;
    }
    ~WindowWatch() {
        UnhookWinEvent(m_hook);
        s_current = nullptr;
    }
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    bool Hooked() const { return m_hook != nullptr && !m_failed; }
    const std::set<std::wstring>& Classes() const { return m_classes; }

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
        try {
            if (s_current != nullptr && object == OBJID_WINDOW && window != nullptr) {
                s_current->m_classes.insert(ClassOf(window));
            }
        } catch (...) {
            s_current->m_failed = true;  // the watch can no longer vouch for what it saw
        }
    }

    static inline WindowWatch* s_current = nullptr;
    HWINEVENTHOOK m_hook;
    std::set<std::wstring> m_classes;
    bool m_failed = false;
};

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// The middle of the caption's close button, found by asking the window what is where; false
// when the caption has none.
class StartupTest : public ZaprelayTest {};

TEST_F(StartupTest, MissingOrIncompletePluginShowsTheFatalBoxAndEndsBeforeAnyWindowOrSettings) {
    const char* const plugins[] = {"",
                                   "garbage",
                                   "e2e\\without_Open\\DCD.dll",
                                   "e2e\\without_Close\\DCD.dll",
                                   "e2e\\without_Setup\\DCD.dll",
                                   "e2e\\without_Start\\DCD.dll",
                                   "e2e\\without_Stop\\DCD.dll"};
    for (const char* plugin : plugins) {
        SCOPED_TRACE(std::string("plug-in: ") + (*plugin ? plugin : "none"));
        if (std::string(plugin) == "garbage") {
            test::WriteFile(FilePath("DCD.dll"), "MZ but not a library");
        } else {
            UsePlugin(plugin);
        }
        // The first run has no settings file; the later ones have one that must stay as it is.
        if (!*plugin) {
            ASSERT_FALSE(SettingsExist());
        } else if (!SettingsExist()) {
            WriteSettings("[Main]\r\nProg=PR\r\nPathPR=C:\\viewer.exe\r\n");
        }
        const std::string before = SettingsExist() ? SettingsBytes() : "";
        const FILETIME writtenBefore = LastWrite(SettingsPath());

        // Held until the watch is on, so no window of the program can come before it.
        ASSERT_NO_FATAL_FAILURE(Launch(CREATE_SUSPENDED));
        WindowWatch watch(ProcessId());
        ASSERT_TRUE(watch.Hooked());
        Resume();
        HWND box = WaitForDialog();
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_EQ(TextOf(box), L"Fatal error!");
        EXPECT_EQ(MessageOf(box), L"Not Found DCD.dll");
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        // Polled: the box may show before its icon is painted.
        EXPECT_TRUE(WaitFor([&] { return ShowsErrorIcon(box); }, 5000));
        ClickDialogButton(box, IDOK);
        EXPECT_EQ(WaitForExit(), 0u);

        test::ProcessPendingMessages();
        EXPECT_TRUE(watch.Hooked());
        EXPECT_TRUE(watch.Classes().count(L"#32770")) << "the window events did not reach the test";
        EXPECT_FALSE(watch.Classes().count(L"TFRM")) << "a main window was made";
        if (!*plugin) {
            EXPECT_FALSE(SettingsExist());
        } else {
            EXPECT_EQ(SettingsBytes(), before);
            const FILETIME writtenAfter = LastWrite(SettingsPath());
            EXPECT_EQ(CompareFileTime(&writtenBefore, &writtenAfter), 0);
        }
    }
}

TEST_F(StartupTest, RunShowsTheWindowOpensThePluginWithItAndClosingStopsThenClosesItOnce) {
    // The player still waits at a gate when the program closes: stopping must not wait for it.
    WriteScript("wait never\nNEVER 0 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(IsWindowVisible(m_ui.Form));
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()"));
    // The command list's rows are as high as the layout says, whatever font the system gave.
    EXPECT_EQ(SendMessageW(m_ui.List, LB_GETITEMHEIGHT, 0, 0), 13);
    EXPECT_TRUE(WaitFor([&] { return GetPriorityClass(Process()) == IDLE_PRIORITY_CLASS; }))
        << "priority class " << std::hex << GetPriorityClass(Process());

    const POINT close = FindCaptionButtons().Close;
    test::ClickAt(close.x, close.y);
    EXPECT_EQ(WaitForExit(), 0u);
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()", "Stop()", "Close()"));
}

}  // namespace
}  // namespace zaprelay::e2e
