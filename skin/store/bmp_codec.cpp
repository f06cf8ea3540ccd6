#include "skin/store/bmp_codec.h"

#include "framework/rtl/exceptions.h"

#include <bit>
#include <cstdlib>
#include <limits>

namespace zaprelay {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMasksSize = 12;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint16_t U16(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
uint32_t U32(std::span<const uint8_t> b, std::size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

[[noreturn]] void Invalid() {
    throw Exception(msg::kInvalidBitmapImage);
}

// Bytes of one row: whole 32-bit words.
int64_t RowStride(int64_t width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// One colour channel of a packed pixel, as a mask: where it sits and how wide it is.
class Channel {
public:
    explicit Channel(uint32_t mask) {
        if (mask == 0) {
            Invalid();
        }
        m_shift = std::countr_zero(mask);
        m_bits = std::popcount(mask);
        // Only one unbroken run of bits describes a channel.
        if (m_bits < 32 && (mask >> m_shift) != (uint32_t{1} << m_bits) - 1) {
            Invalid();
        }
        m_mask = mask;
    }

    // To 8 bits: wide channels keep their top bits, narrow ones repeat theirs, so full
    // intensity stays 255.
    uint32_t Expand(uint32_t packed) const {
        uint32_t v = (packed & m_mask) >> m_shift;
        if (m_bits >= 8) {
            return v >> (m_bits - 8);
        }
        uint32_t out = v << (8 - m_bits);
        for (int filled = m_bits; filled < 8; filled += m_bits) {
            out |= out >> m_bits;
        }
        return out & 0xFF;
    }

private:
    uint32_t m_mask = 0;
    int m_shift = 0;
    int m_bits = 0;
};

struct Masks {
    uint32_t Red;
    uint32_t Green;
    uint32_t Blue;
};

}  // namespace

namespace {

// A BMP file of the bitmap's size: 16 bits as 5-6-5 bit fields, or 24 bits; rows bottom-up.
std::vector<uint8_t> EncodeBmp(const TVxBitmap& bitmap, int bitsPerPixel) {
    const int32_t width = bitmap.Empty() ? 0 : bitmap.Width();
    const int32_t height = bitmap.Empty() ? 0 : bitmap.Height();
    const bool fields = bitsPerPixel == 16;
    const int64_t stride = RowStride(width, bitsPerPixel);
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + (fields ? kMasksSize : 0);

    std::vector<uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);  // two reserved words
    Put32(out, offset);
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));  // positive: rows bottom-up
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(bitsPerPixel));
    Put32(out, fields ? kBiBitfields : kBiRgb);
    Put32(out, imageSize);
    Put32(out, 0);  // resolution, palette: unused
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    if (fields) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    for (int32_t y = height - 1; y >= 0; --y) {
        const TPixel* row = bitmap.Bits() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int32_t x = 0; x < width; ++x) {
            TPixel p = row[x];
            uint32_t r = (p >> 16) & 0xFF;
            uint32_t g = (p >> 8) & 0xFF;
            uint32_t b = p & 0xFF;
            if (fields) {
                Put16(out, static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3));
            } else {
                out.insert(out.end(), {static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r)});
            }
        }
        for (int64_t pad = int64_t{width} * bitsPerPixel / 8; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeBmp565(const TVxBitmap& bitmap) {
    return EncodeBmp(bitmap, 16);
}

std::vector<uint8_t> EncodeBmp24(const TVxBitmap& bitmap) {
    return EncodeBmp(bitmap, 24);
}

void DecodeBmp(std::span<const uint8_t> bytes, TVxBitmap& target) {
    const std::size_t size = bytes.size();
    if (size < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        Invalid();
    }
    const uint32_t offset = U32(bytes, 10);
    const uint32_t infoSize = U32(bytes, 14);
    if (infoSize < kInfoHeaderSize || infoSize > size - kFileHeaderSize) {
        Invalid();
    }
    const auto width = static_cast<int32_t>(U32(bytes, 18));
    const auto height = static_cast<int32_t>(U32(bytes, 22));
    const uint16_t planes = U16(bytes, 26);
    const uint16_t bitsPerPixel = U16(bytes, 28);
    const uint32_t compression = U32(bytes, 30);
    if (planes != 1 || width < 0 || height == std::numeric_limits<int32_t>::min()) {
        Invalid();
    }

    Masks masks{};
    if (compression == kBiBitfields && (bitsPerPixel == 16 || bitsPerPixel == 32)) {
        // After a 40-byte header the masks follow it; larger headers hold them in that place.
        if (kFileHeaderSize + kInfoHeaderSize + kMasksSize > size) {
            Invalid();
        }
        const std::size_t at = kFileHeaderSize + kInfoHeaderSize;
        masks = {U32(bytes, at), U32(bytes, at + 4), U32(bytes, at + 8)};
        if (bitsPerPixel == 16 && ((masks.Red | masks.Green | masks.Blue) >> 16) != 0) {
            Invalid();
        }
    } else if (compression == kBiRgb && bitsPerPixel == 16) {
        masks = {0x7C00, 0x03E0, 0x001F};
    } else if (compression == kBiRgb && (bitsPerPixel == 24 || bitsPerPixel == 32)) {
        masks = {0xFF0000, 0x00FF00, 0x0000FF};
    } else {
        Invalid();
    }
    const Channel red(masks.Red);
    const Channel green(masks.Green);
    const Channel blue(masks.Blue);

    const int64_t rows = std::llabs(int64_t{height});
    const int64_t stride = RowStride(width, bitsPerPixel);
    const uint32_t headersEnd = kFileHeaderSize + infoSize;
    // Divided, not multiplied: a crafted width times a crafted height overflows.
    if (offset < headersEnd || offset > size || (stride != 0 && rows > static_cast<int64_t>(size - offset) / stride)) {
        Invalid();
    }
    if (width == 0 || rows == 0) {
        return;
    }
    target.SetSize(width, static_cast<int32_t>(rows));

    const int bytesPerPixel = bitsPerPixel / 8;
    const bool bottomUp = height > 0;
    for (int64_t y = 0; y < rows; ++y) {
        const int64_t stored = bottomUp ? rows - 1 - y : y;
        const uint8_t* src = bytes.data() + offset + stored * stride;
        TPixel* dst = target.PixelPtr(0, static_cast<int32_t>(y));
        for (int32_t x = 0; x < width; ++x, src += bytesPerPixel) {
            uint32_t packed = 0;
            for (int i = 0; i < bytesPerPixel; ++i) {
                packed |= uint32_t{src[i]} << (8 * i);
            }
            dst[x] = 0xFF000000 | red.Expand(packed) << 16 | green.Expand(packed) << 8 | blue.Expand(packed);
        }
    }
}

}  // namespace zaprelay
