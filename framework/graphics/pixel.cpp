// Per-pixel arithmetic: packing, blending, colour values and the HSL hue rotation.
// The HSL code is single precision on purpose: hue-shifted skins must come out the same
// on every build, so the 32-bit build is compiled with SSE maths, never x87.
#include "framework/graphics/pixel.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace zaprelay {

namespace {

int16_t SaturateToInt16(int32_t v) {
    return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

uint32_t ClampChannel(int16_t v) {
    return static_cast<uint32_t>(std::clamp<int16_t>(v, 0, 255));
}

// The classic Windows scheme, 0x00BBGGRR, indexed by system colour number.
constexpr TColor kClassicPalette[31] = {
    0xC8D0D4,  // scroll bar
    0xA56E3A,  // background
    0x6A240A,  // active caption
    0x808080,  // inactive caption
    0xC8D0D4,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC8D0D4,  // active border
    0xC8D0D4,  // inactive border
    0x808080,  // application workspace
    0x6A240A,  // highlight
    0xFFFFFF,  // highlight text
    0xC8D0D4,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC8D0D4,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x404040,  // 3D dark shadow
    0xC8D0D4,  // 3D light
    0x000000,  // info text
    0xE1FFFF,  // info background
    0xB5B5B5,  // (unused slot)
    0x800000,  // hot light
    0xF0CAA6,  // gradient active caption
    0xC0C0C0,  // gradient inactive caption
    0x6A240A,  // menu highlight
    0xC8D0D4,  // menu bar
};

TColor ClassicSystemColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kClassicPalette))) {
        return 0;  // what the system answers for an unknown index
    }
    return kClassicPalette[index];
}

std::atomic<TSystemColorResolver> g_resolver{&ClassicSystemColor};

// Round to nearest, ties to even, for |v| < 2^23: adding and taking away 2^23 leaves no
// fraction bits, and SSE arithmetic rounds that addition to even. Far cheaper than
// nearbyint, which is a library call that saves and restores the floating-point state.
float RoundHalfEven(float v) {
    constexpr float kShift = 8388608.0f;  // 2^23
    return v >= 0.0f ? (v + kShift) - kShift : (v - kShift) + kShift;
}

// One channel of the HSL to RGB conversion, as a float in 0..255 before rounding.
float HueToChannel(float p, float q, float t) {
    float u = t - std::floor(t);
    float u6 = 6.0f * u;
    float v;
    if (u6 < 1.0f) {
        v = p + (q - p) * u6;
    } else if (2.0f * u < 1.0f) {
        v = q;
    } else if (3.0f * u < 2.0f) {
        v = p + (q - p) * (2.0f / 3.0f - u) * 6.0f;
    } else {
        v = p;
    }
    return v * 255.0f;
}

// Round to nearest, ties to even, into a range MakePixel then clamps exactly.
int16_t RoundChannel(float v) {
    if (!(v > -1.0f)) {  // also NaN
        return -1;
    }
    if (v > 256.0f) {
        return 256;
    }
    return static_cast<int16_t>(RoundHalfEven(v));
}

}  // namespace

TPixel MakePixel(int16_t r, int16_t g, int16_t b, int16_t a) {
    uint32_t alpha = static_cast<uint32_t>(static_cast<uint16_t>(a)) & 0xFF;
    return alpha << 24 | ClampChannel(r) << 16 | ClampChannel(g) << 8 | ClampChannel(b);
}

TPixel SubtractPixel(TPixel pixel, int16_t dr, int16_t dg, int16_t db, int16_t da) {
    int32_t r = static_cast<int32_t>((pixel >> 16) & 0xFF) - dr;
    int32_t g = static_cast<int32_t>((pixel >> 8) & 0xFF) - dg;
    int32_t b = static_cast<int32_t>(pixel & 0xFF) - db;
    int32_t a = (static_cast<int32_t>(pixel >> 24) - da) & 0xFF;
    return MakePixel(SaturateToInt16(r), SaturateToInt16(g), SaturateToInt16(b), static_cast<int16_t>(a));
}

