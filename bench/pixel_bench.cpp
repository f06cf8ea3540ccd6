// The pixel kernels beside the baselines they are judged by, measured in the same run:
// memcpy of the same bytes, and pixman's OVER for the blending kernels. Ends with a table of
// ratios against the targets. Where pixman is missing (the Windows build), pass its figure
// from a native run: --pixman_mpix=<megapixels per second>.
#include "bench/rate_reporter.h"
#include "framework/graphics/pixel_kernels.h"
#include "framework/graphics/region.h"
#include "framework/graphics/vx_bitmap.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#if ZR_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace zaprelay {
namespace {

constexpr int32_t kWidth = 520;
constexpr int32_t kHeight = 670;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

class TBuffer {
public:
    TBuffer(int32_t width, int32_t height) : m_width(width), m_height(height), m_pixels(std::size_t(width) * height) {}
    TPixelSurface Surface() { return {m_pixels.data(), m_width, m_height}; }
    TRect Bounds() const { return {0, 0, m_width, m_height}; }
    std::vector<TPixel>& Pixels() { return m_pixels; }
    int64_t Count() const { return int64_t{m_width} * m_height; }

private:
    int32_t m_width;
    int32_t m_height;
    std::vector<TPixel> m_pixels;
};

// Every colour and every alpha: no kernel gets a shortcut from the data.
TBuffer Noise(int32_t width, int32_t height, uint32_t seed) {
    TBuffer buffer(width, height);
    std::mt19937 random(seed);
    for (TPixel& p : buffer.Pixels()) {
        p = random();
    }
    return buffer;
}

// Like a skin piece: opaque rows of a vertical gradient, a darker frame, and blocks of key
// pixels where the window's shape is cut out.
TBuffer Skin(int32_t width, int32_t height) {
    TBuffer buffer(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            TPixel p = MakePixel(static_cast<int16_t>(40 + y * 50 / height), static_cast<int16_t>(60 + y * 50 / height),
                                 static_cast<int16_t>(120 + y * 80 / height), 255);
            if (x < 3 || y < 3 || x >= width - 3 || y >= height - 3) {
                p = 0xFF202838;
            }
            if (((x / 8) * 7 + (y / 8) * 3) % 5 == 0) {
                p = TransparentColor;
            }
            buffer.Pixels()[std::size_t(y) * width + x] = p;
        }
    }
    return buffer;
}

void Done(benchmark::State& state, int64_t pixels) {
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * pixels * int64_t{sizeof(TPixel)});
}

void BM_Memcpy(benchmark::State& state) {
    int64_t pixels = state.range(0);
    std::vector<TPixel> from(std::size_t(pixels), 0x12345678);
    std::vector<TPixel> to(static_cast<std::size_t>(pixels));
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), std::size_t(pixels) * sizeof(TPixel));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    Done(state, pixels);
}
BENCHMARK(BM_Memcpy)->Arg(kPixels)->Arg(520 * 29);

void Stretch(benchmark::State& state, TBuffer src, TBuffer dst, TStretchMode mode) {
    for (auto _ : state) {
        StretchPixels(dst.Surface(), dst.Bounds(), src.Surface(), src.Bounds(), mode);
        benchmark::DoNotOptimize(dst.Pixels().data());
        benchmark::ClobberMemory();
    }
    Done(state, dst.Count());
}

void BM_Copy(benchmark::State& state) {
    Stretch(state, Noise(kWidth, kHeight, 1), Noise(kWidth, kHeight, 2), smCopy);
}
BENCHMARK(BM_Copy);

void BM_KeyedCopy(benchmark::State& state) {
    Stretch(state, Skin(kWidth, kHeight), Noise(kWidth, kHeight, 2), smKeyed);
}
BENCHMARK(BM_KeyedCopy);

void BM_Stretch(benchmark::State& state) {
    Stretch(state, Noise(47, 29, 3), Noise(520, 29, 4), smCopy);
}
BENCHMARK(BM_Stretch);

