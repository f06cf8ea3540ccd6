#include "framework/graphics/pixel_kernels.h"

#include "tests/unit/framework/graphics/test_seed.h"

#include <algorithm>
#include <cfenv>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace zaprelay {
namespace {

using test::SeedForTest;

constexpr TPixel kGuard = 0xDEADBEEF;
constexpr int kGuardCount = 16;

// Pixels with guard words before and after, so a stray write shows even without a sanitizer.
class TImage {
public:
    TImage(int32_t width, int32_t height, TPixel fill = 0)
        : m_width(width),
          m_height(height),
          m_store(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) + 2 * kGuardCount, fill) {
        std::fill_n(m_store.begin(), kGuardCount, kGuard);
        std::fill_n(m_store.end() - kGuardCount, kGuardCount, kGuard);
    }
    TImage(int32_t width, int32_t height, std::initializer_list<TPixel> pixels) : TImage(width, height) {
        std::copy(pixels.begin(), pixels.end(), m_store.begin() + kGuardCount);
    }

    TPixelSurface Surface() { return {m_store.data() + kGuardCount, m_width, m_height}; }
    TPixel& At(int32_t x, int32_t y) { return m_store[kGuardCount + static_cast<std::size_t>(y * m_width + x)]; }
    std::vector<TPixel> Pixels() const { return {m_store.begin() + kGuardCount, m_store.end() - kGuardCount}; }
    bool GuardsIntact() const {
        return std::all_of(m_store.begin(), m_store.begin() + kGuardCount, [](TPixel p) { return p == kGuard; }) &&
               std::all_of(m_store.end() - kGuardCount, m_store.end(), [](TPixel p) { return p == kGuard; });
    }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }

private:
    int32_t m_width;
    int32_t m_height;
    std::vector<TPixel> m_store;
};

std::string Describe(const TRect& r) {
    std::ostringstream out;
    out << '(' << r.Left << ',' << r.Top << ',' << r.Right << ',' << r.Bottom << ')';
    return out.str();
}

// Every behaviour test runs twice: through the public (fast) kernels and forced onto the references.
class PixelKernels : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { ForceReferenceKernels(GetParam()); }
    void TearDown() override { ForceReferenceKernels(false); }
};

std::string PathName(const testing::TestParamInfo<bool>& path) {
    return path.param ? "Reference" : "Fast";
}

INSTANTIATE_TEST_SUITE_P(Paths, PixelKernels, testing::Values(false, true), PathName);

TEST_P(PixelKernels, StretchOneToOneCopiesAllBits) {
    TImage src(3, 2, {0x00000001, 0x80000002, 0xFF000003, 0x007F007F, 0x12345678, 0xFFFFFFFF});
    TImage dst(5, 4, 0xAAAAAAAA);
    StretchPixels(dst.Surface(), {1, 1, 4, 3}, src.Surface(), {0, 0, 3, 2}, smCopy);
    EXPECT_EQ(dst.At(1, 1), 0x00000001u);
    EXPECT_EQ(dst.At(3, 1), 0xFF000003u);
    EXPECT_EQ(dst.At(1, 2), 0x007F007Fu);
    EXPECT_EQ(dst.At(3, 2), 0xFFFFFFFFu);
    EXPECT_EQ(dst.At(0, 1), 0xAAAAAAAAu);
    EXPECT_EQ(dst.At(4, 2), 0xAAAAAAAAu);
    EXPECT_EQ(dst.At(1, 3), 0xAAAAAAAAu);
}

TEST_P(PixelKernels, StretchPicksSourcePixelsBy16Dot16Steps) {
    TImage src(3, 1, {1, 2, 3});
    TImage dst(5, 2);
    // Step (3 << 16) / 5: source columns 0, 0, 1, 1, 2.
    StretchPixels(dst.Surface(), {0, 0, 5, 1}, src.Surface(), {0, 0, 3, 1}, smCopy);
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{1, 1, 2, 2, 3, 0, 0, 0, 0, 0}));
    TImage wide(4, 1, {1, 2, 3, 4});
    TImage narrow(2, 1);
    StretchPixels(narrow.Surface(), {0, 0, 2, 1}, wide.Surface(), {0, 0, 4, 1}, smCopy);
    EXPECT_EQ(narrow.Pixels(), (std::vector<TPixel>{1, 3}));
    // Vertically too: one source row over two destination rows.
    StretchPixels(dst.Surface(), {0, 0, 3, 2}, src.Surface(), {0, 0, 3, 1}, smCopy);
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{1, 2, 3, 2, 3, 1, 2, 3, 0, 0}));
}

