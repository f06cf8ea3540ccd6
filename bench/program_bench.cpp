// The whole program under Wine, measured from outside. zaprelay.exe (Plum embedded, the
// scripted plug-in beside it playing nothing) from process start until the shell holds its
// tray icon, beside a bare tray program (tray_baseline.exe) measured the same way, all of them
// interleaved round by round and reported by medians; then the program's private memory after
// start and after it has handled codes in management mode, beside the bare program's.
//
// The program runs twice over: as built, and with its debug sections stripped. Wine reads an
// image whose sections are not page-aligned in the file into private memory whole, so the
// debug sections of a build that has them count there, and are read at every start.
#include "bench/measure_table.h"
#include "bench/run_support.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/utility_window.h"
#include "plugins/scripted/code_script.h"
#include "tests/win32/test_support.h"
#include "tests/win32/tray_area.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <psapi.h>
#include <shellapi.h>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::bench {
namespace {

constexpr UINT kIconId = 1;  // the first icon either program adds
constexpr DWORD kPollMs = 2;
constexpr auto kStartDeadline = std::chrono::seconds(30);
constexpr DWORD kCloseDeadlineMs = 10000;
// After the icon: what the start left to timers and the plug-in's thread has run.
constexpr DWORD kSettleMs = 1000;
// Rows 0..23 of the MyTheatre list are ordinary commands (not the rows that start the viewer
// bare or power off).
constexpr int kLearnedRows = 24;
// The plug-in waits at a gate before each group of codes, so no more viewers than this run at once.
constexpr int kCodesPerGate = 10;
constexpr char kGate[] = "go";
constexpr double kMegabyte = 1024.0 * 1024.0;

BOOL CALLBACK CollectWindow(HWND window, LPARAM search) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->first) {
        found->second.push_back(window);
    }
    return TRUE;
}