void BM_StretchKeyed(benchmark::State& state) {
    Stretch(state, Skin(47, 29), Noise(520, 29, 4), smKeyed);
}
BENCHMARK(BM_StretchKeyed);

void BM_Tile(benchmark::State& state) {
    TBuffer src = Noise(10, 10, 5);
    TBuffer dst = Noise(kWidth, kHeight, 6);
    TRect area = dst.Bounds();
    for (auto _ : state) {
        TilePixels(dst.Surface(), area, src.Surface(), Bounds(0, 0, 10, 10), smCopy);
        benchmark::DoNotOptimize(dst.Pixels().data());
        benchmark::ClobberMemory();
    }
    Done(state, dst.Count());
}
BENCHMARK(BM_Tile);

void BM_DrawToBlend(benchmark::State& state) {
    Stretch(state, Noise(kWidth, kHeight, 7), Noise(kWidth, kHeight, 8), smBlend);
}
BENCHMARK(BM_DrawToBlend);

void BM_MergeUnder(benchmark::State& state) {
    TBuffer src = Noise(kWidth, kHeight, 9);
    TBuffer fresh = Noise(kWidth, kHeight, 10);
    TBuffer dst = fresh;
    for (auto _ : state) {
        // Merging drives the target towards opaque, which would let later rounds skip work.
        state.PauseTiming();
        dst = fresh;
        state.ResumeTiming();
        MergeUnderPixels(dst.Surface(), 0, 0, src.Surface(), src.Bounds());
        benchmark::DoNotOptimize(dst.Pixels().data());
        benchmark::ClobberMemory();
    }
    Done(state, dst.Count());
}
BENCHMARK(BM_MergeUnder);

void BM_BlendFill(benchmark::State& state) {
    TBuffer dst = Noise(kWidth, kHeight, 11);
    for (auto _ : state) {
        BlendFillPixels(dst.Surface(), dst.Bounds(), 0x80336699);
        benchmark::DoNotOptimize(dst.Pixels().data());
        benchmark::ClobberMemory();
    }
    Done(state, dst.Count());
}
BENCHMARK(BM_BlendFill);

// Like a photograph: smooth gradients with grain, opaque, next to no colour repeated, so a
// cache of results per colour never hits.
TBuffer Photo(int32_t width, int32_t height, uint32_t seed) {
    TBuffer buffer(width, height);
    std::mt19937 random(seed);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t grain = random();
            auto channel = [&](int32_t base, int shift) {
                return static_cast<int16_t>(base + static_cast<int32_t>((grain >> shift) & 0x1F) - 16);
            };
            buffer.Pixels()[std::size_t(y) * width + x] =
                MakePixel(channel(20 + x * 215 / width, 0), channel(20 + y * 215 / height, 5),
                          channel(235 - (x + y) * 215 / (width + height), 10), 255);
        }
    }
    return buffer;
}

// How ChangeHuePixels runs: as shipped, on the scalar reference, with four pixels a step
// (SSE4.1), or at the SSE2 level, whose only way is the cache of results per colour.
enum class THuePath { Fast, Reference, Sse41, Cached };

TKernelLevel HueLevel(THuePath path) {
    switch (path) {
        case THuePath::Sse41:
            return TKernelLevel::Sse41;
        case THuePath::Cached:
            return TKernelLevel::Sse2;
        case THuePath::Fast:
        case THuePath::Reference:
            break;
    }
    return ProcessorKernelLevel();
}

void ChangeHue(benchmark::State& state, const TBuffer& fresh, THuePath path = THuePath::Fast) {
    LimitKernelLevel(HueLevel(path));
    if (KernelLevel() != HueLevel(path)) {
        LimitKernelLevel(ProcessorKernelLevel());
        state.SkipWithError("the processor lacks this level");
        return;
    }
    ForceReferenceKernels(path == THuePath::Reference);
    TBuffer dst = fresh;
    for (auto _ : state) {
        state.PauseTiming();
        dst = fresh;
        state.ResumeTiming();
        ChangeHuePixels(dst.Surface(), 40);
        benchmark::DoNotOptimize(dst.Pixels().data());
        benchmark::ClobberMemory();
    }
    ForceReferenceKernels(false);
    LimitKernelLevel(ProcessorKernelLevel());
    Done(state, dst.Count());
}

