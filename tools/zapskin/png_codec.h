// PNG pictures for the skin author's folder form: decoded into skin pixels with their alpha,
// encoded from 8-bit RGBA rows.
#pragma once

#include "framework/graphics/vx_bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zaprelay::zapskin {

// The largest side a decoded picture may have; skin bitmaps are small strips.
inline constexpr int32_t kMaxPngSide = 16384;

struct TRgbaImage {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Rgba;  // top-down rows of R, G, B, A bytes
};

// Any 8-bit grey, grey-alpha, RGB, RGBA or palette PNG as RGBA bytes. Raises Exception naming
// what is wrong.
TRgbaImage DecodePngRgba(std::span<const uint8_t> bytes);

// Any 8-bit grey, grey-alpha, RGB, RGBA or palette PNG into target, each pixel as 0xAARRGGBB
// (pictures without alpha come out opaque). Raises Exception naming what is wrong; target is
// left as it was then.
void DecodePng(std::span<const uint8_t> bytes, TVxBitmap& target);

// A PNG of width x height pixels given as top-down RGBA byte quadruples.
std::vector<uint8_t> EncodePng(int32_t width, int32_t height, std::span<const uint8_t> rgba);

}  // namespace zaprelay::zapskin
