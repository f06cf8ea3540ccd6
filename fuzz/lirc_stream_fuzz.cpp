// Any bytes as what a LIRC server sends, cut into pieces as TCP may deliver them: no line the
// splitter hands out is longer than its limit or holds a line end, and every button read
// from one is a code that fits the record whole (and comes back from it unchanged), names a
// remote and a button, and has a repeat count that is not negative.
#include "plugins/include/dcd_plugin.h"
#include "plugins/kit/code_record.h"
#include "plugins/lirc/lirc_line.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zaprelay::lirc;
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the piece size and whether a release suffix is configured.
    const std::size_t piece = 1 + (data[0] & 0x3F);
    const TLircLineOptions options{(data[0] & 0x40) != 0 ? "_UP" : ""};
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    TLircLineSplitter splitter;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        splitter.Feed(bytes.substr(at, piece), lines);
    }
    for (const std::string& line : lines) {
        if (line.size() > TLircLineSplitter::kMaxLineLength || line.find('\n') != std::string::npos) {
            std::abort();
        }
        std::optional<TLircButton> button = ParseLircLine(line, options);
        if (!button) {
            continue;
        }
        const std::string& code = button->Code;
        // "<remote>.<button>", both names at least one byte (either may hold dots itself).
        if (code.size() > zaprelay::dcd::kCodeTextSize || code.size() < 3 || code.find('.') == std::string::npos ||
            code.find_first_of(" \t\r\n", 0) != std::string::npos || code.find('\0') != std::string::npos ||
            button->RepeatCount < 0) {
            std::abort();
        }
        // The record carries the code whole, as the program reads it back.
        zaprelay::dcd::TCodeRecord record;
        zaprelay::dcd::FillCodeRecord(record, code);
        const char* text = reinterpret_cast<const char*>(record.data() + zaprelay::dcd::kCodeTextOffset);
        if (std::string_view(text, strnlen(text, zaprelay::dcd::kCodeTextSize)) != code) {
            std::abort();
        }
    }
    return 0;
}
