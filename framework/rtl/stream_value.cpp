#include "framework/rtl/stream_value.h"

#include "framework/rtl/ansi_text.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/strings.h"

#include <bit>
#include <cstring>
#include <limits>

namespace zaprelay {

namespace {

bool AllBelow128(std::string_view text) {
    for (char c : text) {
        if (static_cast<uint8_t>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool AllBelow128(std::u16string_view text) {
    for (char16_t c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

// UTF-8 has no form for such a character: it would become U+FFFD.
bool HasUnpairedSurrogate(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            return true;
        }
    }
    return false;
}

TStreamValue WideValue(std::u16string_view text) {
    TStreamValue value;
    value.Type = vaWString;
    value.Wide = std::u16string(text);
    return value;
}

TStreamValue AsciiValue(std::string text) {
    TStreamValue value;
    value.Type = text.size() <= 255 ? vaString : vaLString;
    value.Text = std::move(text);
    return value;
}

[[noreturn]] void ThrowFormat() {
    throw EReadError(msg::kInvalidStreamFormat);
}

[[noreturn]] void ThrowReadError() {
    throw EReadError(msg::kStreamReadError);
}

[[noreturn]] void ThrowWriteError() {
    throw EWriteError(msg::kStreamWriteError);
}

// Guards the recursion of lists, collections and records against crafted streams.
void CheckDepth(int depth) {
    if (depth >= kMaxNesting) {
        ThrowFormat();
    }
}

// A length or count read from the stream, checked against what the stream still holds
// (unitSize bytes each) before anything is allocated for it.
std::size_t ReadLength(TStream& stream, int64_t unitSize) {
    int32_t length = stream.ReadInt32();
    if (length < 0 || static_cast<int64_t>(length) * unitSize > stream.Remaining()) {
        ThrowReadError();
    }
    return static_cast<std::size_t>(length);
}

int32_t CheckedLength(std::size_t length) {
    if (length > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        ThrowWriteError();
    }
    return static_cast<int32_t>(length);
}

bool FitsTag(TValueType type, int64_t value) {
    switch (type) {
        case vaInt8:
            return value >= std::numeric_limits<int8_t>::min() && value <= std::numeric_limits<int8_t>::max();
        case vaInt16:
            return value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max();
        case vaInt32:
            return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
        default:
            return true;
    }
}

}  // namespace

TStreamValue TStreamValue::Integer(int64_t value) {
    TStreamValue result;
    if (FitsTag(vaInt8, value)) {
        result.Type = vaInt8;
    } else if (FitsTag(vaInt16, value)) {
        result.Type = vaInt16;
    } else if (FitsTag(vaInt32, value)) {
        result.Type = vaInt32;
    } else {
        result.Type = vaInt64;
    }
    result.Int = value;
    return result;
}

TStreamValue TStreamValue::Ident(std::string name) {
    TStreamValue result;
    if (SameText(name, "False")) {
        result.Type = vaFalse;
    } else if (SameText(name, "True")) {
        result.Type = vaTrue;
    } else if (SameText(name, "nil")) {
        result.Type = vaNil;
    } else if (SameText(name, "Null")) {
        result.Type = vaNull;
    } else {
        result.Type = vaIdent;
        result.Text = std::move(name);
    }
    return result;
}

std::u16string TStreamValue::AsWide() const {
    switch (Type) {
        case vaString:
        case vaLString:
        case vaIdent:
            return AnsiToWide(Text);
        case vaUTF8String:
            return Utf8ToWide(Text);
        case vaWString:
            return Wide;
        default:
            return {};
    }
}

bool TStreamValue::operator==(const TStreamValue& other) const {
    if (Type != other.Type) {
        return false;
    }
    switch (Type) {
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64:
        case vaCurrency:
            return Int == other.Int;
        case vaSingle:
        case vaDate:
            // Bitwise, so that a NaN read back equals the NaN written.
            return std::bit_cast<uint64_t>(Float) == std::bit_cast<uint64_t>(other.Float);
        case vaExtended:
            return Extended == other.Extended;
        case vaString:
        case vaLString:
        case vaIdent:
        case vaUTF8String:
            return Text == other.Text;
        case vaWString:
            return Wide == other.Wide;
        case vaBinary:
            return Bytes == other.Bytes;
        case vaSet:
            return Set == other.Set;
        case vaList:
            return List == other.List;
        case vaCollection:
            return Items == other.Items;
        default:
            return true;  // the tag is the whole value
    }
}

TStreamValue StringValue(std::u16string_view text) {
    if (AllBelow128(text)) {
        return AsciiValue(std::string(text.begin(), text.end()));
    }
    std::string utf8 = WideToUtf8(text);
    if (utf8.size() >= text.size() * sizeof(char16_t) || HasUnpairedSurrogate(text)) {
        return WideValue(text);
    }
    TStreamValue value;
    value.Type = vaUTF8String;
    value.Text = std::move(utf8);
    return value;
}

TStreamValue WideStringValue(std::u16string_view text) {
    if (AllBelow128(text)) {
        return AsciiValue(std::string(text.begin(), text.end()));
    }
    if (HasUnpairedSurrogate(text)) {
        return WideValue(text);
    }
    TStreamValue value;
    value.Type = vaUTF8String;
    value.Text = WideToUtf8(text);
    return value;
}

TStreamValue AnsiStringValue(std::string_view text) {
    if (AllBelow128(text)) {
        return AsciiValue(std::string(text));
    }
    TStreamValue value;
    value.Type = vaUTF8String;
    value.Text = WideToUtf8(AnsiToWide(text));
    return value;
}

// --- Reading ---

void TBinaryReader::ReadSignature() {
    std::array<uint8_t, kFilerSignature.size()> signature{};
    if (m_stream.Read(signature.data(), signature.size()) != static_cast<int64_t>(signature.size()) ||
        signature != kFilerSignature) {
        ThrowFormat();
    }
}

void TBinaryReader::ReadPrefix(uint8_t& flags, int32_t& position) {
    flags = 0;
    position = 0;
    uint8_t prefix = PeekByte();
    if ((prefix & 0xF8) != 0xF0) {
        return;  // no prefix: this byte is the class name's length
    }
    m_stream.ReadByte();
    flags = prefix & 0x07;
    if ((flags & ffChildPos) != 0) {
        TStreamValue value = ReadValue(0);
        if (!value.IsInteger() || !FitsTag(vaInt32, value.Int)) {
            ThrowFormat();
        }
        position = static_cast<int32_t>(value.Int);
    }
}

std::string TBinaryReader::ReadShortString() {
    uint8_t length = m_stream.ReadByte();
    std::string text(length, '\0');
    m_stream.ReadBuffer(text.data(), length);
    return text;
}

uint8_t TBinaryReader::PeekByte() {
    uint8_t value = m_stream.ReadByte();
    m_stream.Seek(-1, soCurrent);
    return value;
}

bool TBinaryReader::EndOfList() {
    return PeekByte() == vaNull;
}

void TBinaryReader::ReadListEnd() {
    if (m_stream.ReadByte() != vaNull) {
        ThrowFormat();
    }
}

TStreamValue TBinaryReader::ReadValue() {
    return ReadValue(0);
}

TStreamObject TBinaryReader::ReadObject() {
    return ReadObject(0);
}

TStreamValue TBinaryReader::ReadValue(int depth) {
    TStreamValue value;
    uint8_t tag = m_stream.ReadByte();
    if (tag > kLastValueType) {
        ThrowFormat();
    }
    value.Type = static_cast<TValueType>(tag);
    switch (value.Type) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil:
            break;
        case vaList:
            CheckDepth(depth);
            while (!EndOfList()) {
                value.List.push_back(ReadValue(depth + 1));
            }
            ReadListEnd();
            break;
        case vaInt8:
            value.Int = static_cast<int8_t>(m_stream.ReadByte());
            break;
        case vaInt16:
            value.Int = m_stream.ReadInt16();
            break;
        case vaInt32:
            value.Int = m_stream.ReadInt32();
            break;
        case vaInt64:
        case vaCurrency:
            value.Int = m_stream.ReadInt64();
            break;
        case vaExtended:
            m_stream.ReadBuffer(value.Extended.data(), static_cast<int64_t>(value.Extended.size()));
            break;
        case vaString:
        case vaIdent:
            value.Text = ReadShortString();
            break;
        case vaLString:
        case vaUTF8String: {
            std::size_t length = ReadLength(m_stream, 1);
            value.Text.resize(length);
            m_stream.ReadBuffer(value.Text.data(), static_cast<int64_t>(length));
            break;
        }
        case vaWString: {
            std::size_t count = ReadLength(m_stream, 2);
            std::vector<uint8_t> raw(count * 2);
            m_stream.ReadBuffer(raw.data(), static_cast<int64_t>(raw.size()));
            value.Wide.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                value.Wide[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
            }
            break;
        }
        case vaBinary: {
            std::size_t length = ReadLength(m_stream, 1);
            value.Bytes.resize(length);
            m_stream.ReadBuffer(value.Bytes.data(), static_cast<int64_t>(length));
            break;
        }
        case vaSet:
            // Each name costs at least two bytes, so the stream bounds the loop.
            for (std::string name = ReadShortString(); !name.empty(); name = ReadShortString()) {
                value.Set.push_back(std::move(name));
            }
            break;
        case vaCollection:
            CheckDepth(depth);
            while (!EndOfList()) {
                TStreamCollectionItem item;
                uint8_t next = PeekByte();
                if (next == vaInt8 || next == vaInt16 || next == vaInt32 || next == vaInt64) {
                    item.Position = ReadValue(depth + 1);
                }
                if (m_stream.ReadByte() != vaList) {
                    ThrowFormat();
                }
                item.Properties = ReadProperties(depth + 1);
                value.Items.push_back(std::move(item));
            }
            ReadListEnd();
            break;
        case vaSingle: {
            auto bits = static_cast<uint32_t>(m_stream.ReadInt32());
            value.Float = std::bit_cast<float>(bits);
            break;
        }
        case vaDate: {
            auto bits = static_cast<uint64_t>(m_stream.ReadInt64());
            value.Float = std::bit_cast<double>(bits);
            break;
        }
    }
    return value;
}

std::vector<TStreamProperty> TBinaryReader::ReadProperties(int depth) {
    CheckDepth(depth);
    std::vector<TStreamProperty> properties;
    while (!EndOfList()) {
        TStreamProperty property;
        property.Name = ReadShortString();
        property.Value = ReadValue(depth);
        properties.push_back(std::move(property));
    }
    ReadListEnd();
    return properties;
}

TStreamObject TBinaryReader::ReadObject(int depth) {
    CheckDepth(depth);
    TStreamObject object;
    ReadPrefix(object.Flags, object.Position);
    object.ClassName = ReadShortString();
    object.ObjectName = ReadShortString();
    object.Properties = ReadProperties(depth + 1);
    while (!EndOfList()) {
        object.Children.push_back(ReadObject(depth + 1));
    }
    ReadListEnd();
    return object;
}

// --- Writing ---

void TBinaryWriter::WriteSignature() {
    m_stream.WriteBuffer(kFilerSignature.data(), static_cast<int64_t>(kFilerSignature.size()));
}

void TBinaryWriter::WritePrefix(uint8_t flags, int32_t position) {
    flags &= ffInherited | ffChildPos | ffInline;
    if (flags == 0) {
        return;
    }
    m_stream.WriteByte(static_cast<uint8_t>(0xF0 | flags));
    if ((flags & ffChildPos) != 0) {
        WriteValue(TStreamValue::Integer(position));
    }
}

void TBinaryWriter::WriteShortString(std::string_view text) {
    if (text.size() > 255) {
        ThrowWriteError();
    }
    m_stream.WriteByte(static_cast<uint8_t>(text.size()));
    m_stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TBinaryWriter::WriteListEnd() {
    m_stream.WriteByte(vaNull);
}

namespace {

// A value inside a list must not be the end tag, and a name must not be empty: either
// would end the enclosing list early and the rest would be read as something else.
void CheckListEntry(const TStreamValue& value) {
    if (value.Type == vaNull) {
        ThrowWriteError();
    }
}

void CheckName(std::string_view name) {
    if (name.empty()) {
        ThrowWriteError();
    }
}

}  // namespace

void TBinaryWriter::WriteValue(const TStreamValue& value) {
    if (value.Type > kLastValueType) {
        ThrowWriteError();
    }
    m_stream.WriteByte(value.Type);
    switch (value.Type) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil:
            break;
        case vaList:
            for (const TStreamValue& item : value.List) {
                CheckListEntry(item);
                WriteValue(item);
            }
            WriteListEnd();
            break;
        case vaInt8:
        case vaInt16:
        case vaInt32:
            if (!FitsTag(value.Type, value.Int)) {
                ThrowWriteError();
            }
            if (value.Type == vaInt8) {
                m_stream.WriteByte(static_cast<uint8_t>(value.Int));
            } else if (value.Type == vaInt16) {
                m_stream.WriteInt16(static_cast<int16_t>(value.Int));
            } else {
                m_stream.WriteInt32(static_cast<int32_t>(value.Int));
            }
            break;
        case vaInt64:
        case vaCurrency:
            m_stream.WriteInt64(value.Int);
            break;
        case vaExtended:
            m_stream.WriteBuffer(value.Extended.data(), static_cast<int64_t>(value.Extended.size()));
            break;
        case vaString:
        case vaIdent:
            WriteShortString(value.Text);
            break;
        case vaLString:
        case vaUTF8String:
            m_stream.WriteInt32(CheckedLength(value.Text.size()));
            m_stream.WriteBuffer(value.Text.data(), static_cast<int64_t>(value.Text.size()));
            break;
        case vaWString: {
            m_stream.WriteInt32(CheckedLength(value.Wide.size()));
            std::vector<uint8_t> raw;
            raw.reserve(value.Wide.size() * 2);
            for (char16_t c : value.Wide) {
                raw.push_back(static_cast<uint8_t>(c));
                raw.push_back(static_cast<uint8_t>(c >> 8));
            }
            m_stream.WriteBuffer(raw.data(), static_cast<int64_t>(raw.size()));
            break;
        }
        case vaBinary:
            m_stream.WriteInt32(CheckedLength(value.Bytes.size()));
            m_stream.WriteBuffer(value.Bytes.data(), static_cast<int64_t>(value.Bytes.size()));
            break;
        case vaSet:
            for (const std::string& name : value.Set) {
                CheckName(name);
                WriteShortString(name);
            }
            WriteShortString({});
            break;
        case vaCollection:
            for (const TStreamCollectionItem& item : value.Items) {
                if (item.Position) {
                    if (!item.Position->IsInteger()) {
                        ThrowWriteError();
                    }
                    WriteValue(*item.Position);
                }
                m_stream.WriteByte(vaList);
                for (const TStreamProperty& property : item.Properties) {
                    CheckName(property.Name);
                    WriteShortString(property.Name);
                    WriteValue(property.Value);
                }
                WriteListEnd();
            }
            WriteListEnd();
            break;
        case vaSingle: {
            auto bits = std::bit_cast<uint32_t>(static_cast<float>(value.Float));
            m_stream.WriteInt32(static_cast<int32_t>(bits));
            break;
        }
        case vaDate:
            m_stream.WriteInt64(static_cast<int64_t>(std::bit_cast<uint64_t>(value.Float)));
            break;
    }
}

void TBinaryWriter::WriteObject(const TStreamObject& object) {
    // A reader takes a first byte of 0 for the end of the enclosing records, and one of
    // 0xF0..0xF7 for a prefix, so a class name must start with neither length.
    CheckName(object.ClassName);
    uint8_t flags = object.Flags & (ffInherited | ffChildPos | ffInline);
    if (flags == 0 && (object.ClassName.size() & 0xF8) == 0xF0) {
        ThrowWriteError();
    }
    WritePrefix(flags, object.Position);
    WriteShortString(object.ClassName);
    WriteShortString(object.ObjectName);
    for (const TStreamProperty& property : object.Properties) {
        CheckName(property.Name);
        WriteShortString(property.Name);
        WriteValue(property.Value);
    }
    WriteListEnd();
    for (const TStreamObject& child : object.Children) {
        WriteObject(child);
    }
    WriteListEnd();
}

}  // namespace zaprelay
