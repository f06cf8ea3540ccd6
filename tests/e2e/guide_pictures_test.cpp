// The user guide's other pictures, made only when scripts/screenshots asks (the main window's
// are the journey's): the box without a receiver, the tray menu, and each receiver's settings.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/screen_pictures.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/input.h"

#include <cstdlib>

namespace zaprelay::e2e {
namespace {

class GuidePictures : public ZaprelayTest {
protected:
    void SetUp() override {
        if (std::getenv("ZAPRELAY_UPDATE_PICTURES") == nullptr) {
            GTEST_SKIP() << "pictures for the guide are made by scripts/screenshots";
        }
        ZaprelayTest::SetUp();
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}));
    }

    // Receivers other than the scripted one leave no log: the window with its controls is enough.
    bool PluginStarted() const override {
        HWND form = MainFormOf(ProcessId());
        return form != nullptr && FindDescendant(form, L"TVxSkinRadioButton") != nullptr;
    }
};

TEST_F(GuidePictures, NoReceiver) {
    UsePlugin("");
    ASSERT_NO_FATAL_FAILURE(Launch());
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    Sleep(300);
    ExpectLooksLike(box, "error-no-receiver");
}

TEST_F(GuidePictures, TrayMenu) {
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    const POINT icon = IconCenter();
    test::ClickAt(icon.x, icon.y, true);
    ASSERT_TRUE(WaitForMenu());
    Sleep(300);
    for (HWND menu : TopLevelWindows(ProcessId(), L"#32768")) {
        ExpectLooksLike(menu, "tray-menu");
    }
    test::QueueKey(VK_ESCAPE);
}

TEST_F(GuidePictures, ReceiverSettings) {
    const std::pair<const char*, const char*> receivers[] = {{"DCD.dll", "receiver-virtual-remote"},
                                                             {"lirc\\DCD.dll", "receiver-network"},
                                                             {"keys\\DCD.dll", "receiver-keyboard"}};
    for (const auto& [plugin, name] : receivers) {
        SCOPED_TRACE(name);
        UsePlugin(plugin);
        ASSERT_NO_FATAL_FAILURE(Start());
        Click(m_ui.Options);
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.PluginSetup) != FALSE; }));
        Click(m_ui.PluginSetup);
        HWND dialog = WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        Sleep(500);
        ExpectLooksLike(dialog, name);
        // The program waits for the dialog: end it here.
        TerminateProcess(Process(), 0);
        WaitForExit();
    }
}

}  // namespace
}  // namespace zaprelay::e2e
