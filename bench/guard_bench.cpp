// What the guard adds to each code: a receiver that stamps every code with the performance
// counter (stamp/DCD.dll) runs in this process, as the program runs a receiver, and then behind
// the guard, which runs it in its host process and passes the codes up a pipe. A hidden window
// of ours takes the codes either way and notes how long each took from its stamp. The two run
// in alternating rounds and are reported by the median and the 99th percentile of all codes.
#include "bench/measure_table.h"
#include "bench/run_support.h"
#include "framework/win32/platform.h"
#include "plugins/include/dcd_exports.h"
#include "plugins/include/dcd_plugin.h"
#include "tests/win32/test_support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zaprelay::bench {
namespace {

constexpr wchar_t kWindowClass[] = L"ZaprelayGuardBenchTarget";
constexpr int kWarmUpCodes = 50;
// A round may take this long beyond its codes' pace: the guard starts a process first.
constexpr DWORD kRoundSlackMs = 30000;
constexpr DWORD kMsPerCodeAllowed = 10;

// The codes of the round under way, as the window takes them (on this, the only, thread).
struct TArrivals {
    std::vector<double> Micros;
    std::size_t Codes = 0;  // every code message, readable or not
    std::size_t Unreadable = 0;
};

TArrivals* g_arrivals = nullptr;
double g_ticksPerMicro = 1;

// The stamp in a record's text: a letter, then the counter in decimal.
std::optional<int64_t> StampOf(const uint8_t* record) {
    const char* text = reinterpret_cast<const char*>(record + dcd::kCodeTextOffset);
    const std::string_view code(text, std::find(text, text + dcd::kCodeTextSize, '\0') - text);
    if (code.size() < 2) {
        return std::nullopt;
    }
    int64_t stamp = 0;
    const char* end = code.data() + code.size();
    const auto [stop, error] = std::from_chars(code.data() + 1, end, stamp);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return stamp;
}

LRESULT CALLBACK TargetProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != dcd::kCodeReceived) {
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (g_arrivals == nullptr || wParam == 0) {
        return 0;
    }
    ++g_arrivals->Codes;
    const std::optional<int64_t> stamp = StampOf(reinterpret_cast<const uint8_t*>(wParam));
    if (!stamp || g_arrivals->Micros.size() == g_arrivals->Micros.capacity()) {
        // Reserved for every code expected: nothing may throw here.
        g_arrivals->Unreadable += stamp ? 0 : 1;
        return 0;
    }
    g_arrivals->Micros.push_back(static_cast<double>(now.QuadPart - *stamp) / g_ticksPerMicro);
    return 0;
}

// A hidden top-level window, as the program's main window is while it sits in the tray.
class TTargetWindow {
public:
    TTargetWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &TargetProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, kWindowClass, L"guard_bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
        if (m_window == nullptr) {
            throw std::runtime_error("cannot make the window that takes the codes");
        }
    }
    ~TTargetWindow() { DestroyWindow(m_window); }
    TTargetWindow(const TTargetWindow&) = delete;
    TTargetWindow& operator=(const TTargetWindow&) = delete;

    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

// A DCD.dll loaded, opened on the window and started, as the program does; stopped, closed and
// unloaded when the object goes.
class TRunningPlugin {
public:
    TRunningPlugin(const std::string& path, HWND window) {
        m_library = LoadLibraryA(path.c_str());
        if (m_library == nullptr) {
            throw std::runtime_error("cannot load " + path + " (error " + std::to_string(GetLastError()) + ")");
        }
        if (!m_entries.Resolve(m_library)) {
            FreeLibrary(m_library);
            throw std::runtime_error(path + " lacks a receiver's exports");
        }
        m_entries.Open(0, static_cast<int32_t>(reinterpret_cast<uintptr_t>(window)), 0);
        m_entries.Start();
    }
    ~TRunningPlugin() {
        m_entries.Stop();
        m_entries.Close();
        FreeLibrary(m_library);
    }
    TRunningPlugin(const TRunningPlugin&) = delete;
    TRunningPlugin& operator=(const TRunningPlugin&) = delete;

private:
    HMODULE m_library = nullptr;
    dcd::TPluginEntries m_entries;
};

// The guard with the stamp receiver behind it, in a scratch folder as it would be installed.
class TGuardFolder {
public:
    explicit TGuardFolder(const std::string& bin) {
        Copy(bin + "guard\\DCD.dll", "DCD.dll");
        Copy(bin + "guard\\zaprelay-receiver.exe", "zaprelay-receiver.exe");
        CreateDirectoryA((m_scratch.Path() + "receiver").c_str(), nullptr);
        Copy(bin + "stamp\\DCD.dll", "receiver\\DCD.dll");
        test::WriteFile(m_scratch.Path() + "guard.ini", "[Guard]\r\nReceiver=receiver\\DCD.dll\r\n");
    }
    // The scratch folder removes its own files only.
    ~TGuardFolder() {
        DeleteFileA((m_scratch.Path() + "receiver\\DCD.dll").c_str());
        RemoveDirectoryA((m_scratch.Path() + "receiver").c_str());
    }
    TGuardFolder(const TGuardFolder&) = delete;
    TGuardFolder& operator=(const TGuardFolder&) = delete;

    std::string Guard() const { return m_scratch.Path() + "DCD.dll"; }

private:
    void Copy(const std::string& from, const std::string& to) const {
        if (!CopyFileA(from.c_str(), (m_scratch.Path() + to).c_str(), FALSE)) {
            throw std::runtime_error("cannot copy " + from);
        }
    }

    test::ScratchFolder m_scratch;
};

struct TMode {
    TMode(std::string label, std::string plugin) : Label(std::move(label)), Plugin(std::move(plugin)) {}

