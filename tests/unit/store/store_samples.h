// Test support for the skin store: a small sample skin, payloads written byte by byte, and
// saving or loading through one filter.
#pragma once

#include "framework/graphics/pixel.h"
#include "skin/store/skin_filters.h"
#include "skin/store/skin_source.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::skin::test {

// Header texts "Sample", "1.2", "Tester", "t@example.org", "example.org"; bitmaps FRAME.BMP
// (4 x 3, with magenta and near-magenta pixels and several alphas) and Glyph.bmp (2 x 2);
// a "Form" of kind skForm holding a client area (skClient) and a bitmap object linked to
// FRAME.BMP, and a "RadioButton" with one child.
void FillSampleSkin(TVxSkinSource& source);
// The sample's FRAME.BMP pixels, top-down.
std::vector<TPixel> SampleFramePixels();

std::vector<uint8_t> SaveWith(TVxSkinSource& source, const TVxSkinFilterClass& filterClass);
void LoadWith(TVxSkinSource& source, const TVxSkinFilterClass& filterClass, std::span<const uint8_t> bytes);
// The text form of every top-level tree, one after the other.
std::string SkinTreesText(const TVxSkinSource& source);

// A payload written field by field.
class TPayloadBuilder {
public:
    TPayloadBuilder& Int(int32_t value);
    TPayloadBuilder& Str(std::string_view text);
    TPayloadBuilder& Raw(std::span<const uint8_t> bytes);
    TPayloadBuilder& Pixel(TPixel pixel) { return Int(static_cast<int32_t>(pixel)); }
    // The five header strings.
    TPayloadBuilder& Header();
    std::vector<uint8_t> Bytes;
};

// A whole "QSLZ" container around payload at zlib level.
std::vector<uint8_t> Envelope(std::span<const uint8_t> payload, int level = 1);

}  // namespace zaprelay::skin::test
