// Enumerations and helpers the skin object kinds share: how a bitmap part fills its place,
// what a caption button does, which way a panel rolls, and the states hosts set.
#pragma once

#include "framework/graphics/bitmap_link.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/region.h"
#include "framework/rtl/ident_tables.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace zaprelay::skin {

class TVxSkinObject;

enum TVxTileStyle { tsTile, tsStretch, tsCenter };

enum TVxAction {
    sbaNone,
    sbaClose,
    sbaHelp,
    sbaMinimize,
    sbaMaximize,
    sbaRestore,
    sbaRollUp,
    sbaRollDown,
    sbaTray,
    sbaSysMenu,
    sbaRollPanel,
    sbaCustom,
};

enum TVxRollKind { rkLeft, rkTop, rkRight, rkBottom };

extern const TEnumInfo kVxTileStyleNames;
extern const TEnumInfo kVxActionNames;
extern const TEnumInfo kVxRollKindNames;

// The State values hosts give their objects.
namespace skin_state {
inline constexpr uint8_t kNormal = 0;
inline constexpr uint8_t kPlaceholder = 1;  // design view: link placeholders show
inline constexpr uint8_t kMaximized = 2;
inline constexpr uint8_t kMinimized = 3;  // or in the tray
inline constexpr uint8_t kRolledUp = 4;
inline constexpr uint8_t kHot = 5;
inline constexpr uint8_t kPressed = 6;
inline constexpr uint8_t kFocused = 7;
inline constexpr uint8_t kDisabled = 8;
}  // namespace skin_state

// The states in which the active kinds show their active image or font.
inline bool IsHotOrFocused(uint8_t state) {
    return state == skin_state::kHot || state == skin_state::kFocused;
}

// A bitmap link property of an object: the object owns it, it streams as sub-properties and
// LinkBitmaps replaces it by the resolved one.
using TLinkSlot = std::unique_ptr<TVxBitmapLink>;

// Whether the link is resolved and has pixels.
inline bool IsValid(const TLinkSlot& link) {
    return link != nullptr && link->Valid();
}

// The image a state button shows in a state: focused, hot, disabled or pressed; none for the
// other states (the normal image stands).
struct TStateImages {
    TLinkSlot& Focused;
    TLinkSlot& Hot;
    TLinkSlot& Pressed;
    TLinkSlot& Disabled;
};
TLinkSlot* StateImage(uint8_t state, const TStateImages& images);

// Replaces the slot's link by the one the list resolves for its name and rectangle and scans
// the new one for see-through pixels with the margins; an unknown name keeps the old link.
void ResolveLink(TLinkSlot& slot, const TVxBitmapList* list, const TRect& margins);

// Draws the link's src rectangle into dest by style: tiled, stretched, or unscaled at dest's
// top-left corner.
void DrawLinkPart(TCanvas& canvas,
                  const TVxBitmapLink& link,
                  const TRect& dest,
                  const TRect& src,
                  TVxTileStyle style,
                  bool keyed);
// The whole link rectangle into bounds; tsCenter centres it unscaled.
void DrawLinkWhole(TCanvas& canvas, const TVxBitmapLink& link, const TRect& bounds, TVxTileStyle style, bool keyed);

// Which parts of a nine-part box are drawn with colour keying.
struct TNinePartKeying {
    bool Centre;
    bool Border;
    bool Corners;
};
// The link cut by the margins (left, top, right, bottom widths) into a centre, four bands and
// four corners, drawn into bounds: the centre by centreStyle, the bands by borderStyle, the
// corners unscaled. A centre or band without source pixels is skipped.
void DrawNinePartBox(TCanvas& canvas,
                     const TVxBitmapLink& link,
                     const TRect& bounds,
                     const TRect& margins,
                     TVxTileStyle centreStyle,
                     TVxTileStyle borderStyle,
                     TNinePartKeying keying);

// The largest side of a picture a skin object is drawn into whole (its shape, a rendered
// picture): beyond any screen, while such a picture's memory stays within reach.
inline constexpr int32_t kMaxDrawnSide = 16384;

// The shape of what the object draws: it is moved to (0, 0), drawn (with its current state
// and children) onto a bitmap of key pixels, and the pixels it covered make the region at
// its place. Its bounds are put back also when drawing fails. A side above kMaxDrawnSide
// raises Exception "Can't allocate the DIB handle", as any bitmap too large for memory.
TRegion RegionOfDrawing(TVxSkinObject& object);

// The hue shift of an active kind's look: its colour unless it is clNone, its font's colour
// whatever it is.
void ShiftActiveLookHue(TColor& color, TFont& font, int delta);

}  // namespace zaprelay::skin
