#include "framework/rtl/stream_value.h"

#include "framework/rtl/ansi_text.h"
#include "framework/rtl/exceptions.h"

#include <gtest/gtest.h>
#include <limits>

namespace zaprelay {
namespace {

using ByteList = std::vector<uint8_t>;

ByteList Written(const TStreamValue& value) {
    TMemoryStream stream;
    TBinaryWriter(stream).WriteValue(value);
    return stream.Bytes();
}

TStreamValue ReadBack(const ByteList& bytes) {
    TBytesStream stream(bytes);
    return TBinaryReader(stream).ReadValue();
}

TStreamValue Value(TValueType type) {
    TStreamValue value;
    value.Type = type;
    return value;
}

// Expects reading the bytes as one value to fail with the given message.
void ExpectValueError(const ByteList& bytes, const std::string& message) {
    TBytesStream stream(bytes);
    try {
        TBinaryReader(stream).ReadValue();
        ADD_FAILURE() << "no error for " << ::testing::PrintToString(bytes);
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(StreamValue, IntegerTakesSmallestTag) {
    struct Case {
        int64_t value;
        TValueType type;
    };
    const Case cases[] = {
        {0, vaInt8},
        {127, vaInt8},
        {-128, vaInt8},
        {128, vaInt16},
        {-129, vaInt16},
        {32767, vaInt16},
        {-32768, vaInt16},
        {32768, vaInt32},
        {std::numeric_limits<int32_t>::min(), vaInt32},
        {std::numeric_limits<int32_t>::max(), vaInt32},
        {int64_t{1} << 31, vaInt64},
        {std::numeric_limits<int64_t>::min(), vaInt64},
    };
    for (const Case& c : cases) {
        TStreamValue value = TStreamValue::Integer(c.value);
        EXPECT_EQ(value.Type, c.type) << c.value;
        EXPECT_EQ(ReadBack(Written(value)).Int, c.value);
    }
}

TEST(StreamValue, IntegerBytesAreLittleEndian) {
    EXPECT_EQ(Written(TStreamValue::Integer(375)), (ByteList{0x03, 0x77, 0x01}));
    EXPECT_EQ(Written(TStreamValue::Integer(-11)), (ByteList{0x02, 0xF5}));
    EXPECT_EQ(Written(TStreamValue::Integer(-70000)), (ByteList{0x04, 0x90, 0xEE, 0xFE, 0xFF}));
}

TEST(StreamValue, IdentMapsReservedWordsInAnyCase) {
    EXPECT_EQ(TStreamValue::Ident("false").Type, vaFalse);
    EXPECT_EQ(TStreamValue::Ident("TRUE").Type, vaTrue);
    EXPECT_EQ(TStreamValue::Ident("Nil").Type, vaNil);
    EXPECT_EQ(TStreamValue::Ident("NULL").Type, vaNull);
    TStreamValue other = TStreamValue::Ident("Truely");
    EXPECT_EQ(other.Type, vaIdent);
    EXPECT_EQ(other.Text, "Truely");
}

TEST(StreamValue, AsciiStringsSwitchToLongAfter255) {
    EXPECT_EQ(StringValue(std::u16string(255, u'x')).Type, vaString);
    EXPECT_EQ(AnsiStringValue(std::string(256, 'x')).Type, vaLString);
    ByteList bytes = Written(AnsiStringValue(std::string(300, 'a')));
    ASSERT_EQ(bytes.size(), 305u);
    EXPECT_EQ(ByteList(bytes.begin(), bytes.begin() + 6), (ByteList{0x0C, 0x2C, 0x01, 0x00, 0x00, 'a'}));
}

TEST(StreamValue, NonAsciiStringPicksShorterEncoding) {
    TStreamValue mixed = StringValue(u"Button Ж");
    EXPECT_EQ(mixed.Type, vaUTF8String);
    EXPECT_EQ(mixed.Text, "Button \xD0\x96");
    TStreamValue cyrillic = StringValue(u"Жук");  // 6 bytes either way: not shorter
    EXPECT_EQ(cyrillic.Type, vaWString);
    EXPECT_EQ(cyrillic.Wide, u"Жук");
    EXPECT_EQ(StringValue(u"漢字").Type, vaWString);
    // UTF-8 would be shorter, but it has no form for a lone surrogate.
    TStreamValue unpaired = StringValue(u"abcdef\xD83D");
    EXPECT_EQ(unpaired.Type, vaWString);
    EXPECT_EQ(unpaired.Wide, u"abcdef\xD83D");
}

TEST(StreamValue, WideTextIsUtf8UnlessAsciiOrHoldingALoneSurrogate) {
    EXPECT_EQ(WideStringValue(std::u16string(256, u'x')).Type, vaLString);
    EXPECT_EQ(WideStringValue(u"漢字").Type, vaUTF8String) << "even where UTF-16 is shorter";
    const std::u16string lone[] = {u"a\xD83D", std::u16string(1, char16_t{0xDE00}) + u"b"};
    for (const std::u16string& text : lone) {
        TStreamValue value = WideStringValue(text);
        EXPECT_EQ(value.Type, vaWString);
        EXPECT_EQ(value.Wide, text);
    }
}

TEST(StreamValue, AnsiStringGoesThroughCodePageToUtf8) {
    ASSERT_EQ(AnsiCodePage(), 1251u);
    TStreamValue value = AnsiStringValue("\xCF\xF0\xEE\xE1\xE0");
    EXPECT_EQ(value.Type, vaUTF8String);
    EXPECT_EQ(value.AsWide(), u"Проба");
}

TEST(StreamValue, AsWideCoversEveryStringTag) {
    TStreamValue shortText = AnsiStringValue("abc");
    TStreamValue wide = Value(vaWString);
    wide.Wide = u"Жук";
    TStreamValue utf8 = Value(vaUTF8String);
    utf8.Text = "\xE2\x82\xAC";
    EXPECT_EQ(shortText.AsWide(), u"abc");
    EXPECT_EQ(wide.AsWide(), u"Жук");
    EXPECT_EQ(utf8.AsWide(), u"€");
    EXPECT_EQ(TStreamValue::Integer(5).AsWide(), u"");
}

TEST(StreamValue, EqualityLooksOnlyAtTheTagsFields) {
    TStreamValue a = TStreamValue::Integer(5);
    TStreamValue b = TStreamValue::Integer(5);
    b.Text = "leftover";
    EXPECT_EQ(a, b);
    EXPECT_NE(a, TStreamValue::Integer(6));
    TStreamValue wider = Value(vaInt16);
    wider.Int = 5;
    EXPECT_NE(a, wider);
    TStreamValue t1 = Value(vaTrue);
    TStreamValue t2 = Value(vaTrue);
    t2.Int = 9;
    EXPECT_EQ(t1, t2);
}

// A record that holds every tag, nested lists, a collection and nested records.
TStreamObject EveryTagRecord() {
    TStreamObject root;
    root.Flags = ffInherited | ffChildPos;
    root.Position = 300;
    root.ClassName = "TVxSkinObject";
    root.ObjectName = "Caption";
    auto add = [&root](std::string name, TStreamValue value) {
        root.Properties.push_back({std::move(name), std::move(value)});
    };
    add("I8", TStreamValue::Integer(-11));
    add("I16", TStreamValue::Integer(375));
    add("I32", TStreamValue::Integer(-100000));
    add("I64", TStreamValue::Integer(int64_t{1} << 40));
    TStreamValue extended = Value(vaExtended);
    extended.Extended = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};
    add("Ext", extended);
    add("Short", AnsiStringValue("It's"));
    add("Long", AnsiStringValue(std::string(300, 'q')));
    add("Kind", TStreamValue::Ident("skForm"));
    add("F", Value(vaFalse));
    add("T", Value(vaTrue));
    add("Nothing", Value(vaNil));
    add("Null", Value(vaNull));
    TStreamValue binary = Value(vaBinary);
    binary.Bytes = {0x00, 0x0F, 0x00, 0xFF};
    add("Bin", binary);
    TStreamValue set = Value(vaSet);
    set.Set = {"fsBold", "fsItalic"};
    add("Font.Style", set);
    add("EmptySet", Value(vaSet));
    TStreamValue single = Value(vaSingle);
    single.Float = 1.5;
    add("Single", single);
    TStreamValue currency = Value(vaCurrency);
    currency.Int = -123456;
    add("Cur", currency);
    TStreamValue date = Value(vaDate);
    date.Float = 45000.25;
    add("Date", date);
    add("Wide", StringValue(u"Жук"));
    add("Utf8", StringValue(u"Button Ж"));
    TStreamValue inner = Value(vaList);
    inner.List = {TStreamValue::Integer(1), AnsiStringValue("two")};
    TStreamValue list = Value(vaList);
    list.List = {inner, Value(vaList), TStreamValue::Ident("x")};
    add("List", list);
    TStreamValue collection = Value(vaCollection);
    TStreamCollectionItem positioned;
    positioned.Position = TStreamValue::Integer(2);
    positioned.Properties = {{"Width", TStreamValue::Integer(40)}, {"Sub", list}};
    collection.Items = {positioned, TStreamCollectionItem{}};
    add("Items", collection);

    TStreamObject child;
    child.Flags = ffInline;
    child.ClassName = "TChild";
    child.Properties = {{"Tag", TStreamValue::Integer(1)}};
    TStreamObject grandChild;
    grandChild.ClassName = "TGrandChild";
    grandChild.ObjectName = "g";
    child.Children = {grandChild};
    root.Children = {child, grandChild};
    return root;
}

ByteList WrittenRecord(const TStreamObject& object) {
    TMemoryStream stream;
    TBinaryWriter writer(stream);
    writer.WriteSignature();
    writer.WriteObject(object);
    return stream.Bytes();
}

TEST(BinaryStream, RecordWithEveryTagRoundTrips) {
    TStreamObject original = EveryTagRecord();
    ByteList bytes = WrittenRecord(original);
    TBytesStream stream(bytes);
    TBinaryReader reader(stream);
    reader.ReadSignature();
    TStreamObject copy = reader.ReadObject();
    EXPECT_EQ(copy, original);
    EXPECT_EQ(stream.Remaining(), 0);
}

TEST(BinaryStream, RecordLayoutHasPrefixPropertiesAndTwoEnds) {
    TStreamObject object;
    object.Flags = ffChildPos;
    object.Position = 5;
    object.ClassName = "TA";
    object.Properties = {{"X", TStreamValue::Integer(1)}};
    TMemoryStream stream;
    TBinaryWriter(stream).WriteObject(object);  // no signature
    EXPECT_EQ(stream.Bytes(), (ByteList{0xF2, 0x02, 0x05, 0x02, 'T', 'A', 0x00, 0x01, 'X', 0x02, 0x01, 0x00, 0x00}));
}

TEST(BinaryStream, FloatsAndCollectionsUseTheirStoredLayout) {
    TStreamValue single = Value(vaSingle);
    single.Float = 1.5;
    EXPECT_EQ(Written(single), (ByteList{0x0F, 0x00, 0x00, 0xC0, 0x3F}));
    TStreamValue collection = Value(vaCollection);
    TStreamCollectionItem item;
    item.Position = TStreamValue::Integer(2);
    item.Properties = {{"A", TStreamValue::Integer(1)}};
    collection.Items = {item};
    EXPECT_EQ(Written(collection), (ByteList{0x0E, 0x02, 0x02, 0x01, 0x01, 'A', 0x02, 0x01, 0x00, 0x00}));
}

TEST(BinaryStream, SignatureMustBeTpf0) {
    for (const ByteList& bytes : {ByteList{'T', 'P', 'F', '1'}, ByteList{'T', 'P'}, ByteList{}}) {
        TBytesStream stream(bytes);
        try {
            TBinaryReader(stream).ReadSignature();
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(bytes);
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), msg::kInvalidStreamFormat);
        }
    }
}

TEST(BinaryStream, PrefixIsOptionalAndCarriesAnyIntegerPosition) {
    ByteList withPosition = {0xF3, 0x04, 0x40, 0x42, 0x0F, 0x00, 0x01, 'C', 0x00, 0x00, 0x00};
    TBytesStream stream(withPosition);
    TStreamObject object = TBinaryReader(stream).ReadObject();
    EXPECT_EQ(object.Flags, ffInherited | ffChildPos);
    EXPECT_EQ(object.Position, 1000000);
    EXPECT_EQ(object.ClassName, "C");

    ByteList plain = {0x01, 'C', 0x01, 'n', 0x00, 0x00};
    TBytesStream plainStream(plain);
    TStreamObject plainObject = TBinaryReader(plainStream).ReadObject();
    EXPECT_EQ(plainObject.Flags, 0);
    EXPECT_EQ(plainObject.ObjectName, "n");

    ByteList badPosition = {0xF2, 0x06, 0x01, 'x', 0x01, 'C', 0x00, 0x00, 0x00};
    TBytesStream badStream(badPosition);
    EXPECT_THROW(TBinaryReader(badStream).ReadObject(), EReadError);
}

TEST(BinaryStream, UnknownTagIsInvalidFormat) {
    ExpectValueError({21}, msg::kInvalidStreamFormat);
    ExpectValueError({0x01, 0x02, 0x01, 0xFF}, msg::kInvalidStreamFormat);
}

// Lengths far beyond the stream fail before anything is allocated for them.
TEST(BinaryStream, HugeLengthsFailWithReadError) {
    ExpectValueError({0x0A, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}, msg::kStreamReadError);
    ExpectValueError({0x0A, 0xFF, 0xFF, 0xFF, 0xFF}, msg::kStreamReadError);  // negative
    ExpectValueError({0x0C, 0x00, 0x00, 0x00, 0x40, 'a'}, msg::kStreamReadError);
    ExpectValueError({0x14, 0x00, 0x00, 0x00, 0x40, 'a'}, msg::kStreamReadError);
    ExpectValueError({0x12, 0x00, 0x00, 0x00, 0x40, 'a', 0}, msg::kStreamReadError);
    ExpectValueError({0x12, 0x02, 0x00, 0x00, 0x00, 'a', 0, 'b'}, msg::kStreamReadError);  // odd byte short
    ExpectValueError({0x06, 0x05, 'a', 'b'}, msg::kStreamReadError);
}

TEST(BinaryStream, EveryTruncationFailsWithReadError) {
    ByteList bytes = WrittenRecord(EveryTagRecord());
    for (std::size_t cut = 4; cut < bytes.size(); ++cut) {
        TBytesStream stream(std::span(bytes.data(), cut));
        TBinaryReader reader(stream);
        reader.ReadSignature();
        EXPECT_THROW(reader.ReadObject(), EReadError) << "cut at " << cut;
    }
}

ByteList Nested(int levels, ByteList open, ByteList close) {
    ByteList bytes;
    for (int i = 0; i < levels; ++i) {
        bytes.insert(bytes.end(), open.begin(), open.end());
    }
    for (int i = 0; i < levels; ++i) {
        bytes.insert(bytes.end(), close.begin(), close.end());
    }
    return bytes;
}

TEST(BinaryStream, NestingIsBoundedForListsCollectionsAndRecords) {
    EXPECT_EQ(ReadBack(Nested(kMaxNesting, {vaList}, {0})).Type, vaList);
    ExpectValueError(Nested(kMaxNesting + 1, {vaList}, {0}), msg::kInvalidStreamFormat);
    ExpectValueError(Nested(100000, {vaList}, {0}), msg::kInvalidStreamFormat);
    // A collection item whose only property holds another collection.
    ExpectValueError(Nested(100000, {vaCollection, vaList, 1, 'P'}, {0, 0}), msg::kInvalidStreamFormat);

    ByteList records = Nested(100000, {0x01, 'C', 0x00, 0x00}, {0x00});
    TBytesStream stream(records);
    try {
        TBinaryReader(stream).ReadObject();
        ADD_FAILURE() << "deep records accepted";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), msg::kInvalidStreamFormat);
    }
}

