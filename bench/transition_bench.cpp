// The show animation's frames for a 520 x 670 window, one cell per pixel and one tile, for
// every effect (its mask and the composition, the percent moving as in a real run), beside a
// plain memcpy of the same picture measured in the same run. Ends with a table of frames per
// second and their ratio to memcpy's copies per second.
#include "bench/rate_reporter.h"
#include "skin/form/transition.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr int32_t kWidth = 520;
constexpr int32_t kHeight = 670;
constexpr std::size_t kBytes = std::size_t{kWidth} * kHeight * sizeof(TPixel);

// What the screen behind the window might hold: every colour.
void Noise(TVxBitmap& bitmap, uint32_t seed) {
    bitmap.SetSize(kWidth, kHeight);
    std::mt19937 random(seed);
    for (int32_t i = 0; i < kWidth * kHeight; ++i) {
        bitmap.Bits()[i] = random() | 0xFF000000;
    }
}

// The window: opaque gradient rows with its shape's corners cut out as key pixels.
void Window(TVxBitmap& bitmap) {
    bitmap.SetSize(kWidth, kHeight);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            int32_t cx = x < 12 ? 12 - x : x >= kWidth - 12 ? x - (kWidth - 13) : 0;
            int32_t cy = y < 12 ? 12 - y : y >= kHeight - 12 ? y - (kHeight - 13) : 0;
            bool cut = cx * cx + cy * cy > 144;
            *bitmap.PixelPtr(x, y) = cut ? TransparentColor
                                         : MakePixel(static_cast<int16_t>(40 + y * 50 / kHeight), 60,
                                                     static_cast<int16_t>(120 + x / 8), 255);
        }
    }
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<TPixel> from(kBytes / sizeof(TPixel), 0x12345678);
    std::vector<TPixel> to(kBytes / sizeof(TPixel));
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Memcpy);

void BM_Frame(benchmark::State& state) {
    TVxBitmap from;
    TVxBitmap to;
    Noise(from, 1);
    Window(to);
    TTransition transition(from, to, {static_cast<TkeEffect>(state.range(0))});
    int percent = 0;
    for (auto _ : state) {
        const TVxBitmap& frame = transition.Frame(percent);
        benchmark::DoNotOptimize(frame.Bits());
        benchmark::ClobberMemory();
        percent = (percent + 7) % 101;  // every percent, in an order no branch predictor learns
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Frame)
    ->Arg(keFade)
    ->Arg(keDiagonal)
    ->Arg(keDown)
    ->Arg(keIn)
    ->Arg(keOut)
    ->Arg(keRectIn)
    ->Arg(keRectOut)
    ->Arg(kePixel)
    ->Arg(kePixelLine)
    ->Arg(keDiamondIn)
    ->Arg(keDiamondOut)
    ->Arg(keSmoothDiagonal)
    ->Arg(keSmoothRectIn)
    ->Arg(keSmoothRectOut);

// Composition alone, every cell blending: the work per frame without the mask.
void BM_ComposeBlendOnly(benchmark::State& state) {
    TVxBitmap from;
    TVxBitmap to;
    TVxBitmap frame;
    Noise(from, 1);
    Window(to);
    TTransitionMask mask(kWidth + 1, kHeight + 1);
    GenerateMask(keFade, 50, mask);
    for (auto _ : state) {
        ComposeTransitionFrame(from, to, mask, {}, frame);
        benchmark::DoNotOptimize(frame.Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComposeBlendOnly);

void PrintTable(const bench::TRateReporter& rates) {
    const double copies = rates.Rate("BM_Memcpy");
    std::printf("\n%-28s %10s  %14s %7s\n", "frame 520x670 R=1 N=1", "frames/s", "memcpy/s", "ratio");
    auto line = [&](const std::string& name, const std::string& run) {
        double fps = rates.Rate(run);
        if (fps <= 0) {
            return;  // filtered out
        }
        if (copies <= 0) {
            std::printf("%-28s %10.1f  %14s\n", name.c_str(), fps, "-");
            return;
        }
        std::printf("%-28s %10.1f  %14.1f %7.3f\n", name.c_str(), fps, copies, fps / copies);
    };
    for (int effect = keFade; effect <= keSmoothRectOut; ++effect) {
        line(kEffectNames.Names[static_cast<std::size_t>(effect)], "BM_Frame/" + std::to_string(effect));
    }
    line("compose only, all blending", "BM_ComposeBlendOnly");
}

}  // namespace
}  // namespace zaprelay::skin

int main(int argc, char** argv) {
    return zaprelay::bench::RunAndTabulate(argc, argv, 1, zaprelay::skin::PrintTable);
}
