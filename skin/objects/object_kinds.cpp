#include "skin/objects/object_kinds.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/raster_canvas.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/exceptions.h"
#include "skin/objects/skin_object.h"

namespace zaprelay::skin {

const TEnumInfo kVxTileStyleNames = MakeEnumInfo<tsCenter>("TVxTileStyle", {"tsTile", "tsStretch", "tsCenter"});
const TEnumInfo kVxActionNames =
    MakeEnumInfo<sbaCustom>("TVxAction",
                            {"sbaNone", "sbaClose", "sbaHelp", "sbaMinimize", "sbaMaximize", "sbaRestore", "sbaRollUp",
                             "sbaRollDown", "sbaTray", "sbaSysMenu", "sbaRollPanel", "sbaCustom"});
const TEnumInfo kVxRollKindNames = MakeEnumInfo<rkBottom>("TVxRollKind", {"rkLeft", "rkTop", "rkRight", "rkBottom"});

namespace {

// Unscaled like TVxBitmap::Draw, but safe for any stored rectangle: only the part of src that
// lies in the image is copied, to where it would land, so no size leaves the 32-bit range.
void DrawUnscaled(TCanvas& canvas, const TVxBitmap& image, int64_t x, int64_t y, const TRect& src, bool keyed) {
    const TRect part = Intersect(src, image.BoundsRect());
    if (part.IsEmpty()) {
        return;
    }
    const int64_t left = x + (int64_t{part.Left} - src.Left);
    const int64_t top = y + (int64_t{part.Top} - src.Top);
    image.StretchDraw(
        canvas,
        {ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + part.Width()), ClampToInt32(top + part.Height())},
        part, keyed);
}

// Whether a rectangle has pixels and a size that fits 32 bits; absurd stored values give
// rectangles the pixel kernels cannot measure, and nothing sensible to draw.
bool Measurable(const TRect& rect) {
    return !rect.IsEmpty() && int64_t{rect.Right} - rect.Left <= INT32_MAX &&
           int64_t{rect.Bottom} - rect.Top <= INT32_MAX;
}

}  // namespace

TLinkSlot* StateImage(uint8_t state, const TStateImages& images) {
    switch (state) {
        case skin_state::kFocused:
            return &images.Focused;
        case skin_state::kHot:
            return &images.Hot;
        case skin_state::kDisabled:
            return &images.Disabled;
        case skin_state::kPressed:
            return &images.Pressed;
        default:
            return nullptr;
    }
}

void ResolveLink(TLinkSlot& slot, const TVxBitmapList* list, const TRect& margins) {
    if (list == nullptr || slot == nullptr) {
        return;
    }
    if (TLinkSlot resolved = list->FindLink(slot->Name(), slot->Rect())) {
        slot = std::move(resolved);
        slot->CheckMasked(margins);
    }
}

void DrawLinkPart(TCanvas& canvas,
                  const TVxBitmapLink& link,
                  const TRect& dest,
                  const TRect& src,
                  TVxTileStyle style,
                  bool keyed) {
    const TVxBitmap* image = link.Image();
    if (image == nullptr || (style != tsCenter && !(Measurable(dest) && Measurable(src)))) {
        return;
    }
    switch (style) {
        case tsStretch:
            image->StretchDraw(canvas, dest, src, keyed);
            break;
        case tsCenter:
            // Unscaled; the offset of a centred part works out as none, so it sits at the top-left.
            DrawUnscaled(canvas, *image, dest.Left, dest.Top, src, keyed);
            break;
        case tsTile:
        default:
            image->TileDraw(canvas, dest, src, keyed);
            break;
    }
}

void DrawLinkWhole(TCanvas& canvas, const TVxBitmapLink& link, const TRect& bounds, TVxTileStyle style, bool keyed) {
    const TRect src = link.Rect();
    if (style == tsCenter && link.Image() != nullptr) {
        const int64_t x = bounds.Left + ((int64_t{bounds.Right} - bounds.Left) - (int64_t{src.Right} - src.Left)) / 2;
        const int64_t y = bounds.Top + ((int64_t{bounds.Bottom} - bounds.Top) - (int64_t{src.Bottom} - src.Top)) / 2;
        DrawUnscaled(canvas, *link.Image(), x, y, src, keyed);
        return;
    }
    DrawLinkPart(canvas, link, bounds, src, style, keyed);
}

