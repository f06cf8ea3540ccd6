// Pixel kernels over plain 32-bit surfaces (top-down rows, no padding). They never
// allocate and never read or write outside a surface: every rectangle is clipped here.
// Each has a scalar reference (namespace reference) that the faster version is tested
// against; ForceReferenceKernels(true) makes the public entry points use the references.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/graphics/pixel.h"

#include <cstdint>

namespace zaprelay {

// A view of pixels owned elsewhere.
struct TPixelSurface {
    TPixel* Bits = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Valid() const { return Bits != nullptr && Width > 0 && Height > 0; }
};

struct TConstPixelSurface {
    const TPixel* Bits = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    TConstPixelSurface() = default;
    TConstPixelSurface(const TPixel* bits, int32_t width, int32_t height) : Bits(bits), Width(width), Height(height) {}
    TConstPixelSurface(TPixelSurface s) : Bits(s.Bits), Width(s.Width), Height(s.Height) {}
    bool Valid() const { return Bits != nullptr && Width > 0 && Height > 0; }
};

enum TStretchMode {
    smCopy,   // destination := source, all 32 bits
    smKeyed,  // key pixels of the source leave the destination alone
    smBlend,  // alpha 0 leaves it, 255 copies, otherwise BlendPixel(source, destination)
};

// The scaled copy of srcRect into destRect (destination device coordinates) in 16.16
// fixed point: stepX = (sw << 16) / dw, startX = MulDiv(sw * (clip.Left - destRect.Left),
// 0xFFFF, dw), and likewise for y; the destination is clipped to its surface only. Nothing
// is drawn when srcRect does not meet the source or destRect is empty. Source reads stay
// inside the source: a srcRect reaching outside it is clipped to it first. Source and
// destination may share memory; the result is then the reference's, pixel by pixel in order.
// srcRect repeated over destRect from its top-left corner: the same pixels as one 1:1
// StretchPixels per tile (columns left to right, each top to bottom; a tile cut by
// destRect's right or bottom edge takes the top-left part of srcRect). Nothing for an empty
// srcRect.
void TilePixels(TPixelSurface dst,
                const TRect& destRect,
                TConstPixelSurface src,
                const TRect& srcRect,
                TStretchMode mode);

void StretchPixels(TPixelSurface dst,
                   const TRect& destRect,
                   TConstPixelSurface src,
                   const TRect& srcRect,
                   TStretchMode mode);

// Puts src's srcRect behind dst's pixels at (x, y): alpha 0 in dst takes the source,
// 255 keeps dst, otherwise BlendPixel(dst, source). Clipped to both surfaces.
void MergeUnderPixels(TPixelSurface dst, int32_t x, int32_t y, TConstPixelSurface src, TRect srcRect);

void FillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel);
void BlendFillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel);  // BlendPixel(pixel, each)
void SetAlphaPixels(TPixelSurface dst, const TRect& rect, uint8_t alpha);
// Pixels whose red, green and blue each differ from pixel's by less than 6 become
// TransparentColor (alpha 0 included).
void ReplaceColorPixels(TPixelSurface dst, TPixel pixel);
// ShiftHue on every pixel whose alpha is not 0.
void ChangeHuePixels(TPixelSurface dst, int delta);

void ForceReferenceKernels(bool force);
bool ReferenceKernelsForced();

// The widest instruction set the fast kernels use: by default the widest the processor has.
// Tests lower it to check every level against the references; x86 builds only.
enum class TKernelLevel { Sse2, Sse41, Avx2 };
TKernelLevel ProcessorKernelLevel();        // what the processor (and the build) supports
void LimitKernelLevel(TKernelLevel level);  // capped at ProcessorKernelLevel()
TKernelLevel KernelLevel();

namespace reference {
void TilePixels(TPixelSurface dst,
                const TRect& destRect,
                TConstPixelSurface src,
                const TRect& srcRect,
                TStretchMode mode);
void StretchPixels(TPixelSurface dst,
                   const TRect& destRect,
                   TConstPixelSurface src,
                   const TRect& srcRect,
                   TStretchMode mode);
void MergeUnderPixels(TPixelSurface dst, int32_t x, int32_t y, TConstPixelSurface src, TRect srcRect);
void FillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel);
void BlendFillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel);
void SetAlphaPixels(TPixelSurface dst, const TRect& rect, uint8_t alpha);
void ReplaceColorPixels(TPixelSurface dst, TPixel pixel);
void ChangeHuePixels(TPixelSurface dst, int delta);
}  // namespace reference

}  // namespace zaprelay
