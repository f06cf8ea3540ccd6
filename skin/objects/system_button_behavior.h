// What both caption-button kinds share: hover and press tracking from the pointer events,
// visibility by window state and border icons, and the form operation each action performs.
#pragma once

#include "framework/rtl/mouse_input.h"
#include "skin/objects/object_kinds.h"

#include <cstdint>
#include <functional>

namespace zaprelay::skin {

class TVxSkinObject;

enum TVxSysButtonState : uint8_t { sbsNormal, sbsHot, sbsPressed };

// Runtime state of one button in a host's copy: never stored or copied.
class TVxSysButtonBehavior {
public:
    TVxSysButtonState ButtonState = sbsNormal;
    TShiftState HeldShift = 0;  // of the last MouseMove

    // Entering with the left button still held (it left while pressed) presses it again.
    void MouseEnter(TVxSkinObject& button);
    void MouseLeave(TVxSkinObject& button);
    void MouseDown(TVxSkinObject& button, TMouseButton which);
    // Repaints while dragging a pressed button; otherwise asks for the button's hint.
    void MouseMove(TVxSkinObject& button, TShiftState shift);
    // A left release over the pressed button clicks it. The click is the last thing done, so
    // it may free the button (and this behaviour with it).
    void MouseUp(TVxSkinObject& button, TMouseButton which, const std::function<void()>& click);
    // A left double click on the system-menu button closes the form.
    void DblClick(TVxSkinObject& button, TMouseButton which, TVxAction action);
};

// After the state has been set: shows or hides the button for the window state (0 normal,
// 2 maximized, 3 minimized, 4 rolled up; others leave it) and hides it when the form's
// border icons lack the one its action needs. Nothing without a form.
void ApplySysButtonVisibility(TVxSkinObject& button, TVxAction action);
// The form operation of the action (none for sbaNone and sbaRollPanel); nothing without a form.
void PerformSysButtonAction(TVxSkinObject& button, TVxAction action);
// The system-menu button shows the host form's icon at its top-left corner.
void DrawSysMenuIcon(TVxSkinObject& button, TCanvas& canvas);

}  // namespace zaprelay::skin