TPixel BlendPixel(TPixel src, TPixel dst) {
    uint32_t a = src >> 24;
    if (a == 255) {
        return src;
    }
    if (a == 0) {
        return dst;
    }
    uint32_t na = 255 - a;
    // Each 16-bit lane holds one channel; a * c + 128 stays below 0x10000, so lanes never carry.
    uint32_t rb = ((((src & 0x00FF00FF) * a + 0x00800080) >> 8) & 0x00FF00FF) +
                  ((((dst & 0x00FF00FF) * na + 0x00800080) >> 8) & 0x00FF00FF);
    uint32_t ag = ((((src >> 8) & 0x00FF00FF) * a + 0x00800080) & 0xFF00FF00) +
                  ((((dst >> 8) & 0x00FF00FF) * na + 0x00800080) & 0xFF00FF00);
    return rb + ag;  // each byte sum is at most 255, so neither half carries into the other
}

void SetSystemColorResolver(TSystemColorResolver resolver) {
    g_resolver.store(resolver != nullptr ? resolver : &ClassicSystemColor);
}

TColor ResolveColor(TColor color) {
    if (!IsSystemColor(color)) {
        return color;
    }
    return g_resolver.load()(static_cast<int>(color & 0xFF)) & 0x00FFFFFF;
}

TPixel ColorToPixel(TColor color) {
    uint32_t c = static_cast<uint32_t>(ResolveColor(color));
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

TColor PixelToColor(TPixel pixel) {
    return static_cast<TColor>((pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16);
}

THsl PixelToHSL(TPixel pixel) {
    float r = static_cast<float>((pixel >> 16) & 0xFF) / 255.0f;
    float g = static_cast<float>((pixel >> 8) & 0xFF) / 255.0f;
    float b = static_cast<float>(pixel & 0xFF) / 255.0f;
    float max = std::max(r, std::max(g, b));
    float min = std::min(r, std::min(g, b));
    THsl hsl;
    hsl.L = (max + min) / 2.0f;
    if (max == min) {
        return hsl;
    }
    float d = max - min;
    hsl.S = hsl.L < 0.5f ? d / (max + min) : d / (2.0f - max - min);
    float h;
    if (max == r) {
        h = (g - b) / d;
    } else if (max != g) {
        h = (r - g) / d + 4.0f;
    } else {
        h = (b - r) / d + 2.0f;
    }
    h /= 6.0f;
    if (h < 0.0f) {
        h += 1.0f;
    }
    hsl.H = h;
    return hsl;
}

TPixel HSLToPixel(float h, float s, float l) {
    if (s == 0.0f) {
        int16_t v = RoundChannel(l * 255.0f);
        return MakePixel(v, v, v, 255);
    }
    float q = l > 0.5f ? l + s - l * s : l * (1.0f + s);
    float p = 2.0f * l - q;
    int16_t r = RoundChannel(HueToChannel(p, q, h + 1.0f / 3.0f));
    int16_t g = RoundChannel(HueToChannel(p, q, h));
    int16_t b = RoundChannel(HueToChannel(p, q, h - 1.0f / 3.0f));
    return MakePixel(r, g, b, 255);
}

TPixel ShiftHue(TPixel pixel, int delta) {
    THsl hsl = PixelToHSL(pixel);
    // 64 bits: a delta near the int limits must not overflow; the ring wraps once each way.
    int64_t k = static_cast<int64_t>(RoundHalfEven(hsl.H * 255.0f)) + delta;  // H is in 0..1
    if (k > 255) {
        k -= 255;
    }
    if (k < 0) {
        k += 255;
    }
    return HSLToPixel(static_cast<float>(k) / 255.0f, hsl.S, hsl.L);
}

}  // namespace zaprelay
