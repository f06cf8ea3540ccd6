#include "skin/controls/button_theme.h"

#include "skin/form/window_theme.h"

namespace zaprelay::skin {
namespace {

// The three theme calls, from the library VisualStylesActive has already loaded (systems
// without visual styles have no such library, so nothing is linked against it).
struct TButtonThemeCalls {
    HANDLE(WINAPI* Open)(HWND, LPCWSTR) = nullptr;
    HRESULT(WINAPI* Close)(HANDLE) = nullptr;
    HRESULT(WINAPI* Draw)(HANDLE, HDC, int, int, const RECT*, const RECT*) = nullptr;
};

const TButtonThemeCalls& Calls() {
    static const TButtonThemeCalls calls = [] {
        TButtonThemeCalls found;
        if (HMODULE module = GetModuleHandleA("uxtheme.dll"); module != nullptr) {
            auto proc = [module](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); };
            found.Open = reinterpret_cast<decltype(found.Open)>(proc("OpenThemeData"));
            found.Close = reinterpret_cast<decltype(found.Close)>(proc("CloseThemeData"));
            found.Draw = reinterpret_cast<decltype(found.Draw)>(proc("DrawThemeBackground"));
        }
        return found;
    }();
    return calls;
}

}  // namespace

TButtonTheme::TButtonTheme(HWND window) {
    if (VisualStylesActive() && ThemeLibraryComplete() && Calls().Open != nullptr) {
        m_theme = Calls().Open(window, L"Button");
    }
}

TButtonTheme::~TButtonTheme() {
    if (m_theme != nullptr && Calls().Close != nullptr) {
        Calls().Close(m_theme);
    }
}

void TButtonTheme::Draw(HDC dc, int part, int state, const TRect& rect) const {
    if (m_theme == nullptr || Calls().Draw == nullptr || rect.IsEmpty()) {
        return;
    }
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    Calls().Draw(m_theme, dc, part, state, &r, nullptr);
}

}  // namespace zaprelay::skin
