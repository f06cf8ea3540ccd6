#include "plugins/virtual_remote/remote_settings.h"

#include "plugins/kit/ini_text.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace zaprelay::remote {

using dcd::FindIniValue;
using dcd::ParseWholeNumber;
using dcd::UpdateIniText;
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
        std::unordered_set<std::string_view> unknown;  // one pass, however long the list
        for (std::string_view name : SplitNames(*list)) {
            int button = FindButton(name);
            if (button >= 0) {
                settings.Repeats[static_cast<std::size_t>(button)] = true;
            } else if (unknown.insert(name).second) {
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
