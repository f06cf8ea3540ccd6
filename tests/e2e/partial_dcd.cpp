// A receiver plug-in that lacks one export: the build makes one library per missing name,
// each exporting the other four through its own module-definition file.
#include "framework/win32/platform.h"

#include <cstdint>

extern "C" {

int32_t WINAPI Open(int32_t, int32_t, int32_t) {
    return 1;
}

int32_t WINAPI Close() {
    return 1;
}

int32_t WINAPI Setup() {
    return 1;
}

int32_t WINAPI Start() {
    return 1;
}

int32_t WINAPI Stop() {
    return 1;
}

}  // extern "C"
