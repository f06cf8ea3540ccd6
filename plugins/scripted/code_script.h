// The script the scripted receiver plug-in plays, and the code record it sends.
// Portable, so the parser is tested natively and fuzzed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::scripted {

inline constexpr std::size_t kCodeRecordSize = 188;
inline constexpr std::size_t kCodeTextOffset = 64;
inline constexpr std::size_t kCodeTextSize = kCodeRecordSize - kCodeTextOffset;  // 124
inline constexpr uint32_t kMaxDelayMs = 600000;

// One line of the script: wait DelayMs, then send Text with RepeatCount.
struct ScriptedCode {
    std::string Text;
    int32_t RepeatCount = 0;
    uint32_t DelayMs = 0;
    bool FillField = false;  // the text fills all 124 bytes, with no terminating zero
};

struct CodeScript {
    std::vector<ScriptedCode> Codes;
    std::vector<std::string> Errors;  // "line N: ..." for each line that was skipped
};

// Lines: CODE REPEAT DELAY [fill]. CODE is a word, or a text in double quotes ("" is the
// empty code). Blank lines and lines starting with '#' are skipped.
CodeScript ParseCodeScript(std::string_view text);

using CodeRecord = std::array<uint8_t, kCodeRecordSize>;

// The record as the receiver sends it: bytes 0..63 hold a filler the program must not
// read; the code text starts at byte 64, zero-terminated unless it fills the field (a
// fill code is repeated until all 124 bytes are used).
CodeRecord MakeCodeRecord(const ScriptedCode& code);

}  // namespace zaprelay::scripted
