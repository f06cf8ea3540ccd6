#include "skin/form/window_theme.h"

namespace zaprelay::skin {
namespace {

using TThemeQuery = BOOL(WINAPI*)();
using TOpenThemeData = HANDLE(WINAPI*)(HWND, LPCWSTR);
using TCloseThemeData = HRESULT(WINAPI*)(HANDLE);
using TDrawThemeBackground = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
using TDrawThemeText = HRESULT(WINAPI*)(HANDLE, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
using TGetThemeColor = HRESULT(WINAPI*)(HANDLE, int, int, int, COLORREF*);
using TGetThemeBackgroundRegion = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, HRGN*);

struct TThemeApi {
    TThemeQuery IsThemeActive = nullptr;
    TThemeQuery IsAppThemed = nullptr;
    TOpenThemeData Open = nullptr;
    TCloseThemeData Close = nullptr;
    TDrawThemeBackground DrawBackground = nullptr;
    TDrawThemeText DrawText = nullptr;
    TGetThemeColor GetColor = nullptr;
    TGetThemeBackgroundRegion GetBackgroundRegion = nullptr;
};

template <typename Proc>
Proc Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loaded once and kept for the program's life: it is asked on every frame paint.
const TThemeApi& ThemeApi() {
    static const TThemeApi api = [] {
        TThemeApi found;
        if (HMODULE module = LoadLibraryA("uxtheme.dll"); module != nullptr) {
            found.IsThemeActive = Entry<TThemeQuery>(module, "IsThemeActive");
            found.IsAppThemed = Entry<TThemeQuery>(module, "IsAppThemed");
            found.Open = Entry<TOpenThemeData>(module, "OpenThemeData");
            found.Close = Entry<TCloseThemeData>(module, "CloseThemeData");
            found.DrawBackground = Entry<TDrawThemeBackground>(module, "DrawThemeBackground");
            found.DrawText = Entry<TDrawThemeText>(module, "DrawThemeText");
            found.GetColor = Entry<TGetThemeColor>(module, "GetThemeColor");
            found.GetBackgroundRegion = Entry<TGetThemeBackgroundRegion>(module, "GetThemeBackgroundRegion");
        }
        return found;
    }();
    return api;
}

}  // namespace

bool ThemeLibraryComplete() {
    const TThemeApi& api = ThemeApi();
    return api.Open != nullptr && api.Close != nullptr && api.DrawBackground != nullptr;
}

bool VisualStylesActive() {
    const TThemeApi& api = ThemeApi();
    if (api.IsThemeActive == nullptr || api.IsAppThemed == nullptr) {
        return false;
    }
    return api.IsThemeActive() != FALSE && api.IsAppThemed() != FALSE;
}

TWindowTheme::TWindowTheme(const wchar_t* themeClass, HWND window) {
    if (ThemeLibraryComplete()) {
        m_theme = ThemeApi().Open(window, themeClass);
    }
}

TWindowTheme::~TWindowTheme() {
    if (m_theme != nullptr) {
        ThemeApi().Close(m_theme);
    }
}

void TWindowTheme::Draw(HDC dc, int part, int state, const TRect& rect) const {
    if (m_theme == nullptr || rect.IsEmpty()) {
        return;
    }
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    ThemeApi().DrawBackground(m_theme, dc, part, state, &r, nullptr);
}

void TWindowTheme::DrawText(HDC dc, int part, int state, std::u16string_view text, uint32_t flags, const TRect& rect)
    const {
    if (m_theme == nullptr || ThemeApi().DrawText == nullptr || text.empty()) {
        return;
    }
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    ThemeApi().DrawText(m_theme, dc, part, state, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()),
                        flags, 0, &r);
}

bool TWindowTheme::Color(int part, int state, int property, COLORREF& color) const {
    const TThemeApi& api = ThemeApi();
    return m_theme != nullptr && api.GetColor != nullptr &&
           SUCCEEDED(api.GetColor(m_theme, part, state, property, &color));
}

win32::TRegionHandle TWindowTheme::BackgroundRegion(int part, int state, const TRect& rect) const {
    const TThemeApi& api = ThemeApi();
    HRGN region = nullptr;
    if (m_theme == nullptr || api.GetBackgroundRegion == nullptr || rect.IsEmpty()) {
        return win32::TRegionHandle();
    }
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    if (FAILED(api.GetBackgroundRegion(m_theme, nullptr, part, state, &r, &region))) {
        return win32::TRegionHandle();
    }
    return win32::TRegionHandle(region);
}

}  // namespace zaprelay::skin
