#include "plugins/kit/plugin_exports.h"

namespace zaprelay::dcd {
namespace {

HMODULE g_module = nullptr;

template <typename Body>
int32_t Guarded(const char* call, Body body) {
    try {
        body(ThePlugin());
        return 1;
    } catch (...) {
        try {
            ThePlugin().Failed(call);
        } catch (...) {
        }
        return 0;
    }
}

}  // namespace

HMODULE PluginModule() {
    return g_module;
}

HWND SetupDialogOwner(HWND window) {
    return window != nullptr && IsWindow(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()
               ? window
               : nullptr;
}

}  // namespace zaprelay::dcd

using zaprelay::dcd::TReceiverPlugin;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        zaprelay::dcd::g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

int32_t WINAPI Open(int32_t first, int32_t window, int32_t third) {
    return zaprelay::dcd::Guarded("Open", [&](TReceiverPlugin& plugin) {
        plugin.Open(first, reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(window))), third);
    });
}

int32_t WINAPI Start() {
    return zaprelay::dcd::Guarded("Start", [](TReceiverPlugin& plugin) { plugin.Start(); });
}

int32_t WINAPI Setup() {
    return zaprelay::dcd::Guarded("Setup", [](TReceiverPlugin& plugin) { plugin.Setup(); });
}

int32_t WINAPI Stop() {
    return zaprelay::dcd::Guarded("Stop", [](TReceiverPlugin& plugin) { plugin.Stop(); });
}

int32_t WINAPI Close() {
    return zaprelay::dcd::Guarded("Close", [](TReceiverPlugin& plugin) { plugin.Close(); });
}

}  // extern "C"
