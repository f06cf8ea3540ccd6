// What the look-at-it demo programs share: the skin library started as the program starts it,
// and the engine for "skin=FILE" on the command line (the file name runs up to a blank).
#pragma once

#include "framework/win32/dib_storage.h"
#include "skin/form/window_skin_announcer.h"
#include "skin/form/window_skin_host.h"
#include "skin/store/skin_classes.h"
#include "skin/store/vx_veneer.h"

#include <cstring>
#include <string>

namespace zaprelay::demo {

inline void StartSkinLibrary() {
    win32::InstallWin32Graphics();
    skin::InstallSkinObjectServices();
    skin::InstallWindowSkinAnnouncer();
    skin::RegisterSkinClasses();
}

// An engine owned by owner with the named skin file loaded; none without "skin=".
inline skin::TVxVeneer* VeneerFromCommandLine(TComponent* owner, const char* commandLine) {
    const char* skinFile = std::strstr(commandLine, "skin=");
    if (skinFile == nullptr) {
        return nullptr;
    }
    std::string file(skinFile + 5);
    file = file.substr(0, file.find(' '));
    auto* veneer = new skin::TVxVeneer(owner);
    veneer->SetSkinFile(file);
    return veneer;
}

}  // namespace zaprelay::demo
