// The network receiver's settings: where its LIRC daemon or WinLIRC server listens, kept in
// a small settings file beside the plug-in. Portable: the file's text is read and written
// here, the file itself by the plug-in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zaprelay::lirc {

inline constexpr char kLircSettingsFileName[] = "LircReceiver.ini";
inline constexpr char kLircSettingsSection[] = "LircReceiver";
inline constexpr char kDefaultLircHost[] = "127.0.0.1";
inline constexpr uint16_t kDefaultLircPort = 8765;
// A host name has at most 253 characters; an address literal is shorter still.
inline constexpr std::size_t kMaxHostLength = 253;

struct TLircSettings {
    std::string Host = kDefaultLircHost;
    uint16_t Port = kDefaultLircPort;
    // See TLircLineOptions: only for a daemon started with --release.
    std::string ReleaseSuffix;

    bool operator==(const TLircSettings&) const = default;
};

// A host as the user typed it, blanks around it removed; nothing when it is empty, too long,
// or holds blanks, control characters or anything outside ASCII (a host name in another
// script is written in its ASCII form).
std::optional<std::string> ParseLircHost(std::string_view text);
// A port from 1 to 65535; nothing for any other text.
std::optional<uint16_t> ParseLircPort(std::string_view text);

// The settings in a settings file's text; a value that is missing or unusable keeps its
// default.
TLircSettings ParseLircSettings(std::string_view iniText);

// The text with the host and the port written in; everything else (the release suffix, other
// sections, comments) is kept as written.
std::string WriteLircServer(std::string_view iniText, const TLircSettings& settings);

}  // namespace zaprelay::lirc
