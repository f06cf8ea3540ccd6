#include "framework/graphics/region.h"

#include "framework/graphics/vx_bitmap.h"

#include <algorithm>

namespace zaprelay {

TRegion::TRegion(const TRect& rect) {
    if (!rect.IsEmpty()) {
        m_rects.push_back(rect);
    }
}

TRegion TRegion::FromScanRects(std::vector<TRect> rects) {
    TRegion region;
    rects.erase(std::remove_if(rects.begin(), rects.end(), [](const TRect& r) { return r.IsEmpty(); }), rects.end());
    region.m_rects = std::move(rects);
    return region;
}

TRect TRegion::Bounds() const {
    if (m_rects.empty()) {
        return {};
    }
    TRect bounds = m_rects.front();
    for (const TRect& r : m_rects) {
        bounds = {std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top), std::max(bounds.Right, r.Right),
                  std::max(bounds.Bottom, r.Bottom)};
    }
    return bounds;
}

bool TRegion::Contains(TPoint point) const {
    return std::any_of(m_rects.begin(), m_rects.end(), [&](const TRect& r) { return r.Contains(point); });
}

void TRegion::Union(const TRegion& other) {
    if (other.IsEmpty()) {
        return;
    }
    if (IsEmpty()) {
        m_rects = other.m_rects;
        return;
    }
    std::vector<TRect> all = m_rects;
    all.insert(all.end(), other.m_rects.begin(), other.m_rects.end());

    // Band edges: every top and bottom. Within a band the spans of the rectangles that
    // cover it are merged; equal neighbouring bands are joined into one.
    std::vector<int32_t> edges;
    for (const TRect& r : all) {
        edges.push_back(r.Top);
        edges.push_back(r.Bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<TRect> result;
    std::vector<std::pair<int32_t, int32_t>> spans, previous;
    std::size_t previousStart = 0;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        const int32_t top = edges[i], bottom = edges[i + 1];
        spans.clear();
        for (const TRect& r : all) {
            if (r.Top <= top && r.Bottom >= bottom) {
                spans.emplace_back(r.Left, r.Right);
            }
        }
        std::sort(spans.begin(), spans.end());
        std::vector<std::pair<int32_t, int32_t>> merged;
        for (const auto& span : spans) {
            if (!merged.empty() && span.first <= merged.back().second) {
                merged.back().second = std::max(merged.back().second, span.second);
            } else {
                merged.push_back(span);
            }
        }
        const bool continues = !merged.empty() && merged == previous && !result.empty() && result.back().Bottom == top;
        if (continues) {
            for (std::size_t k = previousStart; k < result.size(); ++k) {
                result[k].Bottom = bottom;
            }
        } else {
            previousStart = result.size();
            for (const auto& span : merged) {
                result.push_back({span.first, top, span.second, bottom});
            }
        }
        previous = std::move(merged);
    }
    m_rects = std::move(result);
}

void TRegion::Offset(int32_t dx, int32_t dy) {
    for (TRect& r : m_rects) {
        r = r.Offset(dx, dy);
    }
}

TRegion BitmapToRegion(const TVxBitmap& bitmap, int32_t x, int32_t y) {
    std::vector<TRect> rects;
    if (bitmap.Empty()) {
        return {};
    }
    const int32_t width = bitmap.Width();
    for (int32_t row = 0; row < bitmap.Height(); ++row) {
        const TPixel* line = bitmap.Bits() + static_cast<intptr_t>(row) * width;
        int32_t col = 0;
        while (col < width) {
            while (col < width && IsKeyPixel(line[col])) {
                ++col;
            }
            const int32_t start = col;
            while (col < width && !IsKeyPixel(line[col])) {
                ++col;
            }
            if (col > start) {
                // Saturated at the 32-bit range a region holds: what lies beyond it comes out
                // empty and is dropped.
                rects.push_back({ClampToInt32(int64_t{x} + start), ClampToInt32(int64_t{y} + row),
                                 ClampToInt32(int64_t{x} + col), ClampToInt32(int64_t{y} + row + 1)});
            }
        }
    }
    return TRegion::FromScanRects(std::move(rects));
}

}  // namespace zaprelay
