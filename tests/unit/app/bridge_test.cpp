#include "app/bridge/bridge.h"

#include "plugins/include/dcd_plugin.h"
#include "tests/unit/app/fake_settings_store.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zaprelay::bridge {
namespace {

using fakes::TFakeSettingsStore;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kViewerPath[] = "C:\\MyTheatre\\mt.exe";

// Every call the bridge makes on the window, in order, as one readable line each.
class TFakeHost : public TBridgeHost {
public:
    explicit TFakeHost(const TBridgeState& state) : m_state(state) {}

    int RowCount() const override { return static_cast<int>(Rows.size()); }
    std::string RowText(int row) const override { return Rows.at(row); }
    int SelectedRow() const override { return Selected; }
    void SelectRow(int row) override {
        Selected = row;
        Log.push_back("select " + std::to_string(row));
    }
    void SetRows(const std::vector<std::string>& rows) override { Rows = rows; }
    std::string Path() const override { return PathText; }
    void SetPath(const std::string& path) override { PathText = path; }
    void ShowCode(const std::string& text, uint32_t colour) override {
        Log.push_back("show " + std::to_string(colour) + " [" + text + "]");
    }
    bool RunProgram(const std::string& path, const std::string& arguments) override {
        Log.push_back("run " + path + " [" + arguments + "]");
        PendingAtRun = m_state.ShutdownPending;
        return true;
    }
    void ArmShutdownTimer(uint32_t intervalMs) override { Log.push_back("timer " + std::to_string(intervalMs)); }
    void Pause(uint32_t ms) override { Log.push_back("pause " + std::to_string(ms)); }

    std::vector<std::string> Rows;
    int Selected = -1;
    std::string PathText = kViewerPath;
    std::vector<std::string> Log;
    std::optional<bool> PendingAtRun;

private:
    const TBridgeState& m_state;
};

std::string ViewerRun(const std::string& arguments) {
    return std::string("run ") + kViewerPath + " [" + arguments + "]";
}

// A record as a plug-in sends it: its own bytes first, then the code. On the heap at its exact
// size, so a read past the end is caught by the sanitizer.
std::vector<uint8_t> Record(const std::string& text) {
    std::vector<uint8_t> record(dcd::kCodeRecordSize, 0);
    std::fill_n(record.begin(), dcd::kCodeTextOffset, 0xA5);
    std::copy(text.begin(), text.end(), record.begin() + dcd::kCodeTextOffset);
    return record;
}

class BridgeTest : public ::testing::Test {
protected:
    BridgeTest() {
        const auto& names = BuiltInMyTheatreCommands();
        host.Rows.assign(names.begin(), names.end());
    }

    // Stores code "C<row>" for every row of the section.
    void StoreRowCodes(const std::string& section, int rows) {
        for (int row = 0; row < rows; ++row) {
            store.Values[{section, std::to_string(row)}] = "C" + std::to_string(row);
        }
    }

    void Receive(const std::string& text, int32_t repeat = 0) {
        std::vector<uint8_t> record = Record(text);
        bridge.CodeReceived(record.data(), repeat);
    }

    TBridgeState state;
    TFakeSettingsStore store;
    TFakeHost host{state};
    TBridge bridge{state, store, host};
};

TEST(CodeText, EndsAtFirstZeroAndSkipsPluginBytes) {
    std::vector<uint8_t> record = Record("Vol Up");
    record[dcd::kCodeTextOffset + 7] = 'x';  // after the terminator
    EXPECT_EQ(CodeText(record.data()), "Vol Up");
    EXPECT_EQ(CodeText(Record("").data()), "");
}

TEST(CodeText, FullFieldWithoutZeroIsWholeField) {
    const std::string full(dcd::kCodeTextSize, 'k');
    EXPECT_EQ(CodeText(Record(full).data()), full);
}

TEST_F(BridgeTest, IgnoresNullRecordNegativeRepeatAndEmptyText) {
    StoreRowCodes("EZ", 33);
    store.Values[{"EZ", "5"}] = "";
    host.Selected = 5;
    for (bool management : {false, true}) {
        state.ManagementMode = management;
        bridge.CodeReceived(nullptr, 0);
        Receive("C0", -1);
        Receive("");
    }
    EXPECT_THAT(host.Log, IsEmpty());
    EXPECT_EQ(state.PendingCode, "");
    EXPECT_EQ(store.Writes, 0u);
}

TEST_F(BridgeTest, OptionsModeLearnsAndNeverRuns) {
    StoreRowCodes("EZ", 33);
    host.Selected = 3;
    Receive("C0");
    Receive("C0");
    EXPECT_THAT(host.Log, ElementsAre("select 0", "show 0 [C0]", "pause 200"));
    Receive("Fresh", 1);
    Receive("Fresh", 2);
    EXPECT_EQ(store.Value("EZ", "0"), "Fresh");
    EXPECT_EQ(host.Log.back(), "pause 200");
}

TEST_F(BridgeTest, MyTheatreRowsSendTheirCommands) {
    struct Case {
        int Row;
        int32_t Repeat;
        std::vector<std::string> Log;
    };
    const Case cases[] = {
        {0, 0, {ViewerRun(" /remote VolUp")}},
        {1, 7, {ViewerRun(" /remote VolDown")}},  // held volume buttons repeat
        {2, 1, {}},                               // other rows ignore repeats
        {15, 0, {ViewerRun(" /remote FullScreen")}},
        {31, 0, {ViewerRun("")}},
        {31, 1, {}},
        {32, 0, {ViewerRun(" /remote Power"), "timer 2000"}},
        {32, 3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.Row) + " repeat " + std::to_string(c.Repeat));
        TBridgeState caseState;
        caseState.ManagementMode = true;
        TFakeSettingsStore caseStore;
        TFakeHost caseHost{caseState};
        caseHost.Rows = host.Rows;
        caseStore.Values[{"EZ", std::to_string(c.Row)}] = "Code";
        TBridge caseBridge{caseState, caseStore, caseHost};
        std::vector<uint8_t> record = Record("Code");
        caseBridge.CodeReceived(record.data(), c.Repeat);
        EXPECT_EQ(caseHost.Log, c.Log);
        EXPECT_EQ(caseState.ShutdownPending, c.Row == 32 && c.Repeat == 0);
    }
}

