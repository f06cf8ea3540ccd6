// The script the scripted receiver plug-in plays, and the code record it sends.
// Portable, so the parser is tested natively and fuzzed.
#pragma once

#include "plugins/include/dcd_plugin.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::scripted {

using dcd::kCodeRecordSize;
using dcd::kCodeTextOffset;
using dcd::kCodeTextSize;
inline constexpr uint32_t kMaxDelayMs = 600000;
inline constexpr std::size_t kMaxGateNameLength = 64;
inline constexpr uint32_t kMaxSendingThreads = 64;

// What a script step does once past its gates and delay.
enum class ScriptAction : uint8_t {
    Send,   // the code
    Crash,  // an access violation on the player's thread: the process ends
    Hang,   // the thread of the window given to Open is suspended for good
};

// One code line of the script: pass Gates in order, wait DelayMs, then send Text with
// RepeatCount (or do Action).
struct ScriptedCode {
    ScriptAction Action = ScriptAction::Send;
    std::string Text;
    int32_t RepeatCount = 0;
    uint32_t DelayMs = 0;
    bool FillField = false;          // the text fills all 124 bytes, with no terminating zero
    std::vector<std::string> Gates;  // the gate lines since the previous code
};

// How the plug-in breaks the rules a receiver keeps, for tests of the program's defences.
struct PluginFaults {
    bool SendsAfterStop = false;  // Stop only opens the gate "stop"; Close waits for the player, answering sends
    bool BlocksInStop = false;    // Stop never returns
    uint32_t Threads = 1;         // above 1: each code is sent by this many threads at once, bypassing the kit
};

struct CodeScript {
    PluginFaults Faults;
    std::vector<ScriptedCode> Codes;
    std::vector<std::string> TrailingGates;  // gate lines after the last code: the player still waits there
    std::vector<std::string> Errors;         // "line N: ..." for each line that was skipped
};

// Lines: CODE REPEAT DELAY [fill], or `wait NAME`. CODE is a word, or a text in double quotes
// ("" is the empty code). A gate line holds the player until the host signals the event named
// by GateEventName; its NAME is letters, digits, '_', '-' and '.'. A code named "wait" needs
// the full three words. `fault sends-after-stop`, `fault blocks-in-stop` and `fault threads N`
// (N from 1 to kMaxSendingThreads) set Faults, wherever they stand; a line `crash` or `hang`
// is a step of its own, held by the gates before it. Blank lines and lines starting with '#'
// are skipped.
CodeScript ParseCodeScript(std::string_view text);

// The name of a gate's event for the plug-in loaded in process processId: scoped by process,
// so programs playing the same script side by side have gates of their own. The event
// resets itself: each signal lets the player past one gate line.
std::string GateEventName(uint32_t processId, std::string_view gate);

using CodeRecord = std::array<uint8_t, kCodeRecordSize>;

// The record as the receiver sends it: bytes 0..63 hold a filler the program must not
// read; the code text starts at byte 64, zero-terminated unless it fills the field (a
// fill code is repeated until all 124 bytes are used).
CodeRecord MakeCodeRecord(const ScriptedCode& code);

}  // namespace zaprelay::scripted