void BM_ChangeHueSkin(benchmark::State& state) {
    ChangeHue(state, Skin(kWidth, kHeight));
}
BENCHMARK(BM_ChangeHueSkin);

void BM_ChangeHueSkinCached(benchmark::State& state) {
    ChangeHue(state, Skin(kWidth, kHeight), THuePath::Cached);
}
BENCHMARK(BM_ChangeHueSkinCached);

void BM_ChangeHueSkinReference(benchmark::State& state) {
    ChangeHue(state, Skin(kWidth, kHeight), THuePath::Reference);
}
BENCHMARK(BM_ChangeHueSkinReference);

void BM_ChangeHuePhoto(benchmark::State& state) {
    ChangeHue(state, Photo(kWidth, kHeight, 13));
}
BENCHMARK(BM_ChangeHuePhoto);

void BM_ChangeHuePhotoSse41(benchmark::State& state) {
    ChangeHue(state, Photo(kWidth, kHeight, 13), THuePath::Sse41);
}
BENCHMARK(BM_ChangeHuePhotoSse41);

void BM_ChangeHuePhotoCached(benchmark::State& state) {
    ChangeHue(state, Photo(kWidth, kHeight, 13), THuePath::Cached);
}
BENCHMARK(BM_ChangeHuePhotoCached);

void BM_ChangeHuePhotoReference(benchmark::State& state) {
    ChangeHue(state, Photo(kWidth, kHeight, 13), THuePath::Reference);
}
BENCHMARK(BM_ChangeHuePhotoReference);

void BM_ChangeHueNoise(benchmark::State& state) {
    ChangeHue(state, Noise(kWidth, kHeight, 12));
}
BENCHMARK(BM_ChangeHueNoise);

// A window shape: key pixels in rounded corners and a ragged edge, as skins have them.
void BM_BitmapToRegion(benchmark::State& state) {
    TVxBitmap shape;
    shape.SetSize(kWidth, kHeight);
    shape.Fill(0xFF405060);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            int32_t cx = x < 12 ? 12 - x : x >= kWidth - 12 ? x - (kWidth - 13) : 0;
            int32_t cy = y < 12 ? 12 - y : y >= kHeight - 12 ? y - (kHeight - 13) : 0;
            if (cx * cx + cy * cy > 144 || (x + y * 7) % 97 == 0) {
                *shape.PixelPtr(x, y) = TransparentColor;
            }
        }
    }
    for (auto _ : state) {
        TRegion region = BitmapToRegion(shape, 0, 0);
        benchmark::DoNotOptimize(region.Rects().data());
    }
    Done(state, kPixels);
}
BENCHMARK(BM_BitmapToRegion);