TEST_P(PixelKernels, StretchWithClippedStartReadsOneColumnEarlier) {
    // The start offset uses 0xFFFF, not 0x10000: three columns cut off on the left start the
    // 1:1 copy at source column 2, and source column 5 is never drawn.
    TImage src(6, 1, {10, 11, 12, 13, 14, 15});
    TImage dst(3, 1);
    StretchPixels(dst.Surface(), {-3, 0, 3, 1}, src.Surface(), {0, 0, 6, 1}, smCopy);
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{12, 13, 14}));
    TImage column(1, 4, {20, 21, 22, 23});
    TImage cell(1, 2);
    StretchPixels(cell.Surface(), {0, -2, 1, 2}, column.Surface(), {0, 0, 1, 4}, smCopy);
    EXPECT_EQ(cell.Pixels(), (std::vector<TPixel>{21, 22}));
}

TEST_P(PixelKernels, StretchClipsDestinationToItsSurfaceOnly) {
    TImage src(4, 4, 0xFF112233);
    TImage dst(3, 3);
    StretchPixels(dst.Surface(), {1, 1, 5, 5}, src.Surface(), {0, 0, 4, 4}, smCopy);
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{0, 0, 0, 0, 0xFF112233, 0xFF112233, 0, 0xFF112233, 0xFF112233}));
    EXPECT_TRUE(dst.GuardsIntact());
}

TEST_P(PixelKernels, StretchCutsSourceRectToSourceFirst) {
    TImage src(4, 1, {1, 2, 3, 4});
    TImage got(6, 1);
    TImage want(6, 1);
    StretchPixels(got.Surface(), {0, 0, 6, 1}, src.Surface(), {-2, -1, 9, 3}, smCopy);
    StretchPixels(want.Surface(), {0, 0, 6, 1}, src.Surface(), {0, 0, 4, 1}, smCopy);
    EXPECT_EQ(got.Pixels(), want.Pixels());
    EXPECT_EQ(got.Pixels(), (std::vector<TPixel>{1, 1, 2, 2, 3, 4}));
}

TEST_P(PixelKernels, StretchDrawsNothingForEmptyOrDisjointRects) {
    TImage src(4, 4, 0xFF00FF00);
    TImage dst(4, 4, 7);
    StretchPixels(dst.Surface(), {0, 0, 0, 4}, src.Surface(), {0, 0, 4, 4}, smCopy);
    StretchPixels(dst.Surface(), {0, 0, 4, 4}, src.Surface(), {2, 2, 2, 4}, smCopy);
    StretchPixels(dst.Surface(), {3, 0, 1, 4}, src.Surface(), {0, 0, 4, 4}, smCopy);
    StretchPixels(dst.Surface(), {0, 0, 4, 4}, src.Surface(), {4, 0, 8, 4}, smCopy);
    StretchPixels(dst.Surface(), {-9, -9, -1, -1}, src.Surface(), {0, 0, 4, 4}, smCopy);
    StretchPixels(dst.Surface(), {0, 0, 4, 4}, {}, {0, 0, 4, 4}, smCopy);
    StretchPixels({}, {0, 0, 4, 4}, src.Surface(), {0, 0, 4, 4}, smCopy);
    EXPECT_EQ(dst.Pixels(), std::vector<TPixel>(16, 7));
}

TEST_P(PixelKernels, KeyedStretchKeepsDestinationUnderKeyPixelsWhateverTheirAlpha) {
    TImage src(5, 1, {0x007F007F, 0xFF7F007F, 0x807F007F, 0x007F007E, 0xFF7F017F});
    TImage dst(10, 1, 0xFF0000FF);
    StretchPixels(dst.Surface(), {0, 0, 10, 1}, src.Surface(), {0, 0, 5, 1}, smKeyed);
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF,
                                                 0x007F007E, 0x007F007E, 0xFF7F017F, 0xFF7F017F}));
}

