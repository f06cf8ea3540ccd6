#include "skin/form/frame_metrics.h"

#include "framework/win32/platform.h"

namespace zaprelay::skin {
namespace {

TFrameMetrics g_metrics;

using TThemeQuery = BOOL(WINAPI*)();

struct TThemeLibrary {
    TThemeQuery IsThemeActive = nullptr;
    TThemeQuery IsAppThemed = nullptr;
};

// Looked up once and kept loaded for the program's life: the theme state is asked on every
// frame paint. Systems before visual styles have no such library.
const TThemeLibrary& ThemeLibrary() {
    static const TThemeLibrary library = [] {
        TThemeLibrary found;
        HMODULE module = LoadLibraryA("uxtheme.dll");
        if (module != nullptr) {
            found.IsThemeActive =
                reinterpret_cast<TThemeQuery>(reinterpret_cast<void*>(GetProcAddress(module, "IsThemeActive")));
            found.IsAppThemed =
                reinterpret_cast<TThemeQuery>(reinterpret_cast<void*>(GetProcAddress(module, "IsAppThemed")));
        }
        return found;
    }();
    return library;
}

}  // namespace

const TFrameMetrics& FrameMetrics() {
    return g_metrics;
}

TFrameMetrics ReadSystemFrameMetrics() {
    TFrameMetrics metrics;
    metrics.CaptionHeight = GetSystemMetrics(SM_CYCAPTION);
    metrics.ToolCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    metrics.FrameWidth = GetSystemMetrics(SM_CXFRAME);
    metrics.ButtonWidth = GetSystemMetrics(SM_CXSIZE);
    metrics.ButtonHeight = GetSystemMetrics(SM_CYSIZE);
    return metrics;
}

const TFrameMetrics& RefreshFrameMetrics() {
    g_metrics = ReadSystemFrameMetrics();
    return g_metrics;
}

bool VisualStylesActive() {
    const TThemeLibrary& library = ThemeLibrary();
    if (library.IsThemeActive == nullptr || library.IsAppThemed == nullptr) {
        return false;
    }
    return library.IsThemeActive() != FALSE && library.IsAppThemed() != FALSE;
}

}  // namespace zaprelay::skin
