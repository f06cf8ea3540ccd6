// The real program fed codes as fast as the plug-in can send them, for a fixed count: in
// management mode every code starts the viewer once, in the order sent, and the program's
// windows, handles and memory stay flat after a warm-up; in options mode the file always holds
// what the screen shows; and with modes, viewers and the window's place alternating, both hold
// at once. The count is short in the test run; `make soak` runs it for ZAPRELAY_SOAK_CODES codes.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/input.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gmock/gmock.h>
#include <psapi.h>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::e2e {
namespace {

constexpr int kRows = 10;  // MyTheatre's rows "0" to "9" (2 to 11), one code each

int SoakCodes() {
    const char* count = std::getenv("ZAPRELAY_SOAK_CODES");
    return count != nullptr && std::atoi(count) > 0 ? std::atoi(count) : 200;
}

// The handles a process holds, from the system's handle table (Wine does not answer
// GetProcessHandleCount for another process).
DWORD HandleCount(DWORD processId) {
    struct TEntry {
        USHORT ProcessId;
        USHORT BackTrace;
        UCHAR Type;
        UCHAR Attributes;
        USHORT Handle;
        PVOID Object;
        ULONG Access;
    };
    using TQuery = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<TQuery>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    constexpr ULONG kSystemHandleInformation = 16;
    while (query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) ==
           static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const TEntry*>(buffer.data() + sizeof(PVOID));
    DWORD held = 0;
    for (ULONG i = 0; i < count && sizeof(PVOID) + (i + 1) * sizeof(TEntry) <= buffer.size(); ++i) {
        held += entries[i].ProcessId == processId ? 1 : 0;
    }
    return held;
}

struct TResources {
    std::size_t Windows = 0;
    DWORD Handles = 0;
    SIZE_T PrivateBytes = 0;
};

class SoakTest : public ZaprelayTest {
protected:
    // In options mode: the viewer button, and the file names the viewer.
    void ChooseViewer(HWND button, const std::string& key) {
        Click(button);
        ASSERT_TRUE(WaitFor([&] { return Setting("Main", "Prog") == key; }));
    }

    void WaitForSent(std::size_t total) {
        ASSERT_TRUE(WaitFor([&] { return SentCount() == total; }, 60000)) << SentCount() << " of " << total << " sent";
    }

    static std::string ResourceText(const TResources& warm, const TResources& end) {
        return "windows " + std::to_string(warm.Windows) + " -> " + std::to_string(end.Windows) + "; handles " +
               std::to_string(warm.Handles) + " -> " + std::to_string(end.Handles) + "; private " +
               std::to_string(warm.PrivateBytes / 1024) + " KB -> " + std::to_string(end.PrivateBytes / 1024) + " KB";
    }

    static void ExpectFlat(const TResources& warm, const TResources& end) {
        EXPECT_EQ(end.Windows, warm.Windows);
        EXPECT_LE(end.Handles, warm.Handles + 16) << "handles at warm-up: " << warm.Handles;
        EXPECT_LE(end.PrivateBytes, warm.PrivateBytes + 4 * 1024 * 1024)
            << "private bytes at warm-up: " << warm.PrivateBytes;
    }

    TResources Sample() const {
        TResources r;
        for (HWND window : TopLevelWindows(ProcessId(), nullptr, true)) {
            r.Windows += 1 + Descendants(window).size();
        }
        r.Handles = HandleCount(ProcessId());
        PROCESS_MEMORY_COUNTERS memory{};
        if (GetProcessMemoryInfo(Process(), &memory, sizeof memory)) {
            r.PrivateBytes = memory.PagefileUsage;  // the private commit (Wine leaves PrivateUsage 0)
        }
        return r;
    }