TEST_P(PixelKernels, BlendStretchFollowsSourceAlpha) {
    TImage src(4, 1, {0x00FFFFFF, 0xFF102030, 0x80FF0000, 0x007F007F});
    TImage dst(4, 1, 0xFF0000FF);
    StretchPixels(dst.Surface(), {0, 0, 4, 1}, src.Surface(), {0, 0, 4, 1}, smBlend);
    // The key colour plays no part: alpha 0 leaves the target, whatever the colour.
    EXPECT_EQ(dst.Pixels(),
              (std::vector<TPixel>{0xFF0000FF, 0xFF102030, BlendPixel(0x80FF0000, 0xFF0000FF), 0xFF0000FF}));
}

TEST_P(PixelKernels, MergeUnderShowsSourceOnlyThroughTargetTransparency) {
    TImage src(3, 1, {0xFF00FF00, 0xFF00FF00, 0xFF00FF00});
    TImage dst(3, 1, {0x00123456, 0xFFABCDEF, 0x80FF0000});
    MergeUnderPixels(dst.Surface(), 0, 0, src.Surface(), {0, 0, 3, 1});
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{0xFF00FF00, 0xFFABCDEF, BlendPixel(0x80FF0000, 0xFF00FF00)}));
}

TEST_P(PixelKernels, MergeUnderCutOnTheLeftMovesTargetRight) {
    TImage src(3, 2, {1, 2, 3, 4, 5, 6});
    TImage dst(4, 2);
    MergeUnderPixels(dst.Surface(), 0, 0, src.Surface(), {-1, -1, 2, 2});
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{0, 0, 0, 0, 0, 1, 2, 0}));
}

TEST_P(PixelKernels, MergeUnderStaysInsideTargetOnEverySide) {
    TImage src(3, 3, 0xFF010203);
    TImage dst(4, 3);
    // Past the right edge nothing wraps into the next row; above and left nothing is written.
    MergeUnderPixels(dst.Surface(), 2, 1, src.Surface(), {0, 0, 3, 3});
    MergeUnderPixels(dst.Surface(), -2, -2, src.Surface(), {0, 0, 3, 3});
    TPixel o = 0xFF010203;
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{o, 0, 0, 0, 0, 0, o, o, 0, 0, o, o}));
    EXPECT_TRUE(dst.GuardsIntact());
}

TEST_P(PixelKernels, FillsClipToSurface) {
    TImage dst(3, 2, 0xFF0000FF);
    FillPixels(dst.Surface(), {2, -5, 9, 1}, 5);
    EXPECT_EQ(dst.Pixels(), (std::vector<TPixel>{0xFF0000FF, 0xFF0000FF, 5, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}));
    BlendFillPixels(dst.Surface(), {-1, 1, 2, 7}, 0x80FF0000);
    EXPECT_EQ(dst.At(0, 1), BlendPixel(0x80FF0000, 0xFF0000FF));
    EXPECT_EQ(dst.At(2, 1), 0xFF0000FFu);
    BlendFillPixels(dst.Surface(), {0, 0, 3, 2}, 0x00FFFFFF);
    EXPECT_EQ(dst.At(2, 0), 5u);
    BlendFillPixels(dst.Surface(), {0, 0, 1, 1}, 0xFF00FF00);
    EXPECT_EQ(dst.At(0, 0), 0xFF00FF00u);
    FillPixels(dst.Surface(), {3, 0, 2, 2}, 9);
    EXPECT_TRUE(dst.GuardsIntact());
}