TEST(BinaryStream, PeekAndEndOfListDoNotConsume) {
    ByteList bytes = {0x00, 0x07};
    TBytesStream stream(bytes);
    TBinaryReader reader(stream);
    EXPECT_TRUE(reader.EndOfList());
    EXPECT_EQ(reader.PeekByte(), 0);
    reader.ReadListEnd();
    EXPECT_EQ(reader.PeekByte(), 7);
    EXPECT_THROW(reader.ReadListEnd(), EReadError);
}

// Values that the format cannot hold are refused instead of written wrong.
TEST(BinaryStream, WriterRefusesUnrepresentableValues) {
    TMemoryStream stream;
    TBinaryWriter writer(stream);
    EXPECT_THROW(writer.WriteShortString(std::string(256, 'x')), EWriteError);
    TStreamValue narrow = Value(vaInt8);
    narrow.Int = 300;
    EXPECT_THROW(writer.WriteValue(narrow), EWriteError);
    TStreamValue list = Value(vaList);
    list.List = {Value(vaNull)};
    EXPECT_THROW(writer.WriteValue(list), EWriteError);
    TStreamValue set = Value(vaSet);
    set.Set = {""};
    EXPECT_THROW(writer.WriteValue(set), EWriteError);
    TStreamObject nameless;
    nameless.ClassName = "T";
    nameless.Properties = {{"", TStreamValue::Integer(1)}};
    EXPECT_THROW(writer.WriteObject(nameless), EWriteError);
}

}  // namespace
}  // namespace zaprelay
