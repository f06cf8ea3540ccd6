// The virtual remote's buttons: what each is called, the code it sends, where it sits on the
// remote and which keys press it. Portable, so the table and its geometry are tested natively.
#pragma once

#include "plugins/include/dcd_plugin.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zaprelay::remote {

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    constexpr bool Contains(int32_t x, int32_t y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr int32_t Width() const { return Right - Left; }
    constexpr int32_t Height() const { return Bottom - Top; }
};

// A symbol drawn instead of a text label.
enum class TGlyph : uint8_t {
    None,
    Power,
    ArrowUp,
    ArrowDown,
    ArrowLeft,
    ArrowRight,
    PlayPause,
    Stop,
    Record,
    FullScreen
};

// Colour family of a button face.
enum class TButtonStyle : uint8_t { Plain, Digit, Power, Confirm, Arrow, Media };

struct TRemoteButton {
    const char* Name;         // in the settings file and, after "VIRTUAL ", in the code text
    const char* Label;        // drawn on the face when there is no glyph
    const char* Description;  // in the settings dialog
    TGlyph Glyph;
    TButtonStyle Style;
    TRect Bounds;  // client pixels
    bool RepeatsByDefault;
    std::array<uint16_t, 2> Keys;  // virtual-key codes that press it; 0 for none
};

inline constexpr std::size_t kButtonCount = 29;
inline constexpr int32_t kRemoteWidth = 218;
inline constexpr int32_t kRemoteHeight = 474;
inline constexpr int32_t kTitleHeight = 30;  // the strip that drags the remote
inline constexpr int32_t kCornerRadius = 14;
inline constexpr char kCodePrefix[] = "VIRTUAL ";

// In the order the settings dialog lists them: row by row as they sit on the remote.
const std::array<TRemoteButton, kButtonCount>& RemoteButtons();

// The settings dialog's check list: kListColumns columns filled top to bottom, the buttons
// that usually repeat first, then the function keys, then the digits. Each place holds a
// button's index, or -1 where the place stays empty.
inline constexpr std::size_t kListColumns = 3;
inline constexpr std::size_t kListRows = 10;
const std::array<int, kListColumns * kListRows>& SettingsListPlaces();

// The panel drawn behind the arrows and OK.
TRect NavigationPadBounds();

// Index of the button with this name (case-insensitive), of the button under a client point,
// or pressed by a virtual key; -1 when there is none.
int FindButton(std::string_view name);
int ButtonAt(int32_t x, int32_t y);
int ButtonForKey(uint32_t virtualKey);

// "VIRTUAL " + the button's name: the same text for every press of that button.
std::string CodeText(std::size_t button);

}  // namespace zaprelay::remote