TEST_F(BridgeTest, ShutdownIsPendingBeforeViewerRuns) {
    state.ManagementMode = true;
    StoreRowCodes("EZ", 33);
    Receive("C32");
    EXPECT_EQ(host.PendingAtRun, true);
    EXPECT_TRUE(state.ShutdownPending);
}

TEST_F(BridgeTest, OtherViewersSendSlashNameForEveryRow) {
    for (const char* prog : {"PR", "ez"}) {
        SCOPED_TRACE(prog);
        host.Log.clear();
        state = TBridgeState();
        state.CurrentProg = prog;
        state.ManagementMode = true;
        StoreRowCodes(prog, 48);
        host.Rows.assign(48, "");
        host.Rows[0] = "VolumeUp";
        host.Rows[31] = "Thirty one";
        host.Rows[32] = "Power";
        for (const char* code : {"C0", "C31", "C32", "C40"}) {
            Receive(code);
        }
        Receive("C1", 4);
        Receive("C31", 1);
        EXPECT_THAT(host.Log, ElementsAre(ViewerRun(" /VolumeUp"), ViewerRun(" /Thirty one"), ViewerRun(" /Power"),
                                          ViewerRun(" /"), ViewerRun(" /")));
        EXPECT_FALSE(state.ShutdownPending);
    }
}

TEST_F(BridgeTest, LookupIsExactCaseSensitiveAndFirstRowWins) {
    state.ManagementMode = true;
    store.Values[{"EZ", "3"}] = "Key";
    store.Values[{"EZ", "5"}] = "Key";
    for (const char* miss : {"key", "KEY", "Ke", "Key ", " Key", "Keys"}) {
        Receive(miss);
    }
    EXPECT_THAT(host.Log, IsEmpty());
    Receive("Key");
    EXPECT_THAT(host.Log, ElementsAre(ViewerRun(" /remote 1")));
}

TEST_F(BridgeTest, EmptyRowTextSendsBareRemote) {
    state.ManagementMode = true;
    host.Rows[4] = "";
    store.Values[{"EZ", "4"}] = "Blank";
    Receive("Blank");
    EXPECT_THAT(host.Log, ElementsAre(ViewerRun(" /remote ")));
}

TEST_F(BridgeTest, RunsWithPathOfTheMoment) {
    state.ManagementMode = true;
    store.Values[{"EZ", "0"}] = "Up";
    host.PathText = "D:\\other.exe";
    Receive("Up");
    EXPECT_THAT(host.Log, ElementsAre("run D:\\other.exe [ /remote VolUp]"));
}

TEST_F(BridgeTest, ViewersKeepSeparateCodes) {
    state.ManagementMode = true;
    store.Values[{"PR", "0"}] = "Up";
    Receive("Up");
    EXPECT_THAT(host.Log, IsEmpty());
    state.CurrentProg = kProgDvb;
    Receive("Up");
    EXPECT_THAT(host.Log, ElementsAre(ViewerRun(" /VolUp")));

    state.ManagementMode = false;
    host.Selected = 2;
    Receive("Down");
    Receive("Down");
    EXPECT_EQ(store.Value("PR", "2"), "Down");
    EXPECT_EQ(store.Value("EZ", "2"), std::nullopt);
}

