#include "framework/graphics/raster_canvas.h"

#include "framework/graphics/vx_bitmap.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace zaprelay {
namespace {

constexpr TPixel kBack = 0xFF102030;
constexpr TPixel kGuardPixel = 0xDEADBEEF;
constexpr TPixel kRed = 0xFFFF0000;

// A 32 x 24 surface inside a larger buffer whose guard pixels before and after must never change.
class RasterCanvasTest : public ::testing::Test {
protected:
    static constexpr int32_t kW = 32;
    static constexpr int32_t kH = 24;
    static constexpr int32_t kGuard = 256;

    RasterCanvasTest() {
        Reset();
        canvas.SetFont(MakeFont(-11, 0));
    }

    static TFontData MakeFont(int32_t height, TFontStyles style) {
        TFontData font;
        font.Height = height;
        font.Style = style;
        font.Color = clRed;
        return font;
    }

    TPixel At(int32_t x, int32_t y) const { return surface.Bits[x + y * kW]; }
    std::vector<TPixel> Pixels() const { return {surface.Bits, surface.Bits + kW * kH}; }
    int Count(const TRect& area, TPixel pixel) const {
        int n = 0;
        for (int32_t y = area.Top; y < area.Bottom; ++y) {
            for (int32_t x = area.Left; x < area.Right; ++x) {
                n += At(x, y) == pixel ? 1 : 0;
            }
        }
        return n;
    }
    int Count(TPixel pixel) const { return Count({0, 0, kW, kH}, pixel); }
    // The smallest rectangle around every pixel that is no longer the background.
    TRect Ink() const {
        TRect ink{kW, kH, 0, 0};
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                if (At(x, y) != kBack) {
                    ink = {std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1),
                           std::max(ink.Bottom, y + 1)};
                }
            }
        }
        return ink;
    }
    bool GuardIntact() const {
        auto intact = [](const TPixel* p, int32_t n) {
            return std::all_of(p, p + n, [](TPixel v) { return v == kGuardPixel; });
        };
        return intact(buffer.data(), kGuard) && intact(buffer.data() + kGuard + kW * kH, kGuard);
    }
    void Reset() { std::fill(surface.Bits, surface.Bits + kW * kH, kBack); }
    // The pixels of text drawn at (0, 0) on a clean surface.
    std::vector<TPixel> TextPixels(int32_t height, TFontStyles style, std::u16string_view text) {
        Reset();
        canvas.SetFont(MakeFont(height, style));
        canvas.TextOut(0, 0, text);
        return Pixels();
    }

    std::vector<TPixel> buffer = std::vector<TPixel>(kGuard + kW * kH + kGuard, kGuardPixel);
    TPixelSurface surface{buffer.data() + kGuard, kW, kH};
    TRasterCanvas canvas{surface};
};

TEST_F(RasterCanvasTest, FillRectWritesOpaqueColourClippedToSurfaceAndClNoneNothing) {
    canvas.FillRect({-5, -5, 4, 3}, clRed);
    EXPECT_EQ(Count(kRed), 12);
    EXPECT_EQ(Count({0, 0, 4, 3}, kRed), 12);
    canvas.FillRect({0, 0, kW, kH}, clNone);
    EXPECT_EQ(Count(kRed), 12);
    ASSERT_TRUE(canvas.PixelSurface().has_value());
    EXPECT_EQ(canvas.PixelSurface()->Bits, surface.Bits);
}

TEST_F(RasterCanvasTest, FrameRectDrawsOneRingInsideTheRect) {
    canvas.FrameRect({2, 2, 8, 6}, clRed);
    EXPECT_EQ(Count(kRed), 16);
    EXPECT_EQ(Count({2, 2, 8, 6}, kRed), 16);
    EXPECT_EQ(Count({3, 3, 7, 5}, kBack), 8);
}

TEST_F(RasterCanvasTest, ExcludedRectStaysUntilRestore) {
    canvas.Save();
    canvas.ExcludeClipRect({4, 4, 8, 8});
    canvas.FillRect({0, 0, kW, kH}, clRed);
    EXPECT_EQ(Count({4, 4, 8, 8}, kBack), 16);
    EXPECT_EQ(Count(kRed), kW * kH - 16);
    canvas.Restore();
    canvas.Restore();  // unbalanced: ignored
    canvas.FillRect({0, 0, kW, kH}, clBlue);
    EXPECT_EQ(Count(0xFF0000FF), kW * kH);
}

