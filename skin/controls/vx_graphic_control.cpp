#include "skin/controls/vx_graphic_control.h"

#include "framework/win32/control_props.h"
#include "skin/controls/control_painting.h"

namespace zaprelay::skin {

const TClassInfo& TVxGraphicControl::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxGraphicControl, TVxPaintedControl<win32::TGraphicControl>>("TVxGraphicControl");
        using T = TVxGraphicControl;
        TClassBuilder<T> b(i);
        win32::publish::BiDiMode(b);
        b.Object("Blending", [](T& c) -> TPersistent* { return c.Blending(); });
        b.Enum("Performance", kVxPerformanceNames, &T::Performance, &T::SetPerformance, kspNoBuffer);
        win32::publish::ShowHint(b);
        b.Boolean("Transparent", &T::Transparent, &T::SetTransparent, false);
        win32::publish::Visible(b);
        b.Event("OnMouseEnter", win32::publish::Member<T>(&T::OnMouseEnter));
        b.Event("OnMouseLeave", win32::publish::Member<T>(&T::OnMouseLeave));
        return i;
    }();
    return info;
}

// Blending's own change notice is not followed here: only assigning the property switches the
// buffer.
TVxGraphicControl::TVxGraphicControl(TComponent* owner) : TVxPaintedControl(owner) {}

TVxGraphicControl::~TVxGraphicControl() = default;

void TVxGraphicControl::AfterRead() {
    win32::TGraphicControl::AfterRead();
    Invalidate();
}

void TVxGraphicControl::Paint() {
    if (Width() > 0 && Height() > 0) {
        // A new double buffer starts all zero; the shared one keeps what was last drawn there.
        Painting().Paint(*this, Canvas(), false, [this] { PaintClient(); });
    }
}

void TVxGraphicControl::PaintClient() {
    if (!Transparent()) {
        PaintCanvas().FillRect({0, 0, Width(), Height()}, Color());
    }
}

}  // namespace zaprelay::skin