TEST_P(PixelKernels, SetAlphaReachesTheLastPixel) {
    TImage one(1, 1, 0x00123456);
    SetAlphaPixels(one.Surface(), {0, 0, 1, 1}, 255);
    EXPECT_EQ(one.At(0, 0), 0xFF123456u);
    TImage wide(7, 3, 0x80ABCDEF);
    SetAlphaPixels(wide.Surface(), {0, 0, 7, 3}, 255);
    EXPECT_EQ(wide.Pixels(), std::vector<TPixel>(21, 0xFFABCDEF));
    SetAlphaPixels(wide.Surface(), {5, 2, 40, 40}, 1);
    EXPECT_EQ(wide.At(6, 2), 0x01ABCDEFu);
    EXPECT_EQ(wide.At(4, 2), 0xFFABCDEFu);
    SetAlphaPixels(wide.Surface(), {1, 1, 1, 3}, 0);
    SetAlphaPixels(wide.Surface(), {-4, -4, -1, -1}, 0);
    EXPECT_EQ(wide.At(1, 1), 0xFFABCDEFu);
    EXPECT_EQ(wide.At(0, 0), 0xFFABCDEFu);
}

TEST_P(PixelKernels, ReplaceColorKeysNearColoursAcrossAllBits) {
    TImage img(4, 1, {0xFFFA05FA, 0xFFF900FF, 0x00FF00FF, 0x80FBFFFF});
    ReplaceColorPixels(img.Surface(), 0xFFFF00FF);
    // Red 249 is 6 away: kept. Alpha plays no part in the match; green 255 is far.
    EXPECT_EQ(img.Pixels(), (std::vector<TPixel>{TransparentColor, 0xFFF900FF, TransparentColor, 0x80FBFFFF}));
}

TEST_P(PixelKernels, ChangeHueSkipsClearPixelsAndMakesTheRestOpaque) {
    TImage img(4, 1, {TransparentColor, 0x00FF0000, 0x01FF0000, 0x80FF0000});
    ChangeHuePixels(img.Surface(), 85);
    EXPECT_EQ(img.Pixels(), (std::vector<TPixel>{TransparentColor, 0x00FF0000, 0xFF00FF00, 0xFF00FF00}));
    ChangeHuePixels(img.Surface(), 256);  // green is index 85: 341 wraps by 255 to 86
    EXPECT_EQ(img.At(3, 0), ShiftHue(0xFF00FF00, 1));
    EXPECT_EQ(img.At(1, 0), 0x00FF0000u);
}

TEST(ReferenceKernels, SwitchIsReported) {
    ForceReferenceKernels(true);
    EXPECT_TRUE(ReferenceKernelsForced());
    ForceReferenceKernels(false);
    EXPECT_FALSE(ReferenceKernelsForced());
}

// --- Fast kernels against the references on seeded random surfaces and rectangles ---

class Random {
public:
    explicit Random(uint32_t seed) : m_engine(seed) {}
    int32_t In(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(m_engine); }
    bool Chance(int percent) { return In(0, 99) < percent; }

    // Skin-like pixels: many key pixels, clear and opaque ones, and plain noise.
    TPixel Pixel() {
        TPixel noise = m_engine();
        switch (In(0, 5)) {
            case 0:
                return (noise & 0xFF000000) | 0x7F007F;
            case 1:
                return noise & 0x00FFFFFF;
            case 2:
                return noise | 0xFF000000;
            default:
                return noise;
        }
    }
    void Fill(TImage& img) {
        TPixelSurface s = img.Surface();
        // Runs of one colour too, as in real images.
        for (int64_t i = 0; i < int64_t{s.Width} * s.Height;) {
            TPixel p = Pixel();
            int64_t run = Chance(30) ? In(1, 12) : 1;
            for (; run > 0 && i < int64_t{s.Width} * s.Height; --run, ++i) {
                s.Bits[i] = p;
            }
        }
    }
    // A size, sometimes large enough for long spans and several column bands.
    int32_t Size() { return Chance(10) ? In(60, 700) : In(1, 40); }
    // Around a surface: inside, partly or wholly outside, empty or inverted.
    TRect RectAround(int32_t width, int32_t height) {
        int32_t left = In(-width / 2 - 3, width + 2);
        int32_t top = In(-height / 2 - 3, height + 2);
        return {left, top, left + In(-2, width + 4), top + In(-2, height + 4)};
    }

private:
    std::mt19937 m_engine;
};

