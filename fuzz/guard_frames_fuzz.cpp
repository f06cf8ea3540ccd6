// Any bytes as what a helper process writes to the guard's pipe, cut into pieces as the pipe
// may deliver them: every frame read is within its kind's limits, and the frames read, encoded
// again, are exactly the bytes they were read from and read back the same from a fresh reader.
#include "plugins/guard/guard_frames.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zaprelay::guard;
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the piece size.
    const std::size_t piece = 1 + data[0];
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    TFrameReader reader;
    std::vector<TFrame> frames;
    bool ok = true;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        ok = reader.Feed(bytes.substr(at, piece), frames);
    }
    if (ok == reader.Failed()) {
        std::abort();
    }
    std::string encoded;
    for (const TFrame& frame : frames) {
        if (frame.Text.size() > kMaxFrameText || (frame.Kind != TFrameKind::Code && frame.RepeatCount != 0)) {
            std::abort();
        }
        std::string one = EncodeFrame(frame);
        TFrameReader fresh;
        std::vector<TFrame> again;
        if (!fresh.Feed(one, again) || again.size() != 1 || again[0] != frame) {
            std::abort();
        }
        encoded += one;
    }
    // Nothing is read past a corruption, and nothing read was changed on the way.
    if (!bytes.starts_with(encoded)) {
        std::abort();
    }
    return 0;
}
