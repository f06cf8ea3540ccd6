#include "skin/objects/system_button_behavior.h"

#include "skin/objects/skin_object.h"

namespace zaprelay::skin {

namespace {

// The border icon an action's button needs, if any.
bool NeedsIcon(TVxAction action, TVxBorderIcon& icon) {
    switch (action) {
        case sbaClose:
            icon = kbiClose;
            return true;
        case sbaHelp:
            icon = kbiHelp;
            return true;
        case sbaMinimize:
            icon = kbiMinimize;
            return true;
        case sbaMaximize:
        case sbaRestore:
            icon = kbiMaximize;
            return true;
        case sbaRollUp:
        case sbaRollDown:
            icon = kbiRollup;
            return true;
        case sbaTray:
            icon = kbiTray;
            return true;
        case sbaSysMenu:
            icon = kbiSystemMenu;
            return true;
        default:
            return false;
    }
}

// Whether the button is hidden in a window state that decides visibility.
bool HiddenInState(uint8_t state, TVxAction action) {
    switch (state) {
        case skin_state::kNormal:
            return action == sbaRestore || action == sbaRollDown;
        case skin_state::kMaximized:
            return action == sbaMaximize || action == sbaRollDown;
        case skin_state::kMinimized:
            return action == sbaMinimize || action == sbaMaximize || action == sbaRollUp || action == sbaRollDown;
        case skin_state::kRolledUp:
            return action == sbaRestore || action == sbaRollUp;
        default:
            return false;
    }
}

bool DecidesVisibility(uint8_t state) {
    return state == skin_state::kNormal || state == skin_state::kMaximized || state == skin_state::kMinimized ||
           state == skin_state::kRolledUp;
}

}  // namespace

void TVxSysButtonBehavior::MouseEnter(TVxSkinObject& button) {
    ButtonState = (HeldShift & ssLeft) != 0 ? sbsPressed : sbsHot;
    button.Invalidate();
}

void TVxSysButtonBehavior::MouseLeave(TVxSkinObject& button) {
    ButtonState = sbsNormal;
    button.Invalidate();
}

void TVxSysButtonBehavior::MouseDown(TVxSkinObject& button, TMouseButton which) {
    if (which == mbLeft) {
        ButtonState = sbsPressed;
        button.Invalidate();
    }
}

void TVxSysButtonBehavior::MouseMove(TVxSkinObject& button, TShiftState shift) {
    if (ButtonState == sbsPressed && (shift & ssLeft) != 0) {
        button.Invalidate();
    } else if (button.Control != nullptr) {
        button.Control->ActivateHint(button.Control->ClientToScreen({button.Left(), button.Top()}));
    }
    HeldShift = shift;
}

void TVxSysButtonBehavior::MouseUp(TVxSkinObject& button, TMouseButton which, const std::function<void()>& click) {
    const bool clicked = ButtonState == sbsPressed && which == mbLeft;
    HeldShift = 0;
    if (clicked) {
        ButtonState = sbsHot;
        button.Invalidate();
        // Last: the click may free the button with its whole tree (a roll lets the host's
        // messages run, and a skin change among them replaces the host's copy).
        click();
    }
}

void TVxSysButtonBehavior::DblClick(TVxSkinObject& button, TMouseButton which, TVxAction action) {
    if (which != mbLeft || action != sbaSysMenu) {
        return;
    }
    if (TVxSkinFormActions* form = button.GetForm()) {
        form->Close();
    }
}

void ApplySysButtonVisibility(TVxSkinObject& button, TVxAction action) {
    TVxSkinFormActions* form = button.GetForm();
    if (form == nullptr) {
        return;
    }
    if (DecidesVisibility(button.State)) {
        button.Visible = !HiddenInState(button.State, action);
    }
    TVxBorderIcon icon{};
    if (NeedsIcon(action, icon) && !HasBorderIcon(form->BorderIcons(), icon)) {
        button.Visible = false;
    }
}

void PerformSysButtonAction(TVxSkinObject& button, TVxAction action) {
    TVxSkinFormActions* form = button.GetForm();
    if (form == nullptr) {
        return;
    }
    switch (action) {
        case sbaClose:
            form->Close();
            break;
        case sbaHelp:
            form->ContextHelp();
            break;
        case sbaMinimize:
            form->Minimize();
            break;
        case sbaMaximize:
            form->Maximize();
            break;
        case sbaRestore:
        case sbaRollDown:
            form->Restore();
            break;
        case sbaRollUp:
            form->Rollup();
            break;
        case sbaTray:
            form->MinToTray();
            break;
        case sbaSysMenu:
            form->ShowSystemMenu();
            break;
        case sbaCustom:
            form->CustomAction(button);
            break;
        default:
            break;
    }
}

void DrawSysMenuIcon(TVxSkinObject& button, TCanvas& canvas) {
    if (button.Control != nullptr) {
        button.Control->DrawWindowIcon(canvas, {button.Left(), button.Top()});
    }
}

}  // namespace zaprelay::skin
