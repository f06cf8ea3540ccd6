#include "skin/store/vx_zstream.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>
#include <zlib.h>

namespace zaprelay {
namespace {

std::vector<uint8_t> RandomBytes(std::size_t count, uint32_t seed, int alphabet = 256) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random() % static_cast<uint32_t>(alphabet));
    }
    return bytes;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, TCompressionLevel level) {
    TMemoryStream out;
    TCompressionStream deflater(level, out);
    deflater.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    deflater.Finish();
    return out.Bytes();
}

// What zlib itself makes of our output.
std::vector<uint8_t> ZlibInflate(const std::vector<uint8_t>& compressed, std::size_t expected) {
    std::vector<uint8_t> out(expected + 1);
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())), Z_OK);
    out.resize(size);
    return out;
}

TEST(ZlibStreamTest, EveryLevelMakesAStandardStreamThatBothSidesRead) {
    const std::vector<uint8_t> data = RandomBytes(100000, 7, 16);
    struct Case {
        TCompressionLevel Level;
        int ZlibLevel;
        uint8_t HeaderFlags;  // second header byte: the level class zlib records
    };
    for (Case c : {Case{TCompressionLevel::None, 0, 0x01}, Case{TCompressionLevel::Fastest, 1, 0x01},
                   Case{TCompressionLevel::Default, -1, 0x9C}, Case{TCompressionLevel::Max, 9, 0xDA}}) {
        SCOPED_TRACE(c.ZlibLevel);
        EXPECT_EQ(ZlibLevel(c.Level), c.ZlibLevel);
        const std::vector<uint8_t> compressed = Deflate(data, c.Level);
        ASSERT_GE(compressed.size(), 2u);
        EXPECT_EQ(compressed[0], 0x78);
        EXPECT_EQ(compressed[1], c.HeaderFlags);
        EXPECT_EQ(ZlibInflate(compressed, data.size()), data);

        TBytesStream source(compressed);
        TDecompressionStream inflater(source);
        std::vector<uint8_t> back(data.size());
        inflater.ReadBuffer(back.data(), static_cast<int64_t>(back.size()));
        EXPECT_EQ(back, data);
    }
}

TEST(ZlibStreamTest, CompressionWritesWholeBuffersUntilFinished) {
    const std::vector<uint8_t> data = RandomBytes(50000, 3);  // does not shrink
    TMemoryStream out;
    {
        TCompressionStream deflater(TCompressionLevel::Fastest, out);
        for (std::size_t at = 0; at < data.size(); at += 1000) {
            deflater.WriteBuffer(data.data() + at, 1000);
        }
        EXPECT_EQ(deflater.Seek(0, soCurrent), 50000);
        EXPECT_GT(out.Size(), 0);
        EXPECT_EQ(out.Size() % TCustomZlibStream::kBufferSize, 0);
        // Destruction completes the stream just as Finish does.
    }
    EXPECT_EQ(ZlibInflate(out.Bytes(), data.size()), data);
}

TEST(ZlibStreamTest, CompressionRefusesReadsSeeksAndWritesAfterFinishing) {
    TMemoryStream out;
    TCompressionStream deflater(TCompressionLevel::Max, out);
    uint8_t byte = 0;
    for (auto attempt : {+[](TCompressionStream&s, uint8_t*b) { s.Read(b, 1); },
                         +[](TCompressionStream&s, uint8_t*) { s.Seek(1, soCurrent); },
                         +[](TCompressionStream&s, uint8_t*) { s.Seek(0, soBeginning); },
                         +[](TCompressionStream&s, uint8_t*) { s.Seek(0, soEnd); }}) {
        try {
            attempt(deflater, &byte);
            ADD_FAILURE() << "no error";
        } catch (const ECompressionError& e) {
            EXPECT_STREQ(e.what(), "Invalid stream operation");
        }
    }
    deflater.Finish();
    EXPECT_THROW(deflater.WriteBuffer(&byte, 1), ECompressionError);
}

TEST(ZlibStreamTest, CompressionWritesWhereItLeftOffWhenTheDestinationMoves) {
    const std::vector<uint8_t> data = RandomBytes(30000, 5);
    TMemoryStream out;
    out.WriteBuffer("HEAD", 4);
    TCompressionStream deflater(TCompressionLevel::Fastest, out);
    deflater.WriteBuffer(data.data(), 20000);
    out.SetPosition(0);
    deflater.WriteBuffer(data.data() + 20000, 10000);
    out.SetPosition(1);
    deflater.Finish();
    ASSERT_EQ(std::string(out.Bytes().begin(), out.Bytes().begin() + 4), "HEAD");
    EXPECT_EQ(ZlibInflate(std::vector<uint8_t>(out.Bytes().begin() + 4, out.Bytes().end()), data.size()), data);
}