// Every fast-kernel check runs at each instruction-set level the processor has.
class FastKernels : public testing::TestWithParam<TKernelLevel> {
protected:
    void SetUp() override {
        if (GetParam() > ProcessorKernelLevel()) {
            GTEST_SKIP() << "the processor lacks this level";
        }
        LimitKernelLevel(GetParam());
        ASSERT_EQ(KernelLevel(), GetParam());
    }
    void TearDown() override { LimitKernelLevel(TKernelLevel::Avx2); }
};

std::string LevelName(const testing::TestParamInfo<TKernelLevel>& level) {
    switch (level.param) {
        case TKernelLevel::Sse2:
            return "Sse2";
        case TKernelLevel::Sse41:
            return "Sse41";
        case TKernelLevel::Avx2:
            return "Avx2";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Levels,
                         FastKernels,
                         testing::Values(TKernelLevel::Sse2, TKernelLevel::Sse41, TKernelLevel::Avx2),
                         LevelName);

const char* ModeName(TStretchMode mode) {
    return mode == smCopy ? "copy" : mode == smKeyed ? "keyed" : "blend";
}

TEST_P(FastKernels, StretchMatchesReference) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    Random random(seed);
    for (int round = 0; round < 3000; ++round) {
        TImage src(random.Size(), random.In(1, 30));
        random.Fill(src);
        int32_t dw = random.Chance(10) ? random.In(500, 1200) : random.Size();
        TImage fast(dw, random.In(1, 30));
        random.Fill(fast);
        TImage slow = fast;
        TRect srcRect =
            random.Chance(80) ? random.RectAround(src.Width(), src.Height()) : TRect{0, 0, src.Width(), src.Height()};
        TRect destRect;
        switch (random.In(0, 2)) {
            case 0:  // 1:1, often with a clipped start
                destRect = Bounds(random.In(-srcRect.Width() - 2, fast.Width()), random.In(-8, fast.Height()),
                                  srcRect.Width(), srcRect.Height());
                break;
            case 1:  // same width, another height
                destRect = Bounds(random.In(-10, fast.Width()), random.In(-8, fast.Height()), srcRect.Width(),
                                  random.In(-1, 40));
                break;
            default:
                destRect = random.RectAround(fast.Width(), fast.Height());
                break;
        }
        auto mode = static_cast<TStretchMode>(random.In(0, 2));
        StretchPixels(fast.Surface(), destRect, src.Surface(), srcRect, mode);
        reference::StretchPixels(slow.Surface(), destRect, src.Surface(), srcRect, mode);
        ASSERT_TRUE(fast.GuardsIntact());
        ASSERT_EQ(fast.Pixels(), slow.Pixels())
            << "round " << round << ": " << ModeName(mode) << " source " << src.Width() << 'x' << src.Height() << ' '
            << Describe(srcRect) << " into " << fast.Width() << 'x' << fast.Height() << ' ' << Describe(destRect);
    }
}

TEST_P(FastKernels, TilesMatchOneStretchPerTile) {
    // The tiler must give the pixels of 1:1 stretches tile by tile: columns left to right,
    // each top to bottom, cut tiles taking the top-left part of the source rectangle.
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    Random random(seed);
    for (int round = 0; round < 400; ++round) {
        TImage src(random.In(1, 16), random.In(1, 16));
        random.Fill(src);
        TImage fast(random.In(1, 90), random.In(1, 50));
        random.Fill(fast);
        TImage slow = fast;
        TRect srcRect = random.Chance(70) ? TRect{random.In(0, src.Width() - 1), random.In(0, src.Height() - 1),
                                                  src.Width(), src.Height()}
                                          : random.RectAround(src.Width(), src.Height());
        TRect area = random.Chance(50) ? TRect{random.In(0, fast.Width() - 1), random.In(0, fast.Height() - 1),
                                               fast.Width(), fast.Height()}
                                       : random.RectAround(fast.Width(), fast.Height());
        auto mode = static_cast<TStretchMode>(random.In(0, 2));
        TilePixels(fast.Surface(), area, src.Surface(), srcRect, mode);
        const int32_t w = srcRect.Width(), h = srcRect.Height();
        for (int32_t x = area.Left; w > 0 && h > 0 && x < area.Right; x += w) {
            for (int32_t y = area.Top; y < area.Bottom; y += h) {
                TRect tile = Intersect(Bounds(x, y, w, h), area);
                reference::StretchPixels(slow.Surface(), tile, src.Surface(),
                                         Bounds(srcRect.Left, srcRect.Top, tile.Width(), tile.Height()), mode);
            }
        }
        ASSERT_TRUE(fast.GuardsIntact());
        ASSERT_EQ(fast.Pixels(), slow.Pixels())
            << "round " << round << ": " << ModeName(mode) << " tile " << Describe(srcRect) << " of " << src.Width()
            << 'x' << src.Height() << " over " << Describe(area);
    }
}

