#include "framework/graphics/pixel.h"

#include "tests/unit/framework/graphics/test_seed.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace zaprelay {
namespace {

using test::SeedForTest;

uint32_t Channel(TPixel p, int shift) {
    return (p >> shift) & 0xFF;
}

// Source over destination one byte at a time, the way the formula reads.
TPixel BlendByBytes(TPixel src, TPixel dst) {
    uint32_t a = src >> 24;
    if (a == 255) {
        return src;
    }
    if (a == 0) {
        return dst;
    }
    TPixel out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t v = ((a * Channel(src, shift) + 128) >> 8) + (((255 - a) * Channel(dst, shift) + 128) >> 8);
        EXPECT_LE(v, 255u);
        out |= v << shift;
    }
    return out;
}

TEST(MakePixel, ClampsColourChannelsAndKeepsLowBitsOfAlpha) {
    EXPECT_EQ(MakePixel(-5, 300, 128, 0x1FF), 0xFF00FF80u);
    EXPECT_EQ(MakePixel(255, 256, -32768, 0), 0x00FFFF00u);
    EXPECT_EQ(MakePixel(0, 0, 0, -1), 0xFF000000u);
    EXPECT_EQ(MakePixel(1, 2, 3, 0x304), 0x04010203u);
}

TEST(SubtractPixel, ClampsColoursAtZeroAndWrapsAlpha) {
    EXPECT_EQ(SubtractPixel(0x10203040, 0x30, -0x10, 0x40, 0x20), 0xF0004000u);
    EXPECT_EQ(SubtractPixel(0xFF808080, 0, 0, 0, -1), 0x00808080u);
    // Extreme deltas saturate instead of wrapping through the 16-bit range.
    EXPECT_EQ(SubtractPixel(0x00800000, -32768, 32767, -32768, 0), 0x00FF00FFu);
}

TEST(BlendPixel, HalfRedOverOpaqueBlue) {
    TPixel blended = BlendPixel(0x80FF0000, 0xFF0000FF);
    EXPECT_EQ(AlphaOf(blended), 191);
    EXPECT_EQ(Channel(blended, 16), 128u);
    EXPECT_EQ(Channel(blended, 8), 0u);
    EXPECT_EQ(Channel(blended, 0), 127u);
}

TEST(BlendPixel, AlphaEndsReturnAnOperandUnchanged) {
    EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x12345678), 0x12345678u);
    EXPECT_EQ(BlendPixel(0xFF123456, 0xFFFFFFFF), 0xFF123456u);
    // Plain rounding would give 254 here: the ends are copies, not the formula.
    EXPECT_EQ(BlendPixel(0x00000000, 0xFFFFFFFF), 0xFFFFFFFFu);
}

TEST(BlendPixel, EqualsPerByteFormulaForEveryAlphaAndChannelPair) {
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t s = 0; s < 256; ++s) {
            for (uint32_t d = 0; d < 256; ++d) {
                TPixel src = a << 24 | s * 0x010101u;
                TPixel dst = d * 0x01010101u;
                if (BlendPixel(src, dst) != BlendByBytes(src, dst)) {
                    FAIL() << std::hex << "src " << src << " dst " << dst;
                }
            }
        }
    }
}

TEST(BlendPixel, EqualsPerByteFormulaOnRandomPixels) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    std::mt19937 random(seed);
    for (int i = 0; i < 4'000'000; ++i) {
        TPixel src = random();
        TPixel dst = random();
        if (BlendPixel(src, dst) != BlendByBytes(src, dst)) {
            FAIL() << std::hex << "src " << src << " dst " << dst;
        }
    }
}

TEST(ColorToPixel, PlainColoursBecomeOpaquePixels) {
    EXPECT_EQ(ColorToPixel(clRed), 0xFFFF0000u);
    EXPECT_EQ(ColorToPixel(0x00563412), 0xFF123456u);
    EXPECT_EQ(ColorToPixel(clBlack), 0xFF000000u);
}

TColor GreyByIndex(int index) {
    return index * 0x010101;
}

TEST(ColorToPixel, SystemColoursGoThroughTheResolver) {
    EXPECT_EQ(ColorToPixel(clWindow), 0xFFFFFFFFu);
    EXPECT_EQ(ColorToPixel(clWindowText), 0xFF000000u);
    EXPECT_EQ(ColorToPixel(clBtnFace), ColorToPixel(ResolveColor(clBtnFace)));
    EXPECT_FALSE(IsSystemColor(ResolveColor(clBtnFace)));
    EXPECT_EQ(ColorToPixel(SystemColor(200)), 0xFF000000u);  // unknown index: black, as the system answers

    SetSystemColorResolver(&GreyByIndex);
    EXPECT_EQ(ColorToPixel(clHighlight), 0xFF0D0D0Du);
    EXPECT_EQ(ResolveColor(clRed), clRed);
    SetSystemColorResolver(nullptr);
    EXPECT_EQ(ColorToPixel(clWindow), 0xFFFFFFFFu);
}

