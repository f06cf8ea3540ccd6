#include "skin/form/window_skin_announcer.h"

#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "framework/win32/screen.h"

#include <windows.h>

namespace zaprelay::skin {

void BroadcastMessage(win32::TControl& control, uint32_t msg, TVxVeneer& engine) {
    const auto param = reinterpret_cast<intptr_t>(&engine);
    auto* window = dynamic_cast<win32::TWinControl*>(&control);
    if (window != nullptr && dynamic_cast<win32::TCustomForm*>(window) != nullptr) {
        SendMessageW(window->Handle(), msg, static_cast<WPARAM>(param), param);
    } else {
        control.Perform(msg, static_cast<uintptr_t>(param), param);
    }
    if (window == nullptr) {
        return;
    }
    // A handler may add or remove controls: the count is looked at again each time.
    for (int i = 0; i < window->ControlCount(); ++i) {
        BroadcastMessage(*window->Controls(i), msg, engine);
    }
}

void TVxWindowSkinAnnouncer::AnnounceToForms(uint32_t msg, TVxVeneer& engine) {
    win32::TScreen* screen = win32::Screen();
    if (screen == nullptr) {
        return;
    }
    const int count = screen->FormCount();
    for (int i = 0; i < count && i < screen->FormCount(); ++i) {
        BroadcastMessage(*screen->Forms(i), msg, engine);
        if (win32::TApplication* application = win32::Application()) {
            application->ProcessMessages();
        }
    }
}

void InstallWindowSkinAnnouncer() {
    static TVxWindowSkinAnnouncer announcer;
    SetSkinAnnouncer(&announcer);
}

}  // namespace zaprelay::skin
