// The show animation's transition: each effect's mask at the start, middle and end and how it
// grows, the effects defined as inversions of others, the line routine's clipping, how a
// frame is composed from the mask (directions, tiles, cells, key pixels), and the timed loop.
#include "skin/form/transition.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

const TkeEffect kAllEffects[] = {keFade,       keDiagonal,       keDown,         keIn,           keOut,
                                 keRectIn,     keRectOut,        kePixel,        kePixelLine,    keDiamondIn,
                                 keDiamondOut, keSmoothDiagonal, keSmoothRectIn, keSmoothRectOut};

std::string Name(TkeEffect effect) {
    return "effect " + std::to_string(static_cast<int>(effect));
}

TTransitionMask Generate(TkeEffect effect, int percent, int32_t w, int32_t h) {
    TTransitionMask mask(w, h);
    GenerateMask(effect, percent, mask);
    return mask;
}

double SetShare(const TTransitionMask& mask) {
    int set = 0;
    for (uint8_t c : mask.Cells()) {
        set += c != 0;
    }
    return static_cast<double>(set) / static_cast<double>(mask.Cells().size());
}

bool AllCells(const TTransitionMask& mask, uint8_t value) {
    for (uint8_t c : mask.Cells()) {
        if (c != value) {
            return false;
        }
    }
    return true;
}

struct TCoverage {
    TkeEffect Effect;
    double MinShareAtHalf;  // cells not 0 at 50 %
    double MaxShareAtHalf;
};

const TCoverage kCoverage[] = {
    {keFade, 1, 1},           {keDiagonal, 0.4, 0.6},    {keDown, 0.45, 0.55},   {keIn, 0.45, 0.55},
    {keOut, 0.45, 0.55},      {keRectIn, 0.55, 0.8},     {keRectOut, 0.2, 0.45}, {kePixel, 0.5, 0.51},
    {kePixelLine, 0.4, 0.6},  {keDiamondIn, 0.9, 1},     {keDiamondOut, 0.9, 1}, {keSmoothDiagonal, 0.6, 1},
    {keSmoothRectIn, 0.9, 1}, {keSmoothRectOut, 0.9, 1},
};

TEST(TransitionMask, EveryEffectStartsEmptyEndsFullAndIsPartialHalfway) {
    const int32_t sizes[][2] = {{40, 30}, {31, 47}, {1, 1}, {1, 9}, {9, 1}, {2, 3}, {131, 67}, {521, 671}};
    for (const TCoverage& c : kCoverage) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(Name(c.Effect) + " size " + std::to_string(size[0]) + "x" + std::to_string(size[1]));
            EXPECT_TRUE(AllCells(Generate(c.Effect, 0, size[0], size[1]), 0));
            EXPECT_TRUE(AllCells(Generate(c.Effect, 100, size[0], size[1]), 255));
        }
        for (const auto& size : {sizes[0], sizes[1]}) {
            SCOPED_TRACE(Name(c.Effect) + " size " + std::to_string(size[0]) + "x" + std::to_string(size[1]));
            TTransitionMask half = Generate(c.Effect, 50, size[0], size[1]);
            EXPECT_GE(SetShare(half), c.MinShareAtHalf);
            EXPECT_LE(SetShare(half), c.MaxShareAtHalf);
            long sum = 0;
            for (uint8_t v : half.Cells()) {
                sum += v;
            }
            double mean = static_cast<double>(sum) / static_cast<double>(half.Cells().size());
            EXPECT_GT(mean, 20);
            EXPECT_LT(mean, 235);
        }
    }
    EXPECT_TRUE(AllCells(Generate(keFade, 50, 5, 5), 128));
    EXPECT_TRUE(AllCells(Generate(keFade, 25, 5, 5), 64));
}

