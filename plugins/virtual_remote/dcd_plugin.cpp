// The virtual remote receiver plug-in: after Start a small remote control window, run by a
// thread of the plug-in, sends a code for each button pressed on it, as a receiver would for
// a real remote. Setup shows its settings dialog.
//   settings: %ZAPRELAY_REMOTE_SETTINGS%, else VirtualRemote.ini beside the DLL
#include "framework/win32/platform.h"
#include "plugins/virtual_remote/remote_thread.h"
#include "plugins/virtual_remote/settings_dialog.h"
#include "plugins/virtual_remote/settings_file.h"

namespace {

using zaprelay::remote::TRemoteSettings;
using zaprelay::remote::TRemoteThread;
using zaprelay::remote::TSettingsFile;

HMODULE g_module = nullptr;
HWND g_target = nullptr;
TRemoteThread g_remote;

TSettingsFile SettingsFile() {
    return TSettingsFile(TSettingsFile::DefaultPath(g_module));
}

// No exception may leave an export: the caller's frames cannot be unwound.
template <typename Body>
int32_t Guarded(Body body) {
    try {
        body();
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

int32_t WINAPI Open(int32_t, int32_t window, int32_t) {
    return Guarded([&] { g_target = reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(window))); });
}

int32_t WINAPI Start() {
    return Guarded([] {
        if (g_target != nullptr) {
            g_remote.Start(g_module, g_target, SettingsFile());
        }
    });
}

int32_t WINAPI Setup() {
    return Guarded([] {
        const TSettingsFile file = SettingsFile();
        // Modal to the program's window when it is the caller's.
        HWND owner = g_target != nullptr && IsWindow(g_target) &&
                             GetWindowThreadProcessId(g_target, nullptr) == GetCurrentThreadId()
                         ? g_target
                         : nullptr;
        zaprelay::remote::ShowSettingsDialog(g_module, owner, file.Load(), [&](const TRemoteSettings& settings) {
            if (!file.SaveRepeatSettings(settings)) {
                return false;
            }
            g_remote.UseSettings(settings);
            return true;
        });
    });
}

int32_t WINAPI Stop() {
    return Guarded([] { g_remote.Stop(); });
}

int32_t WINAPI Close() {
    return Guarded([] {
        g_remote.Stop();
        g_target = nullptr;
    });
}

}  // extern "C"