class DecompressionTest : public ::testing::Test {
protected:
    // "PRE!", a zlib stream of Data, then "TAIL".
    void SetUp() override {
        Data = RandomBytes(40000, 11, 8);
        Compressed = Deflate(Data, TCompressionLevel::Max);
        Source.WriteBuffer("PRE!", 4);
        Source.WriteBuffer(Compressed.data(), static_cast<int64_t>(Compressed.size()));
        Source.WriteBuffer("TAIL", 4);
        Source.SetPosition(4);
    }
    std::vector<uint8_t> Data;
    std::vector<uint8_t> Compressed;
    TMemoryStream Source;
};

TEST_F(DecompressionTest, StopsAtTheEndOfTheZlibStreamAndLeavesTheRest) {
    TDecompressionStream inflater(Source);
    std::vector<uint8_t> back(Data.size() + 500);
    EXPECT_EQ(inflater.Read(back.data(), static_cast<int64_t>(back.size())), static_cast<int64_t>(Data.size()));
    EXPECT_TRUE(inflater.Ended());
    back.resize(Data.size());
    EXPECT_EQ(back, Data);
    EXPECT_EQ(inflater.Read(back.data(), 10), 0);
    EXPECT_EQ(Source.Position(), static_cast<int64_t>(4 + Compressed.size()));
    char tail[4];
    Source.ReadBuffer(tail, 4);
    EXPECT_EQ(std::string(tail, 4), "TAIL");
}

TEST_F(DecompressionTest, CutDataGivesAShortCountWithoutWaiting) {
    TBytesStream cut(std::span<const uint8_t>(Compressed).first(Compressed.size() / 2));
    TDecompressionStream inflater(cut);
    std::vector<uint8_t> back(Data.size());
    const int64_t got = inflater.Read(back.data(), static_cast<int64_t>(back.size()));
    EXPECT_GT(got, 0);
    EXPECT_LT(got, static_cast<int64_t>(Data.size()));
    EXPECT_FALSE(inflater.Ended());
    EXPECT_TRUE(std::equal(back.begin(), back.begin() + got, Data.begin()));
    EXPECT_EQ(inflater.Read(back.data(), 1), 0);
}

TEST_F(DecompressionTest, ReadsOnWhereItLeftOffWhenTheSourceMoves) {
    TDecompressionStream inflater(Source);
    std::vector<uint8_t> back(Data.size());
    inflater.ReadBuffer(back.data(), 1000);
    Source.SetPosition(0);
    inflater.ReadBuffer(back.data() + 1000, static_cast<int64_t>(Data.size()) - 1000);
    EXPECT_EQ(back, Data);
}

TEST_F(DecompressionTest, SeeksForwardAndBackToTheStartOnly) {
    TDecompressionStream inflater(Source);
    EXPECT_EQ(inflater.Seek(5000, soCurrent), 5000);
    EXPECT_EQ(inflater.Seek(12345, soBeginning), 12345);
    EXPECT_EQ(inflater.Seek(0, soCurrent), 12345);
    EXPECT_EQ(inflater.ReadByte(), Data[12345]);
    // Back to the start inflates again from where the zlib data begins, not from the
    // source's first byte.
    EXPECT_EQ(inflater.Seek(0, soBeginning), 0);
    std::vector<uint8_t> back(Data.size());
    inflater.ReadBuffer(back.data(), static_cast<int64_t>(back.size()));
    EXPECT_EQ(back, Data);

    for (auto [offset, origin] : {std::pair{100, soBeginning}, std::pair{-1, soCurrent}, std::pair{0, soEnd}}) {
        try {
            inflater.Seek(offset, origin);
            ADD_FAILURE() << "seek " << offset << " from " << origin << " allowed";
        } catch (const EDecompressionError& e) {
            EXPECT_STREQ(e.what(), "Invalid stream operation");
        }
    }
    uint8_t byte = 0;
    EXPECT_THROW(inflater.Write(&byte, 1), EDecompressionError);
}

TEST_F(DecompressionTest, SeekingPastTheEndIsAReadError) {
    TDecompressionStream inflater(Source);
    EXPECT_THROW(inflater.Seek(static_cast<int64_t>(Data.size()) + 1, soBeginning), EReadError);
}

TEST(ZlibStreamTest, BadDataRaisesTheZlibError) {
    std::vector<uint8_t> compressed = Deflate(RandomBytes(5000, 2, 4), TCompressionLevel::Fastest);
    std::vector<std::vector<uint8_t>> bad;
    bad.push_back({0x12, 0x34, 0x56, 0x78});  // not a zlib header
    bad.push_back(compressed);
    bad.back()[bad.back().size() - 1] ^= 0xFF;  // Adler-32 trailer
    bad.push_back({0x78, 0xBB, 0, 0, 0, 1});    // asks for a preset dictionary
    for (const std::vector<uint8_t>& bytes : bad) {
        TBytesStream source(bytes);
        TDecompressionStream inflater(source);
        std::vector<uint8_t> out(6000);
        try {
            inflater.Read(out.data(), static_cast<int64_t>(out.size()));
            ADD_FAILURE() << "accepted";
        } catch (const EZlibError& e) {
            EXPECT_STREQ(e.what(), "error");
        }
    }
}

}  // namespace
}  // namespace zaprelay