TEST_P(FastKernels, StretchWithinOneSurfaceMatchesReference) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    Random random(seed);
    for (int round = 0; round < 300; ++round) {
        TImage fast(random.In(1, 40), random.In(1, 20));
        random.Fill(fast);
        TImage slow = fast;
        TRect srcRect = random.RectAround(fast.Width(), fast.Height());
        TRect destRect = random.Chance(50) ? srcRect.Offset(random.In(-3, 3), random.In(-3, 3))
                                           : random.RectAround(fast.Width(), fast.Height());
        auto mode = static_cast<TStretchMode>(random.In(0, 2));
        StretchPixels(fast.Surface(), destRect, fast.Surface(), srcRect, mode);
        reference::StretchPixels(slow.Surface(), destRect, slow.Surface(), srcRect, mode);
        ASSERT_EQ(fast.Pixels(), slow.Pixels()) << "round " << round << ": " << ModeName(mode) << ' '
                                                << Describe(srcRect) << " onto " << Describe(destRect);
    }
}

TEST_P(FastKernels, MergeUnderMatchesReference) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    Random random(seed);
    for (int round = 0; round < 2000; ++round) {
        TImage src(random.Size(), random.In(1, 30));
        random.Fill(src);
        TImage fast(random.Size(), random.In(1, 30));
        random.Fill(fast);
        TImage slow = fast;
        TRect srcRect = random.RectAround(src.Width(), src.Height());
        int32_t x = random.In(-fast.Width(), fast.Width() + 2);
        int32_t y = random.In(-fast.Height(), fast.Height() + 2);
        MergeUnderPixels(fast.Surface(), x, y, src.Surface(), srcRect);
        reference::MergeUnderPixels(slow.Surface(), x, y, src.Surface(), srcRect);
        ASSERT_TRUE(fast.GuardsIntact());
        ASSERT_EQ(fast.Pixels(), slow.Pixels())
            << "round " << round << ": source " << src.Width() << 'x' << src.Height() << ' ' << Describe(srcRect)
            << " at " << x << ',' << y << " under " << fast.Width() << 'x' << fast.Height();
    }
}

TEST_P(FastKernels, FillsMatchReference) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    Random random(seed);
    for (int round = 0; round < 2000; ++round) {
        TImage fast(random.Size(), random.In(1, 30));
        random.Fill(fast);
        TImage slow = fast;
        TRect rect = random.Chance(20) ? TRect{0, 0, fast.Width(), fast.Height()}
                                       : random.RectAround(fast.Width(), fast.Height());
        TPixel pixel = random.Pixel();
        int kernel = random.In(0, 2);
        switch (kernel) {
            case 0:
                FillPixels(fast.Surface(), rect, pixel);
                reference::FillPixels(slow.Surface(), rect, pixel);
                break;
            case 1:
                BlendFillPixels(fast.Surface(), rect, pixel);
                reference::BlendFillPixels(slow.Surface(), rect, pixel);
                break;
            default:
                SetAlphaPixels(fast.Surface(), rect, static_cast<uint8_t>(pixel >> 24));
                reference::SetAlphaPixels(slow.Surface(), rect, static_cast<uint8_t>(pixel >> 24));
                break;
        }
        ASSERT_TRUE(fast.GuardsIntact());
        ASSERT_EQ(fast.Pixels(), slow.Pixels()) << "round " << round << ": kernel " << kernel << " pixel " << std::hex
                                                << pixel << std::dec << " in " << Describe(rect);
    }
}

