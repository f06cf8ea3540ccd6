#include "skin/store/bmp_codec.h"

#include "framework/rtl/exceptions.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace zaprelay {
namespace {

uint32_t Get32(const std::vector<uint8_t>& b, std::size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}
void Set32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// A BMP file built here field by field: 40-byte header, optional masks, then rows as given.
std::vector<uint8_t> MakeBmp(int32_t width,
                             int32_t height,
                             uint16_t bits,
                             uint32_t compression,
                             const std::vector<uint32_t>& masks,
                             const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> b(54 + masks.size() * 4);
    b[0] = 'B';
    b[1] = 'M';
    Set32(b, 2, static_cast<uint32_t>(b.size() + rows.size()));
    Set32(b, 10, static_cast<uint32_t>(b.size()));
    Set32(b, 14, 40);
    Set32(b, 18, static_cast<uint32_t>(width));
    Set32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    Set32(b, 30, compression);
    for (std::size_t i = 0; i < masks.size(); ++i) {
        Set32(b, 54 + 4 * i, masks[i]);
    }
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

std::unique_ptr<TVxBitmap> Decoded(const std::vector<uint8_t>& bytes) {
    auto bitmap = std::make_unique<TVxBitmap>();
    DecodeBmp(bytes, *bitmap);
    return bitmap;
}

TEST(BmpCodecTest, EncodesA565FileWithPaddedBottomUpRows) {
    TVxBitmap bitmap;
    bitmap.SetSize(3, 2);
    const TPixel pixels[] = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF, 0xFF000000, 0xFF804020};
    std::copy(std::begin(pixels), std::end(pixels), bitmap.Bits());
    const std::vector<uint8_t> file = EncodeBmp565(bitmap);

    ASSERT_EQ(file.size(), 66u + 2 * 8);  // rows of 6 bytes padded to 8
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Get32(file, 2), file.size());
    EXPECT_EQ(Get32(file, 10), 66u);
    EXPECT_EQ(Get32(file, 14), 40u);
    EXPECT_EQ(Get32(file, 18), 3u);
    EXPECT_EQ(Get32(file, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(file[28], 16);
    EXPECT_EQ(Get32(file, 30), 3u);  // bit fields
    EXPECT_EQ(Get32(file, 54), 0xF800u);
    EXPECT_EQ(Get32(file, 58), 0x07E0u);
    EXPECT_EQ(Get32(file, 62), 0x001Fu);
    auto word = [&](int x, int storedRow) {
        return file[66 + storedRow * 8 + x * 2] | file[67 + storedRow * 8 + x * 2] << 8;
    };
    // The first stored row is the bottom one.
    EXPECT_EQ(word(0, 0), 0xFFFF);
    EXPECT_EQ(word(1, 0), 0x0000);
    EXPECT_EQ(word(2, 0), (0x80 >> 3) << 11 | (0x40 >> 2) << 5 | 0x20 >> 3);
    EXPECT_EQ(word(0, 1), 0xF800);
    EXPECT_EQ(word(1, 1), 0x07E0);
    EXPECT_EQ(word(2, 1), 0x001F);
}

TEST(BmpCodecTest, RoundTripKeepsEachChannelsTopBitsAndIsOpaque) {
    TVxBitmap bitmap;
    bitmap.SetSize(37, 11);
    std::mt19937 random(42);
    for (int i = 0; i < 37 * 11; ++i) {
        bitmap.Bits()[i] = random();
    }
    std::unique_ptr<TVxBitmap> decoded = Decoded(EncodeBmp565(bitmap));
    const TVxBitmap& back = *decoded;
    ASSERT_EQ(back.Width(), 37);
    ASSERT_EQ(back.Height(), 11);
    auto widen = [](uint32_t v, int bits) {  // the top bits repeated into the low ones
        uint32_t top = v >> (8 - bits);
        return bits == 5 ? (top << 3 | top >> 2) : (top << 2 | top >> 4);
    };
    for (int i = 0; i < 37 * 11; ++i) {
        const TPixel p = bitmap.Bits()[i];
        const TPixel expected =
            0xFF000000 | widen(p >> 16 & 0xFF, 5) << 16 | widen(p >> 8 & 0xFF, 6) << 8 | widen(p & 0xFF, 5);
        ASSERT_EQ(back.Bits()[i], expected) << "pixel " << i << " was " << std::hex << p;
    }
    // The key colour comes back within the loader's tolerance of it.
    TVxBitmap key;
    key.SetSize(1, 1);
    key.Fill(TransparentColor);
    EXPECT_EQ(Decoded(EncodeBmp565(key))->GetPixel(0, 0), 0xFF7B007Bu);
}

TEST(BmpCodecTest, ReadsEachPlainAndBitFieldFormatInBothRowOrders) {
    // 2 x 2 pictures: top row red, green; bottom row blue, white.
    struct Case {
        const char* Name;
        std::vector<uint8_t> File;
    };
    const std::vector<Case> cases = {
        {"24 bits bottom-up", MakeBmp(2, 2, 24, 0, {},
                                      {255, 0, 0, 255, 255, 255, 0, 0,  // blue, white, pad
                                       0, 0, 255, 0, 255, 0, 0, 0})},
        {"32 bits top-down", MakeBmp(2, -2, 32, 0, {}, {0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9, 255, 255, 255, 9})},
        {"32 bits fields", MakeBmp(2, -2, 32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000},  // R and B swapped
                                   {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0})},
        {"16 bits 5-5-5", MakeBmp(2, -2, 16, 0, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F})},
        {"16 bits 5-6-5",
         MakeBmp(2, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, {0x1F, 0x00, 0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TVxBitmap> decoded = Decoded(c.File);
        const TVxBitmap& bitmap = *decoded;
        ASSERT_EQ(bitmap.Width(), 2);
        ASSERT_EQ(bitmap.Height(), 2);
        EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFFFF0000u);
        EXPECT_EQ(bitmap.GetPixel(1, 0), 0xFF00FF00u);
        EXPECT_EQ(bitmap.GetPixel(0, 1), 0xFF0000FFu);
        EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFFFFFFFFu);
    }
}

TEST(BmpCodecTest, PicturesWithoutPixelsLeaveTheTargetAlone) {
    TVxBitmap empty;
    EXPECT_TRUE(Decoded(EncodeBmp565(empty))->Empty());
    TVxBitmap target;
    target.SetSize(2, 2);
    target.Fill(0x12345678);
    DecodeBmp(MakeBmp(0, 5, 24, 0, {}, {}), target);
    EXPECT_EQ(target.GetPixel(1, 1), 0x12345678u);
}

TEST(BmpCodecTest, RefusesDamagedFilesBeforeTouchingTheTarget) {
    const std::vector<uint8_t> good = MakeBmp(2, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, std::vector<uint8_t>(8, 0x55));
    ASSERT_NO_THROW(Decoded(good));
    struct Damage {
        const char* Name;
        std::size_t At;
        uint32_t Value;
    };
    const std::vector<Damage> damages = {
        {"signature", 0, 0x4D43},
        {"offset beyond the end", 10, 1000},
        {"offset inside the headers", 10, 20},
        {"core header", 14, 12},
        {"header larger than the file", 14, 4000},
        {"negative width", 18, 0xFFFFFFFE},
        {"rows beyond the data", 22, 3},
        {"height of INT32_MIN", 22, 0x80000000},
        {"huge width and height", 18, 0x7FFFFFFF},
        {"no planes", 26, 0x00100000},
        {"8 bits", 28, 0x00030008},
        {"run-length compression", 30, 1},
        {"bit fields at 24 bits", 28, 0x00030018},
        {"zero mask", 54, 0},
        {"broken mask", 58, 0x0F0F},
        {"mask beyond 16 bits", 62, 0x1F0000},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.Name);
        std::vector<uint8_t> bad = good;
        Set32(bad, d.At, d.Value);
        if (std::string(d.Name) == "huge width and height") {
            Set32(bad, 22, 0x7FFFFFFF);
        }
        TVxBitmap target;
        target.SetSize(1, 1);
        target.Fill(0xCAFEBABE);
        try {
            DecodeBmp(bad, target);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Bitmap image is not valid");
        }
        EXPECT_EQ(target.Width(), 1);
        EXPECT_EQ(target.GetPixel(0, 0), 0xCAFEBABEu);
    }
    // Every cut of the file.
    for (std::size_t size = 0; size < good.size(); ++size) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        TVxBitmap target;
        EXPECT_THROW(DecodeBmp(cut, target), Exception) << "cut at " << size;
    }
}

}  // namespace
}  // namespace zaprelay
