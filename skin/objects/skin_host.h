// What a skin object tree needs of the window it is bound to. A window (the skin-bound form,
// a skinned control) implements TVxSkinHost by sending the skin library's messages; the
// objects stay portable and tests bind them to a fake.
#pragma once

#include "framework/graphics/canvas.h"
#include "framework/graphics/geometry.h"

#include <cstdint>
#include <initializer_list>

namespace zaprelay::skin {

class TVxSkinObject;

// The caption's buttons; the values also identify them in GetButtonRect.
enum TVxBorderIcon : uint8_t { kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray };
using TVxBorderIcons = uint32_t;  // a set of TVxBorderIcon, bit n for value n

constexpr TVxBorderIcons BorderIconSet(std::initializer_list<TVxBorderIcon> icons) {
    TVxBorderIcons set = 0;
    for (TVxBorderIcon icon : icons) {
        set |= 1u << icon;
    }
    return set;
}
constexpr bool HasBorderIcon(TVxBorderIcons set, TVxBorderIcon icon) {
    return (set & (1u << icon)) != 0;
}

// The form component of a host window: the operations a caption button of the skin performs.
class TVxSkinFormActions {
public:
    virtual ~TVxSkinFormActions() = default;

    virtual TVxBorderIcons BorderIcons() const = 0;
    virtual void Close() = 0;
    virtual void ContextHelp() = 0;
    virtual void Minimize() = 0;
    virtual void Maximize() = 0;
    virtual void Restore() = 0;
    virtual void Rollup() = 0;
    virtual void MinToTray() = 0;
    virtual void ShowSystemMenu() = 0;
    // A button with a custom action was clicked.
    virtual void CustomAction(TVxSkinObject& button) = 0;
};

// The window (form or control) a tree is bound to with SetControl.
class TVxSkinHost {
public:
    virtual ~TVxSkinHost() = default;

    // The object needs repainting (VXM_SKINOBJECTCHANGED, handled before this returns).
    virtual void SkinObjectChanged(TVxSkinObject& object) = 0;
    // The form component of the host's window (VXM_GETSKINFORM), or none.
    virtual TVxSkinFormActions* GetSkinForm() = 0;
    // 0 left to right, 1 right to left, as the control reads.
    virtual uint8_t ReadingOrder() const = 0;
    // Text format flags as the control itself adjusts them for its reading order.
    virtual uint32_t DrawTextBiDiModeFlags(uint32_t flags) const = 0;
    virtual TPoint ClientToScreen(TPoint point) const = 0;
    // Asks the application to show the hint for a screen point.
    virtual void ActivateHint(TPoint screenPoint) = 0;
    // Draws the window's icon (its own, else the application's, else the system's) at the
    // small-icon size with its top-left corner at point; false when the host is no form.
    virtual bool DrawWindowIcon(TCanvas& canvas, TPoint point) = 0;
    // Lets the window messages waiting in the queue run, so pending repaints show.
    virtual void ProcessMessages() = 0;
};

}  // namespace zaprelay::skin
