#include "plugins/keys/key_settings.h"

#include "plugins/kit/ini_text.h"

#include <algorithm>
#include <set>
#include <unordered_set>

namespace zaprelay::keys {
namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool TKeySettings::Reports(TKey key) const {
    return std::find(Keys.begin(), Keys.end(), key) != Keys.end();
}

bool TKeySettings::Add(TKey key) {
    if (Reports(key)) {
        return false;
    }
    Keys.push_back(key);
    return true;
}

bool TKeySettings::Remove(TKey key) {
    auto found = std::find(Keys.begin(), Keys.end(), key);
    if (found == Keys.end()) {
        return false;
    }
    Keys.erase(found);
    return true;
}

TKeySettings DefaultKeySettings() {
    return TKeySettings{DefaultKeys(), {}};
}

TKeySettings ParseKeySettings(std::string_view iniText) {
    std::optional<std::string> list = dcd::FindIniValue(iniText, kSettingsSection, kKeysEntry);
    if (!list) {
        return DefaultKeySettings();
    }
    TKeySettings settings;
    // What was seen already, so a long list is read in one pass (a list of many names must not
    // hold up the receiver's thread, and with it the program's exit).
    std::set<TKey> keys;
    std::unordered_set<std::string_view> unknown;
    std::string_view rest = *list;
    for (;;) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = Trimmed(rest.substr(0, comma));
        if (!item.empty()) {
            if (std::optional<TKey> key = KeyFromName(item)) {
                if (keys.insert(*key).second) {
                    settings.Keys.push_back(*key);
                }
            } else if (unknown.insert(item).second) {
                settings.UnknownNames.emplace_back(item);
            }
        }
        if (comma == std::string_view::npos) {
            break;
        }
        rest = rest.substr(comma + 1);
    }
    return settings;
}

std::string KeyListText(const TKeySettings& settings) {
    std::string text;
    auto append = [&](const std::string& name) {
        text += text.empty() ? "" : ",";
        text += name;
    };
    for (TKey key : settings.Keys) {
        append(KeyName(key));
    }
    for (const std::string& name : settings.UnknownNames) {
        append(name);
    }
    return text;
}

std::string WriteKeySettings(std::string_view iniText, const TKeySettings& settings) {
    return dcd::UpdateIniText(iniText, kSettingsSection, {{kKeysEntry, KeyListText(settings)}});
}

}  // namespace zaprelay::keys
