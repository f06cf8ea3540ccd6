// What the skin-bound form and the skin-bound controls share: the published binding to an
// engine, the owned copy of a skin object, and the test for a skin worth binding to.
#pragma once

#include "framework/rtl/reflection.h"
#include "skin/store/vx_veneer.h"

#include <string>

namespace zaprelay::skin {

// The engine is there with a skin loaded and not being replaced.
inline bool SkinLoaded(TVxVeneer* veneer) {
    if (veneer == nullptr) {
        return false;
    }
    const TVxSkinSource& source = veneer->SkinSource();
    return !source.Updating() && source.Count() > 0;
}

// "Veneer", "SkinObject" and "Version", in stream order.
template <typename T>
void PublishSkinBinding(TClassBuilder<T>& b) {
    b.Component(
        "Veneer", [](const T& c) -> TComponent* { return c.Veneer(); },
        [](T& c, TComponent* v) { c.SetVeneer(dynamic_cast<TVxVeneer*>(v)); });
    b.String("SkinObject", &T::SkinObject, &T::SetSkinObject);
    PublishSkinVersion(b);
}

}  // namespace zaprelay::skin
