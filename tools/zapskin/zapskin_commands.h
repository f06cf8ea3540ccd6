// The zapskin subcommands as a table, so that the program's entry stays a single call and a
// new subcommand is one more row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace zaprelay::zapskin {

// Exit statuses of the tool.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct TCommand {
    std::string_view Name;
    std::string_view Arguments;  // as shown in the usage text, e.g. "IN OUT"
    std::string_view Summary;
    size_t ArgumentCount;
    // Runs with exactly ArgumentCount arguments; raises on failure.
    void (*Run)(std::span<const std::string> arguments);
};

std::span<const TCommand> Commands();

// Runs a command line without the program name: usage text on out for "help", usage on err
// with kExitUsage for bad arguments, one line "zapskin: FILE: message" on err with
// kExitFailure when the command fails. Raises nothing.
int RunZapskin(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

// Writes bytes to path through a temporary file beside it, renamed over path only once
// everything is written; on failure path is left as it was.
void WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace zaprelay::zapskin
