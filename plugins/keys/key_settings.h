// The keys the plug-in reports, kept in the [KeyboardRemote] section of its settings file as
// "Keys=VOLUME_UP,VOLUME_DOWN,...": a missing entry means the default media keys.
#pragma once

#include "plugins/keys/key_names.h"

#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::keys {

inline constexpr char kSettingsSection[] = "KeyboardRemote";
inline constexpr char kKeysEntry[] = "Keys";

struct TKeySettings {
    std::vector<TKey> Keys;  // in the order listed, each once
    // Names in the list that no key has (a newer version's, a typing slip): written back as
    // they were, so saving never drops what a person wrote.
    std::vector<std::string> UnknownNames;

    bool Reports(TKey key) const;
    // False when the key was listed already / was not listed.
    bool Add(TKey key);
    bool Remove(TKey key);
};

TKeySettings DefaultKeySettings();

// The settings in a settings file's text: blanks around names and empty items are skipped.
TKeySettings ParseKeySettings(std::string_view iniText);
// The list as the file holds it: the keys' names, then the unknown names.
std::string KeyListText(const TKeySettings& settings);
// The file's text with the list written in; everything else in it is kept.
std::string WriteKeySettings(std::string_view iniText, const TKeySettings& settings);

}  // namespace zaprelay::keys
