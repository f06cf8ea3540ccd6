// A portable region: rectangles in scan order (top to bottom, then left to right), which
// the Win32 layer turns into a window region. Used for window shapes and hit masks.
#pragma once

#include "framework/graphics/geometry.h"

#include <vector>

namespace zaprelay {

class TVxBitmap;

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const TRect& rect);
    // Takes rectangles as they are (non-overlapping, in scan order, as BitmapToRegion
    // makes them); empty ones are dropped.
    static TRegion FromScanRects(std::vector<TRect> rects);

    bool IsEmpty() const { return m_rects.empty(); }
    const std::vector<TRect>& Rects() const { return m_rects; }
    TRect Bounds() const;
    bool Contains(TPoint point) const;

    // The union, in banded form: horizontal bands, each a sorted list of disjoint spans.
    void Union(const TRegion& other);
    void Offset(int32_t dx, int32_t dy);

    bool operator==(const TRegion&) const = default;

private:
    std::vector<TRect> m_rects;
};

// The bitmap's non-key pixels as rectangles offset by (x, y): for each row, one rectangle
// one pixel high per run of non-key pixels, cut at the 32-bit coordinate range. Empty for an
// empty bitmap.
TRegion BitmapToRegion(const TVxBitmap& bitmap, int32_t x, int32_t y);

}  // namespace zaprelay