TEST(TransitionMask, EveryCellOnlyGrowsFromFrameToFrameExceptPixelLine) {
    for (TkeEffect effect : kAllEffects) {
        if (effect == kePixelLine) {
            continue;
        }
        SCOPED_TRACE(Name(effect));
        TTransitionMask before = Generate(effect, 0, 23, 17);
        for (int p = 1; p <= 100; ++p) {
            TTransitionMask now = Generate(effect, p, 23, 17);
            for (std::size_t i = 0; i < now.Cells().size(); ++i) {
                ASSERT_GE(now.Cells()[i], before.Cells()[i]) << "percent " << p << " cell " << i;
            }
            before = now;
        }
    }
}

TEST(TransitionMask, InvertedEffectsMirrorTheirPartners) {
    for (int p = 0; p <= 100; p += 5) {
        SCOPED_TRACE("percent " + std::to_string(p));
        const auto v = static_cast<uint8_t>(p * 255 / 100);
        TTransitionMask rectIn = Generate(keRectIn, p, 37, 22);
        TTransitionMask rectOut = Generate(keRectOut, 100 - p, 37, 22);
        TTransitionMask in = Generate(keIn, p, 37, 22);
        TTransitionMask out = Generate(keOut, 100 - p, 37, 22);
        TTransitionMask diamondIn = Generate(keDiamondIn, p, 37, 22);
        TTransitionMask diamondOut = Generate(keDiamondOut, 100 - p, 37, 22);
        TTransitionMask smoothIn = Generate(keSmoothRectIn, p, 37, 22);
        TTransitionMask smoothOut = Generate(keSmoothRectOut, 100 - p, 37, 22);
        for (std::size_t i = 0; i < rectIn.Cells().size(); ++i) {
            ASSERT_EQ(rectIn.Cells()[i], rectOut.Cells()[i] != 0 ? 0 : v) << i;
            ASSERT_EQ(in.Cells()[i], out.Cells()[i] != 0 ? 0 : v) << i;
            ASSERT_EQ(diamondIn.Cells()[i], 255 - diamondOut.Cells()[i]) << i;
            ASSERT_EQ(smoothIn.Cells()[i], 255 - smoothOut.Cells()[i]) << i;
        }
    }
}