    // The viewers' command lines in the order the program started them.
    std::vector<std::string> ViewerCommandsInOrder() {
        NewViewerCommands();  // waits for every viewer to end
        return ViewerCommandsInStartOrder(test::ReadFile(FilePath("fakeviewer.log")));
    }
};

TEST_F(SoakTest, ManagementModeStartsTheViewerForEveryCodeOnceInOrderWithFlatResources) {
    const int codes = SoakCodes();
    std::vector<std::string> pairs;
    for (int row = 0; row < kRows; ++row) {
        pairs.push_back(std::to_string(row + 2) + "=D" + std::to_string(row));
    }
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) + IniSection("EZ", pairs));
    const int warmUp = codes / 5;
    std::string script = "wait go\n";
    std::vector<std::string> expected;
    for (int i = 0; i < codes; ++i) {
        const int row = (i * 7) % kRows;  // no two neighbours alike
        script += (i == warmUp ? "wait warm\nD" : "D") + std::to_string(row) + " 0 0\n";
        expected.push_back(" /remote " + std::to_string(row));
    }
    WriteScript(script);
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string settingsBefore = SettingsBytes();

    Signal("go");
    ASSERT_TRUE(WaitFor([&] { return PluginLog().find("# wait warm") != std::string::npos; },
                        static_cast<DWORD>(warmUp) * 1000 + 60000));
    NewViewerCommands();  // every viewer of the warm-up has ended
    const TResources warm = Sample();
    Signal("warm");
    ASSERT_TRUE(WaitFor([&] { return SentCount() == static_cast<std::size_t>(codes); },
                        static_cast<DWORD>(codes) * 1000 + 60000))
        << SentCount() << " of " << codes << " sent";
    const std::vector<std::string> commands = ViewerCommandsInOrder();
    const TResources end = Sample();

    EXPECT_EQ(commands.size(), expected.size()) << "codes lost or doubled";
    if (commands != expected) {
        // Where they part, and the logs kept beside the test program for a look.
        const auto parted = std::mismatch(commands.begin(), commands.end(), expected.begin(), expected.end());
        ADD_FAILURE() << "the viewers' commands part from the codes sent at " << (parted.first - commands.begin());
        CopyFileA(FilePath("fakeviewer.log").c_str(), (test::BinaryFolder() + "soak-fakeviewer.log").c_str(), FALSE);
        CopyFileA(FilePath("DCD.log").c_str(), (test::BinaryFolder() + "soak-dcd.log").c_str(), FALSE);
    }
    ExpectFlat(warm, end);
    EXPECT_EQ(SettingsBytes(), settingsBefore) << "management mode wrote the settings";
    std::printf("soak: %d codes; %s\n", codes, ResourceText(warm, end).c_str());
}

// Options mode at the plug-in's pace: one row learns a new code with each pair of presses, and
// is emptied by the delete button now and then. The file always reads back whole and holds
// what the code box shows; the other rows keep their codes.
TEST_F(SoakTest, OptionsModeRelearnsAndDeletesWithTheFileAlwaysMatchingTheScreen) {
    const int pairs = std::max(20, SoakCodes() / 10);
    constexpr int kDeleteEvery = 10;
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR="}) +
                  IniSection("EZ", {"3=KEEP3", "7=KEEP7"}));
    std::string script;
    for (int i = 0; i < pairs; ++i) {
        const std::string code = "L" + std::to_string(i);
        script +=
            (i % kDeleteEvery == 0 ? "wait d" + std::to_string(i) + "\n" : "") + code + " 0 0\n" + code + " 0 0\n";
    }
    WriteScript(script);
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ListGroup); }));
    ClickRow(m_ui.List, 5);
    ASSERT_TRUE(WaitFor([&] { return ListSelection(m_ui.List) == 5; }));
    for (int i = 0; i < pairs; i += kDeleteEvery) {
        if (i > 0) {
            // What the screen shows is what the file holds; then the delete button empties both.
            const std::string last = "L" + std::to_string(i - 1);
            ASSERT_TRUE(WaitFor([&] { return Setting("EZ", "5") == last; })) << Setting("EZ", "5") << "\n"
                                                                             << SettingsBytes() << "\n"
                                                                             << PluginLog();
            EXPECT_EQ(TextOf(m_ui.CodeBox), std::wstring(last.begin(), last.end()));
            Click(m_ui.DeleteCode);
            ASSERT_TRUE(WaitFor([&] { return Setting("EZ", "5") == "" || Setting("EZ", "5") == kMissing; }));
        }
        Signal("d" + std::to_string(i));
    }
    const std::string last = "L" + std::to_string(pairs - 1);
    EXPECT_TRUE(WaitFor([&] { return Setting("EZ", "5") == last; })) << Setting("EZ", "5");
    EXPECT_EQ(Setting("EZ", "3"), "KEEP3");
    EXPECT_EQ(Setting("EZ", "7"), "KEEP7");
    EXPECT_FALSE(test::ReadFile(SettingsPath() + ".new").size() > 0) << "a copy was left";
}

