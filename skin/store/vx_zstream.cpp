#include "skin/store/vx_zstream.h"

#include <algorithm>
#include <limits>

namespace zaprelay {
namespace {

constexpr int kLevels[] = {0, 1, -1, 9};
constexpr int kWindowBits = 15;
constexpr int kMemoryLevel = 8;
// Dropped bytes of a forward seek are inflated in pieces of this size.
constexpr int64_t kSkipChunk = 4096;
// zlib counts in uInt; larger transfers go in pieces.
constexpr int64_t kMaxZlibChunk = std::numeric_limits<uInt>::max();

template <typename E>
int Check(int code) {
    if (code < 0) {
        throw E(msg::kZlibError);
    }
    return code;
}

}  // namespace

int ZlibLevel(TCompressionLevel level) {
    return kLevels[static_cast<int>(level)];
}

TCustomZlibStream::TCustomZlibStream(TStream& stream) : m_stream(stream), m_streamPosition(stream.Position()) {}

// ---- TCompressionStream

TCompressionStream::TCompressionStream(TCompressionLevel level, TStream& destination) : TCustomZlibStream(destination) {
    m_zstream.next_out = m_buffer.data();
    m_zstream.avail_out = kBufferSize;
    Check<ECompressionError>(
        deflateInit2(&m_zstream, ZlibLevel(level), Z_DEFLATED, kWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY));
}

TCompressionStream::~TCompressionStream() {
    try {
        Finish();
    } catch (...) {
        // Nothing can be reported from here; callers that care have called Finish.
    }
    deflateEnd(&m_zstream);
}

void TCompressionStream::FlushBuffer(int64_t count) {
    m_stream.SetPosition(m_streamPosition);
    m_stream.WriteBuffer(m_buffer.data(), count);
    m_streamPosition = m_stream.Position();
    m_zstream.next_out = m_buffer.data();
    m_zstream.avail_out = kBufferSize;
}

int64_t TCompressionStream::Read(void*, int64_t) {
    throw ECompressionError(msg::kInvalidStreamOperation);
}

int64_t TCompressionStream::Write(const void* buffer, int64_t count) {
    if (m_finished) {
        throw ECompressionError(msg::kInvalidStreamOperation);
    }
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    int64_t left = std::max<int64_t>(count, 0);
    while (left > 0) {
        int64_t piece = std::min(left, kMaxZlibChunk);
        // zlib does not write through next_in; its API merely lacks the const.
        m_zstream.next_in = const_cast<Bytef*>(bytes);
        m_zstream.avail_in = static_cast<uInt>(piece);
        while (m_zstream.avail_in > 0) {
            Check<ECompressionError>(deflate(&m_zstream, Z_NO_FLUSH));
            if (m_zstream.avail_out == 0) {
                FlushBuffer(kBufferSize);
            }
        }
        bytes += piece;
        left -= piece;
        m_taken += piece;
    }
    m_zstream.next_in = nullptr;
    return std::max<int64_t>(count, 0);
}

void TCompressionStream::Finish() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_zstream.next_in = nullptr;
    m_zstream.avail_in = 0;
    while (Check<ECompressionError>(deflate(&m_zstream, Z_FINISH)) != Z_STREAM_END) {
        FlushBuffer(kBufferSize);
    }
    if (m_zstream.avail_out < kBufferSize) {
        FlushBuffer(kBufferSize - m_zstream.avail_out);
    }
}

int64_t TCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (offset == 0 && origin == soCurrent) {
        return m_taken;
    }
    throw ECompressionError(msg::kInvalidStreamOperation);
}

// ---- TDecompressionStream

TDecompressionStream::TDecompressionStream(TStream& source) : TCustomZlibStream(source), m_start(m_streamPosition) {
    m_zstream.next_in = m_buffer.data();
    m_zstream.avail_in = 0;
    Check<EDecompressionError>(inflateInit(&m_zstream));
}

TDecompressionStream::~TDecompressionStream() {
    inflateEnd(&m_zstream);
}

int64_t TDecompressionStream::Read(void* buffer, int64_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count && !m_ended) {
        if (m_zstream.avail_in == 0) {
            m_stream.SetPosition(m_streamPosition);
            int64_t got = m_stream.Read(m_buffer.data(), kBufferSize);
            m_streamPosition = m_stream.Position();
            if (got <= 0) {
                break;  // the source ended inside the zlib stream: a short read, no waiting
            }
            m_zstream.next_in = m_buffer.data();
            m_zstream.avail_in = static_cast<uInt>(got);
        }
        const int64_t piece = std::min(count - done, kMaxZlibChunk);
        m_zstream.next_out = out + done;
        m_zstream.avail_out = static_cast<uInt>(piece);
        int code = Check<ECompressionError>(inflate(&m_zstream, Z_NO_FLUSH));
        done += piece - m_zstream.avail_out;
        if (code == Z_NEED_DICT) {
            // No dictionary is ever set: inflate would answer the same forever.
            throw ECompressionError(msg::kZlibError);
        }
        if (code == Z_STREAM_END) {
            m_ended = true;
            // Give back what was read beyond the trailer.
            m_streamPosition -= m_zstream.avail_in;
            m_stream.SetPosition(m_streamPosition);
            m_zstream.avail_in = 0;
        }
    }
    m_zstream.next_out = nullptr;
    m_zstream.avail_out = 0;
    m_produced += done;
    return done;
}

int64_t TDecompressionStream::Write(const void*, int64_t) {
    throw EDecompressionError(msg::kInvalidStreamOperation);
}

void TDecompressionStream::SkipForward(int64_t count) {
    uint8_t chunk[kSkipChunk];
    while (count > 0) {
        int64_t piece = std::min(count, kSkipChunk);
        ReadBuffer(chunk, piece);
        count -= piece;
    }
}

int64_t TDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (offset == 0 && origin == soBeginning) {
        Check<EDecompressionError>(inflateReset(&m_zstream));
        m_zstream.next_in = m_buffer.data();
        m_zstream.avail_in = 0;
        m_streamPosition = m_start;
        m_stream.SetPosition(m_start);
        m_produced = 0;
        m_ended = false;
        return 0;
    }
    if (origin == soCurrent && offset >= 0) {
        SkipForward(offset);
        return m_produced;
    }
    if (origin == soBeginning && offset >= m_produced) {
        SkipForward(offset - m_produced);
        return m_produced;
    }
    throw EDecompressionError(msg::kInvalidStreamOperation);
}

}  // namespace zaprelay
