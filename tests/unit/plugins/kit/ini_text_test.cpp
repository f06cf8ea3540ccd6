#include "plugins/kit/ini_text.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::dcd {
namespace {

const char kFile[] =
    "; kept as written\r\n"
    "[Other]\r\n"
    "Delay=9\r\n"
    "\r\n"
    "[virtualremote]\r\n"
    "  delay =  250  \r\n"
    "; Delay=1\r\n"
    "Delay=300\r\n"
    "Note=a=b\r\n"
    "\r\n"
    "[Last]\r\n"
    "X=1\r\n";

TEST(IniValue, FoundAsTheProfileFunctionsFindIt) {
    EXPECT_EQ(FindIniValue(kFile, "VirtualRemote", "Delay"), "250") << "names ignore case; the first key wins";
    EXPECT_EQ(FindIniValue(kFile, "Other", "delay"), "9");
    EXPECT_EQ(FindIniValue(kFile, "VirtualRemote", "Note"), "a=b") << "the value starts after the first '='";
    EXPECT_EQ(FindIniValue(kFile, "VirtualRemote", "X"), std::nullopt) << "keys of the next section are not its";
    EXPECT_EQ(FindIniValue(kFile, "Missing", "Delay"), std::nullopt);
    EXPECT_EQ(FindIniValue("", "VirtualRemote", "Delay"), std::nullopt);
    EXPECT_EQ(FindIniValue("[S]\nK=\n", "S", "K"), "") << "an empty value is there";
    EXPECT_EQ(FindIniValue("[S\nK=1", "S", "K"), "1") << "an unclosed header still names its section";
}

// An editor's UTF-8 byte-order mark and quotes around a value, read as the system reads them; a
// save rewrites the key where it stands instead of adding a second section after the mark.
TEST(IniValue, ReadsPastAByteOrderMarkAndDropsAPairOfQuotes) {
    const std::string text = "\xEF\xBB\xBF[Net]\r\nHost=\"tv.local\"\r\nName='a b'\r\nOdd=\"x\r\n";
    EXPECT_EQ(FindIniValue(text, "net", "Host"), "tv.local");
    EXPECT_EQ(FindIniValue(text, "Net", "Name"), "a b");
    EXPECT_EQ(FindIniValue(text, "Net", "Odd"), "\"x") << "a lone quote stays";
    EXPECT_EQ(UpdateIniText(text, "Net", {{"Host", "box"}}),
              "\xEF\xBB\xBF[Net]\r\nHost=box\r\nName='a b'\r\nOdd=\"x\r\n");
    EXPECT_EQ(UpdateIniText("\xEF\xBB\xBF", "Net", {{"Port", "8765"}}), "\xEF\xBB\xBF[Net]\r\nPort=8765\r\n");
}

TEST(IniUpdate, RewritesTheFirstKeyLineInPlaceAndKeepsEveryOtherByte) {
    std::string out = UpdateIniText(kFile, "VIRTUALREMOTE", {{"Delay", "400"}});
    std::string expected = kFile;
    expected.replace(expected.find("  delay =  250  "), 16, "delay=400");
    EXPECT_EQ(out, expected);
}

TEST(IniUpdate, AddsMissingKeysAfterTheSectionsLastLineNotAtTheBlankBeforeTheNext) {
    std::string out = UpdateIniText(kFile, "VirtualRemote", {{"Rate", "7"}, {"Delay", "1"}});
    EXPECT_NE(out.find("delay=1\r\n; Delay=1\r\nDelay=300\r\nNote=a=b\r\nRate=7\r\n\r\n[Last]"), std::string::npos)
        << out;
    EXPECT_EQ(FindIniValue(out, "VirtualRemote", "Rate"), "7");
    EXPECT_EQ(out.substr(out.size() - 13), "[Last]\r\nX=1\r\n");
}

TEST(IniUpdate, AddsAMissingSectionAtTheEndWithTheFilesLineEnding) {
    EXPECT_EQ(UpdateIniText("[A]\nK=1", "B", {{"X", "2"}, {"Y", ""}}), "[A]\nK=1\n[B]\nX=2\nY=\n");
    EXPECT_EQ(UpdateIniText("", "B", {{"X", "2"}}), "[B]\r\nX=2\r\n");
    EXPECT_EQ(UpdateIniText("[B]", "b", {{"X", "2"}}), "[B]\r\nX=2\r\n") << "header without a line ending";
    EXPECT_EQ(UpdateIniText("[B]\nK=1", "B", {{"X", "2"}}), "[B]\nK=1\nX=2\n");
}

TEST(IniUpdate, DropsLineBreaksFromValuesSoNoKeyIsForged) {
    std::string out = UpdateIniText("", "S", {{"K", "a\r\n[Other]\nEvil=1"}});
    EXPECT_EQ(FindIniValue(out, "S", "K"), "a[Other]Evil=1");
    EXPECT_EQ(FindIniValue(out, "Other", "Evil"), std::nullopt);
}

TEST(IniUpdate, LeavesBinaryJunkAroundTheSectionAlone) {
    std::string junk("\x00\xff\x01[x\n=\n", 8);
    std::string text = junk + "[S]\nK=1\n" + junk;
    std::string out = UpdateIniText(text, "S", {{"K", "2"}});
    EXPECT_EQ(out, junk + "[S]\nK=2\n" + junk);
}

TEST(WholeNumber, AcceptsSignedDigitsOnly) {
    EXPECT_EQ(ParseWholeNumber(" 42 "), 42);
    EXPECT_EQ(ParseWholeNumber("+7"), 7);
    EXPECT_EQ(ParseWholeNumber("-7"), -7);
    EXPECT_EQ(ParseWholeNumber("99999999999999999999"), INT64_MAX);
    EXPECT_EQ(ParseWholeNumber("-99999999999999999999"), -INT64_MAX);
    for (const char* junk : {"", " ", "-", "+", "4 2", "0x10", "1.5", "--1"}) {
        EXPECT_EQ(ParseWholeNumber(junk), std::nullopt) << junk;
    }
}

}  // namespace
}  // namespace zaprelay::dcd
