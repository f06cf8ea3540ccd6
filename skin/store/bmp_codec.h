// Windows BMP files for the skin store: writes the 16-bit 5-6-5 pictures the most compressed
// skins hold, and reads the uncompressed 16-, 24- and 32-bit pictures such files may carry.
#pragma once

#include "framework/graphics/vx_bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zaprelay {

namespace msg {
inline constexpr char kInvalidBitmapImage[] = "Bitmap image is not valid";
}  // namespace msg

// A complete BMP file (file header, 40-byte info header, the three bit-field masks, rows
// bottom-up padded to four bytes) of the bitmap's size; each channel keeps its top bits and
// alpha is dropped. An empty bitmap gives a file of size 0 x 0 without rows.
std::vector<uint8_t> EncodeBmp565(const TVxBitmap& bitmap);
// The same with 24 bits per pixel, every colour exact (alpha dropped).
std::vector<uint8_t> EncodeBmp24(const TVxBitmap& bitmap);

// Sizes target to the picture and fills it with its pixels, all opaque. Reads 16 bits per
// pixel (plain 5-5-5 or bit fields), 24 bits, and 32 bits (plain or bit fields), rows
// bottom-up or top-down. A picture of width or height 0 leaves target as it is. Anything
// else, and any size that the bytes do not hold, raises Exception "Bitmap image is not
// valid" before pixels are allocated.
void DecodeBmp(std::span<const uint8_t> bytes, TVxBitmap& target);

}  // namespace zaprelay