TEST_P(FastKernels, ColourKernelsMatchReference) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    Random random(seed);
    for (int round = 0; round < 300; ++round) {
        TImage fast(random.Size(), random.In(1, 30));
        random.Fill(fast);
        TImage slow = fast;
        if (random.Chance(50)) {
            // Colours near the key, so some channels sit right at the distance limit.
            TPixel key = random.Pixel();
            TPixelSurface s = fast.Surface();
            for (int64_t i = 0; i < int64_t{s.Width} * s.Height; ++i) {
                if (random.Chance(50)) {
                    TPixel p = key;
                    for (int shift = 0; shift < 32; shift += 8) {
                        int v = static_cast<int>((key >> shift) & 0xFF) + random.In(-7, 7);
                        p = (p & ~(0xFFu << shift)) | static_cast<TPixel>(std::clamp(v, 0, 255)) << shift;
                    }
                    s.Bits[i] = p;
                }
            }
            slow = fast;
            ReplaceColorPixels(fast.Surface(), key);
            reference::ReplaceColorPixels(slow.Surface(), key);
            ASSERT_EQ(fast.Pixels(), slow.Pixels()) << "round " << round << ": key " << std::hex << key;
        } else {
            int delta = random.In(-300, 300);
            ChangeHuePixels(fast.Surface(), delta);
            reference::ChangeHuePixels(slow.Surface(), delta);
            ASSERT_EQ(fast.Pixels(), slow.Pixels()) << "round " << round << ": hue delta " << delta;
        }
        ASSERT_TRUE(fast.GuardsIntact());
    }
}

// The hue rotation against ShiftHue pixel by pixel. Differences show as the first pixel that
// differs, with its input, so a failing branch is easy to find.
void ExpectSameHue(TImage& fast, int delta, const char* what) {
    TImage slow = fast;
    std::vector<TPixel> input = fast.Pixels();
    ChangeHuePixels(fast.Surface(), delta);
    reference::ChangeHuePixels(slow.Surface(), delta);
    ASSERT_TRUE(fast.GuardsIntact()) << what << ", delta " << delta;
    std::vector<TPixel> got = fast.Pixels();
    std::vector<TPixel> want = slow.Pixels();
    auto diff = std::mismatch(got.begin(), got.end(), want.begin());
    if (diff.first != got.end()) {
        std::size_t i = static_cast<std::size_t>(diff.first - got.begin());
        FAIL() << what << ", delta " << delta << ", " << fast.Width() << "x" << fast.Height() << ": pixel " << i
               << std::hex << " from " << input[i] << " gave " << got[i] << ", reference " << want[i];
    }
}