TEST(PixelToColor, DropsAlphaAndSwapsRedWithBlue) {
    EXPECT_EQ(PixelToColor(0x80123456), 0x00563412);
    EXPECT_EQ(PixelToColor(TransparentColor), TransparentColor);  // the key serves as both
    EXPECT_EQ(ColorToPixel(PixelToColor(0x01ABCDEF)), 0xFFABCDEFu);
}

// HSL the textbook way, in double precision, hue in turns.
THsl TextbookHsl(TPixel p) {
    double r = Channel(p, 16) / 255.0;
    double g = Channel(p, 8) / 255.0;
    double b = Channel(p, 0) / 255.0;
    double max = std::max({r, g, b});
    double min = std::min({r, g, b});
    double delta = max - min;
    double l = (max + min) / 2;
    if (delta == 0) {
        return {0, 0, static_cast<float>(l)};
    }
    double s = delta / (1 - std::fabs(2 * l - 1));
    double degrees;
    if (max == r) {
        degrees = 60 * std::fmod((g - b) / delta + 6, 6);
    } else if (max == g) {
        degrees = 60 * ((b - r) / delta + 2);
    } else {
        degrees = 60 * ((r - g) / delta + 4);
    }
    return {static_cast<float>(degrees / 360), static_cast<float>(s), static_cast<float>(l)};
}

double HueDistance(double a, double b) {
    double d = std::fabs(a - b);
    return std::min(d, 1 - d);
}

TEST(PixelToHSL, PrimariesAndGreys) {
    THsl red = PixelToHSL(0xFFFF0000);
    EXPECT_EQ(red.H, 0.0f);
    EXPECT_EQ(red.S, 1.0f);
    EXPECT_EQ(red.L, 0.5f);
    EXPECT_NEAR(PixelToHSL(0x0000FF00).H, 1.0 / 3, 1e-6);
    EXPECT_NEAR(PixelToHSL(0x000000FF).H, 2.0 / 3, 1e-6);
    EXPECT_NEAR(PixelToHSL(0x00FF00FF).H, 5.0 / 6, 1e-6);  // magenta: negative before the wrap
    THsl grey = PixelToHSL(0x12808080);
    EXPECT_EQ(grey.H, 0.0f);
    EXPECT_EQ(grey.S, 0.0f);
    EXPECT_EQ(grey.L, 128.0f / 255.0f);
}

TEST(PixelToHSL, AgreesWithTextbookFormulas) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    std::mt19937 random(seed);
    for (int i = 0; i < 1'000'000; ++i) {
        TPixel p = random();
        THsl got = PixelToHSL(p);
        THsl want = TextbookHsl(p);
        if (HueDistance(got.H, want.H) > 1e-5 || std::fabs(got.S - want.S) > 1e-5 || std::fabs(got.L - want.L) > 1e-6 ||
            got.H < 0 || got.H >= 1) {
            FAIL() << std::hex << "pixel " << p << std::dec << ": got " << got.H << ' ' << got.S << ' ' << got.L
                   << ", textbook " << want.H << ' ' << want.S << ' ' << want.L;
        }
    }
}

TEST(HSLToPixel, InvertsPixelToHSL) {
    // A stride through every colour; the result is always opaque.
    for (uint32_t rgb = 0; rgb < 0x1000000; rgb += 13) {
        THsl hsl = PixelToHSL(rgb);
        TPixel back = HSLToPixel(hsl.H, hsl.S, hsl.L);
        if (back != (rgb | 0xFF000000)) {
            FAIL() << std::hex << "colour " << rgb << " came back as " << back;
        }
    }
}

TEST(HSLToPixel, RoundsHalfToEvenAndClampsOutOfRangeInput) {
    float l = 2.5f / 255.0f;
    ASSERT_EQ(l * 255.0f, 2.5f);
    EXPECT_EQ(HSLToPixel(0.7f, 0, l), 0xFF020202u);
    EXPECT_EQ(HSLToPixel(0.7f, 0, 0.5f), 0xFF808080u);  // 127.5
    EXPECT_EQ(HSLToPixel(0, 0, 3.0f), 0xFFFFFFFFu);
    EXPECT_EQ(HSLToPixel(0, 0, -1.0f), 0xFF000000u);
    EXPECT_EQ(HSLToPixel(0.25f, 1.0f, NAN), 0xFF000000u);
    EXPECT_EQ(HSLToPixel(-1.0f, 1.0f, 0.5f), 0xFFFF0000u);  // whole turns drop out
}

// Hue rotation written out plainly: HSL, a 255-step index, back to RGB.
float Fraction(float t) {
    return t - std::floor(t);
}

