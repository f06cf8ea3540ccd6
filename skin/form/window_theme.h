// The desktop's visual style as the default look uses it: "uxtheme.dll" loaded at run time
// (systems before visual styles have none) and the "Window" class's theme data.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <cstdint>
#include <string_view>

namespace zaprelay::skin {

// The "Window" class's parts and states.
inline constexpr int kWpCaption = 1;
inline constexpr int kWpSmallCaption = 2;
inline constexpr int kWpFrameLeft = 7;
inline constexpr int kWpFrameRight = 8;
inline constexpr int kWpFrameBottom = 9;
inline constexpr int kWpSmallFrameLeft = 10;
inline constexpr int kWpSmallFrameRight = 11;
inline constexpr int kWpSmallFrameBottom = 12;
inline constexpr int kWpMinButton = 15;
inline constexpr int kWpMaxButton = 17;
inline constexpr int kWpCloseButton = 18;
inline constexpr int kWpRestoreButton = 21;
inline constexpr int kWpHelpButton = 23;
inline constexpr int kFrameStateActive = 1;
inline constexpr int kFrameStateInactive = 2;

// The "Button" class's parts.
inline constexpr int kBpRadioButton = 2;
inline constexpr int kBpCheckBox = 3;
inline constexpr int kBpGroupBox = 4;

// True when the library is there with what the default look draws with.
bool ThemeLibraryComplete();

// Visual styles are drawn for this program: themes are on and the program takes part. False
// where the system has no theme library.
bool VisualStylesActive();

// The open theme data of a class ("Window" unless named) for a window (or for none), closed
// when it goes; false when there is none.
class TWindowTheme {
public:
    explicit TWindowTheme(const wchar_t* themeClass = L"Window", HWND window = nullptr);
    ~TWindowTheme();
    TWindowTheme(const TWindowTheme&) = delete;
    TWindowTheme& operator=(const TWindowTheme&) = delete;

    explicit operator bool() const { return m_theme != nullptr; }

    void Draw(HDC dc, int part, int state, const TRect& rect) const;
    // Text in the theme's font colour for the part, else the context's text colour.
    void DrawText(HDC dc, int part, int state, std::u16string_view text, uint32_t flags, const TRect& rect) const;
    bool Color(int part, int state, int property, COLORREF& color) const;
    // The shape of a part drawn over rect; none when the theme gives none.
    win32::TRegionHandle BackgroundRegion(int part, int state, const TRect& rect) const;

private:
    HANDLE m_theme = nullptr;
};

}  // namespace zaprelay::skin
