#include "framework/graphics/vx_bitmap.h"

#include "framework/graphics/bitmap_link.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "tests/unit/framework/graphics/fake_canvas.h"

#include <gtest/gtest.h>

namespace zaprelay::test {
namespace {

constexpr TPixel kRed = 0xFFFF0000;
constexpr TPixel kBlue = 0xFF0000FF;

TEST(VxBitmap, ZeroSizesAndTheCurrentSizeKeepStorageAndPixels) {
    TVxBitmap bitmap;
    bitmap.SetSize(5, 4);
    bitmap.Fill(kRed);
    TPixel* bits = bitmap.Bits();
    bitmap.SetSize(0, 50);
    bitmap.SetSize(50, 0);
    bitmap.SetSize(5, 4);
    bitmap.SetSize(-5, -4);
    EXPECT_EQ(bitmap.Bits(), bits);
    EXPECT_EQ(bitmap.GetPixel(4, 3), kRed);

    bitmap.SetSize(-3, -4);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 3; ++x) {
            ASSERT_EQ(bitmap.GetPixel(x, y), 0u) << "new storage is all zero";
        }
    }
}

TEST(VxBitmap, OversizedStorageIsRefusedAndLeavesTheBitmapEmpty) {
    TVxBitmap bitmap;
    bitmap.SetSize(2, 2);
    try {
        bitmap.SetSize(40000, 40000);  // 6.4 GB of pixels
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.GetPixel(0, 0), NoPixel);
}

TEST(VxBitmap, ReadsOutsideGiveNoPixel) {
    TVxBitmap bitmap;
    EXPECT_EQ(bitmap.GetPixel(0, 0), NoPixel);
    bitmap.SetSize(3, 2);
    EXPECT_EQ(bitmap.GetPixel(-1, 0), NoPixel);
    EXPECT_EQ(bitmap.GetPixel(3, 0), NoPixel);
    EXPECT_EQ(bitmap.GetPixel(0, 2), NoPixel);
    EXPECT_EQ(bitmap.GetPixel(2, 1), 0u);
}

TEST(VxBitmap, SetAlphaReachesTheLastPixel) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 3}}) {
        TVxBitmap bitmap;
        bitmap.SetSize(w, h);
        bitmap.Fill(0x00123456);
        bitmap.SetAlpha(255);
        EXPECT_EQ(bitmap.GetPixel(w - 1, h - 1), 0xFF123456u) << w << "x" << h;
        EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF123456u);
    }
    TVxBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.SetAlphaRect(200, {1, 1, 1, 3});  // zero width: nothing
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0u);
    bitmap.SetAlphaRect(200, {2, 2, 9, 9});  // clipped
    EXPECT_EQ(bitmap.GetPixel(3, 3), 0xC8000000u);
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0u);
}

TEST(VxBitmap, FillRectBlendsOnlyWhileAlphaBlendIsSet) {
    TVxBitmap bitmap;
    bitmap.SetSize(2, 1);
    bitmap.Fill(kBlue);
    bitmap.FillRect({0, 0, 1, 1}, 0x80FF0000);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0x80FF0000u);
    bitmap.SetAlphaBlend(true);
    bitmap.FillRect({1, 0, 5, 5}, 0x80FF0000);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0xBF80007Fu);
}

TEST(VxBitmap, ReplaceColorKeysNearColoursOnly) {
    TVxBitmap bitmap;
    bitmap.SetSize(2, 1);
    *bitmap.PixelPtr(0, 0) = 0xFFFA05FA;  // 250, 5, 250
    *bitmap.PixelPtr(1, 0) = 0xFFF900FF;  // 249, 0, 255
    bitmap.ReplaceColor(0xFFFF00FF);
    EXPECT_EQ(bitmap.GetPixel(0, 0), TransparentColor);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0xFFF900FFu);
}

TEST(VxBitmap, StreamRecordRoundTripsNameSizeAndPixels) {
    TVxBitmap source;
    source.SetName("FRAMECAPTION.BMP");
    source.SetSize(3, 2);
    for (int i = 0; i < 6; ++i) {
        source.Bits()[i] = 0x01020304u * static_cast<TPixel>(i + 1);
    }
    TMemoryStream stream;
    source.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), 4 + 16 + 4 + 4 + 24);
    stream.SetPosition(0);
    TVxBitmap copy;
    copy.LoadFromStream(stream);
    EXPECT_EQ(copy.Name(), "FRAMECAPTION.BMP");
    ASSERT_EQ(copy.Width(), 3);
    EXPECT_TRUE(std::equal(copy.Bits(), copy.Bits() + 6, source.Bits()));
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(VxBitmap, StreamRecordWithoutPixelsOrWithMoreThanTheStreamHolds) {
    TMemoryStream empty;
    empty.WriteInt32(1);
    empty.WriteByte('A');
    empty.WriteInt32(0);
    empty.WriteInt32(7);
    empty.SetPosition(0);
    TVxBitmap bitmap;
    bitmap.LoadFromStream(empty);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Name(), "A");

    // The largest sizes too: their product does not fit 64 bits once counted in bytes.
    for (auto [w, h] :
         {std::pair{100000, 100000}, std::pair{2, 2}, std::pair{-1, 5}, std::pair{INT32_MAX, INT32_MAX}}) {
        TMemoryStream crafted;
        crafted.WriteInt32(0);
        crafted.WriteInt32(w);
        crafted.WriteInt32(h);
        crafted.WriteInt32(0);  // 4 bytes where far more are claimed
        crafted.SetPosition(0);
        try {
            bitmap.LoadFromStream(crafted);
            FAIL() << w << "x" << h << " accepted";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
    }
    TMemoryStream hugeName;
    hugeName.WriteInt32(0x7FFFFFFF);
    hugeName.SetPosition(0);
    EXPECT_THROW(bitmap.LoadFromStream(hugeName), EReadError);
}

