#include "plugins/keys/key_names.h"

#include <algorithm>
#include <array>

namespace zaprelay::keys {
namespace {

// One row per named key. A consumer usage with a virtual key is typed by the system as that
// key; AppCommand is what WM_APPCOMMAND carries for it.
struct TNamedKey {
    const char* Name;
    uint8_t VirtualKey;
    uint16_t Usage;
    uint8_t AppCommand;
    bool Default;
};

// clang-format off
constexpr TNamedKey kNamedKeys[] = {
    // The media and browser keys.
    {"VOLUME_MUTE", 0xAD, 0x0E2, 8, true},
    {"VOLUME_DOWN", 0xAE, 0x0EA, 9, true},
    {"VOLUME_UP", 0xAF, 0x0E9, 10, true},
    {"MEDIA_NEXT_TRACK", 0xB0, 0x0B5, 11, true},
    {"MEDIA_PREV_TRACK", 0xB1, 0x0B6, 12, true},
    {"MEDIA_STOP", 0xB2, 0x0B7, 13, true},
    {"MEDIA_PLAY_PAUSE", 0xB3, 0x0CD, 14, true},
    {"BROWSER_BACK", 0xA6, 0x224, 1, true},
    {"BROWSER_FORWARD", 0xA7, 0x225, 2, true},
    {"BROWSER_REFRESH", 0xA8, 0x227, 3, true},
    {"BROWSER_STOP", 0xA9, 0x226, 4, false},
    {"BROWSER_SEARCH", 0xAA, 0x221, 5, false},
    {"BROWSER_FAVORITES", 0xAB, 0x22A, 6, false},
    {"BROWSER_HOME", 0xAC, 0x223, 7, true},
    {"LAUNCH_MAIL", 0xB4, 0x18A, 15, false},
    {"LAUNCH_MEDIA_SELECT", 0xB5, 0x183, 16, false},
    {"LAUNCH_APP1", 0xB6, 0x194, 17, false},
    {"LAUNCH_APP2", 0xB7, 0x192, 18, false},
    // Consumer usages that reach no virtual key (media centre remotes).
    {"CHANNEL_UP", 0, 0x09C, 51, true},
    {"CHANNEL_DOWN", 0, 0x09D, 52, true},
    {"MEDIA_PLAY", 0, 0x0B0, 46, true},
    {"MEDIA_PAUSE", 0, 0x0B1, 47, true},
    {"MEDIA_RECORD", 0, 0x0B2, 48, true},
    {"MEDIA_FAST_FORWARD", 0, 0x0B3, 49, true},
    {"MEDIA_REWIND", 0, 0x0B4, 50, true},
    {"MEDIA_EJECT", 0, 0x0B8, 0, false},
    {"POWER", 0, 0x030, 0, false},
    {"MENU", 0, 0x040, 0, false},
    {"MENU_PICK", 0, 0x041, 0, false},
    {"MENU_UP", 0, 0x042, 0, false},
    {"MENU_DOWN", 0, 0x043, 0, false},
    {"MENU_LEFT", 0, 0x044, 0, false},
    {"MENU_RIGHT", 0, 0x045, 0, false},
    {"MENU_ESCAPE", 0, 0x046, 0, false},
    {"INFO", 0, 0x060, 0, false},
    {"CLOSED_CAPTION", 0, 0x061, 0, false},
    {"RED", 0, 0x069, 0, false},
    {"GREEN", 0, 0x06A, 0, false},
    {"BLUE", 0, 0x06B, 0, false},
    {"YELLOW", 0, 0x06C, 0, false},
    {"LAST_CHANNEL", 0, 0x083, 0, false},
    {"MEDIA_TV", 0, 0x089, 0, false},
    {"GUIDE", 0, 0x08D, 0, false},
    // The rest of the keyboard.
    {"CANCEL", 0x03, 0, 0, false},
    {"BACKSPACE", 0x08, 0, 0, false},
    {"TAB", 0x09, 0, 0, false},
    {"CLEAR", 0x0C, 0, 0, false},
    {"ENTER", 0x0D, 0, 0, false},
    {"SHIFT", 0x10, 0, 0, false},
    {"CONTROL", 0x11, 0, 0, false},
    {"ALT", 0x12, 0, 0, false},
    {"PAUSE", 0x13, 0, 0, false},
    {"CAPS_LOCK", 0x14, 0, 0, false},
    {"ESCAPE", 0x1B, 0, 0, false},
    {"SPACE", 0x20, 0, 0, false},
    {"PAGE_UP", 0x21, 0, 0, false},
    {"PAGE_DOWN", 0x22, 0, 0, false},
    {"END", 0x23, 0, 0, false},
    {"HOME", 0x24, 0, 0, false},
    {"LEFT", 0x25, 0, 0, false},
    {"UP", 0x26, 0, 0, false},
    {"RIGHT", 0x27, 0, 0, false},
    {"DOWN", 0x28, 0, 0, false},
    {"SELECT", 0x29, 0, 0, false},
    {"PRINT", 0x2A, 0, 0, false},
    {"EXECUTE", 0x2B, 0, 0, false},
    {"PRINT_SCREEN", 0x2C, 0, 0, false},
    {"INSERT", 0x2D, 0, 0, false},
    {"DELETE", 0x2E, 0, 0, false},
    {"HELP", 0x2F, 0, 0, false},
    {"LEFT_WINDOWS", 0x5B, 0, 0, false},
    {"RIGHT_WINDOWS", 0x5C, 0, 0, false},
    {"APPS", 0x5D, 0, 0, false},
    {"SLEEP", 0x5F, 0, 0, false},
    {"MULTIPLY", 0x6A, 0, 0, false},
    {"ADD", 0x6B, 0, 0, false},
    {"SEPARATOR", 0x6C, 0, 0, false},
    {"SUBTRACT", 0x6D, 0, 0, false},
    {"DECIMAL", 0x6E, 0, 0, false},
    {"DIVIDE", 0x6F, 0, 0, false},
    {"NUM_LOCK", 0x90, 0, 0, false},
    {"SCROLL_LOCK", 0x91, 0, 0, false},
    {"LEFT_SHIFT", 0xA0, 0, 0, false},
    {"RIGHT_SHIFT", 0xA1, 0, 0, false},
    {"LEFT_CONTROL", 0xA2, 0, 0, false},
    {"RIGHT_CONTROL", 0xA3, 0, 0, false},
    {"LEFT_ALT", 0xA4, 0, 0, false},
    {"RIGHT_ALT", 0xA5, 0, 0, false},
    {"OEM_1", 0xBA, 0, 0, false},
    {"OEM_PLUS", 0xBB, 0, 0, false},
    {"OEM_COMMA", 0xBC, 0, 0, false},
    {"OEM_MINUS", 0xBD, 0, 0, false},
    {"OEM_PERIOD", 0xBE, 0, 0, false},
    {"OEM_2", 0xBF, 0, 0, false},
    {"OEM_3", 0xC0, 0, 0, false},
    {"OEM_4", 0xDB, 0, 0, false},
    {"OEM_5", 0xDC, 0, 0, false},
    {"OEM_6", 0xDD, 0, 0, false},
    {"OEM_7", 0xDE, 0, 0, false},
    {"OEM_8", 0xDF, 0, 0, false},
    {"OEM_102", 0xE2, 0, 0, false},
    {"PLAY", 0xFA, 0, 0, false},
    {"ZOOM", 0xFB, 0, 0, false},
};
// clang-format on

// Runs of keys named by a prefix and a number: digits "0".."9", letters, F1..F24, NUMPAD0..9.
std::optional<std::string> RunName(uint8_t code) {
    if (code >= '0' && code <= '9') {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= 'A' && code <= 'Z') {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= 0x60 && code <= 0x69) {
        return "NUMPAD" + std::to_string(code - 0x60);
    }
    if (code >= 0x70 && code <= 0x87) {
        return "F" + std::to_string(code - 0x70 + 1);
    }
    return std::nullopt;
}

std::optional<uint8_t> RunCode(std::string_view name) {
    if (name.size() == 1 && ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'A' && name[0] <= 'Z'))) {
        return static_cast<uint8_t>(name[0]);
    }
    auto number = [](std::string_view digits) -> std::optional<int> {
        if (digits.empty() || digits.size() > 2 || (digits.size() == 2 && digits[0] == '0')) {
            return std::nullopt;
        }
        int value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
        return value;
    };
    if (name.starts_with("NUMPAD")) {
        auto n = number(name.substr(6));
        return n && *n <= 9 ? std::optional<uint8_t>(static_cast<uint8_t>(0x60 + *n)) : std::nullopt;
    }
    if (name.starts_with("F")) {
        auto n = number(name.substr(1));
        return n && *n >= 1 && *n <= 24 ? std::optional<uint8_t>(static_cast<uint8_t>(0x70 + *n - 1)) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<uint32_t> ParseHex(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : digits) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

// By hand: the C runtime's formatting would bring its whole printf into the plug-in.
std::string Hex(uint32_t value, int width) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value % 16]);
        value /= 16;
    } while (value != 0);
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    }
    return text;
}

