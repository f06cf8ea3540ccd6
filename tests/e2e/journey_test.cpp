// A user's whole journey with the skinned program, by real mouse input: from the tray icon to
// pairing and dispatching for both viewers, the skin's caption buttons, back to the tray and
// out through the tray menu; the window's look is compared with the committed pictures. The
// program built without a skin works the same with the default frame.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/screen_pictures.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/input.h"

#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;

class JourneyTest : public ZaprelayTest {
protected:
    void SetUp() override {
        ZaprelayTest::SetUp();
        // The ProgDvb names are the user's own: the file must hold them.
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR=" + ViewerPath()}) +
                      CommandSection("commandPR", NumberedNames("Channel", 48)));
    }

    void ShowFromIcon() {
        const POINT icon = IconCenter();
        test::DoubleClickAt(icon.x, icon.y);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(m_ui.Form) != FALSE; })) << "the window did not come back";
    }

    // Pairs the row with the code the script sends at gates <gate>1 and <gate>2.
    void Pair(int row, const std::string& gate, const std::string& section, const std::string& code) {
        ClickRow(m_ui.List, row);
        ASSERT_TRUE(WaitFor([&] { return ListSelection(m_ui.List) == row; }));
        Step(gate + "1");
        Step(gate + "2");
        EXPECT_EQ(Setting(section, std::to_string(row)), code);
        EXPECT_EQ(TextOf(m_ui.CodeBox), std::wstring(code.begin(), code.end()));
    }

    // The pointer out of the window, so that no hot look shows in a picture.
    static void MouseAway() { test::MoveMouseTo(2, 2); }

    static TScreenPicture Around(POINT p) { return CaptureScreen({p.x - 6, p.y - 6, p.x + 6, p.y + 6}); }
};

TEST_F(JourneyTest, PairDispatchSwitchViewersAndLeaveThroughTheTray) {
    WriteScript(
        "wait f1\nFULL 0 0\nwait f2\nFULL 0 0\nwait f3\nFULL 0 0\n"
        "wait p1\nPROG 0 0\nwait p2\nPROG 0 0\nwait p3\nPROG 0 0\n");
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    EXPECT_FALSE(IsWindowVisible(m_ui.Form));
    ASSERT_NO_FATAL_FAILURE(ShowFromIcon());
    MouseAway();
    ExpectLooksLike(m_ui.Form, "main-management", {m_ui.PathBox});

    // Options: "FullScreen" gets its code from two presses, shown in red.
    ChooseMode(m_ui.Options);
    ASSERT_EQ(ListRows(m_ui.List).at(15), L"FullScreen");
    Pair(15, "f", "EZ", "FULL");
    MouseAway();
    ExpectLooksLike(m_ui.Form, "main-options-code", {m_ui.PathBox});
    ChooseMode(m_ui.Management);
    EXPECT_THAT(Step("f3"), ElementsAre(" /remote FullScreen"));

    // ProgDvb: its own rows, path and codes.
    ChooseMode(m_ui.Options);
    Click(m_ui.ProgDvb);
    ASSERT_TRUE(WaitFor([&] { return Setting("Main", "Prog") == "PR"; }));
    EXPECT_TRUE(IsChecked(m_ui.ProgDvb));
    const std::wstring row = ListRows(m_ui.List).at(3);
    EXPECT_EQ(row, L"Channel3");
    MouseAway();
    ExpectLooksLike(m_ui.Form, "main-progdvb", {m_ui.PathBox});
    Pair(3, "p", "PR", "PROG");
    ChooseMode(m_ui.Management);
    EXPECT_THAT(Step("p3"), ElementsAre(" /" + std::string(row.begin(), row.end())));

    // The skin's caption buttons light up under the pointer and look pressed while held; a press
    // taken off its button does nothing.
    ChooseMode(m_ui.Options);
    const CaptionButtons buttons = FindCaptionButtons();
    for (const POINT button : {buttons.Close, buttons.Tray}) {
        const TScreenPicture normal = Around(button);
        test::MoveMouseTo(button.x, button.y);
        EXPECT_TRUE(WaitFor([&] { return DifferingPixels(Around(button), normal) > 0; }, 3000)) << "no hot look";
    }
    test::DragWithMouse(buttons.Close, {buttons.Close.x - 120, buttons.Close.y});
    EXPECT_TRUE(IsWindowVisible(m_ui.Form));
    const TScreenPicture hot = Around(buttons.Tray);
    TScreenPicture pressed;
    test::DragWithMouse(buttons.Tray, buttons.Tray, [&] {
        WaitFor([&] { return DifferingPixels(Around(buttons.Tray), hot) > 0; }, 3000);
        pressed = Around(buttons.Tray);
    });
    EXPECT_GT(DifferingPixels(pressed, hot), 0) << "no pressed look";
    ASSERT_NO_FATAL_FAILURE(WaitForTray());
    EXPECT_TRUE(IsChecked(m_ui.Management)) << "the tray left options mode on";

    // "Close" in the tray menu: the plug-in is stopped and closed once, the file holds the pairs.
    const POINT icon = IconCenter();
    test::ClickAt(icon.x, icon.y, true);
    ASSERT_TRUE(WaitForMenu());
    test::QueueKey(VK_UP);
    test::QueueKey(VK_RETURN);
    EXPECT_EQ(WaitForExit(), 0u);
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()", "Stop()", "Close()"));
    EXPECT_EQ(Setting("EZ", "15"), "FULL");
    EXPECT_EQ(Setting("PR", "3"), "PROG");
    EXPECT_EQ(Setting("Main", "Prog"), "PR");
}

TEST_F(JourneyTest, WithoutASkinTheDefaultFrameShowsAndTheProgramWorksTheSame) {
    UseProgram("zaprelay_unskinned.exe");
    WriteScript("wait f1\nFULL 0 0\nwait f2\nFULL 0 0\nwait f3\nFULL 0 0\n");
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    ASSERT_NO_FATAL_FAILURE(ShowFromIcon());
    // The default frame's close button is the system's own.
    RECT r{};
    GetWindowRect(m_ui.Form, &r);
    bool close = false;
    for (LONG x = r.right - 2; x > r.right - 60 && !close; --x) {
        close = HitTestAt(m_ui.Form, x, r.top + 12) == HTCLOSE;
    }
    EXPECT_TRUE(close);
    LONG left = 0, right = 0, y = 0;
    EXPECT_FALSE(FindSkinButtons(m_ui.Form, left, right, y));

    ChooseMode(m_ui.Options);
    Pair(15, "f", "EZ", "FULL");
    ChooseMode(m_ui.Management);
    EXPECT_THAT(Step("f3"), ElementsAre(" /remote FullScreen"));
}

}  // namespace
}  // namespace zaprelay::e2e
