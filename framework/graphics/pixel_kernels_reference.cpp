// The scalar reference kernels: one pixel at a time, written to be obviously right. The
// fast kernels are tested against these, and ForceReferenceKernels routes everything here.
#include "framework/graphics/pixel_kernels.h"
#include "framework/graphics/pixel_kernels_internal.h"

#include <algorithm>
#include <cstdlib>

namespace zaprelay::reference {

using namespace pixel_detail;

void StretchPixels(TPixelSurface dst,
                   const TRect& destRect,
                   TConstPixelSurface src,
                   const TRect& srcRect,
                   TStretchMode mode) {
    TStretchPlan plan;
    if (!ClipStretch(dst, destRect, src, srcRect, plan)) {
        return;
    }
    int64_t stepX = (plan.SrcWidth << 16) / plan.DestWidth;
    int64_t stepY = (plan.SrcHeight << 16) / plan.DestHeight;
    int64_t startX = MulDivFFFF(plan.SrcWidth * plan.SkipX, plan.DestWidth);
    int64_t startY = MulDivFFFF(plan.SrcHeight * plan.SkipY, plan.DestHeight);

    int64_t fy = startY;
    for (int64_t y = plan.Clip.Top; y < plan.Clip.Bottom; ++y, fy += stepY) {
        const TPixel* sourceRow = PixelAt(src, plan.SrcLeft, plan.SrcTop + (fy >> 16));
        TPixel* row = PixelAt(dst, 0, y);
        int64_t fx = startX;
        for (int64_t x = plan.Clip.Left; x < plan.Clip.Right; ++x, fx += stepX) {
            TPixel s = sourceRow[fx >> 16];
            switch (mode) {
                case smCopy:
                    row[x] = s;
                    break;
                case smKeyed:
                    if (!IsKeyPixel(s)) {
                        row[x] = s;
                    }
                    break;
                case smBlend:
                    // BlendPixel already leaves the target for alpha 0 and copies for 255.
                    row[x] = BlendPixel(s, row[x]);
                    break;
            }
        }
    }
}

void MergeUnderPixels(TPixelSurface dst, int32_t x, int32_t y, TConstPixelSurface src, TRect srcRect) {
    TMergePlan plan;
    if (!PlanMerge(dst, x, y, src, srcRect, plan)) {
        return;
    }
    for (int64_t j = 0; j < plan.Height; ++j) {
        const TPixel* s = PixelAt(src, plan.SrcLeft, plan.SrcTop + j);
        TPixel* t = PixelAt(dst, plan.DstLeft, plan.DstTop + j);
        for (int64_t i = 0; i < plan.Width; ++i) {
            // Alpha 0 in the target takes the source, 255 keeps the target.
            t[i] = BlendPixel(t[i], s[i]);
        }
    }
}

void FillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel) {
    TBox clip;
    if (!ClipToSurface(dst, rect, clip)) {
        return;
    }
    for (int64_t y = clip.Top; y < clip.Bottom; ++y) {
        TPixel* row = PixelAt(dst, 0, y);
        for (int64_t x = clip.Left; x < clip.Right; ++x) {
            row[x] = pixel;
        }
    }
}

void BlendFillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel) {
    TBox clip;
    if (!ClipToSurface(dst, rect, clip)) {
        return;
    }
    for (int64_t y = clip.Top; y < clip.Bottom; ++y) {
        TPixel* row = PixelAt(dst, 0, y);
        for (int64_t x = clip.Left; x < clip.Right; ++x) {
            row[x] = BlendPixel(pixel, row[x]);
        }
    }
}

void SetAlphaPixels(TPixelSurface dst, const TRect& rect, uint8_t alpha) {
    TBox clip;
    if (!ClipToSurface(dst, rect, clip)) {
        return;
    }
    for (int64_t y = clip.Top; y < clip.Bottom; ++y) {
        TPixel* row = PixelAt(dst, 0, y);
        for (int64_t x = clip.Left; x < clip.Right; ++x) {
            row[x] = (row[x] & 0x00FFFFFF) | static_cast<TPixel>(alpha) << 24;
        }
    }
}

void ReplaceColorPixels(TPixelSurface dst, TPixel pixel) {
    if (!dst.Valid()) {
        return;
    }
    std::size_t count = PixelCount(dst.Width, dst.Height);
    for (std::size_t i = 0; i < count; ++i) {
        TPixel p = dst.Bits[i];
        bool near = true;
        for (int shift = 0; shift < 24; shift += 8) {
            int a = static_cast<int>((p >> shift) & 0xFF);
            int b = static_cast<int>((pixel >> shift) & 0xFF);
            near = near && std::abs(a - b) < 6;
        }
        if (near) {
            dst.Bits[i] = TransparentColor;
        }
    }
}

void ChangeHuePixels(TPixelSurface dst, int delta) {
    if (!dst.Valid()) {
        return;
    }
    std::size_t count = PixelCount(dst.Width, dst.Height);
    for (std::size_t i = 0; i < count; ++i) {
        if (AlphaOf(dst.Bits[i]) != 0) {
            dst.Bits[i] = ShiftHue(dst.Bits[i], delta);
        }
    }
}

void TilePixels(TPixelSurface dst,
                const TRect& destRect,
                TConstPixelSurface src,
                const TRect& srcRect,
                TStretchMode mode) {
    pixel_detail::ForEachTile(
        destRect, srcRect, TRect{0, 0, dst.Width, dst.Height},
        [&](const TRect& tile, const TRect& part) { reference::StretchPixels(dst, tile, src, part, mode); });
}

}  // namespace zaprelay::reference