TEST(VxBitmap, TransparentStretchIntoAPixelSurfaceSkipsKeyPixelsWhateverTheirAlpha) {
    TVxBitmap target;
    target.SetSize(3, 1);
    target.Fill(kBlue);
    TVxBitmap source;
    source.SetSize(3, 1);
    source.Bits()[0] = kRed;
    source.Bits()[1] = TransparentColor;
    source.Bits()[2] = 0xFF7F007F;  // the key with full alpha is still the key
    TFakeCanvas canvas(target.Surface());
    source.Draw(canvas, 0, 0, true);
    EXPECT_EQ(target.GetPixel(0, 0), kRed);
    EXPECT_EQ(target.GetPixel(1, 0), kBlue);
    EXPECT_EQ(target.GetPixel(2, 0), kBlue);
    source.Draw(canvas, 0, 0, false);
    EXPECT_EQ(target.GetPixel(1, 0), TransparentColor);
}

TEST(VxBitmap, DirectDrawingAppliesTheCanvasOrigin) {
    TVxBitmap target;
    target.SetSize(4, 4);
    TVxBitmap source;
    source.SetSize(1, 1);
    source.Fill(kRed);
    TFakeCanvas canvas(target.Surface());
    canvas.SetOrigin({-2, -1});  // logical (0, 0) is device (2, 1)
    source.Draw(canvas, 0, 0, false);
    EXPECT_EQ(target.GetPixel(2, 1), kRed);
}

TEST(VxBitmap, TileDrawCoversTheRectangleWithFullAndCutTiles) {
    TVxBitmap source;
    source.SetSize(10, 10);
    TFakeCanvas canvas;  // a platform target: every tile is one blit
    source.TileDraw(canvas, {0, 0, 25, 15}, {0, 0, 10, 10}, false);
    std::vector<std::pair<TRect, TRect>> blits;
    for (const auto& b : canvas.Blits) {
        blits.emplace_back(b.Dest, b.Src);
    }
    EXPECT_EQ(blits, (std::vector<std::pair<TRect, TRect>>{
                         {{0, 0, 10, 10}, {0, 0, 10, 10}},
                         {{0, 10, 10, 15}, {0, 0, 10, 5}},
                         {{10, 0, 20, 10}, {0, 0, 10, 10}},
                         {{10, 10, 20, 15}, {0, 0, 10, 5}},
                         {{20, 0, 25, 10}, {0, 0, 5, 10}},
                         {{20, 10, 25, 15}, {0, 0, 5, 5}},
                     }));
    canvas.Blits.clear();
    source.TileDraw(canvas, {0, 0, 25, 15}, {3, 3, 3, 8}, false);
    EXPECT_TRUE(canvas.Blits.empty()) << "an empty source tile draws nothing";
}

TEST(VxBitmap, TransparentDrawWithoutAPlatformBlitComposesOverWhatIsThere) {
    TVxBitmap source;
    source.SetSize(2, 1);
    source.Bits()[0] = kRed;
    source.Bits()[1] = TransparentColor;
    TFakeCanvas canvas(std::nullopt, /*hasTransparentBlit=*/false);
    source.StretchDraw(canvas, {5, 5, 9, 6}, {0, 0, 2, 1}, true);
    ASSERT_EQ(canvas.ReadAreas, (std::vector<TRect>{{5, 5, 9, 6}}));
    ASSERT_EQ(canvas.Blits.size(), 1u);
    EXPECT_EQ(canvas.Blits[0].Dest, (TRect{5, 5, 9, 6}));
    EXPECT_FALSE(canvas.Blits[0].Transparent);
    EXPECT_EQ(canvas.LastCopied, (std::vector<TPixel>{kRed, kRed, canvas.Background, canvas.Background}));

    canvas.Blits.clear();
    source.StretchDraw(canvas, {5, 5, 9, 6}, {7, 7, 9, 9}, true);  // source rectangle misses the bitmap
    EXPECT_TRUE(canvas.Blits.empty());
}

TEST(VxBitmap, DrawToBlendsOnlyWithAlphaBlend) {
    TVxBitmap target;
    target.SetSize(2, 1);
    target.Fill(kBlue);
    TVxBitmap source;
    source.SetSize(2, 1);
    source.Bits()[0] = 0x80FF0000;
    source.Bits()[1] = 0x00FF0000;
    source.SetAlphaBlend(true);
    source.DrawTo(target, {0, 0, 2, 1}, {0, 0, 2, 1});
    EXPECT_EQ(target.GetPixel(0, 0), 0xBF80007Fu);
    EXPECT_EQ(target.GetPixel(1, 0), kBlue);
    source.SetAlphaBlend(false);
    source.DrawTo(target, {0, 0, 2, 1}, {0, 0, 2, 1});
    EXPECT_EQ(target.GetPixel(1, 0), 0x00FF0000u);
}

TEST(VxBitmap, CopyFromAnotherBitmapChangesNothingAndOtherTypesFail) {
    TVxBitmap a, b;
    a.SetSize(2, 2);
    b.CopyFrom(a);
    EXPECT_TRUE(b.Empty());
    TFont font;
    EXPECT_THROW(b.CopyFrom(font), EConvertError);
}

}  // namespace
}  // namespace zaprelay::test
