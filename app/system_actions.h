// What the bridge asks of the system: starting a viewer and switching the computer off.
// No result but the process creation is reported.
#pragma once

#include <string>

namespace zaprelay::app {

// Starts `path` with `arguments` as its whole command line (an empty text stays empty), in a
// new console and at the normal priority class, so the viewer does not inherit the bridge's
// idle class. True when the process was created; it is neither waited for nor kept.
bool RunProgram(const std::string& path, const std::string& arguments);

// Enables the shutdown privilege and asks the system to power off, forcing hung programs.
void ShutdownComputer();

}  // namespace zaprelay::app
