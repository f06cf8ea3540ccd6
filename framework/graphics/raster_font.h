// The software canvas's built-in bitmap font: 5x7 glyphs in a 6 x 8 cell (capitals and
// ascenders in rows 0..6, descenders in row 7), scaled by whole multiples of the cell.
// Its pixels are the same on every build, which keeps raster text testable.
#pragma once

#include "framework/graphics/pixel.h"
#include "framework/rtl/font.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zaprelay {

// Unscaled metrics, in font pixels.
inline constexpr int32_t kGlyphColumns = 5;
inline constexpr int32_t kGlyphAdvance = 6;
inline constexpr int32_t kGlyphCellHeight = 8;
inline constexpr int32_t kStrikeOutRow = 4;  // the middle of the small letters
inline constexpr int32_t kUnderlineRow = 7;
// Font heights up to this many pixels draw at scale 1, up to twice as many at scale 2, ...
inline constexpr int32_t kHeightPerScale = 11;
// Bounds a cell at 512 pixels: no caller needs more, and absurd heights stay cheap.
inline constexpr int32_t kMaxRasterFontScale = 64;

// Rows of one glyph, top first; bit 4 is the leftmost column, bit 0 the rightmost.
using TGlyphRows = std::array<uint8_t, kGlyphCellHeight>;

bool RasterFontHasGlyph(char32_t codePoint);
// The glyph of a code point; a hollow box for anything the font lacks.
const TGlyphRows& RasterGlyph(char32_t codePoint);

// The code point at index, which is moved past it. A surrogate pair is one code point; an
// unpaired surrogate stands for itself (and draws as a box).
char32_t NextCodePoint(std::u16string_view text, std::size_t& index);

// The built-in font at the size and style of a font description.
class TRasterFont {
public:
    explicit TRasterFont(const TFontData& font);

    int32_t Scale() const { return m_scale; }
    // Per character: the scaled cell, one pixel more when bold (the glyph is drawn twice).
    int32_t Advance() const { return kGlyphAdvance * m_scale + (Bold() ? 1 : 0); }
    // The average character width, which sets tab stops.
    int32_t AverageWidth() const { return kGlyphAdvance * m_scale; }
    int32_t Height() const { return kGlyphCellHeight * m_scale; }
    bool Bold() const { return HasStyle(fsBold); }
    bool Italic() const { return HasStyle(fsItalic); }
    bool Underline() const { return HasStyle(fsUnderline); }
    bool StrikeOut() const { return HasStyle(fsStrikeOut); }
    TPixel Color() const { return m_color; }
    // How far row y of the cell (0 at the top) is pushed right by the italic shear.
    int32_t ItalicShift(int32_t y) const;

private:
    bool HasStyle(TFontStyle style) const { return (m_style & FontStyleBit(style)) != 0; }

    int32_t m_scale = 1;
    TFontStyles m_style = 0;
    TPixel m_color = 0;
};

}  // namespace zaprelay
