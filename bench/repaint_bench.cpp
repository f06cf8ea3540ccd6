// A full repaint of the main window as the shipped program shows it: made from the skinned
// layout (Plum bound), restored from the tray, then frame, client and every control invalidated
// and painted at once; beside a memcpy of the window's pixels measured in the same run.
#include "app/main.h"
#include "bench/measure_table.h"
#include "bench/rate_reporter.h"
#include "framework/rtl/ansi_text.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "skin/form/window_skin_announcer.h"
#include "skin/form/window_skin_host.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_source.h"
#include "tests/win32/test_support.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace zaprelay::bench {
namespace {

using app::FRM;

HWND g_window = nullptr;
int g_width = 0;
int g_height = 0;

std::size_t WindowBytes() {
    return static_cast<std::size_t>(g_width) * g_height * 4;
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint32_t> from(WindowBytes() / 4, 0x12345678);
    std::vector<uint32_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), WindowBytes());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Memcpy);

void BM_FullRepaint(benchmark::State& state) {
    for (auto _ : state) {
        RedrawWindow(g_window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        // Drawing batched by GDI counts too.
        GdiFlush();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FullRepaint);

void PrintTable(const TRateReporter& rates) {
    const double repaints = rates.Rate("BM_FullRepaint");
    const double copies = rates.Rate("BM_Memcpy");
    if (repaints <= 0 || copies <= 0) {
        return;  // filtered out
    }
    const double ratio = copies / repaints;
    PrintMeasureHeader();
    PrintMeasure("full repaint " + std::to_string(g_width) + "x" + std::to_string(g_height) + ", restored",
                 Figure("%.3f ms", 1000 / repaints), "memcpy of its pixels " + Figure("%.3f ms", 1000 / copies), ratio,
                 "<= 10x", ratio <= 10);
}

// The main window out of the tray, shown and settled: what a double click on the icon leaves.
void ShowRestored() {
    skin::TVxSkinForm& frame = *FRM->VxSkinForm1;
    if (!frame.Skinned()) {
        throw std::runtime_error("the main window carries no skin (was the skinned layout embedded?)");
    }
    // As the application's run loop does first; the frame then takes the window to the tray.
    FRM->Show();
    g_window = FRM->Handle();
    auto processMessages = [] { win32::Application()->ProcessMessages(); };
    // The start-up state is applied by a posted message, and the icon waits for the shell.
    if (!test::PumpUntil([&] { return frame.TrayIcon().Shown() && !IsWindowVisible(g_window); }, 30000,
                         processMessages)) {
        throw std::runtime_error("the main window did not go to the tray");
    }
    frame.Restore();
    if (!test::PumpUntil(
            [&] { return frame.WindowState() == skin::kwsNormal && IsWindowVisible(g_window) && !IsIconic(g_window); },
            10000, processMessages)) {
        throw std::runtime_error("the main window did not come back from the tray");
    }
    // Deferred frame refreshes and the show's own painting are posted: let them run first.
    test::PumpUntil([] { return false; }, 500, processMessages);
    RECT bounds{};
    GetWindowRect(g_window, &bounds);
    g_width = bounds.right - bounds.left;
    g_height = bounds.bottom - bounds.top;
}

}  // namespace
}  // namespace zaprelay::bench

int main(int argc, char** argv) {
    using namespace zaprelay;
    using namespace zaprelay::app;
    try {
        // Set up as the program's entry does, the plug-in left out: no code arrives here.
        TProgramSetup setup;
        win32::TApplication application;
        // No settings file beside it: the settings start as their defaults.
        test::ScratchFolder folder;
        ProgramFolder = folder.Path();
        skin::SetProgramFolder(win32::ExecutableFolder());
        application.CreateForm<TFRM>();
        bench::ShowRestored();
        const int status = bench::RunAndTabulate(argc, argv, 1, bench::PrintTable);
        FRM->Free();
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "repaint_bench: %s\n", e.what());
        return 1;
    }
}