void DrawNinePartBox(TCanvas& canvas,
                     const TVxBitmapLink& link,
                     const TRect& bounds,
                     const TRect& margins,
                     TVxTileStyle centreStyle,
                     TVxTileStyle borderStyle,
                     TNinePartKeying keying) {
    const TVxBitmap* image = link.Image();
    if (image == nullptr) {
        return;
    }
    const int64_t L = link.Left(), T = link.Top(), R = link.Right(), B = link.Bottom();
    const int64_t mL = margins.Left, mT = margins.Top, mR = margins.Right, mB = margins.Bottom;
    const int64_t W = int64_t{bounds.Right} - bounds.Left, H = int64_t{bounds.Bottom} - bounds.Top;
    const int64_t x = bounds.Left, y = bounds.Top;
    auto rect = [](int64_t left, int64_t top, int64_t right, int64_t bottom) {
        return TRect{ClampToInt32(left), ClampToInt32(top), ClampToInt32(right), ClampToInt32(bottom)};
    };
    // dest is relative to the object.
    auto part = [&](int64_t sl, int64_t st, int64_t sr, int64_t sb, int64_t dl, int64_t dt, int64_t dr, int64_t db,
                    TVxTileStyle style, bool keyed) {
        if ((sr - sl) * (sb - st) == 0) {
            return;
        }
        DrawLinkPart(canvas, link, rect(x + dl, y + dt, x + dr, y + db), rect(sl, st, sr, sb), style, keyed);
    };
    part(L + mL, T + mT, R - mR, B - mB, mL, mT, W - mR, H - mB, centreStyle, keying.Centre);
    part(L + mL, T, R - mR, T + mT, mL, 0, W - mR, mT, borderStyle, keying.Border);
    part(L + mL, B - mB, R - mR, B, mL, H - mB, W - mR, H, borderStyle, keying.Border);
    part(L, T + mT, L + mL, B - mB, 0, mT, mL, H - mB, borderStyle, keying.Border);
    part(R - mR, T + mT, R, B - mB, W - mR, mT, W, H - mB, borderStyle, keying.Border);
    auto corner = [&](int64_t sl, int64_t st, int64_t sr, int64_t sb, int64_t left, int64_t top) {
        DrawUnscaled(canvas, *image, x + left, y + top, rect(sl, st, sr, sb), keying.Corners);
    };
    corner(L, T, L + mL, T + mT, 0, 0);
    corner(R - mR, T, R, T + mT, W - mR, 0);
    corner(L, B - mB, L + mL, B, 0, H - mB);
    corner(R - mR, B - mB, R, B, W - mR, H - mB);
}

TRegion RegionOfDrawing(TVxSkinObject& object) {
    const int32_t left = object.Left();
    const int32_t top = object.Top();
    const int32_t width = object.Width();
    const int32_t height = object.Height();
    if (width > kMaxDrawnSide || height > kMaxDrawnSide) {
        throw Exception(msg::kCantAllocateDib);
    }
    // By position and size: a bounds rectangle saturates near the 32-bit edge.
    struct TRestoreBounds {
        TVxSkinObject& Object;
        int32_t Left, Top, Width, Height;
        ~TRestoreBounds() { Object.SetBounds(Left, Top, Width, Height); }
    } restore{object, left, top, width, height};
    object.SetBounds(0, 0, width, height);
    TVxBitmap bitmap;
    bitmap.SetSize(width, height);
    bitmap.Fill(TransparentColor);
    TRasterCanvas canvas(bitmap);
    object.Draw(canvas);
    return BitmapToRegion(bitmap, left, top);
}

void ShiftActiveLookHue(TColor& color, TFont& font, int delta) {
    if (color != clNone) {
        color = HueShiftedColor(color, delta);
    }
    font.SetColor(HueShiftedColor(font.Color(), delta));
}

}  // namespace zaprelay::skin