TEST_F(RasterCanvasTest, IntersectClipRectsNarrowTheClip) {
    canvas.IntersectClipRect({2, 2, 6, 6});
    canvas.IntersectClipRect({4, 4, 10, 10});
    canvas.FillRect({0, 0, kW, kH}, clRed);
    EXPECT_EQ(Count(kRed), 4);
    EXPECT_EQ(Count({4, 4, 6, 6}, kRed), 4);
}

TEST_F(RasterCanvasTest, OriginMovesDrawingAndClipAndIsSaved) {
    canvas.Save();
    canvas.SetOrigin({10, 5});
    canvas.IntersectClipRect({10, 5, 14, 9});  // device (0, 0, 4, 4)
    canvas.FillRect({0, 0, 100, 100}, clRed);
    EXPECT_EQ(Count({0, 0, 4, 4}, kRed), 16);
    EXPECT_EQ(Count(kRed), 16);
    canvas.Restore();
    EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
}

TEST_F(RasterCanvasTest, LinesLeaveOutTheirLastPoint) {
    canvas.Line({1, 1}, {6, 1}, clRed);
    EXPECT_EQ(Count({1, 1, 6, 2}, kRed), 5);
    EXPECT_EQ(At(6, 1), kBack);

    Reset();
    const TPoint corner[] = {{1, 3}, {5, 3}, {5, 8}};
    canvas.Polyline(corner, clRed);
    EXPECT_EQ(At(5, 3), kRed);  // a segment's end is the next one's start
    EXPECT_EQ(At(5, 8), kBack);
    EXPECT_EQ(Count(kRed), 4 + 5);

    Reset();
    canvas.Line({0, 0}, {4, 4}, clRed);
    EXPECT_EQ(Count(kRed), 4);
    EXPECT_EQ(At(3, 3), kRed);
    EXPECT_EQ(At(4, 4), kBack);
}

TEST_F(RasterCanvasTest, FarOffLinesStayExactWhereTheyCrossTheSurface) {
    canvas.Line({-2000000000, 10}, {2000000000, 10}, clRed);
    EXPECT_EQ(Count({0, 10, kW, 11}, kRed), kW);
    EXPECT_EQ(Count(kRed), kW);

    Reset();
    canvas.SetOrigin({-2000000000, -2000000000});
    canvas.Line({-2147483647, -2147483647}, {2147483647, 2147483647}, clRed);
    for (int32_t k = 0; k < kH; ++k) {
        EXPECT_EQ(At(k, k), kRed) << k;
    }
    EXPECT_EQ(Count(kRed), kH);
}

TEST_F(RasterCanvasTest, FocusRectInvertsEveryOtherPixelAndTwiceRestores) {
    const std::vector<TPixel> before = Pixels();
    canvas.DrawFocusRect({2, 2, 10, 6});
    EXPECT_EQ(At(2, 2), kBack ^ 0x00FFFFFF);
    EXPECT_EQ(At(3, 2), kBack);
    EXPECT_EQ(At(9, 5), kBack ^ 0x00FFFFFF);
    EXPECT_EQ(Count(kBack ^ 0x00FFFFFF), 10);
    canvas.DrawFocusRect({2, 2, 10, 6});
    EXPECT_EQ(Pixels(), before);
}

TEST_F(RasterCanvasTest, TextExtentScalesWithHeightAndBoldWidens) {
    auto extent = [&](int32_t height, TFontStyles style) {
        canvas.SetFont(MakeFont(height, style));
        return canvas.TextExtent(u"abc");
    };
    EXPECT_EQ(extent(-11, 0), (TPoint{18, 8}));
    EXPECT_EQ(extent(0, 0), (TPoint{18, 8}));
    EXPECT_EQ(extent(-12, 0), (TPoint{36, 16}));
    EXPECT_EQ(extent(23, 0), (TPoint{54, 24}));
    EXPECT_EQ(extent(-11, FontStyleBit(fsBold)), (TPoint{21, 8}));
    // A surrogate pair is one (unknown) character.
    canvas.SetFont(MakeFont(-11, 0));
    EXPECT_EQ(canvas.TextExtent(u"\U0001F600"), (TPoint{6, 8}));
}

