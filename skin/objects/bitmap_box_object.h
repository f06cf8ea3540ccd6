// Bitmaps cut by the object's margins into a nine-part box (corners unscaled, bands and
// centre filled), with state images for a focusable box and a push button.
#pragma once

#include "skin/objects/bitmap_skin_object.h"

namespace zaprelay::skin {

class TVxBitmapBoxObject : public TVxBitmapSkinObject {
public:
    explicit TVxBitmapBoxObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // Without margins as a plain bitmap; otherwise the nine-part box, every part keyed by
    // the link's own see-through flag. Then the caption.
    void Draw(TCanvas& canvas) override;

    TVxTileStyle BorderTileStyle() const { return m_borderTileStyle; }
    void SetBorderTileStyle(TVxTileStyle value) { m_borderTileStyle = value; }

private:
    TVxTileStyle m_borderTileStyle = tsTile;
};

class TVxActiveBitmapBoxObject : public TVxBitmapBoxObject {
public:
    explicit TVxActiveBitmapBoxObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    void LinkBitmaps() override;
    // FocusedBitmap in states 5 and 7, when resolved.
    void Draw(TCanvas& canvas) override;

    TVxBitmapLink& FocusedBitmap() { return *m_focusedBitmap; }
    void SetFocusedBitmap(const TVxBitmapLink& value) { m_focusedBitmap->CopyFrom(value); }

private:
    TLinkSlot m_focusedBitmap;
};

class TVxButtonBitmapBoxObject : public TVxBitmapBoxObject {
public:
    explicit TVxButtonBitmapBoxObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    void LinkBitmaps() override;
    // The state's image (7 focused, 5 hot, 8 disabled, 6 pressed) when resolved, else Bitmap.
    void Draw(TCanvas& canvas) override;

    TVxBitmapLink& HotBitmap() { return *m_hotBitmap; }
    void SetHotBitmap(const TVxBitmapLink& value) { m_hotBitmap->CopyFrom(value); }
    TVxBitmapLink& FocusedBitmap() { return *m_focusedBitmap; }
    void SetFocusedBitmap(const TVxBitmapLink& value) { m_focusedBitmap->CopyFrom(value); }
    TVxBitmapLink& PressedBitmap() { return *m_pressedBitmap; }
    void SetPressedBitmap(const TVxBitmapLink& value) { m_pressedBitmap->CopyFrom(value); }
    TVxBitmapLink& DisabledBitmap() { return *m_disabledBitmap; }
    void SetDisabledBitmap(const TVxBitmapLink& value) { m_disabledBitmap->CopyFrom(value); }

private:
    TLinkSlot m_hotBitmap;
    TLinkSlot m_focusedBitmap;
    TLinkSlot m_pressedBitmap;
    TLinkSlot m_disabledBitmap;
};

}  // namespace zaprelay::skin
