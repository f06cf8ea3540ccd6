// References from skin objects to rectangles of the skin's named bitmaps, and the list of
// those bitmaps that resolves them.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/persistent.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {

// A bitmap name and a rectangle in it; resolved when Image is set. Streams as Name,
// Left, Top, Right, Bottom (all always written, but an empty Name).
class TVxBitmapLink : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    TVxBitmap* Image() const { return m_image; }
    void SetImage(TVxBitmap* image) { m_image = image; }
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    int32_t Left() const { return m_left; }
    void SetLeft(int32_t value) { m_left = value; }
    int32_t Top() const { return m_top; }
    void SetTop(int32_t value) { m_top = value; }
    int32_t Right() const { return m_right; }
    void SetRight(int32_t value) { m_right = value; }
    int32_t Bottom() const { return m_bottom; }
    void SetBottom(int32_t value) { m_bottom = value; }
    TRect Rect() const { return {m_left, m_top, m_right, m_bottom}; }
    void SetRect(const TRect& rect);

    bool Masked() const { return m_masked; }
    bool MaskedBorder() const { return m_maskedBorder; }
    bool MaskedAngles() const { return m_maskedAngles; }

    // Image is set and the rectangle has pixels.
    bool Valid() const;
    // Recomputes the three flags from the see-through pixels (alpha below 255) of the
    // rectangle: with no margins, Masked tells whether there are any; with margins, which
    // of the corners, edge bands and centre hold them. margins holds the four widths.
    void CheckMasked(const TRect& margins = {});

private:
    TVxBitmap* m_image = nullptr;  // not owned: the bitmap list owns it
    std::string m_name;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
    bool m_masked = false;
    bool m_maskedBorder = false;
    bool m_maskedAngles = false;
};

// The skin's bitmaps in load order; owns them.
class TVxBitmapList {
public:
    TVxBitmapList() = default;
    virtual ~TVxBitmapList() { Clear(); }
    TVxBitmapList(const TVxBitmapList&) = delete;
    TVxBitmapList& operator=(const TVxBitmapList&) = delete;

    virtual void Clear() { m_bitmaps.clear(); }
    void Add(std::unique_ptr<TVxBitmap> bitmap) { m_bitmaps.push_back(std::move(bitmap)); }
    int Count() const { return static_cast<int>(m_bitmaps.size()); }
    // None for an index outside the list.
    TVxBitmap* GetBitmap(int index) const;
    // A new link to rect of the last bitmap whose name equals name ignoring ASCII case;
    // none when no bitmap has the name. The caller owns the link.
    std::unique_ptr<TVxBitmapLink> FindLink(std::string_view name, const TRect& rect) const;

private:
    std::vector<std::unique_ptr<TVxBitmap>> m_bitmaps;
};

}  // namespace zaprelay
