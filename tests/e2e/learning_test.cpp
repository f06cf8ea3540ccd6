// Options mode: the user picks a row with the mouse and presses a remote button until the
// code is learned; the code box shows what is stored, the delete button forgets it.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"

#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

class LearningTest : public ZaprelayTest {
protected:
    void SetUp() override {
        ZaprelayTest::SetUp();
        WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                      IniSection("EZ", {"20=TAKEN"}));
    }

    // Clicks a row and waits until the code box answers for it.
    void PickRow(int row, const std::wstring& shown) {
        ClickRow(m_ui.List, row);
        EXPECT_TRUE(WaitFor([&] { return ListSelection(m_ui.List) == row && TextOf(m_ui.CodeBox) == shown; }))
            << "row " << ListSelection(m_ui.List) << " shows \"" << TextOf(m_ui.CodeBox).c_str() << "\"";
    }

    std::wstring Shown() const { return TextOf(m_ui.CodeBox); }
};

TEST_F(LearningTest, TwoEqualCodesInARowStoreTheCodeForTheClickedRow) {
    WriteScript(
        "wait a1\nAAA 0 0\nwait a2\nAAA 0 0\n"
        "wait x\nXXX 0 0\nwait b1\nBBB 0 0\nwait b2\nBBB 0 0\nwait b3\nBBB 0 0\n"
        "wait taken1\nTAKEN 0 0\nwait taken2\nTAKEN 0 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ListGroup); }));

    PickRow(3, L"None Code");
    Step("a1");
    EXPECT_EQ(Shown(), L"None Code") << "one code is not learned yet";
    EXPECT_EQ(Setting("EZ", "3"), kMissing);
    Step("a2");
    EXPECT_EQ(Setting("EZ", "3"), "AAA");
    EXPECT_EQ(Shown(), L"AAA");

    // A different code in between starts the pairing again.
    PickRow(4, L"None Code");
    Step("x");
    Step("b1");
    Step("b2");
    EXPECT_EQ(Setting("EZ", "4"), kMissing) << "X then B counted as a pair";
    Step("b3");
    EXPECT_EQ(Setting("EZ", "4"), "BBB");
    EXPECT_EQ(Shown(), L"BBB");

    // A code learned for another row moves the selection there and stores nothing.
    PickRow(6, L"None Code");
    const std::string before = SettingsBytes();
    Step("taken1");
    Step("taken2");
    EXPECT_EQ(ListSelection(m_ui.List), 20);
    EXPECT_EQ(Shown(), L"TAKEN");
    EXPECT_EQ(SettingsBytes(), before);

    EXPECT_TRUE(NewViewerCommands().empty()) << "options mode started the viewer";
}

TEST_F(LearningTest, RowsShowTheirCodeAndDeleteEmptiesTheStoredCode) {
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ListGroup); }));

    PickRow(20, L"TAKEN");
    PickRow(8, L"None Code");
    PickRow(20, L"TAKEN");

    Click(m_ui.DeleteCode);
    // The key stays, empty (a missing key would read as kMissing).
    EXPECT_TRUE(WaitFor([&] { return Setting("EZ", "20").empty(); })) << Setting("EZ", "20");
    EXPECT_EQ(Shown(), L"");
    PickRow(21, L"None Code");
    PickRow(20, L"None Code");
}

}  // namespace
}  // namespace zaprelay::e2e
