// The main window's life in the tray, with real mouse input on the desktop: it starts as an
// icon only, comes back on a double click, goes back through its caption (ending options mode
// on the way), and the tray menu's "Close" ends the program with the plug-in closed once.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/input.h"
#include "tests/win32/tray_area.h"

#include <gmock/gmock.h>
#include <set>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;

class TrayTest : public ZaprelayTest {
protected:
    std::set<LRESULT> CaptionCodes() {
        RECT r{};
        GetWindowRect(m_ui.Form, &r);
        std::set<LRESULT> codes;
        for (LONG y = r.top + 2; y < r.top + 30; y += 3) {
            for (LONG x = r.right - 2; x > r.left; x -= 2) {
                codes.insert(HitTestAt(m_ui.Form, x, y));
            }
        }
        return codes;
    }

    static bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
};

TEST_F(TrayTest, StartsAsAnIconOnlyAndADoubleClickOnItShowsTheWindowAndRemovesIt) {
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    EXPECT_FALSE(IsWindowVisible(m_ui.Form));
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()"));

    // Every showing of the window puts the program back at the idle priority.
    ASSERT_TRUE(SetPriorityClass(Process(), NORMAL_PRIORITY_CLASS));
    const POINT icon = IconCenter();
    test::DoubleClickAt(icon.x, icon.y);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(m_ui.Form) != FALSE; })) << "the window did not come back";
    EXPECT_TRUE(WaitFor([&] { return GetPriorityClass(Process()) == IDLE_PRIORITY_CLASS; }));
    // Where the layout put it, on the screen (it is shown where it waited out of sight, then
    // moved back), and the icon has gone.
    RECT r{};
    EXPECT_TRUE(WaitFor([&] {
        GetWindowRect(m_ui.Form, &r);
        return r.bottom < GetSystemMetrics(SM_CYSCREEN);
    })) << r.bottom;
    EXPECT_GE(r.top, 0);
    EXPECT_TRUE(WaitFor([&] { return !test::TrayIconCenter(TrayWindow(), kTrayIconId); }));
    // It stays above ordinary windows.
    EXPECT_NE(GetWindowLongW(m_ui.Form, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(TrayTest, TheFrameCannotBeResizedAndHasNoMinimizeOrMaximizeButton) {
    ASSERT_NO_FATAL_FAILURE(Start());
    RECT r{};
    GetWindowRect(m_ui.Form, &r);
    const LONG midX = (r.left + r.right) / 2;
    const LONG midY = (r.top + r.bottom) / 2;
    const POINT edges[] = {{r.left + 1, midY},  {r.right - 2, midY},         {midX, r.bottom - 2},
                           {r.left + 1, r.top}, {r.right - 2, r.bottom - 2}, {r.left + 1, r.bottom - 2}};
    for (const POINT& p : edges) {
        EXPECT_EQ(HitTestAt(m_ui.Form, p.x, p.y), HTCLIENT) << p.x - r.left << "," << p.y - r.top;
    }
    // The skin draws the caption buttons: only close and tray of its buttons show.
    const std::set<LRESULT> codes = CaptionCodes();
    EXPECT_TRUE(codes.count(HTCAPTION));
    FindCaptionButtons();
    for (const LRESULT system : {HTCLOSE, HTMINBUTTON, HTMAXBUTTON, HTHELP}) {
        EXPECT_FALSE(codes.count(system)) << system;
    }

    // Dragging the bottom-right corner leaves the size alone.
    test::MoveMouseTo(r.right - 2, r.bottom - 2);
    test::ClickAt(r.right - 2, r.bottom - 2);
    RECT after{};
    GetWindowRect(m_ui.Form, &after);
    EXPECT_EQ(after.right - after.left, r.right - r.left);
    EXPECT_EQ(after.bottom - after.top, r.bottom - r.top);
}

TEST_F(TrayTest, GoingToTheTrayFromOptionsModeLeavesManagementModeOn) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const POINT options = test::CenterOf(m_ui.Options);
    test::ClickAt(options.x, options.y);
    ASSERT_TRUE(WaitFor([&] { return Checked(m_ui.Options); }));

    const POINT tray = FindCaptionButtons().Tray;
    test::ClickAt(tray.x, tray.y);
    ASSERT_NO_FATAL_FAILURE(WaitForTray());
    EXPECT_TRUE(Checked(m_ui.Management));
    EXPECT_FALSE(Checked(m_ui.Options));

    ASSERT_NO_FATAL_FAILURE(ShowFromTray());
    EXPECT_TRUE(Checked(m_ui.Management));
    EXPECT_FALSE(Checked(m_ui.Options));
}

TEST_F(TrayTest, CloseInTheTrayMenuEndsTheProgramWithoutShowingTheWindow) {
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    const POINT icon = IconCenter();
    test::ClickAt(icon.x, icon.y, true);
    ASSERT_TRUE(WaitForMenu()) << "no tray menu on a right click on the icon";
    test::QueueKey(VK_UP);  // from no selection to the last item, "Close"
    test::QueueKey(VK_RETURN);
    EXPECT_EQ(WaitForExit(), 0u);
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()", "Stop()", "Close()"));
}

TEST_F(TrayTest, ShowInTheTrayMenuBringsTheWindowBack) {
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    const POINT icon = IconCenter();
    test::ClickAt(icon.x, icon.y, true);
    ASSERT_TRUE(WaitForMenu());
    test::QueueKey(VK_DOWN);  // "Show", the first item
    test::QueueKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(m_ui.Form) != FALSE; }));
    EXPECT_TRUE(Running());
}

}  // namespace
}  // namespace zaprelay::e2e
