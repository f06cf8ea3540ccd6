#include "plugins/guard/guard_frames.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::guard {
namespace {

using namespace std::string_literals;

std::vector<TFrame> SampleFrames() {
    return {{TFrameKind::Hello, 0, "C:\\receivers\\lirc\\DCD.dll"},
            {TFrameKind::Code, 0, "tv.POWER"},
            {TFrameKind::Code, -1, std::string(124, 'x')},
            {TFrameKind::Code, 7, ""},
            {TFrameKind::Heartbeat, 0, {}},
            {TFrameKind::SetupDone, 0, {}},
            {TFrameKind::Stopped, 0, {}},
            {TFrameKind::Failure, 0, "the receiver would not load"},
            {TFrameKind::Setup, 0, {}},
            {TFrameKind::Stop, 0, {}}};
}

TEST(GuardFrames, EveryKindReadsBackHoweverThePipeSplitsIt) {
    // The wire layout itself, so both sides agree on byte order.
    EXPECT_EQ(EncodeFrame({TFrameKind::Code, 258, "OK"}), "\x02\x06\0\0\0\x02\x01\0\0OK"s);

    std::string stream;
    for (const TFrame& frame : SampleFrames()) {
        stream += EncodeFrame(frame);
    }
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{5}, std::size_t{7}, stream.size()}) {
        TFrameReader reader;
        std::vector<TFrame> read;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            ASSERT_TRUE(reader.Feed(std::string_view(stream).substr(at, piece), read)) << piece;
        }
        EXPECT_EQ(read, SampleFrames()) << "pieces of " << piece;
    }
}

TEST(GuardFrames, EncodingKeepsTextWithinWhatTheReaderAccepts) {
    std::vector<TFrame> read;
    TFrameReader reader;
    ASSERT_TRUE(reader.Feed(EncodeFrame({TFrameKind::Failure, 0, std::string(kMaxFrameText + 9, 'f')}), read));
    ASSERT_TRUE(reader.Feed(EncodeFrame({TFrameKind::Code, 3, "UP\0junk"s}), read));
    ASSERT_TRUE(reader.Feed(EncodeFrame({TFrameKind::Heartbeat, 5, "ignored"}), read));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].Text, std::string(kMaxFrameText, 'f'));
    EXPECT_EQ(read[1], (TFrame{TFrameKind::Code, 3, "UP"}));
    EXPECT_EQ(read[2], (TFrame{TFrameKind::Heartbeat, 0, {}}));
}

TEST(GuardFrames, ACorruptStreamDeliversWhatCameBeforeAndThenNothing) {
    const std::string good = EncodeFrame({TFrameKind::Heartbeat, 0, {}});
    const std::string longest = std::string(kMaxFrameText, 'a');
    const std::vector<std::string> corrupt = {
        "\x00"s,                                      // no kind 0
        "\x07"s,                                      // between the helper's and the guard's kinds
        "\x12"s,                                      // nor 18
        "\x03\x01\0\0\0x"s,                           // an empty kind with a payload
        "\x01\x01\x04\0\0"s + longest + "a",          // Hello text one over
        "\x02\x05\x04\0\0\0\0\0\0"s + longest + "a",  // Code text one over
        "\x02\x03\0\0\0abc"s,                         // Code without a whole repeat count
        "\x02\x07\0\0\0\0\0\0\0A\0B"s,                // Code text with a zero byte
        "\x06\xFF\xFF\xFF\xFF"s,                      // a length that must not be allocated
    };
    for (const std::string& bad : corrupt) {
        TFrameReader reader;
        std::vector<TFrame> read;
        EXPECT_FALSE(reader.Feed(good + bad + good, read)) << testing::PrintToString(bad);
        EXPECT_TRUE(reader.Failed());
        EXPECT_FALSE(reader.Feed(good, read));
        EXPECT_EQ(read.size(), 1u) << testing::PrintToString(bad);
    }
    // The limits themselves are fine.
    TFrameReader reader;
    std::vector<TFrame> read;
    EXPECT_TRUE(reader.Feed("\x01\0\x04\0\0"s + longest + "\x02\x04\x04\0\0\0\0\0\0"s + longest, read));
    EXPECT_EQ(read.size(), 2u);
}

}  // namespace
}  // namespace zaprelay::guard
