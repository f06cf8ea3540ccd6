// Names for the keys a keyboard remote sends: Windows virtual-key codes, and the HID
// consumer-control usages that no virtual key stands for. A name is what a code text carries
// after "KEY "; names are stable, so codes paired in the program stay valid.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::keys {

enum class TKeySource : uint8_t { kVirtualKey, kConsumer };

struct TKey {
    TKeySource Source = TKeySource::kVirtualKey;
    uint16_t Code = 0;  // the virtual-key code (1..254) or the consumer usage
    auto operator<=>(const TKey&) const = default;
};

constexpr TKey VirtualKey(uint8_t code) {
    return TKey{TKeySource::kVirtualKey, code};
}
constexpr TKey ConsumerKey(uint16_t usage) {
    return TKey{TKeySource::kConsumer, usage};
}

inline constexpr char kCodePrefix[] = "KEY ";

// The table's name; "VK_xx" (two hex digits) for a virtual key it lacks, "CONSUMER_xxx" for a
// usage it lacks.
std::string KeyName(TKey key);
// "KEY " and the name.
std::string KeyCodeText(TKey key);
// A name as KeyName writes it, letter case ignored, "VK_xx" and "CONSUMER_xxx" for any code.
// A consumer usage the system also types as a virtual key comes back as that virtual key.
std::optional<TKey> KeyFromName(std::string_view name);

// The virtual key the system types for a consumer usage (volume, play/pause, browser keys, ...).
// Such usages are taken from the keyboard only, so one press is never reported twice.
std::optional<uint8_t> TypedVirtualKey(uint16_t usage);

// The key behind a WM_APPCOMMAND command, for the settings dialog's key capture.
std::optional<TKey> KeyForAppCommand(uint16_t command);

// Shift, Control, Alt and Windows keys: parts of combinations, never captured on their own.
bool IsModifier(TKey key);

// The media and browser keys, reported without any setting: nothing typed in a text reaches
// the program.
const std::vector<TKey>& DefaultKeys();

}  // namespace zaprelay::keys