TEST_P(FastKernels, HueMatchesReferenceOnEveryColour) {
    // One delta per run, from those where the ring wraps or nearly does.
    const int kDeltas[] = {0, 1, -1, 40, 85, -170, 254, 255, -255, 256, -256, 300, -300, 510, 100000};
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    int delta = kDeltas[seed % std::size(kDeltas)];
    // Every 24-bit colour once, in blocks of 2^20, with alphas that include 0 and 255.
    TImage img(1024, 1024);
    // The SSE2 level only caches scalar results: a quarter of the colours does there.
    const uint32_t step = GetParam() == TKernelLevel::Sse2 ? 4 : 1;
    for (uint32_t block = 0; block < 16; block += step) {
        TPixelSurface s = img.Surface();
        for (uint32_t i = 0; i < 1u << 20; ++i) {
            uint32_t rgb = block << 20 | i;
            uint32_t alpha = (rgb * 2654435761u) >> 24;
            s.Bits[i] = (i % 5 == 0 ? 255u : alpha) << 24 | rgb;
        }
        ExpectSameHue(img, delta, "every colour");
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(FastKernels, HueMatchesReferenceForManyDeltasAlphasAndTails) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    Random random(seed);
    std::vector<int> deltas;
    for (int delta = -300; delta <= 300; ++delta) {
        deltas.push_back(delta);
    }
    // Beyond 2^30 the fast kernels hand over to the scalar code; both sides of that edge.
    for (int delta : {INT32_MIN, INT32_MIN + 1, -(1 << 30) - 1, -(1 << 30), 1 << 30, (1 << 30) + 1, INT32_MAX - 255,
                      INT32_MAX, 65536, -65536}) {
        deltas.push_back(delta);
    }
    for (int delta : deltas) {
        // Odd widths and short rows: every length of tail, pixels from skin-like to noise.
        TImage noisy(random.In(1, 41), random.In(1, 5));
        random.Fill(noisy);
        ExpectSameHue(noisy, delta, "random");
        // Every alpha over the same colours: 0 keeps all 32 bits, the rest come out opaque.
        TImage alphas(256, 1);
        TPixel colour = random.Pixel() & 0x00FFFFFF;
        for (int32_t a = 0; a < 256; ++a) {
            alphas.At(a, 0) = static_cast<TPixel>(a) << 24 | (a % 3 == 0 ? colour : colour ^ static_cast<TPixel>(a));
        }
        ExpectSameHue(alphas, delta, "alphas");
        ASSERT_EQ(alphas.At(0, 0), colour) << "delta " << delta;
        // Runs of a colour, a clear copy of it and another colour: whole groups repeat, are
        // all clear, or differ from the last in one lane.
        TImage runs(random.In(8, 70), 3);
        const TPixel few[] = {0xFF3366CC, 0x003366CC, 0x80CC6633};
        TPixelSurface rs = runs.Surface();
        for (int64_t i = 0; i < int64_t{rs.Width} * rs.Height;) {
            TPixel p = few[random.In(0, 2)];
            for (int32_t run = random.In(1, 20); run > 0 && i < int64_t{rs.Width} * rs.Height; --run, ++i) {
                rs.Bits[i] = p;
            }
        }
        ExpectSameHue(runs, delta, "runs");
        if (HasFatalFailure()) {
            return;
        }
    }
}

// A host may unmask floating-point exceptions; the rotation must then trap no more than the
// scalar code, which raises none but inexact: no lane may divide 0 by 0, for black and white.
TEST_P(FastKernels, HueRaisesNoFloatingPointExceptions) {
    TImage img(4099, 1);
    // Every grey, black and white among them, then colours spread over the cube.
    for (int32_t x = 0; x < img.Width(); ++x) {
        TPixel n = static_cast<TPixel>(x);
        TPixel rgb = x < 2048 ? (n & 0xFF) * 0x010101 : (n * 0x1F3D5Bu) & 0xFFFFFF;
        img.At(x, 0) = (x % 3 == 0 ? 0xFF000000u : 0x80000000u) | rgb;
    }
    for (int delta : {0, 300, -300, INT32_MAX}) {
        std::feclearexcept(FE_ALL_EXCEPT);
        ChangeHuePixels(img.Surface(), delta);
        EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW), 0) << "delta " << delta;
    }
}

TEST_P(FastKernels, ExtremeRectanglesDoNotOverflow) {
    TImage src(8, 8, 0x80FF00FF);
    TImage dst(8, 8, 0xFF000000);
    TImage ref = dst;
    const TRect huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    for (TStretchMode mode : {smCopy, smKeyed, smBlend}) {
        StretchPixels(dst.Surface(), huge, src.Surface(), {0, 0, 8, 8}, mode);
        StretchPixels(dst.Surface(), {0, 0, 8, 8}, src.Surface(), huge, mode);
        reference::StretchPixels(ref.Surface(), huge, src.Surface(), {0, 0, 8, 8}, mode);
        reference::StretchPixels(ref.Surface(), {0, 0, 8, 8}, src.Surface(), huge, mode);
    }
    MergeUnderPixels(dst.Surface(), INT32_MAX, INT32_MIN, src.Surface(), huge);
    MergeUnderPixels(dst.Surface(), INT32_MIN, 0, src.Surface(), {INT32_MIN, 0, 4, 4});
    FillPixels(dst.Surface(), huge, 1);
    FillPixels(ref.Surface(), huge, 1);
    EXPECT_EQ(dst.Pixels(), ref.Pixels());
    EXPECT_TRUE(dst.GuardsIntact());
}

}  // namespace
}  // namespace zaprelay