// Hidden ones too: both programs keep their windows hidden.
std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> search{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// One program in a scratch folder of its own, with what it needs beside it.
class TProgramFolder {
public:
    // plugin: the DCD.dll to put beside the program; none for a program without one.
    TProgramFolder(std::string label, const std::string& exe, const wchar_t* mainClass, const std::string& plugin = "")
        : m_label(std::move(label)),
          m_file(exe.substr(exe.find_last_of('\\') + 1)),
          m_mainClass(mainClass),
          m_hasPlugin(!plugin.empty()) {
        Copy(exe, m_file);
        if (m_hasPlugin) {
            const std::string bin = test::BinaryFolder();
            Copy(plugin, "DCD.dll");
            Copy(bin + "fakeviewer.exe", "fakeviewer.exe");
        }
    }

    const std::string& Label() const { return m_label; }
    std::string Name() const { return m_file + " (" + m_label + ")"; }
    const std::string& Path() const { return m_scratch.Path(); }
    std::string Exe() const { return Path() + m_file; }
    const wchar_t* MainClass() const { return m_mainClass; }

    // The shipped settings, this plug-in script, no logs: each start begins the same.
    void Prepare(const std::string& script = "") const {
        if (!m_hasPlugin) {
            return;
        }
        Copy(test::BinaryFolder() + "Zaplink.ini", "Zaplink.ini");
        test::WriteFile(Path() + "DCD.script", script);
        for (const char* log : {"DCD.log", "fakeviewer.log"}) {
            DeleteFileA((Path() + log).c_str());
        }
    }

private:
    void Copy(const std::string& from, const std::string& to) const {
        if (!CopyFileA(from.c_str(), (Path() + to).c_str(), FALSE)) {
            throw std::runtime_error("cannot copy " + from);
        }
    }

    test::ScratchFolder m_scratch;
    std::string m_label;
    std::string m_file;
    const wchar_t* m_mainClass;
    bool m_hasPlugin;
};

// A program started in its folder; ended (by force if need be) when the object goes.
class TRun {
public:
    // withChildren: the processes it starts are counted too (they go into its job).
    explicit TRun(const TProgramFolder& folder, bool withChildren = false) : m_folder(folder) {
        const std::string exe = folder.Exe();
        std::string commandLine = "\"" + exe + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        m_start = Clock::now();
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                            &startup, &m_info)) {
            throw std::runtime_error("cannot start " + exe);
        }
        m_process.Reset(m_info.hProcess);
        m_thread.Reset(m_info.hThread);
        if (withChildren) {
            m_job.Reset(CreateJobObjectA(nullptr, nullptr));
            if (!m_job || !AssignProcessToJobObject(m_job.Get(), m_process.Get())) {
                throw std::runtime_error("cannot put " + Name() + " in a job");
            }
        }
    }
    ~TRun() {
        if (Running()) {
            TerminateProcess(m_process.Get(), 1);
            WaitForSingleObject(m_process.Get(), kCloseDeadlineMs);
        }
    }
    TRun(const TRun&) = delete;
    TRun& operator=(const TRun&) = delete;

    DWORD Id() const { return m_info.dwProcessId; }
    std::string Name() const { return m_folder.Name(); }
    bool Running() const { return WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }
    // Processes it started that have not ended yet; only for a run made withChildren.
    bool ChildrenRunning() const {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job{};
        if (!m_job ||
            !QueryInformationJobObject(m_job.Get(), JobObjectBasicAccountingInformation, &job, sizeof job, nullptr)) {
            throw std::runtime_error("cannot count the processes of " + Name());
        }
        return job.ActiveProcesses > 1;
    }

    // Milliseconds from just before the process was made until the shell held its icon.
    double WaitForIcon() const {
        for (;;) {
            for (HWND window : TopLevelWindowsOf(Id())) {
                if (test::ShellHasIcon(window, kIconId)) {
                    return Milliseconds(Clock::now() - m_start);
                }
            }
            if (!Running()) {
                throw std::runtime_error(Name() + " ended before its icon was added");
            }
            if (Clock::now() - m_start > kStartDeadline) {
                throw std::runtime_error(Name() + " added no tray icon in time");
            }
            Sleep(kPollMs);
        }
    }

    // The commit charge: PrivateUsage on Windows holds the same figure, but Wine fills only
    // this one for another process.
    double PrivateMegabytes() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (!GetProcessMemoryInfo(m_process.Get(), &counters, sizeof counters) || counters.PagefileUsage == 0) {
            throw std::runtime_error("no memory counters for " + Name());
        }
        return static_cast<double>(counters.PagefileUsage) / kMegabyte;
    }

    // The way a user ends it (its main window closed), so the icon leaves the shell with it.
    // False when it had to be ended by force.
    bool Close() {
        for (HWND window : TopLevelWindowsOf(Id())) {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wcscmp(name, m_folder.MainClass()) == 0) {
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
        }
        if (WaitForSingleObject(m_process.Get(), kCloseDeadlineMs) == WAIT_OBJECT_0) {
            return true;
        }
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), kCloseDeadlineMs);
        return false;
    }

private:
    const TProgramFolder& m_folder;
    PROCESS_INFORMATION m_info{};
    win32::TKernelHandle m_process;
    win32::TKernelHandle m_thread;
    win32::TKernelHandle m_job;
    Clock::time_point m_start;
};

// The desktop's notification area takes icons: the session's shell starts with the first
// program that asks, and an icon given before it is ready is lost (the program retries later).
bool ShellTakesIcons() {
    win32::TUtilityWindow probe([](TMessage& m) { m.Result = 0; }, true);
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = probe.Handle();
    data.uID = kIconId;
    return test::PumpUntil(
        [&] {
            if (Shell_NotifyIconW(NIM_ADD, &data) == FALSE) {
                return false;
            }
            const bool held = test::ShellHasIcon(data.hWnd, data.uID);
            Shell_NotifyIconW(NIM_DELETE, &data);
            return held;
        },
        30000);
}

int g_forcedEnds = 0;