// Rounds of: a burst to MyTheatre with the window shown; in options mode ProgDvb chosen and a
// row of it relearned; a burst to ProgDvb from the tray; back to MyTheatre. Every code of every
// burst starts its viewer once, in order; the learned codes are in the file; the counts taken
// after the first round and at the end, in the same state, are flat.
TEST_F(SoakTest, AlternatingModesViewersAndTheTrayLoseNothingAndStayFlat) {
    const int rounds = std::max(3, SoakCodes() / 400);
    constexpr int kBurst = 20;
    constexpr int kLearnRow = 20;
    std::vector<std::string> myTheatre, progDvb;
    for (int row = 0; row < kRows; ++row) {
        myTheatre.push_back(std::to_string(row + 2) + "=D" + std::to_string(row));
        progDvb.push_back(std::to_string(row + 2) + "=P" + std::to_string(row));
    }
    // The MyTheatre names the file gives when the user switches back: the built-in list's first rows.
    std::vector<std::string> myTheatreNames = {"VolUp", "VolDown"};
    for (int row = 0; row < kRows; ++row) {
        myTheatreNames.push_back(std::to_string(row));
    }
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR=" + ViewerPath()}) +
                  CommandSection("commandEZ", myTheatreNames) +
                  CommandSection("commandPR", NumberedNames("Channel", 48)) + IniSection("EZ", myTheatre) +
                  IniSection("PR", progDvb));
    std::string script;
    std::vector<std::string> expected;
    for (int round = 0; round < rounds; ++round) {
        const std::string r = std::to_string(round);
        std::string toMyTheatre = "wait e" + r + "\n", toProgDvb = "wait p" + r + "\n";
        for (int i = 0; i < kBurst; ++i) {
            const std::string row = std::to_string((i * 7 + round) % kRows);
            toMyTheatre += "D" + row + " 0 0\n";
            toProgDvb += "P" + row + " 0 0\n";
            expected.push_back(" /remote " + row);
        }
        for (int i = 0; i < kBurst; ++i) {
            expected.push_back(" /Channel" + std::to_string((i * 7 + round) % kRows + 2));
        }
        script += toMyTheatre + "wait l" + r + "\nN" + r + " 0 0\nN" + r + " 0 0\n" + toProgDvb;
    }
    WriteScript(script);
    ASSERT_NO_FATAL_FAILURE(Start());

    std::size_t sent = 0;
    TResources warm;
    for (int round = 0; round < rounds; ++round) {
        const std::string r = std::to_string(round);
        Signal("e" + r);
        ASSERT_NO_FATAL_FAILURE(WaitForSent(sent += kBurst));

        ASSERT_NO_FATAL_FAILURE(ChooseMode(m_ui.Options));
        ASSERT_NO_FATAL_FAILURE(ChooseViewer(m_ui.ProgDvb, "PR"));
        ClickRow(m_ui.List, kLearnRow);
        ASSERT_TRUE(WaitFor([&] { return ListSelection(m_ui.List) == kLearnRow; }));
        Signal("l" + r);
        ASSERT_TRUE(WaitFor([&] { return Setting("PR", std::to_string(kLearnRow)) == "N" + r; }))
            << Setting("PR", std::to_string(kLearnRow));
        sent += 2;
        ASSERT_NO_FATAL_FAILURE(ChooseMode(m_ui.Management));

        const POINT tray = FindCaptionButtons().Tray;
        test::ClickAt(tray.x, tray.y);
        ASSERT_NO_FATAL_FAILURE(WaitForTray());
        Signal("p" + r);
        ASSERT_NO_FATAL_FAILURE(WaitForSent(sent += kBurst));
        ASSERT_NO_FATAL_FAILURE(ShowFromTray());

        ASSERT_NO_FATAL_FAILURE(ChooseMode(m_ui.Options));
        ASSERT_NO_FATAL_FAILURE(ChooseViewer(m_ui.MyTheatre, "EZ"));
        ASSERT_NO_FATAL_FAILURE(ChooseMode(m_ui.Management));
        if (round == 0) {
            NewViewerCommands();  // every viewer of the first round has ended
            warm = Sample();
        }
    }
    const std::vector<std::string> commands = ViewerCommandsInOrder();
    const TResources end = Sample();

    EXPECT_EQ(commands.size(), expected.size()) << "codes lost or doubled";
    const auto parted = std::mismatch(commands.begin(), commands.end(), expected.begin(), expected.end());
    EXPECT_TRUE(parted.first == commands.end() && parted.second == expected.end())
        << "the viewers' commands part from the codes sent at " << (parted.first - commands.begin()) << ": "
        << (parted.first != commands.end() ? *parted.first : "(end)") << " for "
        << (parted.second != expected.end() ? *parted.second : "(end)");
    EXPECT_EQ(Setting("EZ", "2"), "D0");
    EXPECT_EQ(Setting("PR", "11"), "P9");
    ExpectFlat(warm, end);
    std::printf("alternating soak: %d rounds, %zu codes; %s\n", rounds, sent, ResourceText(warm, end).c_str());
}

}  // namespace
}  // namespace zaprelay::e2e