TEST_F(RasterCanvasTest, ScaledGlyphIsTheSmallOneInBlocks) {
    const std::vector<TPixel> small = TextPixels(-11, 0, u"Ж");
    TextPixels(-20, 0, u"Ж");
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 12; ++x) {
            EXPECT_EQ(At(x, y), small[x / 2 + y / 2 * kW]) << x << "," << y;
        }
    }
    EXPECT_EQ(Ink(), (TRect{0, 0, 10, 14}));
}

TEST_F(RasterCanvasTest, BoldIsTheGlyphTwiceOnePixelApart) {
    const std::vector<TPixel> plain = TextPixels(-11, 0, u"W");
    TextPixels(-11, FontStyleBit(fsBold), u"W");
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            const bool ink = plain[x + y * kW] == kRed || (x > 0 && plain[x - 1 + y * kW] == kRed);
            EXPECT_EQ(At(x, y) == kRed, ink) << x << "," << y;
        }
    }
}

TEST_F(RasterCanvasTest, UnderlineStrikeOutAndItalic) {
    canvas.SetFont(MakeFont(-11, FontStyleBit(fsUnderline) | FontStyleBit(fsStrikeOut)));
    canvas.TextOut(1, 2, u"ab");
    EXPECT_EQ(Count({0, 9, kW, 10}, kRed), 12);  // row 7 of the cell, across both advances
    EXPECT_EQ(Count({1, 6, 13, 7}, kRed), 12);   // row 4

    const std::vector<TPixel> upright = TextPixels(-11, 0, u"l");
    TextPixels(-11, FontStyleBit(fsItalic), u"l");
    const int32_t shift = TRasterFont(canvas.Font()).ItalicShift(0);
    ASSERT_GT(shift, 0);
    for (int32_t x = 0; x + shift < kW; ++x) {
        EXPECT_EQ(At(x + shift, 0), upright[x]);
    }
    EXPECT_EQ(Count({0, 6, kW, 7}, kRed), 3);
    EXPECT_EQ(At(1, 6), kRed);
}

TEST(RasterCanvasFontTest, EnglishAndRussianLettersHaveTheirOwnGlyphs) {
    const TGlyphRows& box = RasterGlyph(0x4E2D);
    EXPECT_FALSE(RasterFontHasGlyph(0x4E2D));
    EXPECT_FALSE(RasterFontHasGlyph(u'\t'));
    const std::pair<char32_t, char32_t> ranges[] = {{0x21, 0x7E}, {0x401, 0x401}, {0x410, 0x44F}, {0x451, 0x451}};
    for (auto [first, last] : ranges) {
        for (char32_t c = first; c <= last; ++c) {
            EXPECT_TRUE(RasterFontHasGlyph(c)) << std::hex << static_cast<uint32_t>(c);
            const TGlyphRows& glyph = RasterGlyph(c);
            EXPECT_NE(glyph, box) << std::hex << static_cast<uint32_t>(c);
            EXPECT_TRUE(std::any_of(glyph.begin(), glyph.end(), [](uint8_t row) { return row != 0; }));
            EXPECT_TRUE(std::all_of(glyph.begin(), glyph.end(), [](uint8_t row) { return row < 0x20; }));
        }
    }
    EXPECT_FALSE(RasterFontHasGlyph(0x450));
    EXPECT_NE(RasterGlyph(U'Ш'), RasterGlyph(U'Щ'));
    EXPECT_NE(RasterGlyph(U'И'), RasterGlyph(U'Й'));
}