void Close(TRun& run) {
    g_forcedEnds += run.Close() ? 0 : 1;
}

double StartToTray(const TProgramFolder& folder) {
    folder.Prepare();
    TRun run(folder);
    const double ms = run.WaitForIcon();
    Close(run);
    return ms;
}

double MemoryAfterStart(const TProgramFolder& folder) {
    folder.Prepare();
    TRun run(folder);
    run.WaitForIcon();
    Sleep(kSettleMs);
    const double megabytes = run.PrivateMegabytes();
    Close(run);
    return megabytes;
}

// The codes the plug-in has delivered: it notes each once the program's handler returned.
std::size_t CodesHandled(const std::string& pluginLog) {
    const std::string text = test::ReadFile(pluginLog);
    std::size_t count = 0;
    for (std::size_t at = text.find("# sent "); at != std::string::npos; at = text.find("# sent ", at + 1)) {
        ++count;
    }
    return count;
}

struct TCodesMemory {
    double afterStart = 0;
    double afterCodes = 0;
    double afterMoreCodes = 0;  // as many again: growth that goes on, not a first-use cache
    std::size_t handled = 0;
};

// Codes of learned rows, round and round, each handled in management mode by a viewer start.
TCodesMemory MemoryOverCodes(const TProgramFolder& folder, int codes) {
    std::string script;
    for (int i = 0; i < 2 * codes; ++i) {
        if (i % kCodesPerGate == 0) {
            script += std::string("wait ") + kGate + "\r\n";
        }
        script += CodeOf(i % kLearnedRows) + " 0 0\r\n";
    }
    folder.Prepare(script);
    const std::string settings = folder.Path() + "Zaplink.ini";
    WritePrivateProfileStringA("Main", "PathEZ", (folder.Path() + "fakeviewer.exe").c_str(), settings.c_str());
    for (int row = 0; row < kLearnedRows; ++row) {
        WritePrivateProfileStringA("EZ", std::to_string(row).c_str(), CodeOf(row).c_str(), settings.c_str());
    }

    TCodesMemory memory;
    TRun run(folder, true);
    run.WaitForIcon();
    Sleep(kSettleMs);
    memory.afterStart = run.PrivateMegabytes();

    const std::string gateName = scripted::GateEventName(run.Id(), kGate);
    win32::TKernelHandle gate;
    test::PumpUntil([&] {
        gate.Reset(OpenEventA(EVENT_MODIFY_STATE, FALSE, gateName.c_str()));
        return static_cast<bool>(gate);
    });
    if (!gate) {
        throw std::runtime_error("the plug-in opened no gate");
    }
    const std::string pluginLog = folder.Path() + "DCD.log";
    std::size_t sent = 0;
    for (double* reading : {&memory.afterCodes, &memory.afterMoreCodes}) {
        for (std::size_t target = sent + codes; sent < target;) {
            SetEvent(gate.Get());
            sent = std::min(sent + kCodesPerGate, target);
            const bool done =
                test::PumpUntil([&] { return CodesHandled(pluginLog) >= sent && !run.ChildrenRunning(); }, 60000);
            if (!done) {
                throw std::runtime_error("the program handled " + std::to_string(CodesHandled(pluginLog)) + " of " +
                                         std::to_string(sent) + " codes in time");
            }
        }
        Sleep(kSettleMs);
        *reading = run.PrivateMegabytes();
    }
    memory.handled = CodesHandled(pluginLog);
    Close(run);
    return memory;
}

