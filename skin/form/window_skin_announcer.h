// The engine's skin-change announcements as window messages: to every form on the screen
// and, depth first, to each of its controls.
#pragma once

#include "skin/store/skin_announcer.h"

#include <cstdint>

namespace zaprelay::win32 {
class TControl;
}

namespace zaprelay::skin {

// Delivers msg (wParam and lParam the engine) to control and its children in child order:
// sent to a form's window (made if need be) and waited for, straight to the handlers of
// any other control.
void BroadcastMessage(win32::TControl& control, uint32_t msg, TVxVeneer& engine);

class TVxWindowSkinAnnouncer : public TVxSkinAnnouncer {
public:
    void AnnounceToForms(uint32_t msg, TVxVeneer& engine) override;
};

// Installs one announcer for the program's life.
void InstallWindowSkinAnnouncer();

}  // namespace zaprelay::skin
