#include "skin/objects/bitmap_object.h"

#include "framework/rtl/scoped_value.h"

namespace zaprelay::skin {

// ---- TVxBitmapObject

TVxBitmapObject::TVxBitmapObject(TComponent* owner)
    : TVxSkinObject(owner), m_bitmap(std::make_unique<TVxBitmapLink>()) {}

const TClassInfo& TVxBitmapObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxBitmapObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxBitmapObject");
        TClassBuilder<T>(i)
            .Object("Bitmap", [](T& o) -> TPersistent* { return &o.Bitmap(); })
            .Enum("BorderTileStyle", kVxTileStyleNames, &T::BorderTileStyle, &T::SetBorderTileStyle, tsTile)
            .Boolean("MaskedBorder", &T::MaskedBorder, &T::SetMaskedBorder, true)
            .Boolean("MaskedAngles", &T::MaskedAngles, &T::SetMaskedAngles, true)
            .Enum("TileStyle", kVxTileStyleNames, &T::TileStyle, &T::SetTileStyle, tsTile)
            .Creatable();
        return i;
    }();
    return info;
}

void TVxBitmapObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    const auto* other = dynamic_cast<const TVxBitmapObject*>(&source);
    if (other == nullptr || other == this) {
        return;
    }
    m_bitmap->CopyFrom(*other->m_bitmap);
    m_tileStyle = other->m_tileStyle;
    m_borderTileStyle = other->m_borderTileStyle;
    m_maskedBorder = other->m_maskedBorder;
    m_maskedAngles = other->m_maskedAngles;
}

void TVxBitmapObject::LinkBitmaps() {
    TVxSkinObject::LinkBitmaps();
    ResolveLink(m_bitmap, Bitmaps, MarginRect());
}

void TVxBitmapObject::Draw(TCanvas& canvas) {
    const TVxBitmapLink& link = DrawnBitmap();
    if (!link.Valid() || Width() <= 0 || Height() <= 0) {
        return;
    }
    const TRect margins = MarginRect();
    if (margins.Left == 0 && margins.Top == 0 && margins.Right == 0 && margins.Bottom == 0) {
        DrawLinkWhole(canvas, link, BoundsRect(), m_tileStyle, link.Masked());
    } else {
        DrawNinePartBox(canvas, link, BoundsRect(), margins, m_tileStyle, m_borderTileStyle,
                        {link.Masked(), link.MaskedBorder(), link.MaskedAngles()});
    }
    DrawCaption(canvas);
    Realign();
    DrawChildren(canvas);
}

std::optional<TRegion> TVxBitmapObject::CreateRegion() {
    if (!IsValid(m_bitmap) || Width() <= 0 || Height() <= 0) {
        return std::nullopt;
    }
    if (Kind() == skClient || !Masked()) {
        return TRegion(BoundsRect());
    }
    return RegionOfDrawing(*this);
}

// ---- TVxActiveBitmap

TVxActiveBitmap::TVxActiveBitmap(TComponent* owner)
    : TVxBitmapObject(owner),
      m_activeBitmap(std::make_unique<TVxBitmapLink>()),
      m_activeFont(std::make_unique<TFont>()) {}

const TClassInfo& TVxActiveBitmap::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxActiveBitmap;
        TClassInfo i = NewClassInfo<T, TVxBitmapObject>("TVxActiveBitmap");
        TClassBuilder<T>(i)
            .Object("ActiveBitmap", [](T& o) -> TPersistent* { return &o.ActiveBitmap(); })
            .Object("ActiveFont", [](T& o) -> TPersistent* { return &o.ActiveFont(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxActiveBitmap::CopyFrom(const TPersistent& source) {
    TVxBitmapObject::CopyFrom(source);
    const auto* other = dynamic_cast<const TVxActiveBitmap*>(&source);
    if (other == nullptr || other == this) {
        return;
    }
    m_activeBitmap->CopyFrom(*other->m_activeBitmap);
    m_activeFont->CopyFrom(*other->m_activeFont);
}

TFont& TVxActiveBitmap::CaptionFont() {
    return IsHotOrFocused(State) ? *m_activeFont : Font();
}

void TVxActiveBitmap::LinkBitmaps() {
    TVxBitmapObject::LinkBitmaps();
    ResolveLink(m_activeBitmap, Bitmaps, MarginRect());
}

void TVxActiveBitmap::Draw(TCanvas& canvas) {
    const bool hot = IsHotOrFocused(State);
    const bool active = (Active || hot) && IsValid(m_activeBitmap);
    TScopedValue<const TVxBitmapLink*> shown(ShownBitmap(), active ? m_activeBitmap.get() : ShownBitmap());
    // The caption is painted in the font it is measured with (CaptionFont).
    TScopedValue<TFont*> font(ShownFont(), hot ? m_activeFont.get() : ShownFont());
    TVxBitmapObject::Draw(canvas);
}

void TVxActiveBitmap::SetCharset(TFontCharset charset) {
    TVxBitmapObject::SetCharset(charset);
    m_activeFont->SetCharset(charset);
}

}  // namespace zaprelay::skin
