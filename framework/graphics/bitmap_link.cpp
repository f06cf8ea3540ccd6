#include "framework/graphics/bitmap_link.h"

#include "framework/rtl/strings.h"

namespace zaprelay {

const TClassInfo& TVxBitmapLink::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxBitmapLink, TPersistent>("TVxBitmapLink");
        TClassBuilder<TVxBitmapLink>(i)
            .String("Name", &TVxBitmapLink::Name, &TVxBitmapLink::SetName)
            .Integer("Left", &TVxBitmapLink::Left, &TVxBitmapLink::SetLeft)
            .Integer("Top", &TVxBitmapLink::Top, &TVxBitmapLink::SetTop)
            .Integer("Right", &TVxBitmapLink::Right, &TVxBitmapLink::SetRight)
            .Integer("Bottom", &TVxBitmapLink::Bottom, &TVxBitmapLink::SetBottom);
        return i;
    }();
    return info;
}

void TVxBitmapLink::CopyFrom(const TPersistent& source) {
    if (!source.InheritsFrom(TVxBitmapLink::StaticClassInfo())) {
        TPersistent::CopyFrom(source);  // raises unless the source copies itself here
        return;
    }
    const auto& link = static_cast<const TVxBitmapLink&>(source);
    m_image = link.m_image;
    SetRect(link.Rect());
    m_name = link.m_name;
    m_masked = link.m_masked;
    m_maskedBorder = link.m_maskedBorder;
    m_maskedAngles = link.m_maskedAngles;
}

void TVxBitmapLink::SetRect(const TRect& rect) {
    m_left = rect.Left;
    m_top = rect.Top;
    m_right = rect.Right;
    m_bottom = rect.Bottom;
}

bool TVxBitmapLink::Valid() const {
    return m_image != nullptr && (int64_t{m_right} - m_left) * (int64_t{m_bottom} - m_top) > 0;
}

void TVxBitmapLink::CheckMasked(const TRect& margins) {
    m_masked = m_maskedBorder = m_maskedAngles = false;
    if (m_image == nullptr) {
        return;
    }
    // Margins come from skin files: the zone edges are worked out in 64 bits.
    const int64_t mL = margins.Left, mT = margins.Top, mR = margins.Right, mB = margins.Bottom;
    const int64_t w = int64_t{m_right} - m_left;
    const int64_t h = int64_t{m_bottom} - m_top;
    const bool noMargins = mL == 0 && mT == 0 && mR == 0 && mB == 0;
    auto clamped = [](int64_t left, int64_t top, int64_t right, int64_t bottom) {
        return TRect{ClampToInt32(left), ClampToInt32(top), ClampToInt32(right), ClampToInt32(bottom)};
    };
    const TRect corners[] = {clamped(0, 0, mL, mT), clamped(w - mR, 0, w, mT), clamped(w - mR, h - mB, w, h),
                             clamped(0, h - mB, mL, h)};
    const TRect bands[] = {clamped(mL, 0, w - mR, mT), clamped(mL, h - mB, w - mR, h), clamped(0, mT, mL, h - mB),
                           clamped(w - mR, mT, w, h - mB)};
    const TRect centre = clamped(mL, mT, w - mR, h - mB);
    // Only the part of the rectangle that lies inside the image can hold see-through pixels.
    const TRect inside = Intersect(Rect(), m_image->BoundsRect());
    for (int32_t y = inside.Top; y < inside.Bottom; ++y) {
        const TPixel* row = m_image->PixelPtr(0, y);
        for (int32_t x = inside.Left; x < inside.Right; ++x) {
            if (AlphaOf(row[x]) == 255) {
                continue;
            }
            if (noMargins) {
                m_masked = true;
                return;
            }
            const TPoint p{ClampToInt32(int64_t{x} - m_left), ClampToInt32(int64_t{y} - m_top)};
            for (const TRect& zone : corners) {
                m_maskedAngles |= zone.Contains(p);
            }
            for (const TRect& zone : bands) {
                m_maskedBorder |= zone.Contains(p);
            }
            m_masked |= centre.Contains(p);
        }
    }
}

TVxBitmap* TVxBitmapList::GetBitmap(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return m_bitmaps[static_cast<std::size_t>(index)].get();
}

std::unique_ptr<TVxBitmapLink> TVxBitmapList::FindLink(std::string_view name, const TRect& rect) const {
    for (auto it = m_bitmaps.rbegin(); it != m_bitmaps.rend(); ++it) {
        if (SameText((*it)->Name(), name)) {
            return (*it)->GetLink(rect);
        }
    }
    return nullptr;
}

}  // namespace zaprelay