#if ZR_HAVE_PIXMAN
// pixman's OVER on the same straight-alpha data taken as it is: the work per pixel does not
// depend on what the values mean.
void BM_PixmanOver(benchmark::State& state) {
    TBuffer src = Noise(kWidth, kHeight, 7);
    TBuffer dst = Noise(kWidth, kHeight, 8);
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, src.Pixels().data(), kWidth * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dst.Pixels().data(), kWidth * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(dst.Pixels().data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
    Done(state, kPixels);
}
BENCHMARK(BM_PixmanOver);
#endif

struct TTarget {
    const char* kernel;
    const char* run;
    const char* baseline;  // a run name, or "pixman" for pixman's OVER
    double target;         // least ratio to the baseline; 0 when there is none
    double least = 0;      // least Mpix/s; 0 when there is none
};

const char* BaselineName(const TTarget& t, bool measured) {
    if (std::strcmp(t.baseline, "pixman") == 0) {
        return measured ? "pixman OVER" : "pixman OVER (given)";
    }
    return std::strncmp(t.baseline, "BM_Memcpy", 9) == 0 ? "memcpy" : "scalar ShiftHue";
}

const TTarget kTargets[] = {
    {"copy 1:1 520x670", "BM_Copy", "BM_Memcpy/348400", 0.60},
    {"tile 10x10 over 520x670", "BM_Tile", "BM_Memcpy/348400", 0.60},
    {"keyed copy 1:1 520x670", "BM_KeyedCopy", "BM_Memcpy/348400", 0.40},
    {"stretch 47x29 to 520x29", "BM_Stretch", "BM_Memcpy/15080", 0.20},
    {"keyed stretch 47x29 to 520x29", "BM_StretchKeyed", "BM_Memcpy/15080", 0.20},
    {"DrawTo alpha 1:1 520x670", "BM_DrawToBlend", "pixman", 0.70},
    {"MergeUnder 520x670", "BM_MergeUnder", "pixman", 0.70},
    {"BlendFill 520x670", "BM_BlendFill", "pixman", 0.70},
    {"ChangeHue skin 520x670", "BM_ChangeHueSkin", "BM_ChangeHueSkinReference", 0},
    {"ChangeHue skin, colour cache", "BM_ChangeHueSkinCached", "BM_ChangeHueSkinReference", 0},
    {"ChangeHue photo 520x670", "BM_ChangeHuePhoto", "BM_ChangeHuePhotoReference", 0, 100},
    {"ChangeHue photo, SSE4.1", "BM_ChangeHuePhotoSse41", "BM_ChangeHuePhotoReference", 0, 100},
    {"ChangeHue photo, colour cache", "BM_ChangeHuePhotoCached", "BM_ChangeHuePhotoReference", 0},
    {"ChangeHue noise 520x670", "BM_ChangeHueNoise", "BM_Memcpy/348400", 0},
    {"BitmapToRegion 520x670", "BM_BitmapToRegion", "BM_Memcpy/348400", 0},
};

void PrintTable(const bench::TRateReporter& rates, double pixmanGiven) {
    double pixman = rates.Rate("BM_PixmanOver");
    bool measured = pixman > 0;
    if (!measured) {
        pixman = pixmanGiven;
    }
    std::printf("\n%-32s %10s  %-18s %10s %7s  %s\n", "kernel", "Mpix/s", "baseline", "Mpix/s", "ratio", "target");
    for (const TTarget& t : kTargets) {
        double rate = rates.Rate(t.run);
        bool isPixman = std::strcmp(t.baseline, "pixman") == 0;
        double base = isPixman ? pixman : rates.Rate(t.baseline);
        const char* baseName = BaselineName(t, measured);
        if (rate <= 0) {
            continue;  // filtered out
        }
        if (base <= 0) {
            std::printf("%-32s %10.1f  %-18s %10s\n", t.kernel, rate, baseName, "-");
            continue;
        }
        double ratio = rate / base;
        std::printf("%-32s %10.1f  %-18s %10.1f %7.2f  ", t.kernel, rate, baseName, base, ratio);
        if (t.target > 0) {
            std::printf(">= %.2f %s\n", t.target, ratio >= t.target ? "ok" : "BELOW");
        } else if (t.least > 0) {
            std::printf(">= %.0f Mpix/s %s\n", t.least, rate >= t.least ? "ok" : "BELOW");
        } else {
            std::printf("-\n");
        }
    }
    if (measured) {
        std::printf("pixman_mpix=%.1f\n", pixman);
    }
}

}  // namespace
}  // namespace zaprelay

int main(int argc, char** argv) {
    // Our own flag comes out before the library checks the arguments.
    double pixmanGiven = 0;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pixman_mpix=", 14) == 0) {
            pixmanGiven = std::atof(argv[i] + 14);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return zaprelay::bench::RunAndTabulate(argc, argv, 1e6, [&](const zaprelay::bench::TRateReporter& rates) {
        zaprelay::PrintTable(rates, pixmanGiven);
    });
}
