// Streams that deflate into, or inflate from, another stream (zlib format: header, deflate
// data, Adler-32 trailer). The skin containers are wrapped in them.
#pragma once

#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"

#include <array>
#include <cstdint>
#include <zlib.h>

namespace zaprelay {

class EZlibError : public Exception {
    using Exception::Exception;
};
class ECompressionError : public EZlibError {
    using EZlibError::EZlibError;
};
class EDecompressionError : public EZlibError {
    using EZlibError::EZlibError;
};

namespace msg {
inline constexpr char kZlibError[] = "error";
inline constexpr char kInvalidStreamOperation[] = "Invalid stream operation";
}  // namespace msg

// Index into the zlib levels none 0, fastest 1, default -1, maximum 9.
enum class TCompressionLevel { None, Fastest, Default, Max };
int ZlibLevel(TCompressionLevel level);

// The underlying stream and zlib's state. The underlying stream may be moved by others
// between two transfers: each transfer starts where the previous one left it.
class TCustomZlibStream : public TStream {
public:
    static constexpr int kBufferSize = 8192;

    ~TCustomZlibStream() override = default;
    TCustomZlibStream(const TCustomZlibStream&) = delete;
    TCustomZlibStream& operator=(const TCustomZlibStream&) = delete;

protected:
    explicit TCustomZlibStream(TStream& stream);

    TStream& m_stream;
    int64_t m_streamPosition;  // of the underlying stream after the last transfer
    z_stream m_zstream{};
    std::array<uint8_t, kBufferSize> m_buffer{};
};

// Write-only. Deflated bytes reach the destination each time the 8,192-byte buffer fills;
// Finish (or destruction) ends the zlib stream and writes the rest, so the destination holds
// a complete stream only after that.
class TCompressionStream : public TCustomZlibStream {
public:
    TCompressionStream(TCompressionLevel level, TStream& destination);
    // Finishes when Finish has not run; errors are lost there, so call Finish to see them.
    ~TCompressionStream() override;

    // Ends the zlib stream and writes what is left; later writes are invalid.
    void Finish();

    int64_t Read(void* buffer, int64_t count) override;  // invalid
    int64_t Write(const void* buffer, int64_t count) override;
    // Only Seek(0, soCurrent), which answers the number of bytes taken in so far.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
    void FlushBuffer(int64_t count);

    int64_t m_taken = 0;
    bool m_finished = false;
};

// Read-only. Reads the source in chunks of up to 8,192 bytes and inflates them; a read
// returns fewer bytes than asked when the zlib stream (or the source) ends. It never reads
// beyond the zlib stream's end: the source is left just after it.
class TDecompressionStream : public TCustomZlibStream {
public:
    explicit TDecompressionStream(TStream& source);
    ~TDecompressionStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;  // invalid
    // To the beginning (inflation starts again where the zlib data began) or forward (the
    // bytes between are inflated and dropped); nothing else.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

    // The zlib stream's trailer has been read.
    bool Ended() const { return m_ended; }

private:
    void SkipForward(int64_t count);

    int64_t m_start;  // source position of the zlib data
    int64_t m_produced = 0;
    bool m_ended = false;
};

}  // namespace zaprelay
