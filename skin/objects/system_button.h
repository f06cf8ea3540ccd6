// A caption button drawn from skin bitmaps: hovers and presses with the pointer, shows or
// hides itself by the window state and the form's border icons, and performs its action on
// the form when clicked. Its children (the glyph) follow its look through their State.
#pragma once

#include "skin/objects/bitmap_object.h"
#include "skin/objects/system_button_behavior.h"

namespace zaprelay::skin {

class TVxSystemButton : public TVxActiveBitmap {
public:
    explicit TVxSystemButton(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // After the state reaches the subtree, shows or hides the button for it.
    void SetState(uint8_t value) override;
    void LinkBitmaps() override;
    // The system-menu button shows the form's icon. Others, in an active window, show the
    // hot or pressed image with their children hot or pressed; in an inactive window, their
    // children disabled.
    void Draw(TCanvas& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, int32_t x, int32_t y) override;
    void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
    void MouseUp(TMouseButton button, int32_t x, int32_t y) override;
    void DblClick(TMouseButton button, int32_t x, int32_t y) override;

    // Performs the action on the host's form.
    void Click();

    TVxAction Action() const { return m_action; }
    void SetAction(TVxAction value) { m_action = value; }
    TVxBitmapLink& BitmapHot() { return *m_bitmapHot; }
    void SetBitmapHot(const TVxBitmapLink& value) { m_bitmapHot->CopyFrom(value); }
    TVxBitmapLink& BitmapPressed() { return *m_bitmapPressed; }
    void SetBitmapPressed(const TVxBitmapLink& value) { m_bitmapPressed->CopyFrom(value); }

    // Runtime state of this copy, never stored or copied.
    TVxSysButtonState ButtonState() const { return m_behavior.ButtonState; }
    TShiftState HeldShift() const { return m_behavior.HeldShift; }

private:
    // The inherited painting with the children in state for its duration.
    void DrawWithChildrenIn(TCanvas& canvas, uint8_t childState);

    TVxAction m_action = sbaNone;
    TLinkSlot m_bitmapHot;
    TLinkSlot m_bitmapPressed;
    TVxSysButtonBehavior m_behavior;
};

}  // namespace zaprelay::skin