const TNamedKey* FindNamed(TKey key) {
    for (const TNamedKey& named : kNamedKeys) {
        if (key.Source == TKeySource::kVirtualKey ? named.VirtualKey == key.Code
                                                  : named.VirtualKey == 0 && named.Usage == key.Code) {
            return &named;
        }
    }
    return nullptr;
}

TKey KeyOf(const TNamedKey& named) {
    return named.VirtualKey != 0 ? VirtualKey(named.VirtualKey) : ConsumerKey(named.Usage);
}

}  // namespace

std::string KeyName(TKey key) {
    if (key.Source == TKeySource::kConsumer) {
        if (auto typed = TypedVirtualKey(key.Code)) {
            return KeyName(VirtualKey(*typed));
        }
    }
    if (const TNamedKey* named = FindNamed(key)) {
        return named->Name;
    }
    if (key.Source == TKeySource::kVirtualKey) {
        if (key.Code <= 0xFF) {
            if (auto run = RunName(static_cast<uint8_t>(key.Code))) {
                return *run;
            }
        }
        return "VK_" + Hex(key.Code, 2);
    }
    return "CONSUMER_" + Hex(key.Code, 3);
}

std::string KeyCodeText(TKey key) {
    return kCodePrefix + KeyName(key);
}

std::optional<TKey> KeyFromName(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    for (const TNamedKey& named : kNamedKeys) {
        if (upper == named.Name) {
            return KeyOf(named);
        }
    }
    if (auto code = RunCode(upper)) {
        return VirtualKey(*code);
    }
    std::string_view text = upper;
    if (text.starts_with("VK_")) {
        auto code = ParseHex(text.substr(3), 2);
        // 0 and 0xFF are no keys: raw input marks fake key strokes with 0xFF.
        if (code && *code != 0 && *code != 0xFF) {
            return VirtualKey(static_cast<uint8_t>(*code));
        }
        return std::nullopt;
    }
    if (text.starts_with("CONSUMER_")) {
        auto usage = ParseHex(text.substr(9), 4);
        if (!usage || *usage == 0) {
            return std::nullopt;
        }
        if (auto typed = TypedVirtualKey(static_cast<uint16_t>(*usage))) {
            return VirtualKey(*typed);
        }
        return ConsumerKey(static_cast<uint16_t>(*usage));
    }
    return std::nullopt;
}

