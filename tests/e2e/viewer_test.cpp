// Choosing the viewer and its executable in options mode: the viewer buttons refill the
// command list and the path box from the settings file, "..." browses for the executable.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/x_keys.h"

#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

using test::KeysFor;
using test::TypeKeys;
using ::testing::Each;
using ::testing::SizeIs;

constexpr int kFileTypeBox = 0x470;  // the file dialog's type list (cmb1)

// The file dialog's name box, once it has the focus.
HWND FocusedNameBox(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) || info.hwndFocus == nullptr ||
        !IsChild(dialog, info.hwndFocus) || ClassOf(info.hwndFocus) != L"Edit") {
        return nullptr;
    }
    return info.hwndFocus;
}

class ViewerTest : public ZaprelayTest {
protected:
    void StartInOptionsMode() {
        ASSERT_NO_FATAL_FAILURE(Start());
        Click(m_ui.Options);
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ViewerGroup); }));
    }

    void ChooseViewer(HWND button, const char* stored) {
        Click(button);
        ASSERT_TRUE(WaitFor([&] { return Setting("Main", "Prog") == stored; }))
            << "Prog stayed " << Setting("Main", "Prog");
        EXPECT_TRUE(IsChecked(button));
    }

    HWND OpenFileDialog() {
        Click(m_ui.Browse);
        HWND dialog = WaitForDialog();
        EXPECT_NE(dialog, nullptr) << "no file dialog";
        return dialog;
    }
};

TEST_F(ViewerTest, ViewerButtonsRefillTheListAndPathFromTheFileAndDropTheSelection) {
    const std::vector<std::string> ez = NumberedNames("Ez", 33);
    const std::vector<std::string> pr = NumberedNames("Pr", 48);
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=C:\\ez\\MyTheatre.exe", "PathPR=C:\\pr\\ProgDvb.exe"}) +
                  CommandSection("commandEZ", ez) + CommandSection("commandPR", pr));
    ASSERT_NO_FATAL_FAILURE(StartInOptionsMode());
    ClickRow(m_ui.List, 5);
    ASSERT_EQ(ListSelection(m_ui.List), 5);

    ChooseViewer(m_ui.ProgDvb, "PR");
    EXPECT_EQ(ListRows(m_ui.List), Wide(pr));
    EXPECT_EQ(TextOf(m_ui.PathBox), L"C:\\pr\\ProgDvb.exe");
    EXPECT_EQ(ListSelection(m_ui.List), -1);
    EXPECT_FALSE(IsChecked(m_ui.MyTheatre));

    ChooseViewer(m_ui.MyTheatre, "EZ");
    EXPECT_EQ(ListRows(m_ui.List), Wide(ez));
    EXPECT_EQ(TextOf(m_ui.PathBox), L"C:\\ez\\MyTheatre.exe");
    EXPECT_FALSE(IsChecked(m_ui.ProgDvb));
}

TEST_F(ViewerTest, MyTheatreWithoutItsCommandSectionShowsEmptyRows) {
    WriteSettings(IniSection("Main", {"Prog=PR", "PathEZ=C:\\ez\\MyTheatre.exe", "PathPR="}));
    ASSERT_NO_FATAL_FAILURE(StartInOptionsMode());
    ChooseViewer(m_ui.MyTheatre, "EZ");
    std::vector<std::wstring> rows = ListRows(m_ui.List);
    EXPECT_THAT(rows, SizeIs(33));
    EXPECT_THAT(rows, Each(L""));
    EXPECT_EQ(TextOf(m_ui.PathBox), L"C:\\ez\\MyTheatre.exe");
}

TEST_F(ViewerTest, BrowseOffersExecutablesCancelKeepsThePathAndAChoiceIsStored) {
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=C:\\old\\MyTheatre.exe", "PathPR=C:\\pr\\ProgDvb.exe"}));
    ASSERT_NO_FATAL_FAILURE(StartInOptionsMode());
    const std::string bytes = SettingsBytes();

    HWND dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kFileTypeBox)), L"EXE");
    ClickDialogButton(dialog, IDCANCEL);
    EXPECT_EQ(TextOf(m_ui.PathBox), L"C:\\old\\MyTheatre.exe");
    EXPECT_EQ(SettingsBytes(), bytes);

    dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    HWND nameBox = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (nameBox = FocusedNameBox(dialog)) != nullptr; })) << "no name box has the focus";
    // A key may go astray while the dialog settles: what does not show is typed again.
    const std::wstring chosen = Wide(ViewerPath());
    for (int attempt = 0; attempt < 3 && TextOf(nameBox) != chosen; ++attempt) {
        ASSERT_TRUE(TypeKeys(dialog, "End shift+Home BackSpace " + KeysFor(ViewerPath())));
        WaitFor([&] { return TextOf(nameBox) == chosen; }, 10000);
    }
    ASSERT_EQ(TextOf(nameBox), chosen);
    for (int attempt = 0; attempt < 3 && IsWindow(dialog); ++attempt) {
        ASSERT_TRUE(TypeKeys(dialog, "Return"));
        WaitFor([&] { return !IsWindow(dialog); }, 5000);
    }
    ASSERT_FALSE(IsWindow(dialog)) << "Enter did not close the dialog";

    EXPECT_TRUE(WaitFor([&] { return TextOf(m_ui.PathBox) == chosen; }));
    EXPECT_EQ(Setting("Main", "PathEZ"), ViewerPath());
    EXPECT_EQ(Setting("Main", "PathPR"), "C:\\pr\\ProgDvb.exe");
}

}  // namespace
}  // namespace zaprelay::e2e
