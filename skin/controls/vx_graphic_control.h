// The base of window-less skinned controls (labels): the same buffered painting, transparency
// and blending as the windowed base, painted on the parent's window, without frame or focus.
#pragma once

#include "framework/win32/custom_control.h"
#include "skin/controls/vx_painted_control.h"

namespace zaprelay::skin {

class TVxGraphicControl : public TVxPaintedControl<win32::TGraphicControl> {
public:
    explicit TVxGraphicControl(TComponent* owner);
    ~TVxGraphicControl() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() { return TVxPaintedControl::StaticMessageTable(); }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    void AfterRead() override;

protected:
    void Paint() override;
    // Background and content. Base: unless Transparent, the client rectangle in Color.
    virtual void PaintClient();
};

}  // namespace zaprelay::skin
