// A receiver plug-in's five exports, looked up in a loaded DCD.dll: by the program, and by the
// tests that drive a plug-in the way the program does.
#pragma once

#include "framework/win32/platform.h"

#include <cstdint>

namespace zaprelay::dcd {

struct TPluginEntries {
    using OpenFn = int32_t(WINAPI*)(int32_t, int32_t, int32_t);
    using NoArgFn = int32_t(WINAPI*)();
    OpenFn Open = nullptr;
    NoArgFn Close = nullptr;
    NoArgFn Setup = nullptr;
    NoArgFn Start = nullptr;
    NoArgFn Stop = nullptr;

    // Looks the exports up in the order Open, Close, Setup, Start, Stop; false (and nothing
    // kept) when one is missing.
    bool Resolve(HMODULE library) {
        TPluginEntries found;
        if (!Find(library, "Open", found.Open) || !Find(library, "Close", found.Close) ||
            !Find(library, "Setup", found.Setup) || !Find(library, "Start", found.Start) ||
            !Find(library, "Stop", found.Stop)) {
            return false;
        }
        *this = found;
        return true;
    }

private:
    template <typename Fn>
    static bool Find(HMODULE library, const char* name, Fn& entry) {
        entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
        return entry != nullptr;
    }
};

}  // namespace zaprelay::dcd
