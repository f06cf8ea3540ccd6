// The guard's own settings file ("guard.ini" beside the guard DLL): which receiver it runs.
// Portable: the file's text is read and written here, the file itself by the guard.
#pragma once

#include <string>
#include <string_view>

namespace zaprelay::guard {

inline constexpr char kGuardSettingsFileName[] = "guard.ini";
inline constexpr char kGuardSection[] = "Guard";
inline constexpr char kReceiverKey[] = "Receiver";

// The receiver as written in the settings text; empty when not set.
std::string ReceiverOf(std::string_view iniText);
// The text with the receiver written in; every other byte kept.
std::string WithReceiver(std::string_view iniText, std::string_view receiver);
// The receiver's full path with '\\' for every '/': an absolute one (a drive letter, ':' and a
// separator, or a leading "\\\\") as it is, any other joined to guardFolder, so a receiver kept
// elsewhere ("..\\lirc\\DCD.dll") works too. Empty for an empty receiver.
std::string ReceiverPath(std::string_view receiver, std::string_view guardFolder);

}  // namespace zaprelay::guard
