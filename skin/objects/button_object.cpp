#include "skin/objects/button_object.h"

#include "framework/rtl/scoped_value.h"

namespace zaprelay::skin {

TVxButtonObject::TVxButtonObject(TComponent* owner)
    : TVxBitmapObject(owner),
      m_bitmapHot(std::make_unique<TVxBitmapLink>()),
      m_bitmapFocused(std::make_unique<TVxBitmapLink>()),
      m_bitmapPressed(std::make_unique<TVxBitmapLink>()),
      m_bitmapDisabled(std::make_unique<TVxBitmapLink>()) {}

const TClassInfo& TVxButtonObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxButtonObject;
        TClassInfo i = NewClassInfo<T, TVxBitmapObject>("TVxButtonObject");
        TClassBuilder<T>(i)
            .Object("BitmapHot", [](T& o) -> TPersistent* { return &o.BitmapHot(); })
            .Object("BitmapFocused", [](T& o) -> TPersistent* { return &o.BitmapFocused(); })
            .Object("BitmapPressed", [](T& o) -> TPersistent* { return &o.BitmapPressed(); })
            .Object("BitmapDisabled", [](T& o) -> TPersistent* { return &o.BitmapDisabled(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxButtonObject::CopyFrom(const TPersistent& source) {
    TVxBitmapObject::CopyFrom(source);
    const auto* other = dynamic_cast<const TVxButtonObject*>(&source);
    if (other == nullptr || other == this) {
        return;
    }
    m_bitmapFocused->CopyFrom(*other->m_bitmapFocused);
    m_bitmapHot->CopyFrom(*other->m_bitmapHot);
    m_bitmapDisabled->CopyFrom(*other->m_bitmapDisabled);
    m_bitmapPressed->CopyFrom(*other->m_bitmapPressed);
}

void TVxButtonObject::LinkBitmaps() {
    TVxBitmapObject::LinkBitmaps();
    const TRect margins = MarginRect();
    ResolveLink(m_bitmapFocused, Bitmaps, margins);
    ResolveLink(m_bitmapHot, Bitmaps, margins);
    ResolveLink(m_bitmapPressed, Bitmaps, margins);
    ResolveLink(m_bitmapDisabled, Bitmaps, margins);
}

void TVxButtonObject::Draw(TCanvas& canvas) {
    if (!Bitmap().Valid() || Width() <= 0 || Height() <= 0) {
        return;
    }
    const TLinkSlot* chosen = StateImage(State, {m_bitmapFocused, m_bitmapHot, m_bitmapPressed, m_bitmapDisabled});
    const TVxBitmapLink* shown = chosen != nullptr && IsValid(*chosen) ? chosen->get() : &Bitmap();
    TScopedValue<const TVxBitmapLink*> swap(ShownBitmap(), shown);
    TVxBitmapObject::Draw(canvas);
}

}  // namespace zaprelay::skin
