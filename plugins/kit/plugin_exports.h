// The five exports of a receiver plug-in, written once: a plug-in defines ThePlugin() and
// links plugin_exports.cpp (through zr_plugin_exports); the exports call it on the program's
// thread with every exception caught, as nothing may unwind into the program.
#pragma once

#include "framework/win32/platform.h"

#include <cstdint>

namespace zaprelay::dcd {

class TReceiverPlugin {
public:
    virtual ~TReceiverPlugin() = default;

    // The program's calls, in their order over one run: Open, Start, Setup (any number of
    // times), Stop, Close. window is the one to send codes to.
    virtual void Open(int32_t first, HWND window, int32_t third) = 0;
    virtual void Start() = 0;
    virtual void Setup() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    // An exception left the call of this name; its export returns 0.
    virtual void Failed(const char* call) { (void)call; }
};

// The plug-in of this DLL; each plug-in defines it.
TReceiverPlugin& ThePlugin();

// This DLL, as its entry point was told.
HMODULE PluginModule();

// The owner of a dialog shown from Setup: the program's window when Setup runs on its thread
// (the dialog is then modal to it), else none.
HWND SetupDialogOwner(HWND window);

}  // namespace zaprelay::dcd
