// A bitmap drawn over the object's rectangle, and the form's variant with an image of its own
// for an inactive window. These kinds paint their image and caption only: their children are
// neither realigned nor painted.
#pragma once

#include "skin/objects/object_kinds.h"
#include "skin/objects/skin_object.h"

#include <utility>

namespace zaprelay::skin {

// Puts another link in a slot's place for one paint and puts it back on the way out, also
// when painting throws. An unresolved replacement leaves the slot alone.
class TLinkSwap {
public:
    TLinkSwap(TLinkSlot& slot, TLinkSlot& replacement) : m_slot(slot), m_replacement(replacement) {
        m_swapped = IsValid(replacement);
        if (m_swapped) {
            std::swap(m_slot, m_replacement);
        }
    }
    ~TLinkSwap() {
        if (m_swapped) {
            std::swap(m_slot, m_replacement);
        }
    }
    TLinkSwap(const TLinkSwap&) = delete;
    TLinkSwap& operator=(const TLinkSwap&) = delete;

private:
    TLinkSlot& m_slot;
    TLinkSlot& m_replacement;
    bool m_swapped = false;
};

class TVxBitmapSkinObject : public TVxSkinObject {
public:
    explicit TVxBitmapSkinObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    void LinkBitmaps() override;
    // The image by TileStyle, keyed by the link's own see-through flag, then the caption.
    void Draw(TCanvas& canvas) override;
    // None without an image; the bounds for the client part; otherwise what the image covers.
    std::optional<TRegion> CreateRegion() override;

    TVxBitmapLink& Bitmap() { return *m_bitmap; }
    const TVxBitmapLink& Bitmap() const { return *m_bitmap; }
    void SetBitmap(const TVxBitmapLink& value) { m_bitmap->CopyFrom(value); }
    TVxTileStyle TileStyle() const { return m_tileStyle; }
    void SetTileStyle(TVxTileStyle value) { m_tileStyle = value; }

protected:
    // Whether there is anything to paint: a resolved image and an area.
    bool CanDraw() const { return IsValid(m_bitmap) && Width() > 0 && Height() > 0; }
    // Derived kinds swap their state images into this slot for one paint.
    TLinkSlot& BitmapSlot() { return m_bitmap; }

private:
    TLinkSlot m_bitmap;
    TVxTileStyle m_tileStyle = tsTile;
};

class TVxFormBitmapSkinObject : public TVxBitmapSkinObject {
public:
    explicit TVxFormBitmapSkinObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    void LinkBitmaps() override;
    // An inactive window shows InactiveBitmap when it is resolved.
    void Draw(TCanvas& canvas) override;

    TVxBitmapLink& InactiveBitmap() { return *m_inactiveBitmap; }
    const TVxBitmapLink& InactiveBitmap() const { return *m_inactiveBitmap; }
    void SetInactiveBitmap(const TVxBitmapLink& value) { m_inactiveBitmap->CopyFrom(value); }

private:
    TLinkSlot m_inactiveBitmap;
};

}  // namespace zaprelay::skin
