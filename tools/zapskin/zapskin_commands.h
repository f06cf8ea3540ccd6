// The zapskin subcommands as a table, so that the program's entry stays a single call and a
// new subcommand is one more row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace zaprelay::zapskin {

// Exit statuses of the tool.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// An optional "--flag [VALUE]" that may follow a command's positional arguments.
struct TOption {
    std::string_view Name;   // with its dashes, e.g. "--state"
    std::string_view Value;  // as shown in the usage text, e.g. "N"; empty for a plain flag
    std::string_view Summary;
};

// The options a command line gave: name (with dashes) to value, "" for a plain flag.
using TOptionValues = std::map<std::string, std::string, std::less<>>;

// What a command runs with: its positional arguments, its options and where its report goes.
struct TInvocation {
    std::span<const std::string> Arguments;
    TOptionValues Options;
    std::ostream& Out;
};

struct TCommand {
    std::string_view Name;
    std::string_view Arguments;  // as shown in the usage text, e.g. "IN OUT"
    std::string_view Summary;
    size_t ArgumentCount;
    // Runs with exactly ArgumentCount arguments and only options of its own; raises on failure.
    void (*Run)(const TInvocation& invocation);
    std::span<const TOption> Options = {};
};

std::span<const TCommand> Commands();

// Runs a command line without the program name: usage text on out for "help", usage on err
// with kExitUsage for bad arguments or options, one line "zapskin: FILE: message" on err with
// kExitFailure when the command fails. Raises nothing.
int RunZapskin(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

// Writes bytes to path through a temporary file beside it, renamed over path only once
// everything is written; on failure path is left as it was.
void WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace zaprelay::zapskin
