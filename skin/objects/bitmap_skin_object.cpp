#include "skin/objects/bitmap_skin_object.h"

#include <memory>

namespace zaprelay::skin {

// ---- TVxBitmapSkinObject

TVxBitmapSkinObject::TVxBitmapSkinObject(TComponent* owner)
    : TVxSkinObject(owner), m_bitmap(std::make_unique<TVxBitmapLink>()) {}

const TClassInfo& TVxBitmapSkinObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxBitmapSkinObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxBitmapSkinObject");
        TClassBuilder<T>(i)
            .Object("Bitmap", [](T& o) -> TPersistent* { return &o.Bitmap(); })
            .Enum("TileStyle", kVxTileStyleNames, &T::TileStyle, &T::SetTileStyle, tsTile)
            .Creatable();
        return i;
    }();
    return info;
}

void TVxBitmapSkinObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxBitmapSkinObject*>(&source); other != nullptr && other != this) {
        m_bitmap->CopyFrom(*other->m_bitmap);
        m_tileStyle = other->m_tileStyle;
    }
}

void TVxBitmapSkinObject::LinkBitmaps() {
    TVxSkinObject::LinkBitmaps();
    // No margins: only the link's overall see-through flag is wanted.
    ResolveLink(m_bitmap, Bitmaps, {});
}

void TVxBitmapSkinObject::Draw(TCanvas& canvas) {
    if (!CanDraw()) {
        return;
    }
    DrawLinkWhole(canvas, *m_bitmap, BoundsRect(), m_tileStyle, m_bitmap->Masked());
    DrawCaption(canvas);
}

std::optional<TRegion> TVxBitmapSkinObject::CreateRegion() {
    if (!CanDraw()) {
        return std::nullopt;
    }
    if (Kind() == skClient) {
        return TRegion(BoundsRect());
    }
    return RegionOfDrawing(*this);
}

// ---- TVxFormBitmapSkinObject

TVxFormBitmapSkinObject::TVxFormBitmapSkinObject(TComponent* owner)
    : TVxBitmapSkinObject(owner), m_inactiveBitmap(std::make_unique<TVxBitmapLink>()) {}

const TClassInfo& TVxFormBitmapSkinObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxFormBitmapSkinObject;
        TClassInfo i = NewClassInfo<T, TVxBitmapSkinObject>("TVxFormBitmapSkinObject");
        TClassBuilder<T>(i)
            .Object("InactiveBitmap", [](T& o) -> TPersistent* { return &o.InactiveBitmap(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxFormBitmapSkinObject::CopyFrom(const TPersistent& source) {
    TVxBitmapSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxFormBitmapSkinObject*>(&source); other != nullptr && other != this) {
        m_inactiveBitmap->CopyFrom(*other->m_inactiveBitmap);
    }
}

void TVxFormBitmapSkinObject::LinkBitmaps() {
    TVxBitmapSkinObject::LinkBitmaps();
    ResolveLink(m_inactiveBitmap, Bitmaps, {});
}

void TVxFormBitmapSkinObject::Draw(TCanvas& canvas) {
    // Without its own image the object draws nothing, whatever the inactive image.
    if (!CanDraw()) {
        return;
    }
    if (Active) {
        TVxBitmapSkinObject::Draw(canvas);
        return;
    }
    TLinkSwap swap(BitmapSlot(), m_inactiveBitmap);
    TVxBitmapSkinObject::Draw(canvas);
}

}  // namespace zaprelay::skin
