// The PNG codec against pictures built here byte by byte with zlib, so the decoder is checked
// against an encoder other than its own.
#include "tools/zapskin/png_codec.h"

#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/exceptions.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include <zlib.h>

namespace zaprelay::zapskin {
namespace {

void PutUint32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutUint32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutUint32(out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// A PNG of unfiltered rows; samples holds each row's bytes without the filter byte.
std::vector<uint8_t> MakePng(uint32_t width,
                             uint32_t height,
                             uint8_t colorType,
                             const std::vector<uint8_t>& samples,
                             uint8_t depth = 8) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutUint32(header, width);
    PutUint32(header, height);
    header.insert(header.end(), {depth, colorType, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    std::vector<uint8_t> raw;
    const std::size_t rowBytes = height == 0 ? 0 : samples.size() / height;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), samples.begin() + static_cast<std::ptrdiff_t>(y * rowBytes),
                   samples.begin() + static_cast<std::ptrdiff_t>((y + 1) * rowBytes));
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

std::vector<TPixel> Pixels(const TVxBitmap& bitmap) {
    return {bitmap.Bits(), bitmap.Bits() + static_cast<std::size_t>(bitmap.Width()) * bitmap.Height()};
}

TEST(PngCodec, EveryEightBitColourTypeDecodesWithItsAlpha) {
    struct TCase {
        const char* Name;
        uint8_t ColorType;
        std::vector<uint8_t> Samples;
        std::vector<TPixel> Expected;
    };
    const std::vector<TPixel> opaque = {0xFF000000, 0xFFC8C8C8, 0xFFFFFFFF, 0xFF111111};
    // Two rows of two pixels each: the second row proves the row stride.
    const TCase cases[] = {
        {"grey", 0, {0, 200, 255, 17}, opaque},
        {"grey+alpha", 4, {0, 0, 200, 9, 255, 255, 17, 128}, {0x00000000, 0x09C8C8C8, 0xFFFFFFFF, 0x80111111}},
        {"RGB", 2, {0, 0, 0, 200, 200, 200, 255, 255, 255, 17, 17, 17}, opaque},
        {"RGBA",
         6,
         {0, 0, 0, 0, 200, 200, 200, 1, 255, 255, 255, 255, 17, 17, 17, 77},
         {0x00000000, 0x01C8C8C8, 0xFFFFFFFF, 0x4D111111}},
    };
    for (const TCase& item : cases) {
        TVxBitmap bitmap;
        DecodePng(MakePng(2, 2, item.ColorType, item.Samples), bitmap);
        EXPECT_EQ(Pixels(bitmap), item.Expected) << item.Name;
    }
    TVxBitmap colour;
    DecodePng(MakePng(1, 1, 2, {0xFF, 0x00, 0xFF}), colour);
    EXPECT_EQ(colour.GetPixel(0, 0), 0xFFFF00FFu);
}

TEST(PngCodec, EncodedRgbaReadsBackExactly) {
    std::vector<uint8_t> rgba;
    for (int i = 0; i < 5 * 3 * 4; ++i) {
        rgba.push_back(static_cast<uint8_t>(i * 37));
    }
    const std::vector<uint8_t> png = EncodePng(5, 3, rgba);
    const TRgbaImage image = DecodePngRgba(png);
    EXPECT_EQ(image.Width, 5);
    EXPECT_EQ(image.Height, 3);
    EXPECT_EQ(image.Rgba, rgba);
    EXPECT_EQ(EncodePng(5, 3, rgba), png);  // the same pixels give the same bytes
    EXPECT_THROW(EncodePng(5, 3, {rgba.data(), rgba.size() - 1}), Exception);
    EXPECT_THROW(EncodePng(0, 3, {}), Exception);
}

TEST(PngCodec, BrokenOrUnsupportedPicturesRaiseAndLeaveTheBitmap) {
    const std::vector<uint8_t> good = MakePng(2, 1, 2, {1, 2, 3, 4, 5, 6});
    std::vector<uint8_t> truncated(good.begin(), good.begin() + 40);
    std::vector<uint8_t> noData = MakePng(2, 1, 2, {});
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> bad = {
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
        {"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
        {"truncated", truncated},
        {"rows missing", noData},
        {"zero width", MakePng(0, 1, 2, {})},
        {"too wide", MakePng(kMaxPngSide + 1, 1, 0, std::vector<uint8_t>(kMaxPngSide + 1))},
        {"16-bit", MakePng(1, 1, 0, {1, 2}, 16)},
    };
    for (const auto& [name, bytes] : bad) {
        TVxBitmap bitmap;
        bitmap.SetSize(1, 1);
        bitmap.Fill(0xFF123456);
        EXPECT_THROW(DecodePng(bytes, bitmap), Exception) << name;
        EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF123456u) << name;
    }
}

}  // namespace
}  // namespace zaprelay::zapskin
