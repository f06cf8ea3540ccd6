#include "plugins/guard/guard_frames.h"

#include <algorithm>
#include <optional>

namespace zaprelay::guard {
namespace {

constexpr std::size_t kRepeatCountSize = 4;

// The longest payload a kind may carry; nothing for a byte that names no kind.
std::optional<std::size_t> PayloadLimit(uint8_t kind) {
    switch (static_cast<TFrameKind>(kind)) {
        case TFrameKind::Hello:
        case TFrameKind::Failure:
            return kMaxFrameText;
        case TFrameKind::Code:
            return kRepeatCountSize + kMaxFrameText;
        case TFrameKind::Heartbeat:
        case TFrameKind::SetupDone:
        case TFrameKind::Stopped:
        case TFrameKind::Setup:
        case TFrameKind::Stop:
            return 0;
    }
    return std::nullopt;
}

void AppendU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

uint32_t ReadU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

std::string EncodeFrame(const TFrame& frame) {
    std::string_view text(frame.Text);
    text = text.substr(0, kMaxFrameText);
    std::string payload;
    switch (frame.Kind) {
        case TFrameKind::Code:
            text = text.substr(0, text.find('\0'));
            AppendU32(payload, static_cast<uint32_t>(frame.RepeatCount));
            payload.append(text);
            break;
        case TFrameKind::Hello:
        case TFrameKind::Failure:
            payload.append(text);
            break;
        default:
            break;
    }
    std::string bytes;
    bytes.reserve(kFrameHeaderSize + payload.size());
    bytes.push_back(static_cast<char>(frame.Kind));
    AppendU32(bytes, static_cast<uint32_t>(payload.size()));
    bytes.append(payload);
    return bytes;
}

bool TFrameReader::Feed(std::string_view bytes, std::vector<TFrame>& out) {
    while (!m_failed) {
        if (m_headerSize < kFrameHeaderSize) {
            if (bytes.empty()) {
                break;
            }
            std::size_t take = std::min(kFrameHeaderSize - m_headerSize, bytes.size());
            std::copy_n(bytes.data(), take, m_header + m_headerSize);
            m_headerSize += take;
            bytes.remove_prefix(take);
            if (!HeaderRead()) {
                m_failed = true;
            }
            continue;
        }
        if (m_payload.size() == m_payloadSize) {
            if (!FinishFrame(out)) {
                m_failed = true;
            }
            continue;
        }
        if (bytes.empty()) {
            break;
        }
        std::size_t take = std::min(m_payloadSize - m_payload.size(), bytes.size());
        m_payload.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
    }
    return !m_failed;
}

// Checks what has come of the header so far; false when it cannot start a valid frame. The kind
// is judged as soon as it arrives so a stream of junk fails on its first byte.
bool TFrameReader::HeaderRead() {
    std::optional<std::size_t> limit = PayloadLimit(m_header[0]);
    if (!limit) {
        return false;
    }
    if (m_headerSize < kFrameHeaderSize) {
        return true;
    }
    uint32_t size = ReadU32(m_header + 1);
    if (size > *limit) {
        return false;
    }
    m_payloadSize = size;
    m_payload.clear();
    m_payload.reserve(m_payloadSize);
    return true;
}

bool TFrameReader::FinishFrame(std::vector<TFrame>& out) {
    TFrame frame;
    frame.Kind = static_cast<TFrameKind>(m_header[0]);
    if (frame.Kind == TFrameKind::Code) {
        if (m_payload.size() < kRepeatCountSize) {
            return false;
        }
        std::string_view text = std::string_view(m_payload).substr(kRepeatCountSize);
        if (text.find('\0') != std::string_view::npos) {
            return false;
        }
        frame.RepeatCount = static_cast<int32_t>(ReadU32(reinterpret_cast<const uint8_t*>(m_payload.data())));
        frame.Text = text;
    } else {
        frame.Text = std::move(m_payload);
    }
    out.push_back(std::move(frame));
    m_headerSize = 0;
    m_payloadSize = 0;
    m_payload.clear();
    return true;
}

}  // namespace zaprelay::guard
