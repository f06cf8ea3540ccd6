#include "plugins/lirc/lirc_line.h"

#include "plugins/include/dcd_plugin.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::lirc {
namespace {

TEST(LircLine, ReadsButtonsWithHexRepeats) {
    auto fresh = ParseLircLine("000000037ff07bfe 00 KEY_POWER hauppauge");
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->Code, "hauppauge.KEY_POWER");
    EXPECT_EQ(fresh->RepeatCount, 0);

    auto held = ParseLircLine("\t1e 0a  VOL_UP\t \tTV  ");
    ASSERT_TRUE(held);
    EXPECT_EQ(held->Code, "TV.VOL_UP");  // "_UP" is a button unless a release suffix is set
    EXPECT_EQ(held->RepeatCount, 10);

    auto mixedCase = ParseLircLine("ABCDEF 1F ok remote");
    ASSERT_TRUE(mixedCase);
    EXPECT_EQ(mixedCase->RepeatCount, 31);
    EXPECT_EQ(ParseLircLine("0 7fffffff ok r")->RepeatCount, 2147483647);

    // Same button on two remotes gives two codes, also when names hold dots.
    EXPECT_NE(ParseLircLine("1 0 ok tv")->Code, ParseLircLine("1 0 ok dvd")->Code);
    EXPECT_EQ(ParseLircLine("1 0 c a.b")->Code, "a%2Eb.c");
    EXPECT_EQ(ParseLircLine("1 0 b.c a")->Code, "a.b.c");
    EXPECT_EQ(ParseLircLine("1 0 x 50%.tv")->Code, "50%25%2Etv.x");
    EXPECT_NE(ParseLircLine("1 0 x a%2Eb")->Code, ParseLircLine("1 0 x a.b")->Code);
}

TEST(LircLine, IgnoresRepliesReleasesAndGarbage) {
    for (const char* line : {"",
                             "   ",
                             "BEGIN",
                             "SIGHUP",
                             "END",
                             "DATA",
                             "1",
                             "SUCCESS",
                             "ERROR",
                             "LIST",
                             "VERSION",
                             "SEND_ONCE tv KEY_1 2",        // a command echoed in a reply: code is not hex
                             "0000000000000001 KEY_POWER",  // a data line of a LIST reply
                             "1 0 ok",                      // three fields
                             "1 0 ok tv extra",             // five fields
                             "1g 0 ok tv",
                             "-1 0 ok tv",
                             "1 -1 ok tv",
                             "1 0x1 ok tv",
                             "1 zz ok tv",
                             "00000000000000001 0 ok tv",  // 17 code digits
                             "1 100000000 ok tv",          // repeat past 8 digits
                             "1 80000000 ok tv",           // repeat past the signed count
                             "1 0 KEY_OK_EVUP tv",         // release event
                             "1 0 ok\x01 tv",
                             "1 0 ok tv\x7f",
                             "1 0 o\rk tv"}) {
        EXPECT_FALSE(ParseLircLine(line)) << line;
    }
    EXPECT_FALSE(ParseLircLine(std::string("1 0 ok\0x tv", 11)));

    TLircLineOptions release;
    release.ReleaseSuffix = "_UP";
    EXPECT_FALSE(ParseLircLine("1 0 KEY_OK_UP tv", release));
    EXPECT_TRUE(ParseLircLine("1 0 KEY_OK tv", release));
}

TEST(LircLine, DropsCodesTooLongForTheRecordWhole) {
    const std::string remote = "r";
    const std::string fits(dcd::kCodeTextSize - remote.size() - 1, 'b');
    auto longest = ParseLircLine("1 0 " + fits + " " + remote);
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->Code.size(), dcd::kCodeTextSize);
    EXPECT_FALSE(ParseLircLine("1 0 " + fits + "b " + remote));
    EXPECT_FALSE(ParseLircLine("1 0 b " + std::string(5000, 'r')));
    // The remote's name counts as written into the code, escapes included.
    const std::string button(dcd::kCodeTextSize - 5, 'b');  // after "a%2E."
    EXPECT_EQ(ParseLircLine("1 0 " + button + " a.")->Code.size(), dcd::kCodeTextSize);
    EXPECT_FALSE(ParseLircLine("1 0 " + button + "b a."));
}

std::vector<std::string> FeedAll(TLircLineSplitter& splitter, std::vector<std::string> chunks) {
    std::vector<std::string> lines;
    for (const std::string& chunk : chunks) {
        splitter.Feed(chunk, lines);
    }
    return lines;
}

TEST(TLircLineSplitter, JoinsSplitLinesAndStripsLineEnds) {
    TLircLineSplitter splitter;
    auto lines = FeedAll(splitter, {"1 00 ok t", "v\r", "\n2 01 up tv\nBEG", "IN\r\nSIGHUP\nEND\n\n", "partial"});
    EXPECT_EQ(lines, (std::vector<std::string>{"1 00 ok tv", "2 01 up tv", "BEGIN", "SIGHUP", "END", ""}));
    EXPECT_EQ(FeedAll(splitter, {" line\n"}), std::vector<std::string>{"partial line"});
    // One byte at a time, as a slow peer may send.
    std::vector<std::string> single;
    for (char c : std::string("a\r\nb\n")) {
        splitter.Feed(std::string_view(&c, 1), single);
    }
    EXPECT_EQ(single, (std::vector<std::string>{"a", "b"}));
}

TEST(TLircLineSplitter, DropsOverlongLinesAndRecovers) {
    constexpr std::size_t kMax = TLircLineSplitter::kMaxLineLength;
    TLircLineSplitter splitter;
    const std::string longest(kMax, 'x');
    EXPECT_EQ(FeedAll(splitter, {longest + "\r\n"}), std::vector<std::string>{longest});
    EXPECT_EQ(FeedAll(splitter, {longest + "y\nok\n"}), std::vector<std::string>{"ok"});
    // A line that never ends, fed in pieces, is dropped up to its eventual end.
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i) {
        splitter.Feed(std::string(4096, 'z'), lines);
    }
    EXPECT_TRUE(lines.empty());
    splitter.Feed("zzz\r\n1 0 ok tv\n", lines);
    EXPECT_EQ(lines, std::vector<std::string>{"1 0 ok tv"});
}

}  // namespace
}  // namespace zaprelay::lirc
