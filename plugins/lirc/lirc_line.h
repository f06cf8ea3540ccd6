// Lines a LIRC daemon (or a WinLIRC server) sends to its TCP clients, read into button codes.
// Portable and socket-free, so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::lirc {

struct TLircButton {
    // "<remote>.<button>": two remotes with the same button never collide. A dot or a percent
    // sign in the remote's name is written %2E or %25, so the first dot always ends it.
    std::string Code;
    int32_t RepeatCount;  // 0 for a fresh press, positive while held
};

struct TLircLineOptions {
    // lircd started with --release appends this to the button name of its release events
    // (its documented default is "_UP"). Empty: no such suffix is known, so a button that
    // happens to end in "_UP" is still a button. "_EVUP" release events are always dropped.
    std::string ReleaseSuffix;
};

// One broadcast line, without its line end: `<code> <repeat> <button> <remote>`, fields split
// on spaces and tabs, <code> 1..16 hex digits, <repeat> hex. Nothing for reply blocks
// (BEGIN, SIGHUP, DATA, END, ...), release events, malformed lines and codes that would not
// fit the record's code field (those are dropped whole, never cut).
std::optional<TLircButton> ParseLircLine(std::string_view line, const TLircLineOptions& options = {});

// Cuts a TCP byte stream into lines ending in LF or CR LF. A line longer than kMaxLineLength
// is dropped up to its end, so a peer that never sends a line end cannot grow memory.
class TLircLineSplitter {
public:
    static constexpr std::size_t kMaxLineLength = 1024;

    // Appends the lines completed by these bytes to lines; a partial line is kept for the
    // next call.
    void Feed(std::string_view bytes, std::vector<std::string>& lines);

private:
    std::string m_pending;
    bool m_discarding = false;
};

}  // namespace zaprelay::lirc
