// Pixels of the skin library: 0xAARRGGBB with straight alpha (bytes in memory: blue,
// green, red, alpha), and the per-pixel routines every drawing path shares.
#pragma once

#include "framework/rtl/ident_tables.h"

#include <cstdint>

namespace zaprelay {

using TPixel = uint32_t;

// Marks see-through skin pixels; matched on red, green and blue only, alpha ignored.
inline constexpr TPixel TransparentColor = 0x007F007F;
// What GetPixel answers outside a bitmap.
inline constexpr TPixel NoPixel = 0x33333333;

inline constexpr bool IsKeyPixel(TPixel p) {
    return (p & 0x00FFFFFF) == (TransparentColor & 0x00FFFFFF);
}
inline constexpr uint8_t AlphaOf(TPixel p) {
    return static_cast<uint8_t>(p >> 24);
}

// R, G and B clamped to 0..255; A taken as it is (its low 8 bits).
TPixel MakePixel(int16_t r, int16_t g, int16_t b, int16_t a);
// Colour channels clamp at 0; alpha wraps modulo 256.
TPixel SubtractPixel(TPixel pixel, int16_t dr, int16_t dg, int16_t db, int16_t da);
// Source over destination with the source's straight alpha, two channels per multiplication.
TPixel BlendPixel(TPixel src, TPixel dst);

// System colours (0xFF0000nn) are resolved through this hook; natively a fixed classic
// palette answers, the Win32 layer installs the system's own.
using TSystemColorResolver = TColor (*)(int index);
void SetSystemColorResolver(TSystemColorResolver resolver);
TColor ResolveColor(TColor color);  // system colours to 0x00BBGGRR, others unchanged

TPixel ColorToPixel(TColor color);  // always opaque
TColor PixelToColor(TPixel pixel);  // alpha dropped

struct THsl {
    float H = 0;  // 0..1
    float S = 0;
    float L = 0;
};
THsl PixelToHSL(TPixel pixel);
TPixel HSLToPixel(float h, float s, float l);  // opaque
// Rotates the hue on a ring of 255 steps; the result is opaque.
TPixel ShiftHue(TPixel pixel, int delta);

}  // namespace zaprelay
