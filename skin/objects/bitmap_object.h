// Skin objects that paint a piece of a skin bitmap: plainly (tiled, stretched or centred) or,
// with margins, as a nine-part box whose corners stay unscaled. TVxActiveBitmap adds a second
// image for the active window and for hot or focused states.
#pragma once

#include "skin/objects/object_kinds.h"
#include "skin/objects/skin_object.h"

#include <memory>

namespace zaprelay::skin {

class TVxBitmapObject : public TVxSkinObject {
public:
    explicit TVxBitmapObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    void LinkBitmaps() override;
    // Nothing without a resolved image or without area (caption and children included);
    // otherwise the image, then the caption, a realignment and the children. Color is never
    // filled.
    void Draw(TCanvas& canvas) override;
    // None without a resolved image or area; the bounds for client parts and unmasked
    // objects; otherwise the shape of what is drawn.
    std::optional<TRegion> CreateRegion() override;

    TVxBitmapLink& Bitmap() { return *m_bitmap; }
    const TVxBitmapLink& Bitmap() const { return *m_bitmap; }
    void SetBitmap(const TVxBitmapLink& value) { m_bitmap->CopyFrom(value); }
    TVxTileStyle BorderTileStyle() const { return m_borderTileStyle; }
    void SetBorderTileStyle(TVxTileStyle value) { m_borderTileStyle = value; }
    // Stored and copied only: drawing goes by the flags the link computed from its pixels.
    bool MaskedBorder() const { return m_maskedBorder; }
    void SetMaskedBorder(bool value) { m_maskedBorder = value; }
    bool MaskedAngles() const { return m_maskedAngles; }
    void SetMaskedAngles(bool value) { m_maskedAngles = value; }
    TVxTileStyle TileStyle() const { return m_tileStyle; }
    void SetTileStyle(TVxTileStyle value) { m_tileStyle = value; }

protected:
    // The four margins as CheckMasked takes them.
    TRect MarginRect() const { return {MarginLeft(), MarginTop(), MarginRight(), MarginBottom()}; }
    // Kinds that paint a state's image for one Draw show it in Bitmap's place by reference;
    // restore it with a TScopedValue.
    const TVxBitmapLink*& ShownBitmap() { return m_shownBitmap; }
    const TVxBitmapLink& DrawnBitmap() const { return m_shownBitmap != nullptr ? *m_shownBitmap : *m_bitmap; }

private:
    TLinkSlot m_bitmap;
    TVxTileStyle m_borderTileStyle = tsTile;
    bool m_maskedBorder = true;
    bool m_maskedAngles = true;
    TVxTileStyle m_tileStyle = tsTile;
    const TVxBitmapLink* m_shownBitmap = nullptr;
};

class TVxActiveBitmap : public TVxBitmapObject {
public:
    explicit TVxActiveBitmap(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // ActiveFont while hot or focused; the window's activity plays no part here.
    TFont& CaptionFont() override;
    void LinkBitmaps() override;
    // ActiveBitmap, when resolved, in place of Bitmap while the window is active or the
    // object hot or focused; the caption in CaptionFont.
    void Draw(TCanvas& canvas) override;
    void SetCharset(TFontCharset charset) override;

    TVxBitmapLink& ActiveBitmap() { return *m_activeBitmap; }
    void SetActiveBitmap(const TVxBitmapLink& value) { m_activeBitmap->CopyFrom(value); }
    TFont& ActiveFont() { return *m_activeFont; }
    void SetActiveFont(const TFont& value) { m_activeFont->CopyFrom(value); }

private:
    TLinkSlot m_activeBitmap;
    std::unique_ptr<TFont> m_activeFont;
};

}  // namespace zaprelay::skin
