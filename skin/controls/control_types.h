// The skinned controls' enumerations: buffering modes, the frame's bevels and the glyph's side,
// with the name tables the component stream uses and the colours each bevel cut is drawn in.
#pragma once

#include "framework/rtl/ident_tables.h"
#include "framework/rtl/reflection.h"

#include <cstdint>

namespace zaprelay::skin {

enum TVxPerformance : uint8_t { kspNoBuffer, kspSharedBuffer, kspDoubleBuffer };

enum TVxBevelCut : uint8_t { kbvNone, kbvLowered, kbvRaised, kbvSpace, kbvBorder, kbvFlatBorder };

enum TVxBevelKind : uint8_t { kbkNone, kbkSingle, kbkTile, kbkSoft, kbkBorder, kbkFlat };

enum TVxBevelSide : uint8_t { kbsLeft, kbsTop, kbsRight, kbsBottom };
using TVxBevelSides = uint32_t;  // a set of TVxBevelSide, bit n for value n

inline constexpr TVxBevelSides kAllBevelSides = 0xF;

constexpr bool HasBevelSide(TVxBevelSides sides, TVxBevelSide side) {
    return (sides & (1u << side)) != 0;
}

// Where a check box's or radio button's glyph sits: ktaLeftJustify at the left with the caption
// after it, both others at the right edge with the caption at the left.
enum TVxLeftRight : uint8_t { ktaLeftJustify, ktaRightJustify, ktaCenter };

extern const TEnumInfo kVxPerformanceNames;
extern const TEnumInfo kVxBevelCutNames;
extern const TEnumInfo kVxBevelKindNames;
extern const TEnumInfo kVxBevelSideNames;
extern const TEnumInfo kVxLeftRightNames;

// The cut a bevel kind other than kbkNone sets on both sides of the bevel.
TVxBevelCut BevelKindCut(TVxBevelKind kind);

// A ring's two colours: left and top lines, then bottom and right lines.
struct TBevelColors {
    TColor LeftTop;
    TColor BottomRight;
};
TBevelColors BevelCutColors(TVxBevelCut cut, bool inner);

}  // namespace zaprelay::skin