    std::string Label;
    std::string Plugin;
    std::vector<double> Micros;  // every code of every timed round
    std::vector<double> RoundMedians;
    std::size_t Expected = 0;
    std::size_t Received = 0;
    std::size_t Unreadable = 0;
};

TArrivals RunRound(const std::string& plugin, HWND window, int codes) {
    // Read by the receiver at Start, in this process or in the guard's host, which inherits it.
    SetEnvironmentVariableA("ZAPRELAY_STAMP_CODES", std::to_string(codes).c_str());
    TArrivals arrivals;
    arrivals.Micros.reserve(static_cast<std::size_t>(codes));
    g_arrivals = &arrivals;
    {
        TRunningPlugin running(plugin, window);
        test::PumpUntil([&] { return arrivals.Codes >= static_cast<std::size_t>(codes); },
                        kRoundSlackMs + static_cast<DWORD>(codes) * kMsPerCodeAllowed);
    }
    g_arrivals = nullptr;
    return arrivals;
}

void Timed(TMode& mode, HWND window, int codes) {
    TArrivals arrivals = RunRound(mode.Plugin, window, codes);
    mode.Expected += static_cast<std::size_t>(codes);
    mode.Received += arrivals.Codes;
    mode.Unreadable += arrivals.Unreadable;
    mode.RoundMedians.push_back(Median(arrivals.Micros));
    mode.Micros.insert(mode.Micros.end(), arrivals.Micros.begin(), arrivals.Micros.end());
}

// The value that fraction of them do not exceed (nearest rank).
double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

bool AllArrived(const TMode& mode) {
    return mode.Received == mode.Expected && mode.Unreadable == 0 && mode.Micros.size() == mode.Expected;
}

int Run(int rounds, int codes) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMicro = static_cast<double>(frequency.QuadPart) / 1e6;
    // The guard must read the guard.ini beside its copy.
    SetEnvironmentVariableA("ZAPRELAY_GUARD_SETTINGS", nullptr);

    const std::string bin = test::BinaryFolder();
    const TGuardFolder guardFolder(bin);
    const TTargetWindow window;
    TMode inProcess{"in-process", bin + "stamp\\DCD.dll"};
    TMode guarded{"guarded", guardFolder.Guard()};

    // One untimed round of each first, so neither pays for cold files and first calls.
    for (const TMode* mode : {&inProcess, &guarded}) {
        RunRound(mode->Plugin, window.Handle(), kWarmUpCodes);
    }
    for (int round = 0; round < rounds; ++round) {
        // The order turns round by round, so neither always runs right after a host has ended.
        TMode& first = round % 2 == 0 ? inProcess : guarded;
        TMode& second = round % 2 == 0 ? guarded : inProcess;
        Timed(first, window.Handle(), codes);
        Timed(second, window.Handle(), codes);
    }

    std::printf("latency median by round, us (in-process / guarded):");
    for (int round = 0; round < rounds; ++round) {
        std::printf(" %.1f/%.1f", inProcess.RoundMedians[round], guarded.RoundMedians[round]);
    }
    std::printf("\nrounds=%d, codes received: in-process %zu of %zu, guarded %zu of %zu\n", rounds, inProcess.Received,
                inProcess.Expected, guarded.Received, guarded.Expected);
    for (const TMode* mode : {&inProcess, &guarded}) {
        if (!AllArrived(*mode)) {
            std::printf("NOT ALL CODES ARRIVED %s: %zu of %zu received, %zu unreadable\n", mode->Label.c_str(),
                        mode->Received, mode->Expected, mode->Unreadable);
        }
    }

    // The tails differ in kind: in-process the receiver waits for each delivery, so a stall
    // delays one code; behind the guard the host goes on taking codes meanwhile, and every code
    // queued in the pipe arrives late by what is left of the stall.
    const double baseMedian = Median(inProcess.Micros);
    const double baseP99 = Percentile(inProcess.Micros, 0.99);
    const double median = Median(guarded.Micros);
    const double p99 = Percentile(guarded.Micros, 0.99);
    auto ratio = [](double value, double base) { return base > 0 ? value / base : 0; };
    PrintMeasureHeader();
    PrintMeasure("code latency through the guard, median", Figure("%.1f us", median),
                 "in-process" + Figure(" %.1f us", baseMedian), ratio(median, baseMedian), "", true);
    PrintMeasure("code latency through the guard, p99", Figure("%.1f us", p99),
                 "in-process" + Figure(" %.1f us", baseP99), ratio(p99, baseP99), "", true);
    PrintMeasure("added by the guard, median", Figure("%+.1f us", median - baseMedian), "-", 0, "< 1 ms",
                 median - baseMedian < 1000);
    PrintMeasure("added by the guard, p99", Figure("%+.1f us", p99 - baseP99), "-", 0, "", true);
    const bool allArrived = AllArrived(inProcess) && AllArrived(guarded);
    PrintMeasure("codes received through the guard", std::to_string(guarded.Received),
                 "in-process " + std::to_string(inProcess.Received), 0, "all " + std::to_string(guarded.Expected),
                 allArrived);
    return 0;
}

}  // namespace
}  // namespace zaprelay::bench

int main(int argc, char** argv) {
    int rounds = 3;
    int codes = 700;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
            rounds = std::clamp(std::atoi(argv[i] + 9), 1, 1000);
        } else if (std::strncmp(argv[i], "--codes=", 8) == 0) {
            codes = std::clamp(std::atoi(argv[i] + 8), 1, 100000);
        }
    }
    try {
        return zaprelay::bench::Run(rounds, codes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "guard_bench: %s\n", e.what());
        return 1;
    }
}
