#include "plugins/virtual_remote/remote_buttons.h"

#include <algorithm>

namespace zaprelay::remote {
namespace {

// Three columns; rows of 28 px on a 34 px pitch, with wider gaps between the groups.
constexpr int32_t kMargin = 14;
constexpr int32_t kColumnWidth = 58;
constexpr int32_t kColumnPitch = 66;
constexpr int32_t kRowHeight = 28;

constexpr TRect Cell(int column, int32_t top, int32_t height = kRowHeight) {
    int32_t left = kMargin + column * kColumnPitch;
    return {left, top, left + kColumnWidth, top + height};
}

// The arrows and OK form a cross inside the navigation pad.
constexpr int32_t kPadTop = 304;
constexpr int32_t kOkTop = 344;
constexpr int32_t kOkHeight = 36;

// Virtual-key codes (the values are fixed by the platform; named here to stay portable).
constexpr uint16_t kVkBack = 0x08, kVkReturn = 0x0D, kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22;
constexpr uint16_t kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;
constexpr uint16_t kVkNumpad0 = 0x60, kVkAdd = 0x6B, kVkSubtract = 0x6D, kVkOemPlus = 0xBB, kVkOemMinus = 0xBD;

constexpr TRemoteButton Digit(char digit, int column, int32_t top) {
    constexpr const char* kNames[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const char* name = kNames[digit - '0'];
    return {name,
            name,
            name,
            TGlyph::None,
            TButtonStyle::Digit,
            Cell(column, top),
            false,
            {static_cast<uint16_t>(digit), static_cast<uint16_t>(kVkNumpad0 + (digit - '0'))}};
}

constexpr std::array<TRemoteButton, kButtonCount> kButtons = {{
    {"POWER", "", "Power", TGlyph::Power, TButtonStyle::Power, Cell(0, 40), false, {0, 0}},
    {"FULLSCREEN", "", "Full screen", TGlyph::FullScreen, TButtonStyle::Plain, Cell(1, 40), false, {'F', 0}},
    {"MUTE", "Mute", "Mute", TGlyph::None, TButtonStyle::Plain, Cell(2, 40), false, {'M', 0}},
    Digit('1', 0, 82),
    Digit('2', 1, 82),
    Digit('3', 2, 82),
    Digit('4', 0, 116),
    Digit('5', 1, 116),
    Digit('6', 2, 116),
    Digit('7', 0, 150),
    Digit('8', 1, 150),
    Digit('9', 2, 150),
    {"MENU", "Menu", "Menu", TGlyph::None, TButtonStyle::Plain, Cell(0, 184), false, {0, 0}},
    Digit('0', 1, 184),
    {"EPG", "EPG", "EPG", TGlyph::None, TButtonStyle::Plain, Cell(2, 184), false, {'G', 0}},
    {"VOL_UP", "Vol +", "Volume +", TGlyph::None, TButtonStyle::Plain, Cell(0, 226), true, {kVkAdd, kVkOemPlus}},
    {"INFO", "Info", "Info", TGlyph::None, TButtonStyle::Plain, Cell(1, 226), false, {'I', 0}},
    {"CH_UP", "Ch +", "Channel +", TGlyph::None, TButtonStyle::Plain, Cell(2, 226), true, {kVkPrior, 0}},
    {"VOL_DOWN",
     "Vol -",
     "Volume -",
     TGlyph::None,
     TButtonStyle::Plain,
     Cell(0, 260),
     true,
     {kVkSubtract, kVkOemMinus}},
    {"BACK", "Back", "Back", TGlyph::None, TButtonStyle::Plain, Cell(1, 260), false, {kVkBack, 0}},
    {"CH_DOWN", "Ch -", "Channel -", TGlyph::None, TButtonStyle::Plain, Cell(2, 260), true, {kVkNext, 0}},
    {"UP", "", "Up", TGlyph::ArrowUp, TButtonStyle::Arrow, Cell(1, kPadTop + 6), true, {kVkUp, 0}},
    {"LEFT", "", "Left", TGlyph::ArrowLeft, TButtonStyle::Arrow, Cell(0, kOkTop, kOkHeight), true, {kVkLeft, 0}},
    {"OK", "OK", "OK", TGlyph::None, TButtonStyle::Confirm, Cell(1, kOkTop, kOkHeight), false, {kVkReturn, 0}},
    {"RIGHT", "", "Right", TGlyph::ArrowRight, TButtonStyle::Arrow, Cell(2, kOkTop, kOkHeight), true, {kVkRight, 0}},
    {"DOWN", "", "Down", TGlyph::ArrowDown, TButtonStyle::Arrow, Cell(1, kOkTop + kOkHeight + 6), true, {kVkDown, 0}},
    {"RECORD", "", "Record", TGlyph::Record, TButtonStyle::Media, Cell(0, 432), false, {'R', 0}},
    {"PLAY_PAUSE", "", "Play / Pause", TGlyph::PlayPause, TButtonStyle::Media, Cell(1, 432), false, {kVkSpace, 0}},
    {"STOP", "", "Stop", TGlyph::Stop, TButtonStyle::Media, Cell(2, 432), false, {'S', 0}},
}};

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

const std::array<TRemoteButton, kButtonCount>& RemoteButtons() {
    return kButtons;
}

const std::array<int, kListColumns * kListRows>& SettingsListPlaces() {
    static const std::array<int, kListColumns* kListRows> places = [] {
        constexpr const char* kNames[kListColumns * kListRows] = {
            "VOL_UP", "VOL_DOWN", "CH_UP",      "CH_DOWN", "UP",  "DOWN", "LEFT",   "RIGHT",      "OK",   "BACK",
            "POWER",  "MUTE",     "FULLSCREEN", "MENU",    "EPG", "INFO", "RECORD", "PLAY_PAUSE", "STOP", "",
            "1",      "2",        "3",          "4",       "5",   "6",    "7",      "8",          "9",    "0"};
        std::array<int, kListColumns * kListRows> indices{};
        for (std::size_t i = 0; i < indices.size(); ++i) {
            indices[i] = FindButton(kNames[i]);
        }
        return indices;
    }();
    return places;
}

TRect NavigationPadBounds() {
    return {kMargin - 6, kPadTop, kRemoteWidth - kMargin + 6, kOkTop + kOkHeight + 6 + kRowHeight + 6};
}

int FindButton(std::string_view name) {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        std::string_view own = kButtons[i].Name;
        if (own.size() == name.size() &&
            std::equal(own.begin(), own.end(), name.begin(), [](char a, char b) { return a == Upper(b); })) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ButtonAt(int32_t x, int32_t y) {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (kButtons[i].Bounds.Contains(x, y)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ButtonForKey(uint32_t virtualKey) {
    if (virtualKey == 0) {
        return -1;
    }
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        for (uint16_t key : kButtons[i].Keys) {
            if (key == virtualKey) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

std::string CodeText(std::size_t button) {
    return button < kButtons.size() ? std::string(kCodePrefix) + kButtons[button].Name : std::string();
}

}  // namespace zaprelay::remote
