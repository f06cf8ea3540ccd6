#include "framework/graphics/region.h"

#include "framework/graphics/vx_bitmap.h"

#include <gtest/gtest.h>
#include <limits>

namespace zaprelay::test {
namespace {

TEST(BitmapToRegion, RunsOfNonKeyPixelsBecomeRowRectangles) {
    TVxBitmap bitmap;
    bitmap.SetSize(5, 2);
    bitmap.Fill(0xFF000000);
    TPixel* row = bitmap.PixelPtr(0, 0);
    row[0] = TransparentColor;
    row[3] = 0xFF7F007F;  // a key pixel whatever its alpha
    TRegion region = BitmapToRegion(bitmap, 10, 20);
    EXPECT_EQ(region.Rects(), (std::vector<TRect>{{11, 20, 13, 21}, {14, 20, 15, 21}, {10, 21, 15, 22}}));
    EXPECT_TRUE(region.Contains({12, 20}));
    EXPECT_FALSE(region.Contains({13, 20}));
}

TEST(BitmapToRegion, EmptyOrAllKeyBitmapGivesNoRegion) {
    TVxBitmap bitmap;
    EXPECT_TRUE(BitmapToRegion(bitmap, 0, 0).IsEmpty());
    bitmap.SetSize(3, 3);
    bitmap.Fill(TransparentColor);
    EXPECT_TRUE(BitmapToRegion(bitmap, 0, 0).IsEmpty());
}

TEST(BitmapToRegion, HasNoLimitOnTheNumberOfRectangles) {
    TVxBitmap bitmap;
    bitmap.SetSize(200, 100);
    for (int i = 0; i < 200 * 100; i += 2) {
        bitmap.Bits()[i] = TransparentColor;  // every other pixel: 10,000 runs
    }
    EXPECT_EQ(BitmapToRegion(bitmap, 0, 0).Rects().size(), 10000u);
}

TEST(BitmapToRegion, RectanglesStopAtTheEndOfTheCoordinateRange) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    TVxBitmap bitmap;
    bitmap.SetSize(3, 2);
    bitmap.Fill(0xFF000000);
    // Only the top-left pixel lands inside the range; the rest of each run lies beyond it.
    EXPECT_EQ(BitmapToRegion(bitmap, kMax - 1, kMax - 1).Rects(),
              (std::vector<TRect>{{kMax - 1, kMax - 1, kMax, kMax}}));
}

TEST(Region, UnionMakesDisjointBandsAndJoinsEqualNeighbours) {
    TRegion region({0, 0, 10, 10});
    region.Union(TRegion({5, 5, 15, 15}));
    EXPECT_EQ(region.Rects(), (std::vector<TRect>{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}));
    EXPECT_EQ(region.Bounds(), (TRect{0, 0, 15, 15}));

    TRegion rows = TRegion::FromScanRects({{0, 0, 4, 1}, {0, 1, 4, 2}, {6, 1, 8, 2}});
    rows.Union(TRegion({0, 2, 4, 3}));
    EXPECT_EQ(rows.Rects(), (std::vector<TRect>{{0, 0, 4, 1}, {0, 1, 4, 2}, {6, 1, 8, 2}, {0, 2, 4, 3}}));

    TRegion touching({0, 0, 2, 2});
    touching.Union(TRegion({2, 0, 4, 2}));
    EXPECT_EQ(touching.Rects(), (std::vector<TRect>{{0, 0, 4, 2}}));
}

TEST(Region, OffsetAndEmptyParts) {
    TRegion region({0, 0, 2, 2});
    region.Union(TRegion({5, 5, 5, 9}));  // empty: ignored
    region.Offset(3, -1);
    EXPECT_EQ(region.Rects(), (std::vector<TRect>{{3, -1, 5, 1}}));
    TRegion empty;
    empty.Union(region);
    EXPECT_EQ(empty, region);
}

}  // namespace
}  // namespace zaprelay::test