TEST_F(RasterCanvasTest, DrawTextPlacesSingleLines) {
    TRect rect{0, 0, 30, 20};
    const uint32_t single = TextFormat::SingleLine;
    EXPECT_EQ(canvas.DrawText(u"AB", rect, single | TextFormat::Center | TextFormat::VCenter), 8);
    EXPECT_EQ(Ink(), (TRect{9, 6, 20, 13}));
    Reset();
    canvas.DrawText(u"AB", rect, single | TextFormat::Right | TextFormat::Bottom);
    EXPECT_EQ(Ink(), (TRect{18, 12, 29, 19}));
    Reset();
    canvas.DrawText(u"AB", rect, single | TextFormat::RtlReading);
    EXPECT_EQ(Ink(), (TRect{0, 0, 11, 7}));
    // Bottom and VCenter are for single lines only.
    Reset();
    canvas.DrawText(u"AB", rect, TextFormat::Bottom);
    EXPECT_EQ(Ink().Top, 0);
}

TEST_F(RasterCanvasTest, WordBreakWrapsAtSpacesToTheRectWidth) {
    TRect rect{0, 0, 30, kH};
    EXPECT_EQ(canvas.DrawText(u"one two three", rect, TextFormat::WordBreak), 24);
    TRect wide{0, 0, 60, kH};
    EXPECT_EQ(canvas.DrawText(u"one two three", wide, TextFormat::WordBreak | TextFormat::CalcRect), 16);
    EXPECT_EQ(wide, (TRect{0, 0, 42, 16}));
    // A word wider than the rectangle keeps its own line; line breaks always break.
    TRect narrow{0, 0, 10, kH};
    EXPECT_EQ(canvas.DrawText(u"a longword\r\nb", narrow, TextFormat::WordBreak | TextFormat::CalcRect), 24);
    EXPECT_EQ(narrow.Right, 48);
    TRect single{0, 0, 10, kH};
    EXPECT_EQ(canvas.DrawText(u"a b\nc", single, TextFormat::WordBreak | TextFormat::SingleLine), 8);
}

TEST_F(RasterCanvasTest, CalcRectMeasuresWithoutDrawing) {
    TRect rect{3, 4, 5, 6};
    EXPECT_EQ(canvas.DrawText(u"ab\ncdef", rect, TextFormat::CalcRect), 16);
    EXPECT_EQ(rect, (TRect{3, 4, 27, 20}));
    EXPECT_EQ(Count(kBack), kW * kH);
    TRect empty{3, 4, 5, 6};
    EXPECT_EQ(canvas.DrawText(u"", empty, TextFormat::CalcRect), 0);
    EXPECT_EQ(empty, (TRect{3, 4, 3, 4}));
    TRect tabbed{0, 0, 0, 0};
    canvas.DrawText(u"a\tb", tabbed, TextFormat::CalcRect | TextFormat::ExpandTabs);
    EXPECT_EQ(tabbed.Right, 8 * 6 + 6);
    canvas.DrawText(u"a\tb", tabbed, TextFormat::CalcRect);
    EXPECT_EQ(tabbed.Right, 18);
}

TEST_F(RasterCanvasTest, AmpersandMarksAnUnderlinedAcceleratorUnlessNoPrefix) {
    TRect rect{0, 0, kW, kH};
    TRect measured = rect;
    canvas.DrawText(u"&Fi", measured, TextFormat::CalcRect);
    EXPECT_EQ(measured.Right, 12);
    measured = rect;
    canvas.DrawText(u"a&&b", measured, TextFormat::CalcRect);
    EXPECT_EQ(measured.Right, 18);

    canvas.DrawText(u"&Fi", rect, 0);
    EXPECT_EQ(Count({0, 7, 6, 8}, kRed), 5);  // under F, which has no descender
    EXPECT_EQ(Count({6, 7, 12, 8}, kRed), 0);

    Reset();
    canvas.DrawText(u"&Fi", rect, TextFormat::NoPrefix);
    EXPECT_EQ(Count({0, 7, kW, 8}, kRed), 0);
    EXPECT_EQ(Ink().Right, 16);  // '&', 'F' and 'i' drawn
}

TEST_F(RasterCanvasTest, DrawTextClipsToItsRectUnlessNoClip) {
    TRect rect{0, 0, 10, 8};
    canvas.DrawText(u"WWWW", rect, TextFormat::SingleLine);
    EXPECT_EQ(Ink().Right, 10);
    Reset();
    canvas.DrawText(u"WWWW", rect, TextFormat::SingleLine | TextFormat::NoClip);
    EXPECT_EQ(Ink().Right, 23);
}

