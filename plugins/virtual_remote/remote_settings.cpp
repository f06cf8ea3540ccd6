#include "plugins/virtual_remote/remote_settings.h"

#include "plugins/virtual_remote/ini_text.h"

#include <algorithm>
#include <limits>

namespace zaprelay::remote {
namespace {

const char kDelayKey[] = "RepeatDelay";
const char kIntervalKey[] = "RepeatInterval";
const char kRepeatingKey[] = "Repeating";
const char kLeftKey[] = "Left";
const char kTopKey[] = "Top";

uint32_t Clamp(int64_t value, uint32_t low, uint32_t high) {
    return static_cast<uint32_t>(std::clamp<int64_t>(value, low, high));
}

// Names separated by commas, semicolons or blanks.
std::vector<std::string_view> SplitNames(std::string_view list) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find_first_of(",; \t", start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        if (end > start) {
            names.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

std::optional<int32_t> ReadPositionValue(std::string_view text, std::string_view key) {
    auto value = FindIniValue(text, kSettingsSection, key);
    if (!value) {
        return std::nullopt;
    }
    auto number = ParseWholeNumber(*value);
    if (!number || *number < -kMaxPositionOffset || *number > kMaxPositionOffset) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*number);
}

}  // namespace

TRemoteSettings DefaultRemoteSettings() {
    TRemoteSettings settings;
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        settings.Repeats[i] = RemoteButtons()[i].RepeatsByDefault;
    }
    return settings;
}

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, last - first + 1);
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        int digit = c - '0';
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return negative ? -value : value;
}

uint32_t ClampRepeatDelay(int64_t ms) {
    return Clamp(ms, kMinRepeatDelayMs, kMaxRepeatDelayMs);
}

uint32_t ClampRepeatInterval(int64_t ms) {
    return Clamp(ms, kMinRepeatIntervalMs, kMaxRepeatIntervalMs);
}

TRemoteSettings ParseRemoteSettings(std::string_view iniText) {
    TRemoteSettings settings = DefaultRemoteSettings();
    if (auto value = FindIniValue(iniText, kSettingsSection, kDelayKey)) {
        if (auto ms = ParseWholeNumber(*value)) {
            settings.RepeatDelayMs = ClampRepeatDelay(*ms);
        }
    }
    if (auto value = FindIniValue(iniText, kSettingsSection, kIntervalKey)) {
        if (auto ms = ParseWholeNumber(*value)) {
            settings.RepeatIntervalMs = ClampRepeatInterval(*ms);
        }
    }
    // An empty list is a choice (no button repeats); only a missing one means the defaults.
    if (auto list = FindIniValue(iniText, kSettingsSection, kRepeatingKey)) {
        settings.Repeats.fill(false);
        for (std::string_view name : SplitNames(*list)) {
            int button = FindButton(name);
            if (button >= 0) {
                settings.Repeats[static_cast<std::size_t>(button)] = true;
            } else if (std::find(settings.UnknownRepeating.begin(), settings.UnknownRepeating.end(), name) ==
                       settings.UnknownRepeating.end()) {
                settings.UnknownRepeating.emplace_back(name);
            }
        }
    }
    auto left = ReadPositionValue(iniText, kLeftKey);
    auto top = ReadPositionValue(iniText, kTopKey);
    if (left && top) {
        settings.Position = TRemotePosition{*left, *top};
    }
    return settings;
}

std::string WriteRepeatSettings(std::string_view iniText, const TRemoteSettings& settings) {
    std::string list;
    auto append = [&list](std::string_view name) {
        if (!list.empty()) {
            list += ',';
        }
        list += name;
    };
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        if (settings.Repeats[i]) {
            append(RemoteButtons()[i].Name);
        }
    }
    for (const std::string& name : settings.UnknownRepeating) {
        append(name);
    }
    return UpdateIniText(iniText, kSettingsSection,
                         {{kDelayKey, std::to_string(ClampRepeatDelay(settings.RepeatDelayMs))},
                          {kIntervalKey, std::to_string(ClampRepeatInterval(settings.RepeatIntervalMs))},
                          {kRepeatingKey, list}});
}

std::string WritePosition(std::string_view iniText, TRemotePosition position) {
    return UpdateIniText(iniText, kSettingsSection,
                         {{kLeftKey, std::to_string(position.Left)}, {kTopKey, std::to_string(position.Top)}});
}

}  // namespace zaprelay::remote
