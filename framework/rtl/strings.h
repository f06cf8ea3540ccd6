// Small text helpers shared by the runtime: ASCII-only case folding, as used for property,
// identifier and component names.
#pragma once

#include <string_view>

namespace zaprelay {

inline constexpr char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal ignoring ASCII letter case; other bytes compare as they are.
inline constexpr bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace zaprelay