TEST_F(RasterCanvasTest, NothingIsWrittenOutsideTheSurface) {
    // Just right of the surface: a write past a row's end would land on the next row.
    canvas.FillRect({kW, 0, kW + 10, kH}, clRed);
    canvas.FrameRect({kW, -1, kW + 8, kH + 1}, clRed);
    canvas.Line({kW, 0}, {kW + 5, kH}, clRed);
    canvas.DrawFocusRect({kW, 0, kW + 8, kH});
    canvas.TextOut(kW, 0, u"Wide text");
    EXPECT_EQ(Count(kBack), kW * kH);

    canvas.SetFont(MakeFont(-40, 0xF));
    TRect all{-50, -50, kW + 50, kH + 50};
    for (int32_t dx = -20; dx <= 20; dx += 5) {
        canvas.SetOrigin({dx, dx / 2});
        canvas.FillRect(all, clRed);
        canvas.FrameRect({-1, -1, kW + 1, kH + 1}, clBlue);
        canvas.DrawFocusRect({-3, -3, kW + 3, kH + 3});
        const TPoint points[] = {{-100, -7}, {kW + 100, kH + 3}, {kW + 3, -9}, {-4, kH + 40}};
        canvas.Polyline(points, clLime);
        canvas.TextOut(-5, -5, u"Жёлтый & W");
        canvas.TextOut(kW - 10, kH - 10, u"Ww");
        canvas.DrawText(u"Word wrap &test\tand more", all, TextFormat::WordBreak | TextFormat::ExpandTabs);
        canvas.DrawText(u"Tail", all,
                        TextFormat::NoClip | TextFormat::Right | TextFormat::Bottom | TextFormat::SingleLine);
    }
    EXPECT_TRUE(GuardIntact());
}

TEST_F(RasterCanvasTest, BitmapPathsCopyOverTheSurface) {
    TVxBitmap source;
    source.SetSize(2, 2);
    source.Fill(0xFF00FF00);
    *source.PixelPtr(1, 1) = TransparentColor;
    canvas.SetOrigin({-1, -1});
    canvas.StretchCopy(source, {0, 0, 4, 4}, source.BoundsRect());
    EXPECT_EQ(Count({1, 1, 5, 5}, 0xFF00FF00), 12);
    EXPECT_EQ(Count({3, 3, 5, 5}, TransparentColor), 4);

    Reset();
    EXPECT_TRUE(canvas.TransparentCopy(source, {0, 0, 2, 2}, source.BoundsRect()));
    EXPECT_EQ(Count(0xFF00FF00), 3);
    EXPECT_EQ(At(2, 2), kBack);

    canvas.SetOrigin({0, 0});
    TVxBitmap target;
    target.SetSize(4, 4);
    target.Fill(0x11111111);
    canvas.ReadArea({-1, -1, 3, 3}, target);
    EXPECT_EQ(target.GetPixel(0, 0), 0x11111111u);  // outside the surface: left alone
    EXPECT_EQ(target.GetPixel(1, 1), kBack);
    EXPECT_EQ(target.GetPixel(2, 2), 0xFF00FF00u);
}

TEST(RasterCanvasBitmapTest, DrawsIntoABitmapAndAnEmptyOneSafely) {
    TVxBitmap bitmap;
    TRasterCanvas empty(bitmap);
    empty.FillRect({0, 0, 10, 10}, clRed);
    empty.TextOut(0, 0, u"x");
    EXPECT_TRUE(empty.ClipRects().empty());

    bitmap.SetSize(8, 8);
    TRasterCanvas canvas(bitmap);
    canvas.FillRect({1, 1, 2, 2}, clRed);
    EXPECT_EQ(bitmap.GetPixel(1, 1), kRed);
    TVxBitmap source;
    source.SetSize(1, 1);
    source.Fill(0xFF0000FF);
    source.Draw(canvas, 3, 3, false);  // straight into the surface
    EXPECT_EQ(bitmap.GetPixel(3, 3), 0xFF0000FFu);
}

}  // namespace
}  // namespace zaprelay
