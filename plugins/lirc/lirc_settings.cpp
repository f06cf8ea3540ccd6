#include "plugins/lirc/lirc_settings.h"

#include "plugins/kit/ini_text.h"

namespace zaprelay::lirc {
namespace {

constexpr char kHostKey[] = "Host";
constexpr char kPortKey[] = "Port";
constexpr char kReleaseSuffixKey[] = "ReleaseSuffix";

std::string_view Trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::string> ParseLircHost(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > kMaxHostLength) {
        return std::nullopt;
    }
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F) {
            return std::nullopt;
        }
    }
    return std::string(text);
}

std::optional<uint16_t> ParseLircPort(std::string_view text) {
    std::optional<int64_t> number = dcd::ParseWholeNumber(text);
    if (!number || *number < 1 || *number > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(*number);
}

TLircSettings ParseLircSettings(std::string_view iniText) {
    TLircSettings settings;
    if (auto value = dcd::FindIniValue(iniText, kLircSettingsSection, kHostKey)) {
        settings.Host = ParseLircHost(*value).value_or(settings.Host);
    }
    if (auto value = dcd::FindIniValue(iniText, kLircSettingsSection, kPortKey)) {
        settings.Port = ParseLircPort(*value).value_or(settings.Port);
    }
    if (auto value = dcd::FindIniValue(iniText, kLircSettingsSection, kReleaseSuffixKey)) {
        // Blanks cannot be part of a button name, so a suffix with one would match nothing.
        settings.ReleaseSuffix = ParseLircHost(*value).value_or(std::string());
    }
    return settings;
}

std::string WriteLircServer(std::string_view iniText, const TLircSettings& settings) {
    return dcd::UpdateIniText(iniText, kLircSettingsSection,
                              {{kHostKey, settings.Host}, {kPortKey, std::to_string(settings.Port)}});
}

}  // namespace zaprelay::lirc
