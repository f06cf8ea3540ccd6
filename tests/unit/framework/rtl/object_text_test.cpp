#include "framework/rtl/object_text.h"

#include "framework/rtl/ansi_text.h"
#include "framework/rtl/exceptions.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay {
namespace {

// Expected texts are written with "\n"; the writer ends lines with CR LF.
std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

TStreamValue Words(std::vector<std::string> names) {
    TStreamValue value;
    value.Type = vaSet;
    value.Set = std::move(names);
    return value;
}

TStreamValue Bytes(size_t count) {
    TStreamValue value;
    value.Type = vaBinary;
    for (size_t i = 0; i < count; ++i) {
        value.Bytes.push_back(static_cast<uint8_t>(i * 7));
    }
    return value;
}

TStreamObject Form(std::vector<TStreamProperty> properties) {
    TStreamObject object;
    object.ClassName = "TForm";
    object.ObjectName = "Form";
    object.Properties = std::move(properties);
    return object;
}

// The text of the single property of a form, without the header and "end" lines.
std::string PropertyText(const TStreamValue& value) {
    std::string text = ObjectToText(Form({{"P", value}}));
    const std::string head = "object Form: TForm\r\n  P = ";
    const std::string tail = "\r\nend\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    return text.substr(head.size(), text.size() - head.size() - tail.size());
}

TStreamValue ParseValue(std::string_view text) {
    TStreamObject object = TextToObject("object F: T\n  P = " + std::string(text) + "\nend\n");
    EXPECT_EQ(object.Properties.size(), 1u);
    return object.Properties.at(0).Value;
}

std::string ParseError(std::string_view text) {
    try {
        TextToObject(text);
    } catch (const Exception& error) {
        return error.what();
    }
    return "no error";
}

TEST(ObjectText, HeaderLinesShowPrefixNameClassAndPosition) {
    TStreamObject root = Form({{"Left", TStreamValue::Integer(-11)}});
    root.Flags = ffInherited;
    TStreamObject frame;
    frame.Flags = ffInline | ffChildPos;
    frame.Position = 3;
    frame.ClassName = "TFrame1";
    frame.ObjectName = "Frame";
    TStreamObject anonymous;
    anonymous.ClassName = "TPanel";
    frame.Children.push_back(anonymous);
    root.Children.push_back(frame);
    EXPECT_EQ(ObjectToText(root), Crlf("inherited Form: TForm\n"
                                       "  Left = -11\n"
                                       "  inline Frame: TFrame1 [3]\n"
                                       "    object TPanel\n"
                                       "    end\n"
                                       "  end\n"
                                       "end\n"));
}

TEST(ObjectText, LongStringStartsOnNewLineInLinesOf64JoinedByPlus) {
    std::string letters;
    for (int i = 0; i < 300; ++i) {
        letters += static_cast<char>('a' + i % 26);
    }
    std::string expected = "\r\n    '" + letters.substr(0, 64) + "' +";
    for (size_t at = 64; at < 300; at += 64) {
        expected += "\r\n    '" + letters.substr(at, 64) + "'" + (at + 64 < 300 ? " +" : "");
    }
    TStreamValue value = StringValue(std::u16string(letters.begin(), letters.end()));
    EXPECT_EQ(value.Type, vaLString);
    EXPECT_EQ(PropertyText(value), expected);
    EXPECT_EQ(PropertyText(StringValue(std::u16string(64, u'x'))), "'" + std::string(64, 'x') + "'");
}

TEST(ObjectText, QuotesControlsAndNonAsciiCharactersBecomeCodes) {
    EXPECT_EQ(PropertyText(StringValue(u"It's")), "'It'#39's'");
    EXPECT_EQ(PropertyText(StringValue(u"")), "''");
    EXPECT_EQ(PropertyText(StringValue(u"a\r\nb")), "'a'#13#10'b'");
    EXPECT_EQ(PropertyText(StringValue(u"\x041C\x0438\x0440 1")), "#1052#1080#1088' 1'");
    TStreamValue utf8;
    utf8.Type = vaUTF8String;
    utf8.Text = "caf\xC3\xA9";
    EXPECT_EQ(PropertyText(utf8), "'caf'#233");
}

TEST(ObjectText, BinaryShorterThan32BytesStaysOnThePropertyLine) {
    TStreamValue small;
    small.Type = vaBinary;
    small.Bytes = {0x00, 0x00, 0x0F, 0x00};
    EXPECT_EQ(PropertyText(small), "{00000F00}");
    EXPECT_EQ(PropertyText(Bytes(0)), "{}");
    std::string thirtyTwo = PropertyText(Bytes(32));
    EXPECT_EQ(thirtyTwo.substr(0, 7), "{\r\n    ");
    EXPECT_EQ(thirtyTwo.size(), 7u + 64 + 1);
    std::string forty = PropertyText(Bytes(40));
    EXPECT_EQ(forty.substr(71, 8), "\r\n    E0");  // byte 32 is 32 * 7 = 0xE0
    EXPECT_EQ(forty.back(), '}');
    EXPECT_EQ(forty.size(), 7u + 64 + 6 + 16 + 1);
}

TEST(ObjectText, SetsListsAndCollectionsLayOutOneLevelDeeper) {
    EXPECT_EQ(ObjectToText(Form({{"Font.Style", Words({})}})), Crlf("object Form: TForm\n  Font.Style = []\nend\n"));
    EXPECT_EQ(PropertyText(Words({"akLeft", "akTop"})), "[akLeft, akTop]");
    TStreamValue list;
    list.Type = vaList;
    list.List = {StringValue(u"select"), TStreamValue::Integer(40)};
    TStreamValue collection;
    collection.Type = vaCollection;
    collection.Items.push_back({std::nullopt, {{"Width", TStreamValue::Integer(5)}, {"Lines", list}}});
    collection.Items.push_back({TStreamValue::Integer(2), {}});
    EXPECT_EQ(PropertyText(collection), Crlf("<\n"
                                             "    item\n"
                                             "      Width = 5\n"
                                             "      Lines = (\n"
                                             "        'select'\n"
                                             "        40)\n"
                                             "    end\n"
                                             "    item [2]\n"
                                             "    end>"));
    collection.Items.clear();
    EXPECT_EQ(PropertyText(collection), "<>");
}

TEST(ObjectText, WordsFloatsAndIntegersKeepTheirTags) {
    // Floats in their shortest form, fixed or scientific whichever is shorter, a whole number
    // with all its digits.
    const char* cases[] = {"False",
                           "True",
                           "nil",
                           "alClient",
                           "1.0",
                           "-0.01",
                           "1.0e+300",
                           "2.5s",
                           "12.3456c",
                           "-0.5c",
                           "40272.53293758102d",
                           "5000000000",
                           "-11",
                           "1.0e-04",
                           "1.0e+17",
                           "123456789.0",
                           "1152921504606846976.0",
                           "0.1s",
                           "16777216.0s"};
    for (const char* text : cases) {
        TStreamValue value = ParseValue(text);
        EXPECT_EQ(PropertyText(value), text) << text;
    }
    EXPECT_EQ(ParseValue("1.0").Extended, (std::array<uint8_t, 10>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(ParseValue("1.5E3").Extended, ParseValue("1500.0").Extended);
    EXPECT_EQ(ParseValue("12.3456c").Int, 123456);
    EXPECT_EQ(ParseValue("Null").Type, vaNull);
}

TEST(ObjectText, IntegersTakeTheSmallestTag) {
    struct Case {
        const char* Text;
        TValueType Type;
        int64_t Value;
    };
    const Case cases[] = {{"127", vaInt8, 127},
                          {"128", vaInt16, 128},
                          {"375", vaInt16, 375},
                          {"-11", vaInt8, -11},
                          {"70000", vaInt32, 70000},
                          {"4294967296", vaInt64, 4294967296},
                          {"-9223372036854775808", vaInt64, INT64_MIN}};
    for (const Case& c : cases) {
        TStreamValue value = ParseValue(c.Text);
        EXPECT_EQ(value.Type, c.Type) << c.Text;
        EXPECT_EQ(value.Int, c.Value) << c.Text;
    }
    std::vector<uint8_t> binary = TextToBinary("object F: T\n  Left = 375\nend\n");
    const uint8_t expected[] = {'T', 'P', 'F', '0', 1, 'T', 1, 'F', 4, 'L', 'e', 'f', 't', 3, 0x77, 0x01, 0, 0};
    EXPECT_EQ(binary, std::vector<uint8_t>(std::begin(expected), std::end(expected)));
}

// Hexadecimal is the number as written, never a 32-bit pattern: each literal reads exactly as
// the same number in decimal, tag included.
TEST(ObjectText, HexadecimalMeansTheSameNumberAsDecimal) {
    const std::pair<const char*, const char*> same[] = {
        {"$7F", "127"},
        {"$80", "128"},
        {"-$80", "-128"},
        {"-$81", "-129"},
        {"$7FFF", "32767"},
        {"$8000", "32768"},
        {"$7FFFFFFF", "2147483647"},
        {"$80000000", "2147483648"},
        {"-$80000000", "-2147483648"},
        {"$FFFFFFFF", "4294967295"},
        {"-$FFFFFFFF", "-4294967295"},
        {"$00000001", "1"},
        {"$7FFFFFFFFFFFFFFF", "9223372036854775807"},
        {"-$8000000000000000", "-9223372036854775808"},
    };
    for (const auto& [hex, decimal] : same) {
        EXPECT_EQ(ParseValue(hex), ParseValue(decimal)) << hex;
    }
    EXPECT_EQ(ParseValue("$80000000").Type, vaInt64);
    EXPECT_EQ(ParseValue("$80000000").Int, 2147483648);
    EXPECT_EQ(ParseValue("$FFFFFFFF").Type, vaInt64);
    EXPECT_EQ(ParseValue("$FFFFFFFF").Int, 4294967295);
    EXPECT_EQ(ParseValue("-$80000000").Type, vaInt32);
    EXPECT_EQ(ParseValue("-$FFFFFFFF").Type, vaInt64);
    EXPECT_EQ(ParseValue("$FF").Type, vaInt16);
    EXPECT_EQ(ParseValue("-$10").Type, vaInt8);
    // Beyond the 64-bit range, as in decimal.
    EXPECT_EQ(ParseError("object F: T\n  P = $8000000000000000\nend"), "Line 2: Integer out of range");
    EXPECT_EQ(ParseError("object F: T\n  P = -$8000000000000001\nend"), "Line 2: Integer out of range");
    EXPECT_EQ(ParseError("object F: T\n  P = $10000000000000000\nend"), "Line 2: Integer out of range");
    EXPECT_EQ(ParseError("object F: T\n  P = $\nend"), "Line 2: Invalid number");
}

TEST(ObjectText, StringsJoinRunsCodesAndContinuationsAndPickTheirTag) {
    EXPECT_EQ(ParseValue("'It'#39's'").Text, "It's");
    EXPECT_EQ(ParseValue("'x''y'#$41").Text, "x'yA");
    EXPECT_EQ(ParseValue("\n    'ab' +\r\n    'cd' + #13").Text, "abcd\r");
    EXPECT_EQ(ParseValue("''").Type, vaString);
    EXPECT_EQ(ParseValue("'" + std::string(256, 'q') + "'").Type, vaLString);
    TStreamValue accented = ParseValue("'Pr'#252'fung'");
    EXPECT_EQ(accented.Type, vaUTF8String);
    EXPECT_EQ(accented.Text,
              "Pr\xC3\xBC"
              "fung");
    TStreamValue chinese = ParseValue("#20851#38381");
    EXPECT_EQ(chinese.Type, vaWString);
    EXPECT_EQ(chinese.Wide, u"\x5173\x95ED");
    EXPECT_EQ(ParseValue("#128512").Wide, u"\xD83D\xDE00");
    TStreamValue unpaired = ParseValue("'abcdef'#55357");
    EXPECT_EQ(unpaired.Type, vaWString);
    EXPECT_EQ(unpaired.Wide, u"abcdef\xD83D");
}

TEST(ObjectText, RawBytesReadAsUtf8WhenValidElseInTheAnsiPage) {
    uint32_t saved = AnsiCodePage();
    ASSERT_TRUE(SetAnsiCodePage(1251));
    EXPECT_EQ(ParseValue("'\xD0\x9C\xD0\xB8\xD1\x80'").AsWide(), u"\x041C\x0438\x0440");
    EXPECT_EQ(ParseValue("'\xCC\xE8\xF0'").AsWide(), u"\x041C\x0438\x0440");
    SetAnsiCodePage(saved);
    EXPECT_EQ(TextToObject("\xEF\xBB\xBFobject F: T\nend\n").ClassName, "T");
}

TEST(ObjectText, ParserAcceptsKeywordsInAnyCaseAndAsPropertyNames) {
    TStreamObject root = TextToObject(
        "INHERITED Main: TMain\n  End = 1\n  Object = Frame1.Button1\n"
        "  Inline Sub: TSub [2]\n    Items = <\n      ITEM [7]\n        end = 0\n      End>\n  END\n"
        "  object TLabel\n  end\nEnd");
    EXPECT_EQ(root.Flags, ffInherited);
    ASSERT_EQ(root.Properties.size(), 2u);
    EXPECT_EQ(root.Properties[0].Name, "End");
    EXPECT_EQ(root.Properties[1].Value.Text, "Frame1.Button1");
    ASSERT_EQ(root.Children.size(), 2u);
    EXPECT_EQ(root.Children[0].Flags, ffInline | ffChildPos);
    EXPECT_EQ(root.Children[0].Position, 2);
    const TStreamCollectionItem& item = root.Children[0].Properties.at(0).Value.Items.at(0);
    EXPECT_EQ(item.Position->Int, 7);
    EXPECT_EQ(item.Properties.at(0).Name, "end");
    EXPECT_EQ(root.Children[1].ClassName, "TLabel");
    EXPECT_TRUE(root.Children[1].ObjectName.empty());
}

TEST(ObjectText, BinaryIgnoresBlanksAndRefusesMalformedHex) {
    EXPECT_EQ(ParseValue("{0a 0F\r\n  0\n 0}").Bytes, (std::vector<uint8_t>{0x0A, 0x0F, 0x00}));
    for (const char* bad : {"{0G}", "{ABC}", "{00"}) {
        EXPECT_EQ(ParseError(std::string("object F: T\n  P = ") + bad + "\nend\n"), msg::kInvalidBinary) << bad;
    }
}

TEST(ObjectText, SyntaxErrorsNameTheLine) {
    EXPECT_EQ(ParseError("object F: T\n  Left = 1\n  Top 2\nend\n"), "Line 3: '=' expected");
    EXPECT_EQ(ParseError("object F: T\r\n  Caption = 'abc\r\nend\r\n"), "Line 2: Unterminated string");
    EXPECT_EQ(ParseError("object F: T\n  P = 'a' +\n  Q = 1\nend"), "Line 3: String expected after '+'");
    EXPECT_EQ(ParseError("object F: T\n  P = @\nend"), "Line 2: Invalid character '@'");
    EXPECT_EQ(ParseError("object F: T\n  P = (1 Null)\nend"), "Line 2: Null cannot be a list item");
    EXPECT_EQ(ParseError("object F: T\n  P = 99999999999999999999\nend"), "Line 2: Integer out of range");
    EXPECT_EQ(ParseError("object F: T\n  P = 1e99999\nend"), "Line 2: Float out of range");
    EXPECT_EQ(ParseError("object F: T\n  object G: T\n  end\n  P = 1\nend"),
              "Line 4: 'end' expected: properties come before nested objects");
    EXPECT_EQ(ParseError("object F: T\n  P = 1\n"), "Line 3: 'end' expected");
    EXPECT_EQ(ParseError("object F: T\nend\nend\n"), "Line 3: End of text expected after the last 'end'");
    EXPECT_EQ(ParseError("Left = 1"), "Line 1: 'object' expected");
}

TEST(ObjectText, NestingIsBoundedAsTheBinaryReaderBoundsIt) {
    auto nestedLists = [](int depth) {
        return "object F: T\n  P = " + std::string(depth, '(') + std::string(depth, ')') + "\nend\n";
    };
    // The property value sits at depth 1 and each list may hold the next one deeper.
    std::vector<uint8_t> deepest = TextToBinary(nestedLists(kMaxNesting - 1));
    EXPECT_EQ(TextToBinary(BinaryToText(deepest)), deepest);
    EXPECT_EQ(ParseError(nestedLists(kMaxNesting)), "Line 2: Nesting too deep");
    std::string objects;
    for (int i = 0; i < kMaxNesting; ++i) {
        objects += "object T\n";
    }
    EXPECT_NE(ParseError(objects).find("Nesting too deep"), std::string::npos);
}

TEST(ObjectText, FloatsSurviveBinaryToTextToBinaryBitForBit) {
    std::mt19937_64 random(20240611);
    SCOPED_TRACE("seed 20240611");
    auto roundTrip = [](const TStreamValue& value) { return ParseValue(PropertyText(value)); };
    for (int i = 0; i < 3000; ++i) {
        TStreamValue extended;
        extended.Type = vaExtended;
        uint64_t mantissa = random();
        auto exponent = static_cast<uint16_t>(random() % 0x7FFF);  // 0 (denormal) to 0x7FFE
        mantissa = exponent == 0 ? mantissa & ~(uint64_t{1} << 63) : mantissa | (uint64_t{1} << 63);
        std::memcpy(extended.Extended.data(), &mantissa, 8);
        extended.Extended[8] = static_cast<uint8_t>(exponent);
        extended.Extended[9] = static_cast<uint8_t>((exponent >> 8) | (i % 2 ? 0x80 : 0));
        if (std::numeric_limits<long double>::digits == 64) {
            EXPECT_EQ(roundTrip(extended).Extended, extended.Extended) << PropertyText(extended);
        }
        TStreamValue single;
        single.Type = vaSingle;
        auto bits = static_cast<uint32_t>(random());
        float number = 0;
        std::memcpy(&number, &bits, 4);
        single.Float = std::isfinite(number) ? number : 1.5f;
        EXPECT_EQ(roundTrip(single), single) << PropertyText(single);
        TStreamValue date;
        date.Type = vaDate;
        uint64_t dateBits = random();
        std::memcpy(&date.Float, &dateBits, 8);
        if (std::isfinite(date.Float)) {
            EXPECT_EQ(roundTrip(date), date) << PropertyText(date);
        }
        TStreamValue currency;
        currency.Type = vaCurrency;
        currency.Int = static_cast<int64_t>(random()) >> (random() % 64);
        EXPECT_EQ(roundTrip(currency), currency) << PropertyText(currency);
    }
    TStreamValue extremes;
    extremes.Type = vaCurrency;
    for (int64_t units : {INT64_MIN, INT64_MAX}) {
        extremes.Int = units;
        EXPECT_EQ(roundTrip(extremes), extremes) << PropertyText(extremes);
    }
}

TEST(ObjectText, NonFiniteFloatCannotBeWritten) {
    TStreamValue infinite;
    infinite.Type = vaExtended;
    infinite.Extended = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F};
    EXPECT_THROW(ObjectToText(Form({{"P", infinite}})), EWriteError);
}

TEST(ObjectText, RealisticFormConvertsToTheSameText) {
    std::string icon;
    for (int line = 0; line < 96; ++line) {  // 3 KB
        icon += "\n    ";
        for (int i = 0; i < 32; ++i) {
            const char hex[] = "0123456789ABCDEF";
            int byte = (line * 31 + i * 17) & 0xFF;
            icon += hex[byte >> 4];
            icon += hex[byte & 15];
        }
    }
    std::string text = Crlf(
        "object MainForm: TMainForm\n  Left = 192\n  Top = -8\n  BorderIcons = [biSystemMenu, biMinimize]\n"
        "  Caption = 'Zap'#39's '#1087#1091#1083#1100#1090\n  Color = clBtnFace\n  Font.Charset = RUSSIAN_CHARSET\n"
        "  Font.Height = -11\n  Font.Name = 'MS Sans Serif'\n  Font.Style = []\n  Icon.Data = {" +
        icon +
        "}\n  OnCreate = FormCreate\n  PixelsPerInch = 96\n  Zoom = 1.25\n"
        "  object Pages: TPageControl\n    Align = alClient\n    object Sheet: TTabSheet\n"
        "      object Grid: TDBGrid\n        Columns = <\n          item\n            FieldName = 'ID'\n"
        "            Width = 40\n          end\n          item\n            Expanded = False\n"
        "            Title.Caption = #1048#1084#1103\n          end>\n        Options = []\n      end\n"
        "    end\n  end\n  object Query: TQuery\n    SQL.Strings = (\n      'select *'\n      \n"
        "        'from orders where state = 1 and customer in (select id from cust' +\n"
        "        'omers where region = 5)'\n      '')\n    Params = <>\n    Tag = 70000\n  end\nend\n");
    std::vector<uint8_t> binary = TextToBinary(text);
    EXPECT_EQ(BinaryToText(binary), text);
}

TEST(ObjectText, StreamsCheckTheSignature) {
    const std::vector<uint8_t> notStream = {'T', 'P', 'F', '1', 0, 0};
    try {
        BinaryToText(notStream);
        FAIL() << "no error";
    } catch (const EReadError& error) {
        EXPECT_STREQ(error.what(), msg::kInvalidStreamFormat);
    }
}

}  // namespace
}  // namespace zaprelay