TEST(TransitionMask, DiagonalSweepsFromTheTopLeftCornerWithoutGaps) {
    for (TkeEffect effect : {keDiagonal, keSmoothDiagonal}) {
        for (int p : {10, 35, 50, 80}) {
            TTransitionMask mask = Generate(effect, p, 45, 28);
            SCOPED_TRACE(Name(effect) + " percent " + std::to_string(p));
            EXPECT_NE(mask.At(0, 0), 0);
            if (effect == keDiagonal) {
                EXPECT_EQ(mask.At(44, 27), 0);
            }
            // A set cell has set neighbours towards the corner, never brighter than they are.
            for (int32_t y = 0; y < mask.Height(); ++y) {
                for (int32_t x = 0; x < mask.Width(); ++x) {
                    if (x > 0) {
                        ASSERT_LE(mask.At(x, y), mask.At(x - 1, y)) << x << "," << y;
                    }
                    if (y > 0) {
                        ASSERT_LE(mask.At(x, y), mask.At(x, y - 1)) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(TransitionMask, PixelSetsTheExactShareAndPixelLineRampsFromTheLeft) {
    TTransitionMask pixel = Generate(kePixel, 37, 20, 10);
    EXPECT_DOUBLE_EQ(SetShare(pixel), 74.0 / 200);  // 37 % of 200, rounded up
    TMaskRandom random(7);
    TTransitionMask first(60, 40);
    TTransitionMask second(60, 40);
    GenerateMask(kePixelLine, 25, first, random);
    GenerateMask(kePixelLine, 25, second, random);
    EXPECT_NE(first.Cells(), second.Cells());  // a new random choice every frame
    // A quarter of the cells is chosen, and only the left half of them gets more than 0.
    EXPECT_GT(SetShare(first), 0.08);
    EXPECT_LT(SetShare(first), 0.18);
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 60; ++x) {
            uint8_t v = first.At(x, y);
            EXPECT_TRUE(v == 0 || v == 255 * (50 * 60 - 100 * x) / 6000) << x << "," << y;
            EXPECT_TRUE(x < 30 || v == 0) << "the ramp reaches half way at 25 %";
        }
    }
}

TEST(TransitionMask, BadInputIsHarmless) {
    TTransitionMask empty;
    GenerateMask(kePixel, 50, empty);
    TTransitionMask negative(-4, 9);
    EXPECT_TRUE(negative.Empty());
    EXPECT_EQ(negative.At(0, 0), 0);
    negative.Set(0, 0, 9);
    EXPECT_TRUE(AllCells(Generate(keDown, -30, 5, 5), 0));
    EXPECT_TRUE(AllCells(Generate(keRectIn, 250, 5, 5), 255));
    EXPECT_TRUE(AllCells(Generate(static_cast<TkeEffect>(77), 50, 5, 5), 128));
}

TEST(TransitionMask, LinesAreClippedToTheMaskAndIncludeBothEnds) {
    TTransitionMask mask(10, 6);
    DrawMaskLine(mask, -5, -5, 20, 20, 9);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            EXPECT_EQ(mask.At(x, y), x == y ? 9 : 0) << x << "," << y;
        }
    }
    mask.Clear();
    DrawMaskLine(mask, 2, 5, 4, 0, 1);  // steep: one cell on every row
    for (int32_t y = 0; y < 6; ++y) {
        int set = 0;
        for (int32_t x = 0; x < 10; ++x) {
            set += mask.At(x, y);
        }
        EXPECT_EQ(set, 1) << y;
    }
    EXPECT_EQ(mask.At(2, 5), 1);
    EXPECT_EQ(mask.At(4, 0), 1);
    mask.Clear();
    DrawMaskLine(mask, 3, 3, 3, 3, 7);
    DrawMaskLine(mask, -9, 8, 40, 30, 7);
    DrawMaskLine(mask, INT32_MIN, INT32_MIN, -1, -1, 7);
    EXPECT_EQ(SetShare(mask), 1.0 / 60);
    mask.Clear();
    DrawMaskLine(mask, -(1 << 30), -(1 << 30), 1 << 30, 1 << 30, 5);  // far ends, cut first
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(mask.At(i, i), 5) << i;
    }
    EXPECT_EQ(SetShare(mask), 6.0 / 60);
}

TEST(TransitionMask, RandomSelectResolvesToARealEffect) {
    EXPECT_EQ(ResolveEffect(keRandomSelect, [] { return 0u; }), keFade);
    EXPECT_EQ(ResolveEffect(keRandomSelect, [] { return 13u; }), keSmoothRectOut);
    EXPECT_EQ(ResolveEffect(keRandomSelect, [] { return 14u + 2; }), keDown);
    EXPECT_EQ(ResolveEffect(keRandomSelect, nullptr), keFade);
    EXPECT_EQ(ResolveEffect(kePixel, [] { return 5u; }), kePixel);
    EXPECT_EQ(ResolveEffect(static_cast<TkeEffect>(200), nullptr), keFade);
    TVxBitmap a;
    TTransition transition(a, a, {keRandomSelect});
    EXPECT_GE(transition.Effect(), keFade);
    EXPECT_LE(transition.Effect(), keSmoothRectOut);
}

// Pictures whose frames tell which source and how much of the new one each pixel shows.
class TransitionFrameTest : public ::testing::Test {
protected:
    static constexpr TPixel kOld = 0xFF000000;
    static constexpr TPixel kNew = 0xFFFFFFFF;

    void MakePictures(int32_t w, int32_t h) {
        m_from.SetSize(w, h);
        m_from.Fill(kOld);
        m_to.SetSize(w, h);
        m_to.Fill(kNew);
    }
    static TPixel Expected(uint8_t m, TPixel oldPixel = kOld, TPixel newPixel = kNew) {
        if (m == 0 || IsKeyPixel(newPixel)) {
            return oldPixel;
        }
        return m == 255 ? newPixel : BlendPixel((newPixel & 0xFFFFFF) | (uint32_t{m} << 24), oldPixel);
    }
    // The pixels that show the new picture, as "x,y " in row order.
    std::string NewPixels(const TVxBitmap& frame) {
        std::string out;
        for (int32_t y = 0; y < frame.Height(); ++y) {
            for (int32_t x = 0; x < frame.Width(); ++x) {
                if (frame.GetPixel(x, y) == kNew) {
                    out += std::to_string(x) + "," + std::to_string(y) + " ";
                }
            }
        }
        return out;
    }

    TVxBitmap m_from;
    TVxBitmap m_to;
    TVxBitmap m_frame;
};

TEST_F(TransitionFrameTest, MaskValuesPickBlendOrKeepAndKeyPixelsShowTheOldPicture) {
    MakePictures(4, 1);
    *m_to.PixelPtr(3, 0) = TransparentColor;
    *m_from.PixelPtr(1, 0) = 0xFF102030;
    TTransitionMask mask(5, 2);
    const uint8_t values[] = {0, 100, 255, 255};
    for (int32_t x = 0; x < 4; ++x) {
        mask.Set(x, 0, values[x]);
    }
    ComposeTransitionFrame(m_from, m_to, mask, {}, m_frame);
    EXPECT_EQ(m_frame.GetPixel(0, 0), kOld);
    EXPECT_EQ(m_frame.GetPixel(1, 0), Expected(100, 0xFF102030));
    EXPECT_NE(m_frame.GetPixel(1, 0), kOld);
    EXPECT_EQ(m_frame.GetPixel(2, 0), kNew);
    EXPECT_EQ(m_frame.GetPixel(3, 0), kOld);
}

TEST_F(TransitionFrameTest, DirectionsReadTheMaskTurnedOrReversed) {
    MakePictures(4, 3);  // cells: 5 across, 4 down
    struct TCase {
        TVxDirection Direction;
        int32_t MaskW, MaskH;
        std::string Expected;  // the pixel that reads mask cell (2, 1)
    };
    const TCase cases[] = {
        {kdNone, 5, 4, "2,1 "},      {kdNoRotate, 5, 4, "2,1 "}, {kdRotate180, 5, 4, "2,2 "},
        {kdRotate270, 4, 5, "1,2 "}, {kdRotate90, 4, 5, "3,2 "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Direction));
        TTransitionSettings settings{keFade, c.Direction};
        int32_t w = 0;
        int32_t h = 0;
        TransitionMaskSize(4, 3, settings, w, h);
        EXPECT_EQ(w, c.MaskW);
        EXPECT_EQ(h, c.MaskH);
        TTransitionMask mask(w, h);
        mask.Set(2, 1, 255);
        ComposeTransitionFrame(m_from, m_to, mask, settings, m_frame);
        EXPECT_EQ(NewPixels(m_frame), c.Expected);
    }
}

