// A window control as the host of a skin object tree: what the tree asks becomes the skin
// library's messages to the control, the control's reading order and the application's hint.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/rtl/font.h"
#include "skin/objects/skin_host.h"

#include <cstdint>
#include <string_view>

namespace zaprelay::win32 {
class TControl;
}

namespace zaprelay::skin {

class TVxWindowSkinHost : public TVxSkinHost {
public:
    // The control must outlive the host (the form or control that binds a tree owns both).
    explicit TVxWindowSkinHost(win32::TControl& control) : m_control(control) {}

    win32::TControl& Control() const { return m_control; }

    // Sent (not posted): the repaint has been asked for when this returns.
    void SkinObjectChanged(TVxSkinObject& object) override;
    TVxSkinFormActions* GetSkinForm() override;
    uint8_t ReadingOrder() const override;
    uint32_t DrawTextBiDiModeFlags(uint32_t flags) const override;
    TPoint ClientToScreen(TPoint point) const override;
    void ActivateHint(TPoint screenPoint) override;
    bool DrawWindowIcon(TCanvas& canvas, TPoint point) override;
    void ProcessMessages() override;

private:
    win32::TControl& m_control;
};

// A skin library message to a control: sent to its window when it has one, else straight to
// the control (a window-less one, or one whose window is not made yet).
intptr_t SendSkinMessage(win32::TControl& control, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// The size of text in a font as the screen measures it.
TPoint ScreenTextExtent(const TFontData& font, std::u16string_view text);

// Services the portable skin objects take from the system: text measured on the screen, and
// whether the user's locale reads right to left. Installed once at start-up.
void InstallSkinObjectServices();

}  // namespace zaprelay::skin
