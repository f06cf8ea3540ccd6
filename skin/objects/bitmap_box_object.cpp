#include "skin/objects/bitmap_box_object.h"

#include <memory>

namespace zaprelay::skin {

// ---- TVxBitmapBoxObject

TVxBitmapBoxObject::TVxBitmapBoxObject(TComponent* owner) : TVxBitmapSkinObject(owner) {}

const TClassInfo& TVxBitmapBoxObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxBitmapBoxObject;
        TClassInfo i = NewClassInfo<T, TVxBitmapSkinObject>("TVxBitmapBoxObject");
        TClassBuilder<T>(i)
            .Enum("BorderTileStyle", kVxTileStyleNames, &T::BorderTileStyle, &T::SetBorderTileStyle, tsTile)
            .Creatable();
        return i;
    }();
    return info;
}

void TVxBitmapBoxObject::CopyFrom(const TPersistent& source) {
    TVxBitmapSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxBitmapBoxObject*>(&source); other != nullptr && other != this) {
        m_borderTileStyle = other->m_borderTileStyle;
    }
}

void TVxBitmapBoxObject::Draw(TCanvas& canvas) {
    if (!CanDraw()) {
        return;
    }
    if (MarginLeft() == 0 && MarginTop() == 0 && MarginRight() == 0 && MarginBottom() == 0) {
        TVxBitmapSkinObject::Draw(canvas);
        return;
    }
    // The link was scanned without margins, so its one flag keys every part.
    const bool keyed = Bitmap().Masked();
    DrawNinePartBox(canvas, Bitmap(), BoundsRect(), {MarginLeft(), MarginTop(), MarginRight(), MarginBottom()},
                    TileStyle(), m_borderTileStyle, {keyed, keyed, keyed});
    DrawCaption(canvas);
}

// ---- TVxActiveBitmapBoxObject

TVxActiveBitmapBoxObject::TVxActiveBitmapBoxObject(TComponent* owner)
    : TVxBitmapBoxObject(owner), m_focusedBitmap(std::make_unique<TVxBitmapLink>()) {}

const TClassInfo& TVxActiveBitmapBoxObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxActiveBitmapBoxObject;
        TClassInfo i = NewClassInfo<T, TVxBitmapBoxObject>("TVxActiveBitmapBoxObject");
        TClassBuilder<T>(i)
            .Object("FocusedBitmap", [](T& o) -> TPersistent* { return &o.FocusedBitmap(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxActiveBitmapBoxObject::CopyFrom(const TPersistent& source) {
    TVxBitmapBoxObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxActiveBitmapBoxObject*>(&source); other != nullptr && other != this) {
        m_focusedBitmap->CopyFrom(*other->m_focusedBitmap);
    }
}

void TVxActiveBitmapBoxObject::LinkBitmaps() {
    TVxBitmapBoxObject::LinkBitmaps();
    ResolveLink(m_focusedBitmap, Bitmaps, {});
}

void TVxActiveBitmapBoxObject::Draw(TCanvas& canvas) {
    if (!CanDraw()) {
        return;
    }
    TLinkSlot none;
    TLinkSwap swap(BitmapSlot(), IsHotOrFocused(State) ? m_focusedBitmap : none);
    TVxBitmapBoxObject::Draw(canvas);
}

// ---- TVxButtonBitmapBoxObject

TVxButtonBitmapBoxObject::TVxButtonBitmapBoxObject(TComponent* owner)
    : TVxBitmapBoxObject(owner),
      m_hotBitmap(std::make_unique<TVxBitmapLink>()),
      m_focusedBitmap(std::make_unique<TVxBitmapLink>()),
      m_pressedBitmap(std::make_unique<TVxBitmapLink>()),
      m_disabledBitmap(std::make_unique<TVxBitmapLink>()) {}

const TClassInfo& TVxButtonBitmapBoxObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxButtonBitmapBoxObject;
        TClassInfo i = NewClassInfo<T, TVxBitmapBoxObject>("TVxButtonBitmapBoxObject");
        TClassBuilder<T>(i)
            .Object("HotBitmap", [](T& o) -> TPersistent* { return &o.HotBitmap(); })
            .Object("FocusedBitmap", [](T& o) -> TPersistent* { return &o.FocusedBitmap(); })
            .Object("PressedBitmap", [](T& o) -> TPersistent* { return &o.PressedBitmap(); })
            .Object("DisabledBitmap", [](T& o) -> TPersistent* { return &o.DisabledBitmap(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxButtonBitmapBoxObject::CopyFrom(const TPersistent& source) {
    TVxBitmapBoxObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxButtonBitmapBoxObject*>(&source); other != nullptr && other != this) {
        m_focusedBitmap->CopyFrom(*other->m_focusedBitmap);
        m_hotBitmap->CopyFrom(*other->m_hotBitmap);
        m_disabledBitmap->CopyFrom(*other->m_disabledBitmap);
        m_pressedBitmap->CopyFrom(*other->m_pressedBitmap);
    }
}

void TVxButtonBitmapBoxObject::LinkBitmaps() {
    TVxBitmapBoxObject::LinkBitmaps();
    ResolveLink(m_focusedBitmap, Bitmaps, {});
    ResolveLink(m_hotBitmap, Bitmaps, {});
    ResolveLink(m_pressedBitmap, Bitmaps, {});
    ResolveLink(m_disabledBitmap, Bitmaps, {});
}

void TVxButtonBitmapBoxObject::Draw(TCanvas& canvas) {
    if (!CanDraw()) {
        return;
    }
    TLinkSlot none;
    TLinkSlot* image = StateImage(State, {m_focusedBitmap, m_hotBitmap, m_pressedBitmap, m_disabledBitmap});
    TLinkSwap swap(BitmapSlot(), image != nullptr ? *image : none);
    TVxBitmapBoxObject::Draw(canvas);
}

}  // namespace zaprelay::skin