TEST_F(TransitionFrameTest, DownSweepsAlongTheDirection) {
    MakePictures(8, 8);  // a 9 x 9 mask; half way sets its top 5 rows
    struct TCase {
        TVxDirection Direction;
        bool (*Shown)(int32_t x, int32_t y);
    };
    const TCase cases[] = {
        {kdNone, [](int32_t, int32_t y) { return y < 5; }},
        {kdRotate180, [](int32_t, int32_t y) { return y >= 4; }},
        {kdRotate270, [](int32_t x, int32_t) { return x < 5; }},
        {kdRotate90, [](int32_t x, int32_t) { return x >= 4; }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Direction));
        TTransition transition(m_from, m_to, {keDown, c.Direction});
        const TVxBitmap& half = transition.Frame(50);
        for (int32_t y = 0; y < 8; ++y) {
            for (int32_t x = 0; x < 8; ++x) {
                ASSERT_EQ(half.GetPixel(x, y), c.Shown(x, y) ? Expected(127) : kOld) << x << "," << y;
            }
        }
        EXPECT_EQ(NewPixels(transition.Frame(100)), NewPixels(m_to));
    }
}

TEST_F(TransitionFrameTest, TilesRepeatTheMaskAndCellsCoverResolutionSquares) {
    MakePictures(8, 6);  // two tiles of 5 x 4, each reading a mask of 5 x 4
    TTransitionMask mask(5, 4);
    mask.Set(1, 1, 255);
    ComposeTransitionFrame(m_from, m_to, mask, {keFade, kdNone, 1, 2}, m_frame);
    EXPECT_EQ(NewPixels(m_frame), "1,1 6,1 1,5 6,5 ");

    MakePictures(5, 3);  // cells of 2 x 2: mask 3 x 2, the last cells cut by the edges
    TTransitionMask cells(3, 2);
    cells.Set(2, 1, 255);
    cells.Set(0, 0, 255);
    ComposeTransitionFrame(m_from, m_to, cells, {keFade, kdNone, 2, 1}, m_frame);
    EXPECT_EQ(NewPixels(m_frame), "0,0 1,0 0,1 1,1 4,2 ");
}

