// Byte streams: the abstract stream with exact reads and writes, a growable memory stream,
// a read-only view over bytes owned elsewhere, and a file stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace zaprelay {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;

    // Transfer up to count bytes; return how many moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Returns the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size();
    virtual void SetSize(int64_t size);

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }
    // Bytes from the position to the end; readers check lengths against it before allocating.
    int64_t Remaining() {
        int64_t left = Size() - Position();
        return left > 0 ? left : 0;
    }

    // Exactly count bytes, or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);

    // Copies count bytes from source's position; count 0 copies the whole source from its start.
    int64_t CopyFrom(TStream& source, int64_t count);

    uint8_t ReadByte();
    int16_t ReadInt16();
    int32_t ReadInt32();
    int64_t ReadInt64();
    void WriteByte(uint8_t value);
    void WriteInt16(int16_t value);
    void WriteInt32(int32_t value);
    void WriteInt64(int64_t value);
};

// A stream over a growable block of memory it owns.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : m_data(std::move(bytes)) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(m_data.size()); }
    void SetSize(int64_t size) override;

    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& path);
    void SaveToStream(TStream& target);
    void SaveToFile(const std::string& path);

    const std::vector<uint8_t>& Bytes() const { return m_data; }
    uint8_t* Memory() { return m_data.data(); }

private:
    std::vector<uint8_t> m_data;
    int64_t m_position = 0;
};

// A read-only stream over bytes that stay owned by the caller and outlive the stream.
class TBytesStream : public TStream {
public:
    explicit TBytesStream(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
    // The stream only views the bytes: a temporary vector would be gone before the reading.
    explicit TBytesStream(std::vector<uint8_t>&&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(m_bytes.size()); }

private:
    std::span<const uint8_t> m_bytes;
    int64_t m_position = 0;
};

enum TFileMode { fmOpenRead, fmOpenReadWrite, fmCreate };

class TFileStream : public TStream {
public:
    // fmCreate makes a new empty file or truncates one; the others open an existing file.
    // Failures raise EFCreateError / EFOpenError naming the file.
    TFileStream(const std::string& path, TFileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;

private:
    std::FILE* m_file = nullptr;
};

}  // namespace zaprelay
