// The framing on the pipe between the guard and the helper process that runs a receiver: a
// kind byte, a little-endian payload length, the payload. The guard reads it as untrusted bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::guard {

enum class TFrameKind : uint8_t {
    // helper -> guard
    Hello = 1,      // text: the receiver's path as loaded
    Code = 2,       // repeat count + the code text
    Heartbeat = 3,  // empty
    SetupDone = 4,  // empty
    Stopped = 5,    // empty
    Failure = 6,    // text: why the helper cannot go on (e.g. the DLL would not load)
    // guard -> helper
    Setup = 16,  // empty
    Stop = 17,   // empty
};

struct TFrame {
    TFrameKind Kind = TFrameKind::Heartbeat;
    int32_t RepeatCount = 0;  // Code only
    std::string Text;         // Hello, Code, Failure
    bool operator==(const TFrame&) const = default;
};

inline constexpr std::size_t kMaxFrameText = 1024;
inline constexpr std::size_t kFrameHeaderSize = 5;

// Kind byte, payload length as u32 little-endian, payload. Code's payload: repeat count as i32
// little-endian, then the text; Hello/Failure: the text; the others: nothing (their Text and
// RepeatCount are not sent). Text longer than kMaxFrameText is cut to it, and a Code text ends
// at its first zero byte as the code record would end it, so every encoded frame reads back.
std::string EncodeFrame(const TFrame& frame);

class TFrameReader {
public:
    // Bytes as they arrive, split anywhere; every complete frame is appended to out. False once
    // the stream is corrupt: an unknown kind, a payload length over the kind's limit (empty kinds
    // must have 0; Code 4 + kMaxFrameText; Hello/Failure kMaxFrameText), a Code payload shorter
    // than 4 bytes, or a Code text holding a zero byte. A failed reader stays failed and reads
    // nothing more.
    bool Feed(std::string_view bytes, std::vector<TFrame>& out);
    bool Failed() const { return m_failed; }

private:
    bool HeaderRead();
    bool FinishFrame(std::vector<TFrame>& out);

    uint8_t m_header[kFrameHeaderSize] = {};
    std::size_t m_headerSize = 0;
    // Only meaningful once the header is whole; already checked against the kind's limit.
    std::size_t m_payloadSize = 0;
    std::string m_payload;
    bool m_failed = false;
};

}  // namespace zaprelay::guard
