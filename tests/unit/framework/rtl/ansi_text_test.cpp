#include "framework/rtl/ansi_text.h"

#include <gtest/gtest.h>

namespace zaprelay {
namespace {

// The code page is program-wide; every test leaves it at the native default.
class AnsiText : public ::testing::Test {
protected:
    void TearDown() override { SetAnsiCodePage(1251); }
};

std::string Bytes(std::initializer_list<int> bytes) {
    std::string text;
    for (int b : bytes) {
        text += static_cast<char>(b);
    }
    return text;
}

TEST_F(AnsiText, DefaultsToCyrillicPage) {
    EXPECT_EQ(AnsiCodePage(), 1251u);
    EXPECT_EQ(AnsiToWide(Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2})), u"Привет");
    EXPECT_EQ(AnsiToWide(Bytes({0xA8, 0xB8, 0xB9, 0x88, 0xA5, 0xB4})), u"Ёё№€Ґґ");
}

TEST_F(AnsiText, RefusesUnknownPageAndKeepsCurrent) {
    ASSERT_TRUE(SetAnsiCodePage(1252));
    EXPECT_FALSE(SetAnsiCodePage(437));
    EXPECT_FALSE(SetAnsiCodePage(65001));
    EXPECT_EQ(AnsiCodePage(), 1252u);
}

TEST_F(AnsiText, WesternAndCentralPagesDifferFromCyrillic) {
    ASSERT_TRUE(SetAnsiCodePage(1252));
    EXPECT_EQ(AnsiToWide(Bytes({0x80, 0x8A, 0x9F, 0xE9, 0xFF})), u"€ŠŸéÿ");
    ASSERT_TRUE(SetAnsiCodePage(1250));
    EXPECT_EQ(AnsiToWide(Bytes({0x8A, 0xA3, 0xB9, 0xC8, 0xF8, 0xFF})), u"ŠŁąČř˙");
    ASSERT_TRUE(SetAnsiCodePage(28591));
    EXPECT_EQ(AnsiToWide(Bytes({0x80, 0x9F, 0xE9})), u"\u0080\u009Fé");
}

TEST_F(AnsiText, UndefinedPositionsMapToSameNumberedControl) {
    ASSERT_TRUE(SetAnsiCodePage(1252));
    EXPECT_EQ(AnsiToWide(Bytes({0x81, 0x8D, 0x8F, 0x90, 0x9D})), u"\u0081\u008D\u008F\u0090\u009D");
    ASSERT_TRUE(SetAnsiCodePage(1251));
    EXPECT_EQ(AnsiToWide(Bytes({0x98})), u"\u0098");
}

// A duplicated or mistyped table entry shows up as a byte that does not come back.
TEST_F(AnsiText, EveryUpperByteRoundTripsOnEveryPage) {
    for (uint32_t page : {1250u, 1251u, 1252u, 28591u}) {
        ASSERT_TRUE(SetAnsiCodePage(page));
        for (int b = 0x80; b <= 0xFF; ++b) {
            std::string one(1, static_cast<char>(b));
            EXPECT_EQ(WideToAnsi(AnsiToWide(one)), one) << "page " << page << " byte " << b;
        }
    }
}

TEST_F(AnsiText, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(WideToAnsi(u"Aé€Ж"), Bytes({'A', '?', 0x88, 0xC6}));
    EXPECT_EQ(WideToAnsi(u"x\U0001F600y"), "x?y");  // one mark for the whole pair
    EXPECT_EQ(WideToAnsi(std::u16string(1, char16_t(0xD800))), "?");
}

TEST_F(AnsiText, WideToUtf8EncodesAllLengthsAndPairs) {
    EXPECT_EQ(WideToUtf8(u"A"), "A");
    EXPECT_EQ(WideToUtf8(u"Ж"), "\xD0\x96");
    EXPECT_EQ(WideToUtf8(u"€"), "\xE2\x82\xAC");
    EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(WideToUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
}

TEST_F(AnsiText, WideToUtf8ReplacesUnpairedSurrogates) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(WideToUtf8(std::u16string{u'a', char16_t(0xD83D)}), "a" + fffd);
    EXPECT_EQ(WideToUtf8(std::u16string{char16_t(0xDE00), u'b'}), fffd + "b");
    EXPECT_EQ(WideToUtf8(std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)}),
              fffd + "\xF0\x9F\x98\x80");
}

TEST_F(AnsiText, Utf8ToWideDecodesValidText) {
    EXPECT_EQ(Utf8ToWide("Zap \xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80"), u"Zap Ж€\U0001F600");
    EXPECT_TRUE(IsValidUtf8("Zap \xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_TRUE(IsValidUtf8(""));
}

// Each broken piece gives one U+FFFD and the good text around it survives.
TEST_F(AnsiText, Utf8ToWideReplacesEachIllFormedPiece) {
    struct Case {
        std::string input;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a\x80z", u"a\uFFFDz"},                            // stray continuation
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong lead
        {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xF5", u"\uFFFD"},
        {"\xE2\x82", u"\uFFFD"},  // cut short at the end
        {"\xE2\x82"
         "A",
         u"\uFFFDA"},
        {"\xF0\x9F\x98", u"\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.input), c.expected) << ::testing::PrintToString(c.input);
        EXPECT_FALSE(IsValidUtf8(c.input)) << ::testing::PrintToString(c.input);
    }
}

}  // namespace
}  // namespace zaprelay
