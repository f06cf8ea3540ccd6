// The virtual remote's settings: which buttons repeat while held, the repeat delay and
// interval, and where the remote was left on the screen. Read from and written into the
// settings file's [VirtualRemote] section; values out of range are clamped, unreadable ones
// fall back to the defaults.
#pragma once

#include "plugins/virtual_remote/remote_buttons.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::remote {

inline constexpr char kSettingsSection[] = "VirtualRemote";

inline constexpr uint32_t kMinRepeatDelayMs = 100;
inline constexpr uint32_t kMaxRepeatDelayMs = 2000;
inline constexpr uint32_t kDefaultRepeatDelayMs = 500;
inline constexpr uint32_t kMinRepeatIntervalMs = 30;
inline constexpr uint32_t kMaxRepeatIntervalMs = 1000;
inline constexpr uint32_t kDefaultRepeatIntervalMs = 110;
// A remembered position further out than this is not believed.
inline constexpr int32_t kMaxPositionOffset = 30000;

struct TRemotePosition {
    int32_t Left = 0;
    int32_t Top = 0;
    bool operator==(const TRemotePosition&) const = default;
};

struct TRemoteSettings {
    uint32_t RepeatDelayMs = kDefaultRepeatDelayMs;
    uint32_t RepeatIntervalMs = kDefaultRepeatIntervalMs;
    std::array<bool, kButtonCount> Repeats{};  // by index in RemoteButtons()
    // Names in the file's list that no button has (a newer version's, a typing slip): kept
    // and written back, so saving never drops what a person wrote.
    std::vector<std::string> UnknownRepeating;
    std::optional<TRemotePosition> Position;
};

TRemoteSettings DefaultRemoteSettings();

uint32_t ClampRepeatDelay(int64_t ms);
uint32_t ClampRepeatInterval(int64_t ms);

// The settings in a settings file's text; defaults for what is missing or unreadable.
TRemoteSettings ParseRemoteSettings(std::string_view iniText);

// The file's text with the repeat settings (delay, interval, repeating buttons) written in,
// or the position; everything else in the file is kept.
std::string WriteRepeatSettings(std::string_view iniText, const TRemoteSettings& settings);
std::string WritePosition(std::string_view iniText, TRemotePosition position);

}  // namespace zaprelay::remote
