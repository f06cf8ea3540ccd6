// Clipping arithmetic shared by the reference kernels and the fast ones. Edges are widened
// to 64 bits: a rectangle spanning most of the int32 range must not overflow its width.
#pragma once

#include "framework/graphics/pixel_kernels.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace zaprelay::pixel_detail {

struct TBox {
    int64_t Left;
    int64_t Top;
    int64_t Right;
    int64_t Bottom;
    int64_t Width() const { return Right - Left; }
    int64_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
};

inline TBox ToBox(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

inline TBox IntersectBox(const TBox& a, const TBox& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

inline TBox SurfaceBox(int32_t width, int32_t height) {
    return {0, 0, width, height};
}

// MulDiv(a, 0xFFFF, c) for a >= 0, c > 0, rounded half up, without a 64-bit overflow.
inline int64_t MulDivFFFF(int64_t a, int64_t c) {
    int64_t q = a / c;
    int64_t r = a % c;
    return q * 0xFFFF + (2 * r * 0xFFFF + c) / (2 * c);
}

// Where a stretch writes and where it reads, in 16.16 source offsets from the source origin.
// No default values: every field is set by ClipStretch or its caller, and zeroing the struct
// first would be a measurable part of a small tile's cost.
struct TStretchPlan {
    TBox Clip;        // destination pixels written
    int64_t SrcLeft;  // origin of the source rectangle after clipping to the source
    int64_t SrcTop;
    int64_t SrcWidth;
    int64_t SrcHeight;
    int64_t DestWidth;
    int64_t DestHeight;
    int64_t SkipX;  // Clip.Left - destRect.Left: columns of destRect cut off on the left
    int64_t SkipY;
    int64_t StartX;  // set by the caller
    int64_t StartY;
    int64_t StepX;
    int64_t StepY;
};

// Clips both rectangles; false when nothing is drawn. The fixed-point fields are left to the
// caller, which may know a cheaper way to get them.
inline bool ClipStretch(TPixelSurface dst,
                        const TRect& destRect,
                        TConstPixelSurface src,
                        const TRect& srcRect,
                        TStretchPlan& plan) {
    if (!dst.Valid() || !src.Valid()) {
        return false;
    }
    TBox source = IntersectBox(ToBox(srcRect), SurfaceBox(src.Width, src.Height));
    TBox dest = ToBox(destRect);
    if (source.IsEmpty() || dest.IsEmpty()) {
        return false;
    }
    plan.Clip = IntersectBox(dest, SurfaceBox(dst.Width, dst.Height));
    if (plan.Clip.IsEmpty()) {
        return false;
    }
    plan.SrcLeft = source.Left;
    plan.SrcTop = source.Top;
    plan.SrcWidth = source.Width();
    plan.SrcHeight = source.Height();
    plan.DestWidth = dest.Width();
    plan.DestHeight = dest.Height();
    plan.SkipX = plan.Clip.Left - dest.Left;
    plan.SkipY = plan.Clip.Top - dest.Top;
    return true;
}

// Where MergeUnder reads (source origin) and writes (target origin), and the copied size.
struct TMergePlan {
    int64_t DstLeft;
    int64_t DstTop;
    int64_t SrcLeft;
    int64_t SrcTop;
    int64_t Width;
    int64_t Height;
};

// The source rectangle is cut to the source (a cut on the left or top moves the target
// position by the same amount), then the target span is clipped to the target surface.
inline bool PlanMerge(TPixelSurface dst,
                      int32_t x,
                      int32_t y,
                      TConstPixelSurface src,
                      const TRect& srcRect,
                      TMergePlan& plan) {
    if (!dst.Valid() || !src.Valid()) {
        return false;
    }
    TBox cut = ToBox(srcRect);
    int64_t tx = x;
    int64_t ty = y;
    if (cut.Left < 0) {
        tx -= cut.Left;
        cut.Left = 0;
    }
    if (cut.Top < 0) {
        ty -= cut.Top;
        cut.Top = 0;
    }
    cut.Right = std::min<int64_t>(cut.Right, src.Width);
    cut.Bottom = std::min<int64_t>(cut.Bottom, src.Height);
    if (cut.IsEmpty()) {
        return false;
    }
    // Target of source pixel (sx, sy) is (tx + sx - cut.Left, ty + sy - cut.Top).
    TBox target = IntersectBox({tx, ty, tx + cut.Width(), ty + cut.Height()}, SurfaceBox(dst.Width, dst.Height));
    if (target.IsEmpty()) {
        return false;
    }
    plan.DstLeft = target.Left;
    plan.DstTop = target.Top;
    plan.SrcLeft = cut.Left + (target.Left - tx);
    plan.SrcTop = cut.Top + (target.Top - ty);
    plan.Width = target.Width();
    plan.Height = target.Height();
    return true;
}

// Rect clipped to a surface; false when nothing is left.
inline bool ClipToSurface(TPixelSurface dst, const TRect& rect, TBox& clip) {
    if (!dst.Valid()) {
        return false;
    }
    clip = IntersectBox(ToBox(rect), SurfaceBox(dst.Width, dst.Height));
    return !clip.IsEmpty();
}

inline std::size_t PixelCount(int32_t width, int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

inline TPixel* PixelAt(TPixelSurface s, int64_t x, int64_t y) {
    return s.Bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.Width) + static_cast<std::size_t>(x);
}

inline const TPixel* PixelAt(TConstPixelSurface s, int64_t x, int64_t y) {
    return s.Bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.Width) + static_cast<std::size_t>(x);
}

// Blending spans for wider instruction sets, each in its own file compiled for that set; the
// public kernels use them only when the processor has it. Null where the build has none.
struct TBlendSpans {
    void (*Over)(TPixel* d, const TPixel* s, std::size_t n);   // d := BlendPixel(s, d)
    void (*Under)(TPixel* d, const TPixel* s, std::size_t n);  // d := BlendPixel(d, s)
};
TBlendSpans Sse41BlendSpans();
TBlendSpans Avx2BlendSpans();

// ShiftHue(pixel, delta) on each pixel of a span whose alpha is not 0, in the same single
// precision steps as the scalar code. The hue step is kept in 32 bits, so only for deltas up
// to kHueSpanDelta either way. Null where the build has none.
using THueSpan = void (*)(TPixel* d, std::size_t n, int32_t delta);
inline constexpr int32_t kHueSpanDelta = 1 << 30;
THueSpan Sse41HueSpan();
THueSpan Avx2HueSpan();

// Calls draw(tile, part) for each tile of srcRect's size over destRect: columns left to
// right, each top to bottom; a tile cut by destRect takes the top-left part of srcRect.
// Tiles wholly outside visible are skipped: they would draw nothing, and a stored rectangle
// can hold billions of them.
template <typename Draw>
void ForEachTile(const TRect& destRect, const TRect& srcRect, const TRect& visible, Draw draw) {
    const int64_t w = static_cast<int64_t>(srcRect.Right) - srcRect.Left;
    const int64_t h = static_cast<int64_t>(srcRect.Bottom) - srcRect.Top;
    if (w <= 0 || h <= 0) {
        return;
    }
    const int64_t firstLeft = destRect.Left + std::max<int64_t>(0, (int64_t{visible.Left} - destRect.Left) / w) * w;
    const int64_t firstTop = destRect.Top + std::max<int64_t>(0, (int64_t{visible.Top} - destRect.Top) / h) * h;
    const int64_t right = std::min<int64_t>(destRect.Right, visible.Right);
    const int64_t bottom = std::min<int64_t>(destRect.Bottom, visible.Bottom);
    for (int64_t left = firstLeft; left < right; left += w) {
        for (int64_t top = firstTop; top < bottom; top += h) {
            const TRect tile{static_cast<int32_t>(left), static_cast<int32_t>(top),
                             static_cast<int32_t>(std::min<int64_t>(left + w, destRect.Right)),
                             static_cast<int32_t>(std::min<int64_t>(top + h, destRect.Bottom))};
            draw(tile, TRect{srcRect.Left, srcRect.Top, srcRect.Left + tile.Width(), srcRect.Top + tile.Height()});
        }
    }
}
template <typename Draw>
void ForEachTile(const TRect& destRect, const TRect& srcRect, Draw draw) {
    ForEachTile(destRect, srcRect, destRect, draw);
}

}  // namespace zaprelay::pixel_detail