void Run(int rounds, int codes) {
    if (!ShellTakesIcons()) {
        throw std::runtime_error("the desktop's notification area takes no icons");
    }
    const std::string bin = test::BinaryFolder();
    const TProgramFolder bare("bare tray program", bin + "tray_baseline.exe", L"ZaprelayTrayBaseline");
    const TProgramFolder built("as built", bin + "zaprelay.exe", L"TFRM", bin + "scripted\\DCD.dll");
    const TProgramFolder stripped("stripped", bin + "stripped\\zaprelay.exe", L"TFRM", bin + "stripped\\DCD.dll");
    std::vector<const TProgramFolder*> order = {&bare, &built, &stripped};
    // One untimed start of each first, so none pays for a cold file cache.
    for (const TProgramFolder* folder : order) {
        StartToTray(*folder);
    }
    std::map<const TProgramFolder*, std::vector<double>> starts;
    for (int round = 0; round < rounds; ++round) {
        // The order turns round by round: a start right after another may find the shell busier.
        std::rotate(order.begin(), order.begin() + 1, order.end());
        for (const TProgramFolder* folder : order) {
            starts[folder].push_back(StartToTray(*folder));
        }
    }
    const double bareMemory = MemoryAfterStart(bare);
    const double strippedMemory = MemoryAfterStart(stripped);
    const TCodesMemory memory = MemoryOverCodes(built, codes);

    std::printf("start to tray icon, ms by round (as built / stripped / bare):");
    for (int round = 0; round < rounds; ++round) {
        std::printf(" %.0f/%.0f/%.0f", starts[&built][round], starts[&stripped][round], starts[&bare][round]);
    }
    std::printf("\nrounds=%d, codes handled %zu of %d, programs ended by force %d\n", rounds, memory.handled, 2 * codes,
                g_forcedEnds);

    const double bareStart = Median(starts[&bare]);
    const std::string bareStartText = bare.Label() + Figure(" %.1f ms", bareStart);
    const std::string bareMemoryText = bare.Label() + Figure(" %.2f MB", bareMemory);
    PrintMeasureHeader();
    for (const TProgramFolder* folder : {&built, &stripped}) {
        const double start = Median(starts[folder]);
        PrintMeasure("start to tray icon, " + folder->Label(), Figure("%.1f ms", start), bareStartText,
                     start / bareStart, "<= 1.50x", start <= 1.5 * bareStart);
    }
    for (const auto& [folder, megabytes] :
         {std::pair{&built, memory.afterStart}, std::pair{&stripped, strippedMemory}}) {
        PrintMeasure("private memory after start, " + folder->Label(), Figure("%.2f MB", megabytes), bareMemoryText,
                     megabytes / bareMemory, "<= 10 MB", megabytes <= 10);
    }
    const std::string count = std::to_string(codes);
    PrintMeasure("after " + count + " codes, " + built.Label(), Figure("%.2f MB", memory.afterCodes),
                 "after start" + Figure(" %.2f MB", memory.afterStart), memory.afterCodes / memory.afterStart,
                 "<= 10 MB", memory.afterCodes <= 10);
    const double growthKb = (memory.afterCodes - memory.afterStart) * 1024;
    const double moreGrowthKb = (memory.afterMoreCodes - memory.afterCodes) * 1024;
    PrintMeasure("growth over " + count + " codes", Figure("%+.0f KB", growthKb), "-", 0, "none", growthKb <= 0);
    PrintMeasure("growth over the next " + count + " codes", Figure("%+.0f KB", moreGrowthKb), "-", 0, "none",
                 moreGrowthKb <= 0);
}

}  // namespace
}  // namespace zaprelay::bench

int main(int argc, char** argv) {
    int rounds = 15;
    int codes = 1000;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
            rounds = std::max(1, std::atoi(argv[i] + 9));
        } else if (std::strncmp(argv[i], "--codes=", 8) == 0) {
            codes = std::max(1, std::atoi(argv[i] + 8));
        }
    }
    try {
        // The stand-ins must use the files beside them, in the scratch folders.
        for (const char* name : {"ZAPRELAY_DCD_SCRIPT", "ZAPRELAY_DCD_LOG", "ZAPRELAY_VIEWER_LOG"}) {
            SetEnvironmentVariableA(name, nullptr);
        }
        zaprelay::bench::Run(rounds, codes);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "program_bench: %s\n", e.what());
        return 1;
    }
}
