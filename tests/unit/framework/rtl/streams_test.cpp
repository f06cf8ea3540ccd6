#include "framework/rtl/streams.h"

#include "framework/rtl/exceptions.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace zaprelay {
namespace {

using ByteList = std::vector<uint8_t>;

ByteList Counting(std::size_t size) {
    ByteList bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}

TEST(Stream, ReadBufferIsExactOrFails) {
    ByteList bytes = {1, 2, 3, 4, 5};
    TBytesStream stream(bytes);
    uint8_t buffer[4] = {};
    stream.ReadBuffer(buffer, 3);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(stream.Remaining(), 2);
    try {
        stream.ReadBuffer(buffer, 3);
        ADD_FAILURE() << "short read accepted";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_THROW(stream.ReadBuffer(buffer, -1), EReadError);
}

TEST(Stream, IntegersAreLittleEndianAndSigned) {
    TMemoryStream stream;
    stream.WriteInt16(-2);
    stream.WriteInt32(0x12345678);
    stream.WriteInt64(-0x0102030405060708);
    EXPECT_EQ(ByteList(stream.Bytes().begin(), stream.Bytes().begin() + 6),
              (ByteList{0xFE, 0xFF, 0x78, 0x56, 0x34, 0x12}));
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadInt16(), -2);
    EXPECT_EQ(stream.ReadInt32(), 0x12345678);
    EXPECT_EQ(stream.ReadInt64(), -0x0102030405060708);
    EXPECT_THROW(stream.ReadByte(), EReadError);
}

TEST(Stream, MemoryGrowsOnWriteAndZeroFillsGaps) {
    TMemoryStream stream;
    ByteList data = Counting(100000);
    stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    EXPECT_EQ(stream.Size(), 100000);
    EXPECT_EQ(stream.Bytes(), data);
    stream.Seek(10, soEnd);
    stream.WriteByte(0xAA);
    ASSERT_EQ(stream.Size(), 100011);
    EXPECT_EQ(stream.Bytes()[100005], 0);
    EXPECT_EQ(stream.Bytes()[100010], 0xAA);
}

TEST(Stream, MemorySeekStaysAtOrAfterStart) {
    TMemoryStream stream(ByteList(10, 1));
    EXPECT_EQ(stream.Seek(4, soBeginning), 4);
    EXPECT_EQ(stream.Seek(-3, soCurrent), 1);
    EXPECT_EQ(stream.Seek(-5, soCurrent), 1);  // before the start: unchanged
    EXPECT_EQ(stream.Seek(-2, soEnd), 8);
    EXPECT_EQ(stream.Seek(5, soEnd), 15);
    EXPECT_EQ(stream.Remaining(), 0);
    uint8_t byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0);
}

TEST(Stream, MemorySetSizeTruncatesAndClampsPosition) {
    TMemoryStream stream(Counting(50));
    stream.Seek(0, soEnd);
    stream.SetSize(20);
    EXPECT_EQ(stream.Position(), 20);
    EXPECT_EQ(stream.Bytes(), Counting(20));
    EXPECT_THROW(stream.SetSize(-1), EStreamError);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(Stream, MemoryWriteFarPastEndFailsCleanly) {
    TMemoryStream stream;
    stream.Seek(INT64_MAX - 1, soBeginning);
    uint8_t bytes[4] = {};
    EXPECT_THROW(stream.WriteBuffer(bytes, 4), EWriteError);
}

TEST(Stream, BytesStreamReadsCallersBytesAndRefusesWrites) {
    ByteList bytes = {9, 8, 7};
    TBytesStream stream(bytes);
    EXPECT_EQ(stream.Size(), 3);
    stream.Seek(-1, soEnd);
    EXPECT_EQ(stream.ReadByte(), 7);
    try {
        stream.WriteByte(1);
        ADD_FAILURE() << "write accepted";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
    EXPECT_EQ(bytes, (ByteList{9, 8, 7}));
}

TEST(Stream, CopyFromTakesCountFromPositionOrWholeSource) {
    ByteList data = Counting(200000);  // more than one copy chunk
    TBytesStream source(data);
    TMemoryStream target;
    source.SetPosition(1000);
    EXPECT_EQ(target.CopyFrom(source, 150000), 150000);
    EXPECT_EQ(target.Bytes(), ByteList(data.begin() + 1000, data.begin() + 151000));

    TMemoryStream whole;
    EXPECT_EQ(whole.CopyFrom(source, 0), 200000);  // from the start, whatever the position
    EXPECT_EQ(whole.Bytes(), data);
}

TEST(Stream, CopyFromBeyondSourceOrNegativeFails) {
    ByteList data = Counting(10);
    TBytesStream source(data);
    TMemoryStream target;
    source.SetPosition(5);
    EXPECT_THROW(target.CopyFrom(source, 6), EReadError);
    EXPECT_THROW(target.CopyFrom(source, -1), EReadError);
}

class StreamFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_dir = std::filesystem::temp_directory_path() / ("zr_streams_" + std::to_string(random()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;
};

TEST_F(StreamFile, OpenMissingFileNamesIt) {
    std::string path = PathOf("missing.bin");
    try {
        TFileStream stream(path, fmOpenRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + path + "\"");
    }
}

TEST_F(StreamFile, CreateInMissingFolderNamesIt) {
    std::string path = PathOf("no/such/folder.bin");
    try {
        TFileStream stream(path, fmCreate);
        ADD_FAILURE() << "created in a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\"");
    }
}

// Small reads one after another must not lose the runtime's read-ahead.
TEST_F(StreamFile, SmallReadsSeeEveryByte) {
    ByteList data = Counting(20000);
    TMemoryStream(data).SaveToFile(PathOf("data.bin"));
    TFileStream stream(PathOf("data.bin"), fmOpenRead);
    EXPECT_EQ(stream.Size(), 20000);
    for (std::size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(stream.ReadByte(), data[i]) << "at " << i;
    }
    EXPECT_THROW(stream.ReadByte(), EReadError);
}

TEST_F(StreamFile, ReadWriteAndResizeInPlace) {
    {
        TFileStream stream(PathOf("rw.bin"), fmCreate);
        stream.WriteInt32(0x11223344);
        stream.SetPosition(0);
        EXPECT_EQ(stream.ReadInt16(), 0x3344);
        stream.WriteByte(0xAB);  // write right after a read
        stream.SetPosition(0);
        EXPECT_EQ(stream.ReadInt32(), static_cast<int32_t>(0x11AB3344));
    }
    {
        TFileStream stream(PathOf("rw.bin"), fmOpenReadWrite);
        stream.SetSize(2);
        EXPECT_EQ(stream.Size(), 2);
    }
    TMemoryStream loaded;
    loaded.LoadFromFile(PathOf("rw.bin"));
    EXPECT_EQ(loaded.Bytes(), (ByteList{0x44, 0x33}));
}

}  // namespace
}  // namespace zaprelay
