#include "framework/rtl/streams.h"

#include "framework/rtl/exceptions.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zaprelay {

int64_t TStream::Size() {
    int64_t position = Position();
    int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {
    throw EStreamError(msg::kStreamWriteError);
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || (count != 0 && Read(buffer, count) != count)) {
        throw EReadError(msg::kStreamReadError);
    }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0 || (count != 0 && Write(buffer, count) != count)) {
        throw EWriteError(msg::kStreamWriteError);
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count < 0) {
        throw EReadError(msg::kStreamReadError);
    }
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    int64_t left = count;
    std::vector<uint8_t> chunk(static_cast<std::size_t>(std::min<int64_t>(count, 1 << 16)));
    while (left > 0) {
        int64_t n = std::min<int64_t>(left, static_cast<int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= n;
    }
    return count;
}

uint8_t TStream::ReadByte() {
    uint8_t value;
    ReadBuffer(&value, 1);
    return value;
}

// Little-endian whatever the host, byte by byte.
int16_t TStream::ReadInt16() {
    uint8_t b[2];
    ReadBuffer(b, 2);
    return static_cast<int16_t>(b[0] | (b[1] << 8));
}

int32_t TStream::ReadInt32() {
    uint8_t b[4];
    ReadBuffer(b, 4);
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

int64_t TStream::ReadInt64() {
    uint8_t b[8];
    ReadBuffer(b, 8);
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = value << 8 | b[i];
    }
    return static_cast<int64_t>(value);
}

void TStream::WriteByte(uint8_t value) {
    WriteBuffer(&value, 1);
}

void TStream::WriteInt16(int16_t value) {
    uint8_t b[2] = {uint8_t(value), uint8_t(uint16_t(value) >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteInt32(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    WriteBuffer(b, 4);
}

void TStream::WriteInt64(int64_t value) {
    uint64_t v = static_cast<uint64_t>(value);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i) {
        b[i] = uint8_t(v >> (8 * i));
    }
    WriteBuffer(b, 8);
}

namespace {

// The new position for a seek, or -1 when it would fall before the start.
int64_t SeekTarget(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position : size;
    if ((offset < 0 && base < -offset) || (offset > 0 && base > INT64_MAX - offset)) {
        return -1;
    }
    return base + offset;
}

int64_t ReadFromSpan(std::span<const uint8_t> bytes, int64_t& position, void* buffer, int64_t count) {
    int64_t size = static_cast<int64_t>(bytes.size());
    if (count <= 0 || position >= size) {
        return 0;
    }
    int64_t n = std::min(count, size - position);
    std::memcpy(buffer, bytes.data() + position, static_cast<std::size_t>(n));
    position += n;
    return n;
}

}  // namespace

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    return ReadFromSpan(m_data, m_position, buffer, count);
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0 || m_position > INT64_MAX - count) {
        return 0;
    }
    int64_t end = m_position + count;
    if (end > static_cast<int64_t>(m_data.size())) {
        SetSize(end);
    }
    std::memcpy(m_data.data() + m_position, buffer, static_cast<std::size_t>(count));
    m_position = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t target = SeekTarget(m_position, Size(), offset, origin);
    if (target >= 0) {
        m_position = target;
    }
    return m_position;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0 || static_cast<uint64_t>(size) > m_data.max_size()) {
        throw EStreamError(msg::kStreamWriteError);
    }
    m_data.resize(static_cast<std::size_t>(size));
    m_position = std::min(m_position, size);
}

void TMemoryStream::Clear() {
    m_data.clear();
    m_position = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(source.Size()));
    source.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m_data = std::move(bytes);
    m_position = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& target) {
    target.WriteBuffer(m_data.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& path) {
    TFileStream file(path, fmCreate);
    SaveToStream(file);
}

int64_t TBytesStream::Read(void* buffer, int64_t count) {
    return ReadFromSpan(m_bytes, m_position, buffer, count);
}

int64_t TBytesStream::Write(const void*, int64_t) {
    return 0;
}

int64_t TBytesStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t target = SeekTarget(m_position, Size(), offset, origin);
    if (target >= 0) {
        m_position = target;
    }
    return m_position;
}

namespace {

int SeekFile(std::FILE* file, int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, offset, whence);
#else
    return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

int64_t TellFile(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<int64_t>(ftello(file));
#endif
}

// Through the open file, not its name: the name may since lead elsewhere.
bool ResizeFile(std::FILE* file, int64_t size) {
#ifdef _WIN32
    return _chsize_s(_fileno(file), size) == 0;
#else
    return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
#endif
}

}  // namespace

TFileStream::TFileStream(const std::string& path, TFileMode mode) {
    const char* how = mode == fmCreate ? "w+b" : mode == fmOpenReadWrite ? "r+b" : "rb";
    m_file = std::fopen(path.c_str(), how);
    if (m_file == nullptr) {
        if (mode == fmCreate) {
            throw EFCreateError(Format(msg::kFCreateError, {path}));
        }
        throw EFOpenError(Format(msg::kFOpenError, {path}));
    }
}

TFileStream::~TFileStream() {
    std::fclose(m_file);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0) {
        return 0;
    }
    // A read after a write needs a seek between them; fflush would do natively, but the
    // Windows runtime's fflush also drops read-ahead bytes without moving back over them.
    SeekFile(m_file, 0, SEEK_CUR);
    return static_cast<int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), m_file));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) {
        return 0;
    }
    SeekFile(m_file, 0, SEEK_CUR);
    return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), m_file));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    if (offset != 0 || origin != soCurrent) {
        SeekFile(m_file, offset, whence);
    }
    return TellFile(m_file);
}

void TFileStream::SetSize(int64_t size) {
    std::fflush(m_file);
    if (size < 0 || !ResizeFile(m_file, size)) {
        throw EStreamError(msg::kStreamWriteError);
    }
}

}  // namespace zaprelay