int RoundEven(float v) {
    return static_cast<int>(std::nearbyint(v));
}

TPixel RotateHuePlainly(TPixel p, int delta) {
    float c[3] = {Channel(p, 16) / 255.0f, Channel(p, 8) / 255.0f, Channel(p, 0) / 255.0f};
    float max = std::max({c[0], c[1], c[2]});
    float min = std::min({c[0], c[1], c[2]});
    float l = (max + min) / 2.0f;
    float h = 0;
    float s = 0;
    if (max != min) {
        float d = max - min;
        s = l < 0.5f ? d / (max + min) : d / (2.0f - max - min);
        if (max == c[0]) {
            h = (c[1] - c[2]) / d;
        } else if (max == c[2]) {
            h = (c[0] - c[1]) / d + 4.0f;
        } else {
            h = (c[2] - c[0]) / d + 2.0f;
        }
        h /= 6.0f;
        if (h < 0) {
            h += 1.0f;
        }
    }
    long long k = RoundEven(h * 255.0f) + static_cast<long long>(delta);
    if (k > 255) {
        k -= 255;
    }
    if (k < 0) {
        k += 255;
    }
    h = static_cast<float>(k) / 255.0f;
    int out[3];
    if (s == 0) {
        out[0] = out[1] = out[2] = RoundEven(l * 255.0f);
    } else {
        float q = l > 0.5f ? l + s - l * s : l * (1.0f + s);
        float pp = 2.0f * l - q;
        float t[3] = {h + 1.0f / 3.0f, h, h - 1.0f / 3.0f};
        for (int i = 0; i < 3; ++i) {
            float u = Fraction(t[i]);
            float v = pp;
            if (6.0f * u < 1.0f) {
                v = pp + (q - pp) * (6.0f * u);
            } else if (2.0f * u < 1.0f) {
                v = q;
            } else if (3.0f * u < 2.0f) {
                v = pp + (q - pp) * (2.0f / 3.0f - u) * 6.0f;
            }
            out[i] = std::clamp(RoundEven(v * 255.0f), 0, 255);
        }
    }
    return 0xFF000000u | static_cast<TPixel>(out[0]) << 16 | static_cast<TPixel>(out[1]) << 8 |
           static_cast<TPixel>(out[2]);
}

TEST(ShiftHue, TurnsPrimariesOnARingOf255Steps) {
    EXPECT_EQ(ShiftHue(0x00FF0000, 85), 0xFF00FF00u);
    EXPECT_EQ(ShiftHue(0xFFFF0000, 170), 0xFF0000FFu);
    EXPECT_EQ(ShiftHue(0xFFFF0000, -85), 0xFF0000FFu);  // below 0 wraps up by 255
    EXPECT_EQ(ShiftHue(0xFF0000FF, 170), 0xFF00FF00u);  // 340 wraps down to 85
    EXPECT_EQ(ShiftHue(0xFFFF0000, 255), 0xFFFF0000u);  // index 255 is a whole turn
    // On a 256-step ring this would be red again; here it is one step on.
    EXPECT_EQ(ShiftHue(0xFFFF0000, 256), 0xFFFF0600u);
}

TEST(ShiftHue, LeavesGreysAndMakesEveryResultOpaque) {
    EXPECT_EQ(ShiftHue(0x00404040, 100), 0xFF404040u);
    EXPECT_EQ(ShiftHue(0x12FFFFFF, -7), 0xFFFFFFFFu);
    EXPECT_EQ(AlphaOf(ShiftHue(0x0012AB34, 3)), 255);
}

TEST(ShiftHue, WrapsOnlyOnceEachWay) {
    // Index 0 + 600 → 345: one wrap leaves it above the ring, which the hue fraction folds.
    EXPECT_EQ(ShiftHue(0xFFFF0000, 600), HSLToPixel(345.0f / 255.0f, 1.0f, 0.5f));
    EXPECT_EQ(ShiftHue(0xFFFF0000, -600), HSLToPixel(-345.0f / 255.0f, 1.0f, 0.5f));
    EXPECT_EQ(AlphaOf(ShiftHue(0xFF123456, INT32_MIN)), 255);
    EXPECT_EQ(AlphaOf(ShiftHue(0xFF123456, INT32_MAX)), 255);
}

TEST(ShiftHue, EqualsPlainRotationOnRandomPixelsAndDeltas) {
    uint32_t seed = SeedForTest();
    TRACE_SEED(seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> deltas(-600, 600);
    for (int i = 0; i < 2'000'000; ++i) {
        TPixel p = random();
        int delta = deltas(random);
        if (ShiftHue(p, delta) != RotateHuePlainly(p, delta)) {
            FAIL() << std::hex << "pixel " << p << std::dec << " delta " << delta;
        }
    }
}

}  // namespace
}  // namespace zaprelay
