// Reads and edits the text of a settings file ("[Section]", "Key=Value" lines) in place, so
// whatever else a person keeps in the file stays exactly as written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::dcd {

struct TIniEntry {
    std::string Key;
    std::string Value;
};

// The value of a key in a section as the system's profile functions find it: section and key
// names without regard to case, the first of each that matches, blanks around the value
// trimmed. Nothing when the section or the key is missing.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section, std::string_view key);

// The text with each entry set in the section: the key's first line is rewritten where it
// stands, a missing key is added after the section's last line that is not blank, a missing
// section is added at the end. All other bytes are kept. New lines use the text's own line
// ending (CR LF when it has none). Line breaks inside a value are dropped.
std::string UpdateIniText(std::string_view text, std::string_view section, const std::vector<TIniEntry>& entries);

// A whole number, blanks around it allowed; nothing for any other text. Values beyond
// 64 bits saturate, so "99999999999999999999" still reads as too large rather than as junk.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

}  // namespace zaprelay::dcd