TEST_F(BridgeTest, FirstCodeOfPairOnlyWaits) {
    host.Selected = 4;
    bridge.NewCode("X", 0);
    EXPECT_EQ(state.PendingCode, "X");
    EXPECT_THAT(host.Log, IsEmpty());
    EXPECT_EQ(store.Writes, 0u);
}

TEST_F(BridgeTest, PairStoresInSelectedRowShownRed) {
    host.Selected = 4;
    bridge.NewCode("X", 0);
    bridge.NewCode("X", 0);
    EXPECT_EQ(store.Value("EZ", "4"), "X");
    EXPECT_THAT(host.Log, ElementsAre("show 255 [X]", "pause 200"));
    EXPECT_EQ(state.PendingCode, "");
}

TEST_F(BridgeTest, BreakingCodeDoesNotStartNewPair) {
    host.Selected = 0;
    for (const char* code : {"A", "B", "B"}) {
        bridge.NewCode(code, 0);
    }
    EXPECT_EQ(store.Writes, 0u);
    EXPECT_EQ(state.PendingCode, "B");
    bridge.NewCode("B", 0);
    EXPECT_EQ(store.Value("EZ", "0"), "B");
}

TEST_F(BridgeTest, HeldButtonStoresOnEverySecondCode) {
    host.Selected = 1;
    for (int32_t repeat = 0; repeat < 6; ++repeat) {
        bridge.NewCode("Hold", repeat);
        EXPECT_EQ(store.Writes, static_cast<uint64_t>((repeat + 1) / 2)) << "repeat " << repeat;
    }
}

TEST_F(BridgeTest, LearningIgnoresLongHoldsAndMissingSelection) {
    bridge.NewCode("X", 0);
    EXPECT_EQ(state.PendingCode, "");
    host.Selected = 0;
    bridge.NewCode("X", kMaxLearnRepeat + 1);
    EXPECT_EQ(state.PendingCode, "");
    bridge.NewCode("X", kMaxLearnRepeat);
    EXPECT_EQ(state.PendingCode, "X");
    bridge.NewCode("Y", kMaxLearnRepeat + 1);  // ignored, so it does not break the pair
    bridge.NewCode("X", kMaxLearnRepeat);
    EXPECT_EQ(store.Value("EZ", "0"), "X");
}

TEST_F(BridgeTest, KnownCodeSelectsItsLastRowInsteadOfStoring) {
    struct Case {
        int Selected;
        std::vector<std::string> Log;
        std::optional<std::string> StoredInSelected;
    };
    const Case cases[] = {
        {4, {"select 7", "show 0 [K]", "pause 200"}, std::nullopt},
        {2, {"select 7", "show 0 [K]", "pause 200"}, "K"},  // the first holder moves to the last
        {7, {"show 255 [K]", "pause 200"}, "K"},            // already in the selected row: stored again
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("selected " + std::to_string(c.Selected));
        store.Values.clear();
        store.Values[{"EZ", "2"}] = "K";
        store.Values[{"EZ", "7"}] = "K";
        const uint64_t writes = store.Writes;
        host.Log.clear();
        host.Selected = c.Selected;
        bridge.NewCode("K", 0);
        bridge.NewCode("K", 0);
        EXPECT_EQ(host.Log, c.Log);
        EXPECT_EQ(store.Value("EZ", std::to_string(c.Selected)), c.StoredInSelected);
        EXPECT_EQ(store.Writes - writes, c.Selected == 7 ? 1u : 0u);
        EXPECT_EQ(state.PendingCode, "");
    }
}

TEST_F(BridgeTest, RefusedWriteKeepsDisplayAndPendingCode) {
    host.Selected = 4;
    store.RefuseWrites = true;
    bridge.NewCode("X", 0);
    EXPECT_THROW(bridge.NewCode("X", 0), std::runtime_error);
    EXPECT_THAT(host.Log, IsEmpty());
    EXPECT_EQ(state.PendingCode, "X");
    EXPECT_EQ(store.Value("EZ", "4"), std::nullopt);
}

TEST_F(BridgeTest, ListRemClickShowsStoredCodeOrNone) {
    store.Values[{"EZ", "1"}] = "One";
    store.Values[{"EZ", "2"}] = "";
    for (int row : {1, 2, 3, -1}) {
        host.Selected = row;
        bridge.ListRemClick();
    }
    EXPECT_THAT(host.Log,
                ElementsAre("show 0 [One]", "show 0 [None Code]", "show 0 [None Code]", "show 0 [None Code]"));
}

TEST_F(BridgeTest, DelCodeClickEmptiesSelectedKey) {
    store.Values[{"EZ", "1"}] = "One";
    host.Selected = 1;
    bridge.ListRemClick();
    bridge.DelCodeClick();
    bridge.ListRemClick();
    EXPECT_EQ(store.Value("EZ", "1"), "");
    EXPECT_THAT(host.Log, ElementsAre("show 0 [One]", "show 0 []", "show 0 [None Code]"));
}

