// The settings file as the program starts from it and writes it: no file, a stored viewer
// other than MyTheatre, and a file the program may not write.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"

#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

using ::testing::SizeIs;

class SettingsTest : public ZaprelayTest {};

TEST_F(SettingsTest, WithoutAFileStartsOnMyTheatreBuiltInsAndCreatesItOnlyWithTheFirstWrite) {
    ASSERT_NO_FATAL_FAILURE(Start());

    EXPECT_TRUE(IsChecked(m_ui.MyTheatre));
    EXPECT_FALSE(IsChecked(m_ui.ProgDvb));
    std::vector<std::wstring> rows = ListRows(m_ui.List);
    ASSERT_THAT(rows, SizeIs(33));
    EXPECT_EQ(rows[0], L"VolUp");
    EXPECT_EQ(rows[15], L"FullScreen");
    EXPECT_EQ(rows[31], L"Start MyTheatre ");
    EXPECT_EQ(rows[32], L"ShutDown Windows");
    EXPECT_EQ(TextOf(m_ui.PathBox), L"");
    EXPECT_TRUE(IsChecked(m_ui.Management));
    EXPECT_FALSE(IsWindowEnabled(m_ui.ListGroup));
    EXPECT_FALSE(SettingsExist());

    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ViewerGroup); }));
    EXPECT_FALSE(SettingsExist()) << "choosing a mode wrote the settings";

    Click(m_ui.ProgDvb);
    ASSERT_TRUE(WaitFor([&] { return SettingsExist(); }));
    EXPECT_EQ(Setting("Main", "Prog"), "PR");
    EXPECT_THAT(ListRows(m_ui.List), SizeIs(48));
}

TEST_F(SettingsTest, AnyStoredViewerButExactlyEZStartsOnProgDvbAndStoresPR) {
    const std::vector<std::string> commands = NumberedNames("Pr", 48);
    for (const char* stored : {"ez", ""}) {
        SCOPED_TRACE(std::string("Prog=") + stored);
        WriteSettings(IniSection("Main", {std::string("Prog=") + stored, "PathEZ=C:\\ez.exe",
                                          "PathPR=C:\\Viewers\\ProgDvb.exe"}) +
                      CommandSection("commandPR", commands) + CommandSection("commandEZ", NumberedNames("Ez", 33)));
        ASSERT_NO_FATAL_FAILURE(Start());

        EXPECT_TRUE(IsChecked(m_ui.ProgDvb));
        EXPECT_FALSE(IsChecked(m_ui.MyTheatre));
        EXPECT_EQ(Setting("Main", "Prog"), "PR");
        EXPECT_EQ(ListRows(m_ui.List), Wide(commands));
        EXPECT_EQ(TextOf(m_ui.PathBox), L"C:\\Viewers\\ProgDvb.exe");
        TerminateProcess(Process(), 0);
        WaitForExit();
    }
}

TEST_F(SettingsTest, ReadOnlyFileRefusesEveryWriteWithTheErrorBoxAndKeepsItsBytes) {
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                  IniSection("EZ", {"20=TAKEN"}));
    WriteScript("wait first\nNEW 0 0\nwait second\nNEW 0 0\n");
    ASSERT_TRUE(SetFileAttributesA(SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string bytes = SettingsBytes();
    const std::wstring refusal = L"Unable to write to " + Wide(SettingsPath());
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ViewerGroup); }));

    // Switching the viewer.
    Click(m_ui.ProgDvb);
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_EQ(TextOf(box), L"Zaprelay");
    EXPECT_EQ(MessageOf(box), refusal);
    ClickDialogButton(box, IDOK);
    EXPECT_TRUE(Running());
    EXPECT_EQ(SettingsBytes(), bytes);
    EXPECT_TRUE(IsChecked(m_ui.MyTheatre));
    EXPECT_FALSE(IsChecked(m_ui.ProgDvb));
    std::vector<std::wstring> rows = ListRows(m_ui.List);
    ASSERT_THAT(rows, SizeIs(33));
    EXPECT_EQ(rows[15], L"FullScreen");

    // Confirming a learned code.
    ClickRow(m_ui.List, 3);
    Signal("first");
    WaitSent();
    Signal("second");
    box = WaitForDialog();
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_EQ(TextOf(box), L"Zaprelay");
    EXPECT_EQ(MessageOf(box), refusal);
    ClickDialogButton(box, IDOK);
    WaitSent();
    EXPECT_TRUE(Running());
    EXPECT_EQ(SettingsBytes(), bytes);
    EXPECT_TRUE(NewViewerCommands().empty());
}

}  // namespace
}  // namespace zaprelay::e2e
