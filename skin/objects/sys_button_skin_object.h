// A caption button drawn from plain bitmaps: its own images for hover and press, the window
// actions of the caption buttons, and rolling a roll panel of its tree.
#pragma once

#include "skin/objects/bitmap_skin_object.h"
#include "skin/objects/system_button_behavior.h"

#include <string>

namespace zaprelay::skin {

class TVxSysButtonSkinObject : public TVxBitmapSkinObject {
public:
    explicit TVxSysButtonSkinObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // Shows or hides the button for the window state and the form's border icons.
    void SetState(uint8_t value) override;
    void LinkBitmaps() override;
    // The image for the pointer: BitmapHover while hot, BitmapDown while pressed, when
    // resolved; the system-menu action shows the form's icon instead.
    void Draw(TCanvas& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, int32_t x, int32_t y) override;
    void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
    void MouseUp(TMouseButton button, int32_t x, int32_t y) override;
    void DblClick(TMouseButton button, int32_t x, int32_t y) override;

    // Performs the action; sbaRollPanel rolls the roll panel named RollPanel in this tree.
    void Click();

    TVxAction Action() const { return m_action; }
    void SetAction(TVxAction value) { m_action = value; }
    TVxBitmapLink& BitmapHover() { return *m_bitmapHover; }
    const TVxBitmapLink& BitmapHover() const { return *m_bitmapHover; }
    void SetBitmapHover(const TVxBitmapLink& value) { m_bitmapHover->CopyFrom(value); }
    TVxBitmapLink& BitmapDown() { return *m_bitmapDown; }
    const TVxBitmapLink& BitmapDown() const { return *m_bitmapDown; }
    void SetBitmapDown(const TVxBitmapLink& value) { m_bitmapDown->CopyFrom(value); }
    const std::string& RollPanel() const { return m_rollPanel; }
    void SetRollPanel(const std::string& value) { m_rollPanel = value; }

    // Runtime only: never stored or copied.
    TVxSysButtonState ButtonState() const { return m_behavior.ButtonState; }
    TShiftState HeldShift() const { return m_behavior.HeldShift; }

private:
    TVxAction m_action = sbaNone;
    TLinkSlot m_bitmapHover;
    TLinkSlot m_bitmapDown;
    std::string m_rollPanel;
    TVxSysButtonBehavior m_behavior;
};

}  // namespace zaprelay::skin