TEST_F(TransitionFrameTest, MismatchedInputsFallBackSafely) {
    MakePictures(6, 6);
    TTransitionMask small(2, 2);
    small.Cells().assign(4, 255);
    // A resolution of 0 counts as 1: the turned mask needs 7 x 7 cells, and the missing ones
    // read as 0 (pixel x reads mask row 6 - x).
    ComposeTransitionFrame(m_from, m_to, small, {keFade, kdRotate90, 0, 1}, m_frame);
    EXPECT_EQ(NewPixels(m_frame), "5,0 5,1 ");
    // 99 tiles count as 20: every pixel is a tile of its own reading cell (0, 0).
    ComposeTransitionFrame(m_from, m_to, small, {keFade, kdNone, 1, 99}, m_frame);
    EXPECT_EQ(NewPixels(m_frame), NewPixels(m_to));
    TVxBitmap other;
    other.SetSize(3, 3);
    ComposeTransitionFrame(other, m_to, small, {}, m_frame);
    EXPECT_EQ(NewPixels(m_frame), NewPixels(m_to));  // a mismatched old picture: the new one
}

TEST_F(TransitionFrameTest, RunTransitionFollowsTheClockThenPresentsTheNewPicture) {
    MakePictures(3, 2);
    double now = 0;
    auto clock = [&] {
        double t = now;
        now += 100;
        return t;
    };
    std::vector<TPixel> shown;
    std::vector<const TVxBitmap*> presented;
    auto present = [&](const TVxBitmap& frame) {
        shown.push_back(frame.GetPixel(2, 1));
        presented.push_back(&frame);
    };
    EXPECT_EQ(RunTransition(m_from, m_to, {keFade}, 400, present, clock), 4);
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0], kOld);  // 0, 25, 50, 75 %, then the new picture itself
    EXPECT_EQ(shown[1], Expected(64));
    EXPECT_EQ(shown[2], Expected(128));
    EXPECT_EQ(shown[3], Expected(191));
    EXPECT_EQ(presented.back(), &m_to);

    presented.clear();
    int frames = RunTransition(m_from, m_to, {kePixel}, 50, present, [] { return 5.0; });
    EXPECT_GT(frames, 0);  // a clock standing still still ends
    EXPECT_LE(frames, 200);
    EXPECT_EQ(presented.back(), &m_to);

    presented.clear();
    EXPECT_EQ(RunTransition(m_from, m_to, {keFade}, 0, present, clock), 0);
    EXPECT_EQ(RunTransition(m_from, m_to, {keFade}, 100, nullptr, clock), 1);
    EXPECT_EQ(presented.size(), 1u);
}

}  // namespace
}  // namespace zaprelay::skin
