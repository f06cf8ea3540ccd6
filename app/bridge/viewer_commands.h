// The viewers the bridge drives, their command lists and the command lines sent to them.
#pragma once

#include <array>
#include <string>

namespace zaprelay::bridge {

// Viewer keys: they name the settings sections of each viewer ("commandEZ", "EZ", "PathEZ").
inline constexpr char kMyTheatre[] = "EZ";
inline constexpr char kProgDvb[] = "PR";

inline constexpr int kMyTheatreRows = 33;
inline constexpr int kProgDvbRows = 48;
// MyTheatre rows that act by their position, whatever their text.
inline constexpr int kStartViewerRow = 31;
inline constexpr int kShutdownRow = 32;
// Held-button repeats act only on rows up to this one (volume up and down).
inline constexpr int kLastRepeatingRow = 1;

// The MyTheatre command names shown at start-up, in row order.
const std::array<const char*, kMyTheatreRows>& BuiltInMyTheatreCommands();

struct TViewerCommand {
    std::string Arguments;  // the command line exactly as passed, leading blank included
    bool Shutdown = false;  // the computer is to be switched off afterwards
};

// What row `row`, named `name`, of viewer `prog` sends. Any key but "EZ" is ProgDvb.
TViewerCommand ViewerCommand(const std::string& prog, int row, const std::string& name);

}  // namespace zaprelay::bridge