std::optional<uint8_t> TypedVirtualKey(uint16_t usage) {
    for (const TNamedKey& named : kNamedKeys) {
        if (named.Usage == usage && named.VirtualKey != 0) {
            return named.VirtualKey;
        }
    }
    return std::nullopt;
}

std::optional<TKey> KeyForAppCommand(uint16_t command) {
    if (command == 0) {
        return std::nullopt;
    }
    for (const TNamedKey& named : kNamedKeys) {
        if (named.AppCommand == command) {
            return KeyOf(named);
        }
    }
    return std::nullopt;
}

bool IsModifier(TKey key) {
    if (key.Source != TKeySource::kVirtualKey) {
        return false;
    }
    switch (key.Code) {
        case 0x10:  // shift, control, alt
        case 0x11:
        case 0x12:
        case 0x5B:  // windows keys
        case 0x5C:
        case 0xA0:  // left and right shift, control, alt
        case 0xA1:
        case 0xA2:
        case 0xA3:
        case 0xA4:
        case 0xA5:
            return true;
        default:
            return false;
    }
}

const std::vector<TKey>& DefaultKeys() {
    static const std::vector<TKey> keys = [] {
        std::vector<TKey> list;
        for (const TNamedKey& named : kNamedKeys) {
            if (named.Default) {
                list.push_back(KeyOf(named));
            }
        }
        return list;
    }();
    return keys;
}

}  // namespace zaprelay::keys