TEST_F(BridgeTest, DelCodeClickWithoutSelectionOnlyClearsDisplay) {
    store.Values[{"EZ", "0"}] = "Zero";
    bridge.DelCodeClick();
    EXPECT_EQ(store.Writes, 0u);
    EXPECT_EQ(store.Value("EZ", "0"), "Zero");
    EXPECT_THAT(host.Log, ElementsAre("show 0 []"));
}

TEST_F(BridgeTest, StartupReadsViewerAndItsPath) {
    struct Case {
        std::optional<std::string> Prog;
        std::string Current;
        bool ProgDvb;
    };
    const Case cases[] = {{std::nullopt, "EZ", false}, {"EZ", "EZ", false}, {"PR", "PR", true}, {"ez", "ez", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Current);
        store.Values.clear();
        if (c.Prog) {
            store.Values[{"Main", "Prog"}] = *c.Prog;
        }
        store.Values[{"Main", "Path" + c.Current}] = "path of " + c.Current;
        EXPECT_EQ(bridge.ReadStartupSettings(), c.ProgDvb);
        EXPECT_EQ(state.CurrentProg, c.Current);
        EXPECT_EQ(host.PathText, "path of " + c.Current);
    }
}

TEST_F(BridgeTest, ChooseViewerStoresItAndFillsRowsAndPath) {
    store.Values[{"commandPR", "0"}] = "Play";
    store.Values[{"commandPR", "47"}] = "Last";
    store.Values[{"commandEZ", "32"}] = "Off";
    store.Values[{"Main", "PathPR"}] = "prog.exe";
    store.Values[{"Main", "PathEZ"}] = "mt.exe";

    bridge.ChooseViewer(true);
    EXPECT_EQ(store.Value("Main", "Prog"), "PR");
    EXPECT_EQ(state.CurrentProg, "PR");
    ASSERT_EQ(host.Rows.size(), 48u);
    EXPECT_EQ(host.Rows[0], "Play");
    EXPECT_EQ(host.Rows[1], "");
    EXPECT_EQ(host.Rows[47], "Last");
    EXPECT_EQ(host.PathText, "prog.exe");

    bridge.ChooseViewer(false);
    EXPECT_EQ(store.Value("Main", "Prog"), "EZ");
    EXPECT_EQ(state.CurrentProg, "EZ");
    ASSERT_EQ(host.Rows.size(), 33u);
    EXPECT_EQ(host.Rows[32], "Off");
    EXPECT_EQ(host.PathText, "mt.exe");
}

TEST_F(BridgeTest, ProgSetFollowsItsArgumentNotCurrentViewer) {
    store.Values[{"Main", "PathPR"}] = "prog.exe";
    bridge.ProgSet(true);
    EXPECT_EQ(host.Rows.size(), 48u);
    EXPECT_EQ(host.PathText, "prog.exe");
    EXPECT_EQ(store.Writes, 0u);
}

TEST_F(BridgeTest, RefusedViewerChoiceChangesNothing) {
    store.Values[{"Main", "PathPR"}] = "prog.exe";
    store.RefuseWrites = true;
    const std::vector<std::string> rows = host.Rows;
    EXPECT_THROW(bridge.ChooseViewer(true), std::runtime_error);
    EXPECT_EQ(state.CurrentProg, "EZ");
    EXPECT_EQ(host.Rows, rows);
    EXPECT_EQ(host.PathText, kViewerPath);
}

TEST_F(BridgeTest, PathChosenShowsThenStoresForCurrentViewer) {
    state.CurrentProg = kProgDvb;
    bridge.PathChosen("D:\\prog.exe");
    EXPECT_EQ(host.PathText, "D:\\prog.exe");
    EXPECT_EQ(store.Value("Main", "PathPR"), "D:\\prog.exe");
    EXPECT_EQ(store.Value("Main", "PathEZ"), std::nullopt);

    store.RefuseWrites = true;
    EXPECT_THROW(bridge.PathChosen("E:\\x.exe"), std::runtime_error);
    EXPECT_EQ(host.PathText, "E:\\x.exe");
    EXPECT_EQ(store.Value("Main", "PathPR"), "D:\\prog.exe");
}

TEST(ViewerCommands, BuiltInMyTheatreNames) {
    const auto& names = BuiltInMyTheatreCommands();
    ASSERT_EQ(names.size(), 33u);
    EXPECT_STREQ(names[0], "VolUp");
    EXPECT_STREQ(names[1], "VolDown");
    EXPECT_STREQ(names[15], "FullScreen");
    EXPECT_STREQ(names[31], "Start MyTheatre ");
    EXPECT_STREQ(names[32], "ShutDown Windows");
}

}  // namespace
}  // namespace zaprelay::bridge
