// The binary component stream at the level of its values: tags, the value tree, the
// object record, and the reader and writer of each. Every length, count and nesting depth
// read from a stream is checked before use (EReadError "Stream read error" when the stream
// ends early, "Invalid stream format" for an unknown tag or too deep nesting).
#pragma once

#include "framework/rtl/streams.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {

enum TValueType : uint8_t {
    vaNull = 0,  // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
};
inline constexpr uint8_t kLastValueType = vaUTF8String;

// Prefix flags of a component record.
enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

inline constexpr std::array<uint8_t, 4> kFilerSignature = {'T', 'P', 'F', '0'};

// Lists, collections and nested component records deeper than this are refused.
inline constexpr int kMaxNesting = 200;

struct TStreamProperty;
struct TStreamCollectionItem;

// One value as stored, tag included.
struct TStreamValue {
    TValueType Type = vaNull;
    int64_t Int = 0;                           // vaInt8..vaInt32, vaInt64; vaCurrency (units of 1/10000)
    double Float = 0;                          // vaSingle, vaDate
    std::array<uint8_t, 10> Extended{};        // vaExtended, the 80-bit bytes as stored
    std::string Text;                          // vaString, vaLString, vaIdent (8-bit); vaUTF8String (UTF-8)
    std::u16string Wide;                       // vaWString
    std::vector<uint8_t> Bytes;                // vaBinary
    std::vector<std::string> Set;              // vaSet
    std::vector<TStreamValue> List;            // vaList
    std::vector<TStreamCollectionItem> Items;  // vaCollection

    static TStreamValue Integer(int64_t value);   // smallest integer tag
    static TStreamValue Ident(std::string name);  // vaIdent, except False/True/nil/Null (any case)
    bool IsInteger() const { return Type == vaInt8 || Type == vaInt16 || Type == vaInt32 || Type == vaInt64; }
    bool IsString() const { return Type == vaString || Type == vaLString || Type == vaWString || Type == vaUTF8String; }
    // For the string tags: the text as UTF-16.
    std::u16string AsWide() const;
    bool operator==(const TStreamValue&) const;
};

struct TStreamProperty {
    std::string Name;  // a path with dots, e.g. "Font.Height"
    TStreamValue Value;
    bool operator==(const TStreamProperty&) const = default;
};

struct TStreamCollectionItem {
    std::optional<TStreamValue> Position;  // an integer value, when stored
    std::vector<TStreamProperty> Properties;
    bool operator==(const TStreamCollectionItem&) const = default;
};

// One component record: prefix, class, name, properties, nested records.
struct TStreamObject {
    uint8_t Flags = 0;     // TFilerFlag bits
    int32_t Position = 0;  // with ffChildPos
    std::string ClassName;
    std::string ObjectName;
    std::vector<TStreamProperty> Properties;
    std::vector<TStreamObject> Children;
    bool operator==(const TStreamObject&) const = default;
};

// The string tag the text form converter gives a quoted string: vaString/vaLString when
// every character is below 128, else vaUTF8String when its UTF-8 form is shorter than its
// UTF-16 form, else vaWString (the choice the classic layout tools make). Text with an
// unpaired surrogate is always vaWString.
TStreamValue StringValue(std::u16string_view text);
// The value the object writer gives wide text (wide-string properties, string-list lines):
// vaString/vaLString when every character is below 128, else vaUTF8String; vaWString only
// for text with an unpaired surrogate, which UTF-8 cannot hold.
TStreamValue WideStringValue(std::u16string_view text);
// An 8-bit (ANSI) string property's value: short/long string when all below 128, else UTF-8.
TStreamValue AnsiStringValue(std::string_view text);

class TBinaryReader {
public:
    explicit TBinaryReader(TStream& stream) : m_stream(stream) {}

    void ReadSignature();  // "Invalid stream format" unless "TPF0"
    // Reads a prefix byte (0xF0..0xF7) and its position when present.
    void ReadPrefix(uint8_t& flags, int32_t& position);
    std::string ReadShortString();
    uint8_t PeekByte();          // the next byte, not consumed
    bool EndOfList();            // the next byte is 0 (not consumed)
    void ReadListEnd();          // consumes a 0 byte, else "Invalid stream format"
    TStreamValue ReadValue();    // one whole value, nested lists and collections included
    TStreamObject ReadObject();  // one record: prefix, class, name, properties, children

    TStream& Stream() { return m_stream; }

private:
    TStreamValue ReadValue(int depth);
    TStreamObject ReadObject(int depth);
    std::vector<TStreamProperty> ReadProperties(int depth);

    TStream& m_stream;
};

class TBinaryWriter {
public:
    explicit TBinaryWriter(TStream& stream) : m_stream(stream) {}

    void WriteSignature();
    void WritePrefix(uint8_t flags, int32_t position);  // nothing when flags is 0
    void WriteShortString(std::string_view text);       // EWriteError when over 255 bytes
    void WriteListEnd();
    void WriteValue(const TStreamValue& value);
    void WriteObject(const TStreamObject& object);

    TStream& Stream() { return m_stream; }

private:
    TStream& m_stream;
};

}  // namespace zaprelay
