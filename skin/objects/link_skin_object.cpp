#include "skin/objects/link_skin_object.h"

#include "framework/rtl/ansi_text.h"
#include "skin/objects/object_kinds.h"

namespace zaprelay::skin {

TVxLinkSkinObject::TVxLinkSkinObject(TComponent* owner) : TVxSkinObject(owner) {}

const TClassInfo& TVxLinkSkinObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxLinkSkinObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxLinkSkinObject");
        TClassBuilder<T>(i).String("LinkControl", &T::LinkControl, &T::SetLinkControl).Creatable();
        return i;
    }();
    return info;
}

void TVxLinkSkinObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxLinkSkinObject*>(&source); other != nullptr && other != this) {
        m_linkControl = other->m_linkControl;
    }
}

void TVxLinkSkinObject::Draw(TCanvas& canvas) {
    if (State != skin_state::kPlaceholder || Width() <= 0 || Height() <= 0) {
        return;
    }
    const TRect bounds = BoundsRect();
    canvas.FillRect(bounds, clWhite);
    canvas.FrameRect(bounds, clBlack);
    canvas.Save();
    TFontData font = canvas.Font();  // its size stays
    font.Name = "Arial";
    font.Style = FontStyleBit(fsItalic);
    font.Color = clBlack;
    canvas.SetFont(font);
    TRect place = bounds;
    canvas.DrawText(AnsiToWide(m_linkControl), place,
                    TextFormat::SingleLine | TextFormat::Center | TextFormat::VCenter);
    canvas.Restore();
}

}  // namespace zaprelay::skin
