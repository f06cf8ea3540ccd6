// Text form of the component stream: the writer, the tokenizer and the parser, and the
// conversions between the binary and text forms of a whole stream.
#include "framework/rtl/object_text.h"

#include "framework/rtl/ansi_text.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/strings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

namespace zaprelay {
namespace {

constexpr char kInvalidFloat[] = "Invalid floating point value";
constexpr size_t kStringLineChars = 64;
constexpr size_t kBinaryChunkBytes = 32;
constexpr size_t kMaxShortString = 255;
// Exponents beyond this already overflow or underflow every float format; saturating keeps
// the arithmetic on them in range.
constexpr int64_t kExponentLimit = 100000000;

// ---- Floats --------------------------------------------------------------------------

// The 10-byte extended format goes through long double where that is the same 80-bit format,
// so every finite value survives; elsewhere through double.
using ExtendedFloat = std::conditional_t<std::numeric_limits<long double>::digits == 64, long double, double>;

constexpr int kExtendedBias = 16383;
constexpr int kExtendedMantissaBits = 64;

ExtendedFloat DecodeExtended(const std::array<uint8_t, 10>& bytes) {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) {
        mantissa = (mantissa << 8) | bytes[i];
    }
    int signExponent = bytes[8] | (bytes[9] << 8);
    int exponent = signExponent & 0x7FFF;
    if (exponent == 0x7FFF) {
        throw EWriteError(kInvalidFloat);
    }
    // The explicit integer bit is taken as stored, so unnormal encodings keep their value too;
    // exponent 0 scales like exponent 1 (denormals).
    int scale = (exponent == 0 ? 1 : exponent) - kExtendedBias - (kExtendedMantissaBits - 1);
    ExtendedFloat value = std::ldexp(static_cast<ExtendedFloat>(mantissa), scale);
    if (!std::isfinite(value)) {
        throw EWriteError(kInvalidFloat);
    }
    return (signExponent & 0x8000) ? -value : value;
}

std::array<uint8_t, 10> EncodeExtended(ExtendedFloat value) {
    std::array<uint8_t, 10> bytes{};
    ExtendedFloat magnitude = std::fabs(value);
    uint64_t mantissa = 0;
    int exponent = 0;
    if (magnitude != 0) {
        int binaryExponent = 0;
        ExtendedFloat fraction = std::frexp(magnitude, &binaryExponent);  // magnitude = fraction * 2^e
        exponent = binaryExponent - 1 + kExtendedBias;
        if (exponent >= 1) {
            mantissa = static_cast<uint64_t>(std::ldexp(fraction, kExtendedMantissaBits));
        } else {
            exponent = 0;
            mantissa = static_cast<uint64_t>(std::ldexp(magnitude, kExtendedBias - 1 + kExtendedMantissaBits - 1));
        }
    }
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    }
    int signExponent = exponent | (std::signbit(value) ? 0x8000 : 0);
    bytes[8] = static_cast<uint8_t>(signExponent);
    bytes[9] = static_cast<uint8_t>(signExponent >> 8);
    return bytes;
}

float ReadBackFloat(const std::string& text, float*) {
    return std::strtof(text.c_str(), nullptr);
}
double ReadBackFloat(const std::string& text, double*) {
    return std::strtod(text.c_str(), nullptr);
}
long double ReadBackFloat(const std::string& text, long double*) {
    return std::strtold(text.c_str(), nullptr);
}

// The value's significant decimal digits, correctly rounded to `digits` of them, and the
// power of ten of the first: 1234.5 with 3 digits is "123" and 3.
void ScientificDigits(long double value, int digits, bool& negative, std::string& mantissa, int& exponent) {
    std::array<char, 96> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*Le", digits - 1, value);
    // "-1.23e+03", with whatever decimal point the locale has: only digits are taken.
    const char* at = buffer.data();
    negative = *at == '-';
    mantissa.clear();
    for (; *at != 'e' && *at != 'E' && *at != '\0'; ++at) {
        if (*at >= '0' && *at <= '9') {
            mantissa += *at;
        }
    }
    exponent = *at == '\0' ? 0 : std::atoi(at + 1);
}

// Shortest text that reads back to the same value, in std::to_chars' form (the fewest
// significant digits; fixed or scientific notation, whichever is shorter, fixed on a tie),
// always with a "." so that it never reads back as an integer. Made with the C runtime's
// formatting and reading: the standard library's shortest conversion outweighs the rest of
// the text stream many times over in every program that links it.
template <typename T>
std::string FloatText(T value) {
    if (!std::isfinite(value)) {
        throw EWriteError(kInvalidFloat);
    }
    bool negative = false;
    std::string digits;
    int exponent = 0;
    for (int count = 1; count <= std::numeric_limits<T>::max_digits10; ++count) {
        ScientificDigits(value, count, negative, digits, exponent);
        // Read back without a decimal point, alike in every locale.
        const std::string plain = (negative ? "-" : "") + digits + "e" + std::to_string(exponent - count + 1);
        if (ReadBackFloat(plain, static_cast<T*>(nullptr)) == value) {
            break;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int count = static_cast<int>(digits.size());
    std::string scientific = digits.substr(0, 1);
    if (count > 1) {
        scientific += "." + digits.substr(1);
    }
    const int magnitude = exponent < 0 ? -exponent : exponent;
    scientific += std::string(exponent < 0 ? "e-" : "e+") + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
    std::string fixed;
    if (exponent < 0) {
        fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (count <= exponent + 1) {
        fixed = digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
        if (fixed.size() <= scientific.size()) {
            // Written, a whole number shows all its digits, as %f does, not the shortest
            // ones padded with zeros.
            std::array<char, 64> buffer{};
            std::snprintf(buffer.data(), buffer.size(), "%.0Lf", static_cast<long double>(value));
            fixed.clear();
            for (const char* at = buffer.data(); *at != '\0'; ++at) {
                if (*at >= '0' && *at <= '9') {
                    fixed += *at;
                }
            }
        }
    } else {
        fixed = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
                digits.substr(static_cast<std::size_t>(exponent + 1));
    }
    std::string text = (negative ? "-" : "") + (fixed.size() <= scientific.size() ? fixed : scientific);
    if (text.find('.') == std::string::npos) {
        size_t at = text.find('e');
        text.insert(at == std::string::npos ? text.size() : at, ".0");
    }
    return text;
}

std::string CurrencyText(int64_t units) {
    uint64_t magnitude = units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    std::string text = units < 0 ? "-" : "";
    text += std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
    while (fraction.size() > 1 && fraction.back() == '0') {
        fraction.pop_back();
    }
    return text + "." + fraction;
}

// A decimal number as written: sign, digits before and after the point, exponent.
struct DecimalParts {
    bool Negative = false;
    std::string Whole;
    std::string Fraction;
    int64_t Exponent = 0;
};

// The same number without a decimal point ("12.5e3" as "125e2"), so that the C runtime's
// conversions read it alike in every locale.
std::string PlainDecimal(const DecimalParts& parts) {
    return (parts.Negative ? "-" : "") + parts.Whole + parts.Fraction + "e" +
           std::to_string(parts.Exponent - static_cast<int64_t>(parts.Fraction.size()));
}

// The value the decimal text stands for, correctly rounded (the C runtime's conversion, given
// the text without a decimal point so that every locale reads it alike); false when it is
// out of the type's range. A value too small for the type rounds, to zero at the last.
template <typename T>
bool ParseFloat(const DecimalParts& parts, T& value) {
    T number = ReadBackFloat(PlainDecimal(parts), static_cast<T*>(nullptr));
    if (!std::isfinite(number)) {
        return false;
    }
    value = number;
    return true;
}

// Currency is a count of 1/10000 units; converted exactly from the decimal digits (a binary
// float would lose the last units of large amounts). Rounds half away from zero.
bool ParseCurrency(const DecimalParts& parts, int64_t& units) {
    std::string digits = parts.Whole + parts.Fraction;
    size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        units = 0;
        return true;
    }
    digits.erase(0, firstNonZero);
    int64_t shift = 4 + parts.Exponent - static_cast<int64_t>(parts.Fraction.size());
    uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (parts.Negative ? 1 : 0);
    size_t keep = digits.size();
    bool roundUp = false;
    if (shift >= 0) {
        if (static_cast<int64_t>(digits.size()) + shift > 19) {
            return false;
        }
    } else {
        int64_t kept = static_cast<int64_t>(digits.size()) + shift;
        if (kept < 0) {
            units = 0;
            return true;
        }
        keep = static_cast<size_t>(kept);
        roundUp = digits[keep] >= '5';
        shift = 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < keep; ++i) {
        uint64_t digit = static_cast<uint64_t>(digits[i] - '0');
        if (value > (limit - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    for (int64_t i = 0; i < shift; ++i) {
        if (value > limit / 10) {
            return false;
        }
        value *= 10;
    }
    if (roundUp) {
        if (value == limit) {
            return false;
        }
        ++value;
    }
    units = parts.Negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
    return true;
}

// ---- Writer --------------------------------------------------------------------------

constexpr char kHexDigits[] = "0123456789ABCDEF";

class TTextWriter {
public:
    std::string Take() { return std::move(m_out); }

    void WriteObject(const TStreamObject& object, int level) {
        Indent(level);
        if (object.Flags & ffInherited) {
            m_out += "inherited ";
        } else if (object.Flags & ffInline) {
            m_out += "inline ";
        } else {
            m_out += "object ";
        }
        if (!object.ObjectName.empty()) {
            m_out += object.ObjectName;
            m_out += ": ";
        }
        m_out += object.ClassName;
        if (object.Flags & ffChildPos) {
            m_out += " [";
            m_out += std::to_string(object.Position);
            m_out += ']';
        }
        m_out += "\r\n";
        for (const TStreamProperty& property : object.Properties) {
            Indent(level + 1);
            WriteProperty(property, level + 1);
            m_out += "\r\n";
        }
        for (const TStreamObject& child : object.Children) {
            WriteObject(child, level + 1);
        }
        Indent(level);
        m_out += "end\r\n";
    }

private:
    void Indent(int level) { m_out.append(static_cast<size_t>(level) * 2, ' '); }
    void NewLine(int level) {
        m_out += "\r\n";
        Indent(level);
    }

    void WriteProperty(const TStreamProperty& property, int level) {
        m_out += property.Name;
        m_out += " = ";
        WriteValue(property.Value, level);
    }

    // level is the indentation of the line the value starts on; its continuation lines go
    // one level deeper.
    void WriteValue(const TStreamValue& value, int level) {
        switch (value.Type) {
            case vaNull:
                m_out += "Null";
                break;
            case vaList:
                m_out += '(';
                for (const TStreamValue& item : value.List) {
                    NewLine(level + 1);
                    WriteValue(item, level + 1);
                }
                m_out += ')';
                break;
            case vaInt8:
            case vaInt16:
            case vaInt32:
            case vaInt64:
                m_out += std::to_string(value.Int);
                break;
            case vaExtended:
                m_out += FloatText(DecodeExtended(value.Extended));
                break;
            case vaSingle:
                m_out += FloatText(static_cast<float>(value.Float)) + "s";
                break;
            case vaCurrency:
                m_out += CurrencyText(value.Int) + "c";
                break;
            case vaDate:
                m_out += FloatText(value.Float) + "d";
                break;
            case vaString:
            case vaLString:
            case vaWString:
            case vaUTF8String:
                WriteQuoted(value.AsWide(), level);
                break;
            case vaIdent:
                m_out += value.Text;
                break;
            case vaFalse:
                m_out += "False";
                break;
            case vaTrue:
                m_out += "True";
                break;
            case vaNil:
                m_out += "nil";
                break;
            case vaBinary:
                WriteBinary(value.Bytes, level);
                break;
            case vaSet:
                m_out += '[';
                for (size_t i = 0; i < value.Set.size(); ++i) {
                    if (i > 0) {
                        m_out += ", ";
                    }
                    m_out += value.Set[i];
                }
                m_out += ']';
                break;
            case vaCollection:
                WriteCollection(value.Items, level);
                break;
            default:
                throw EWriteError(msg::kInvalidStreamFormat);
        }
    }

    void WriteCollection(const std::vector<TStreamCollectionItem>& items, int level) {
        m_out += '<';
        for (const TStreamCollectionItem& item : items) {
            NewLine(level + 1);
            m_out += "item";
            if (item.Position) {
                m_out += " [";
                WriteValue(*item.Position, level + 1);
                m_out += ']';
            }
            for (const TStreamProperty& property : item.Properties) {
                NewLine(level + 2);
                WriteProperty(property, level + 2);
            }
            NewLine(level + 1);
            m_out += "end";
        }
        m_out += '>';
    }

    void WriteQuoted(std::u16string_view text, int level) {
        if (text.empty()) {
            m_out += "''";
            return;
        }
        if (text.size() > kStringLineChars) {
            NewLine(level + 1);
        }
        bool quoted = false;
        for (size_t i = 0; i < text.size(); ++i) {
            if (i > 0 && i % kStringLineChars == 0) {
                if (quoted) {
                    m_out += '\'';
                    quoted = false;
                }
                m_out += " +";
                NewLine(level + 1);
            }
            char16_t c = text[i];
            if (c >= 32 && c < 128 && c != '\'') {
                if (!quoted) {
                    m_out += '\'';
                    quoted = true;
                }
                m_out += static_cast<char>(c);
            } else {
                if (quoted) {
                    m_out += '\'';
                    quoted = false;
                }
                m_out += '#';
                m_out += std::to_string(static_cast<unsigned>(c));
            }
        }
        if (quoted) {
            m_out += '\'';
        }
    }

    void WriteBinary(const std::vector<uint8_t>& bytes, int level) {
        m_out += '{';
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes.size() >= kBinaryChunkBytes && i % kBinaryChunkBytes == 0) {
                NewLine(level + 1);
            }
            m_out += kHexDigits[bytes[i] >> 4];
            m_out += kHexDigits[bytes[i] & 15];
        }
        m_out += '}';
    }

    std::string m_out;
};

// ---- Tokenizer -----------------------------------------------------------------------

enum class TokenKind { End, Symbol, Integer, Float, String, Char };

struct TToken {
    TokenKind Kind = TokenKind::End;
    int Line = 1;
    char Char = 0;        // Char
    std::string Text;     // Symbol
    int64_t Int = 0;      // Integer
    DecimalParts Number;  // Float
    char Suffix = 0;      // Float: 0, 's', 'c' or 'd'
    std::u16string Wide;  // String
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
    return IsIdentStart(c) || IsDigit(c) || c == '.';
}
// Binary values are long runs of hex digits (a skin's children travel so): one lookup each.
constexpr std::array<int8_t, 256> kHexValues = [] {
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 10; ++i) {
        values['0' + i] = static_cast<int8_t>(i);
    }
    for (int i = 0; i < 6; ++i) {
        values['A' + i] = static_cast<int8_t>(10 + i);
        values['a' + i] = static_cast<int8_t>(10 + i);
    }
    return values;
}();

int HexValue(char c) {
    return kHexValues[static_cast<uint8_t>(c)];
}
[[noreturn]] void Fail(int line, std::string_view what) {
    throw EParserError(Format("Line %d: %s", {std::to_string(line), what}));
}

class TTokenizer {
public:
    TTokenizer(std::string_view text, bool utf8) : m_text(text), m_utf8(utf8) { Lex(); }

    const TToken& Token() const { return m_token; }
    void Next() { Lex(); }

    // The token after the current one, leaving the current one in place.
    TToken PeekNext() {
        size_t pos = m_pos;
        int line = m_line;
        TToken current = m_token;
        Lex();
        TToken next = std::move(m_token);
        m_token = std::move(current);
        m_pos = pos;
        m_line = line;
        return next;
    }

    // With '{' as the current token: the bytes up to '}' (whitespace between digits is
    // ignored), then moves to the token after it.
    std::vector<uint8_t> ReadBinary() {
        std::vector<uint8_t> bytes;
        const size_t close = m_text.find('}', m_pos);
        if (close != std::string_view::npos) {
            bytes.reserve((close - m_pos) / 2);
        }
        int high = -1;
        for (;;) {
            // Whole pairs of digits, the common case, without the checks below.
            while (high < 0 && m_pos + 1 < m_text.size()) {
                const int first = HexValue(m_text[m_pos]);
                const int second = HexValue(m_text[m_pos + 1]);
                if (first < 0 || second < 0) {
                    break;
                }
                bytes.push_back(static_cast<uint8_t>(first * 16 + second));
                m_pos += 2;
            }
            if (m_pos >= m_text.size()) {
                throw EReadError(msg::kInvalidBinary);
            }
            char c = m_text[m_pos];
            if (c == '}') {
                ++m_pos;
                break;
            }
            if (SkipBlank()) {
                continue;
            }
            int digit = HexValue(c);
            if (digit < 0) {
                throw EReadError(msg::kInvalidBinary);
            }
            ++m_pos;
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0) {
            throw EReadError(msg::kInvalidBinary);
        }
        Lex();
        return bytes;
    }

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char PeekChar(size_t ahead = 0) const { return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : '\0'; }

    // Consumes one blank character, counting CR LF, LF and a lone CR as line ends.
    bool SkipBlank() {
        char c = m_text[m_pos];
        if (c == '\n' || (c == '\r' && PeekChar(1) != '\n')) {
            ++m_line;
        } else if (c != ' ' && c != '\t' && c != '\r') {
            return false;
        }
        ++m_pos;
        return true;
    }

    void SkipBlanks() {
        while (!AtEnd() && SkipBlank()) {
        }
    }

    void Lex() {
        SkipBlanks();
        m_token = TToken{};
        m_token.Line = m_line;
        if (AtEnd()) {
            return;
        }
        char c = m_text[m_pos];
        if (IsIdentStart(c)) {
            size_t start = m_pos;
            while (!AtEnd() && IsIdentChar(m_text[m_pos])) {
                ++m_pos;
            }
            m_token.Kind = TokenKind::Symbol;
            m_token.Text = m_text.substr(start, m_pos - start);
        } else if (IsDigit(c) || c == '$' || (c == '-' && (IsDigit(PeekChar(1)) || PeekChar(1) == '$'))) {
            LexNumber();
        } else if (c == '\'' || c == '#') {
            LexString();
        } else if (c != '\0' && std::strchr("=:[](){}<>,+", c) != nullptr) {
            m_token.Kind = TokenKind::Char;
            m_token.Char = c;
            ++m_pos;
        } else {
            auto code = static_cast<unsigned char>(c);
            Fail(m_line, code >= 32 && code < 127 ? Format("Invalid character '%s'", {std::string(1, c)})
                                                  : Format("Invalid character #%d", {std::to_string(code)}));
        }
    }

    std::string ReadDigits() {
        size_t start = m_pos;
        while (!AtEnd() && IsDigit(m_text[m_pos])) {
            ++m_pos;
        }
        return std::string(m_text.substr(start, m_pos - start));
    }

    void LexNumber() {
        bool negative = false;
        if (PeekChar() == '-') {
            negative = true;
            ++m_pos;
        }
        if (PeekChar() == '$') {
            ++m_pos;
            LexHexInteger(negative);
        } else {
            LexDecimal(negative);
        }
        if (!AtEnd() && IsIdentChar(m_text[m_pos])) {
            Fail(m_line, "Invalid number");
        }
    }

    // Hexadecimal is the number as written, not a bit pattern: $FFFFFFFF is 4294967295, as
    // in decimal, and takes the same tag; the same range as decimal applies.
    void LexHexInteger(bool negative) {
        uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
        uint64_t value = 0;
        int digits = 0;
        while (!AtEnd() && HexValue(m_text[m_pos]) >= 0) {
            auto digit = static_cast<uint64_t>(HexValue(m_text[m_pos]));
            if (value > (limit - digit) / 16) {
                Fail(m_line, "Integer out of range");
            }
            value = value * 16 + digit;
            ++digits;
            ++m_pos;
        }
        if (digits == 0) {
            Fail(m_line, "Invalid number");
        }
        m_token.Kind = TokenKind::Integer;
        m_token.Int = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
    }

    void LexDecimal(bool negative) {
        DecimalParts parts;
        parts.Negative = negative;
        parts.Whole = ReadDigits();
        bool isFloat = false;
        if (PeekChar() == '.') {
            ++m_pos;
            isFloat = true;
            parts.Fraction = ReadDigits();
        }
        char e = PeekChar();
        if ((e == 'e' || e == 'E') &&
            (IsDigit(PeekChar(1)) || ((PeekChar(1) == '-' || PeekChar(1) == '+') && IsDigit(PeekChar(2))))) {
            ++m_pos;
            isFloat = true;
            bool negativeExponent = PeekChar() == '-';
            if (PeekChar() == '-' || PeekChar() == '+') {
                ++m_pos;
            }
            int64_t exponent = 0;
            for (char d : ReadDigits()) {
                exponent = std::min<int64_t>(exponent * 10 + (d - '0'), kExponentLimit);
            }
            parts.Exponent = negativeExponent ? -exponent : exponent;
        }
        char suffix = LowerAscii(PeekChar());
        if ((suffix == 's' || suffix == 'c' || suffix == 'd') && !IsIdentChar(PeekChar(1))) {
            ++m_pos;
            isFloat = true;
            m_token.Suffix = suffix;
        }
        if (isFloat) {
            m_token.Kind = TokenKind::Float;
            m_token.Number = std::move(parts);
            return;
        }
        uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
        uint64_t value = 0;
        for (char d : parts.Whole) {
            auto digit = static_cast<uint64_t>(d - '0');
            if (value > (limit - digit) / 10) {
                Fail(m_line, "Integer out of range");
            }
            value = value * 10 + digit;
        }
        m_token.Kind = TokenKind::Integer;
        m_token.Int = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
    }

    // Quoted runs and #codes, joined directly or by '+' across blanks and line ends.
    void LexString() {
        std::u16string text;
        for (;;) {
            if (PeekChar() == '\'') {
                AppendQuotedRun(text);
            } else {
                AppendCharacterCode(text);
            }
            if (PeekChar() == '\'' || PeekChar() == '#') {
                continue;
            }
            size_t pos = m_pos;
            int line = m_line;
            SkipBlanks();
            if (PeekChar() != '+') {
                m_pos = pos;
                m_line = line;
                break;
            }
            ++m_pos;
            SkipBlanks();
            if (PeekChar() != '\'' && PeekChar() != '#') {
                Fail(m_line, "String expected after '+'");
            }
        }
        m_token.Kind = TokenKind::String;
        m_token.Wide = std::move(text);
    }

    void AppendQuotedRun(std::u16string& text) {
        ++m_pos;
        std::string run;
        bool ascii = true;
        for (;;) {
            char c = PeekChar();
            if (AtEnd() || c == '\r' || c == '\n') {
                Fail(m_line, "Unterminated string");
            }
            ++m_pos;
            if (c == '\'') {
                if (PeekChar() != '\'') {
                    break;
                }
                ++m_pos;
            }
            ascii = ascii && static_cast<unsigned char>(c) < 128;
            run += c;
        }
        if (ascii) {
            text.append(run.begin(), run.end());
        } else {
            text += m_utf8 ? Utf8ToWide(run) : AnsiToWide(run);
        }
    }

    void AppendCharacterCode(std::u16string& text) {
        ++m_pos;
        uint32_t code = 0;
        int digits = 0;
        bool hex = PeekChar() == '$';
        if (hex) {
            ++m_pos;
        }
        for (; !AtEnd(); ++m_pos, ++digits) {
            int digit = hex ? HexValue(m_text[m_pos]) : (IsDigit(m_text[m_pos]) ? m_text[m_pos] - '0' : -1);
            if (digit < 0) {
                break;
            }
            code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
            if (code > 0x10FFFF) {
                Fail(m_line, "Invalid character code");
            }
        }
        if (digits == 0) {
            Fail(m_line, "Invalid character code");
        }
        if (code > 0xFFFF) {
            code -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (code >> 10));
            text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
    }

    std::string_view m_text;
    bool m_utf8;
    size_t m_pos = 0;
    int m_line = 1;
    TToken m_token;
};

// ---- Parser --------------------------------------------------------------------------

class TTextParser {
public:
    TTextParser(std::string_view text, bool utf8) : m_tokens(text, utf8) {}

    TStreamObject ParseRoot() {
        if (!IsObjectKeyword(Token())) {
            Fail(Token().Line, "'object' expected");
        }
        TStreamObject root = ParseObject(0);
        if (Token().Kind != TokenKind::End) {
            Fail(Token().Line, "End of text expected after the last 'end'");
        }
        return root;
    }

private:
    const TToken& Token() const { return m_tokens.Token(); }
    void Next() { m_tokens.Next(); }

    bool IsChar(char c) const { return Token().Kind == TokenKind::Char && Token().Char == c; }
    bool IsWord(std::string_view word) const {
        return Token().Kind == TokenKind::Symbol && SameText(Token().Text, word);
    }
    static bool IsObjectKeyword(const TToken& token) {
        return token.Kind == TokenKind::Symbol &&
               (SameText(token.Text, "object") || SameText(token.Text, "inherited") || SameText(token.Text, "inline"));
    }
    // A keyword used as a property name is followed by '='.
    bool NextIsEquals() {
        TToken next = m_tokens.PeekNext();
        return next.Kind == TokenKind::Char && next.Char == '=';
    }

    void Expect(char c) {
        if (!IsChar(c)) {
            Fail(Token().Line, Format("'%s' expected", {std::string(1, c)}));
        }
        Next();
    }

    // A name stored as a short string.
    std::string TakeName(std::string_view what) {
        if (Token().Kind != TokenKind::Symbol) {
            Fail(Token().Line, Format("%s expected", {what}));
        }
        if (Token().Text.size() > kMaxShortString) {
            Fail(Token().Line, "Identifier longer than 255 characters");
        }
        std::string name = Token().Text;
        Next();
        return name;
    }

    int64_t TakeInteger(int64_t low, int64_t high) {
        if (Token().Kind != TokenKind::Integer) {
            Fail(Token().Line, "Integer expected");
        }
        int64_t value = Token().Int;
        if (value < low || value > high) {
            Fail(Token().Line, "Integer out of range");
        }
        Next();
        return value;
    }

    // Counted as the binary reader counts, so that every text accepted here reads back.
    void CheckDepth(int depth) const {
        if (depth >= kMaxNesting) {
            Fail(Token().Line, "Nesting too deep");
        }
    }

    TStreamObject ParseObject(int depth) {
        CheckDepth(depth + 1);  // its properties sit one level deeper
        TStreamObject object;
        if (IsWord("inherited")) {
            object.Flags = ffInherited;
        } else if (IsWord("inline")) {
            object.Flags = ffInline;
        }
        Next();
        int line = Token().Line;
        std::string first = TakeName("Class name");
        if (IsChar(':')) {
            Next();
            object.ObjectName = std::move(first);
            line = Token().Line;
            object.ClassName = TakeName("Class name");
        } else {
            object.ClassName = std::move(first);
        }
        if (IsChar('[')) {
            Next();
            object.Flags |= ffChildPos;
            object.Position = static_cast<int32_t>(
                TakeInteger(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
            Expect(']');
        }
        // Without a prefix, a first byte of 0xF0..0xF7 would read as one.
        if (object.Flags == 0 && (object.ClassName.size() & 0xF8) == 0xF0) {
            Fail(line, "A class name of 240 to 247 characters needs a prefix");
        }
        for (;;) {
            if (Token().Kind != TokenKind::Symbol) {
                Fail(Token().Line, "'end' expected");
            }
            if (IsWord("end") && !NextIsEquals()) {
                Next();
                return object;
            }
            if (IsObjectKeyword(Token()) && !NextIsEquals()) {
                object.Children.push_back(ParseObject(depth + 1));
            } else if (!object.Children.empty()) {
                Fail(Token().Line, "'end' expected: properties come before nested objects");
            } else {
                object.Properties.push_back(ParseProperty(depth + 1));
            }
        }
    }

    TStreamProperty ParseProperty(int depth) {
        TStreamProperty property;
        property.Name = TakeName("Property name");
        Expect('=');
        property.Value = ParseValue(depth, false);
        return property;
    }

    TStreamValue ParseValue(int depth, bool inList) {
        TStreamValue value;
        const TToken& token = Token();
        switch (token.Kind) {
            case TokenKind::Integer:
                value = TStreamValue::Integer(token.Int);
                Next();
                break;
            case TokenKind::Float:
                value = FloatValue(token);
                Next();
                break;
            case TokenKind::String:
                value = StringValue(token.Wide);
                Next();
                break;
            case TokenKind::Symbol:
                if (token.Text.size() > kMaxShortString) {
                    Fail(token.Line, "Identifier longer than 255 characters");
                }
                value = TStreamValue::Ident(token.Text);
                // Null is stored as the end tag, which would end the list early.
                if (inList && value.Type == vaNull) {
                    Fail(token.Line, "Null cannot be a list item");
                }
                Next();
                break;
            case TokenKind::Char:
                value = ParseStructured(depth);
                break;
            case TokenKind::End:
                Fail(token.Line, "Value expected");
        }
        return value;
    }

    TStreamValue ParseStructured(int depth) {
        TStreamValue value;
        switch (Token().Char) {
            case '[':
                value.Type = vaSet;
                Next();
                while (!IsChar(']')) {
                    if (!value.Set.empty()) {
                        Expect(',');
                    }
                    value.Set.push_back(TakeName("Set element"));
                }
                Next();
                break;
            case '{':
                value.Type = vaBinary;
                value.Bytes = m_tokens.ReadBinary();
                break;
            case '(':
                CheckDepth(depth);
                value.Type = vaList;
                Next();
                while (!IsChar(')')) {
                    value.List.push_back(ParseValue(depth + 1, true));
                }
                Next();
                break;
            case '<':
                CheckDepth(depth);
                value.Type = vaCollection;
                Next();
                while (!IsChar('>')) {
                    value.Items.push_back(ParseItem(depth + 1));
                }
                Next();
                break;
            default:
                Fail(Token().Line, "Value expected");
        }
        return value;
    }

    TStreamCollectionItem ParseItem(int depth) {
        CheckDepth(depth);
        if (!IsWord("item")) {
            Fail(Token().Line, "'item' expected");
        }
        Next();
        TStreamCollectionItem item;
        if (IsChar('[')) {
            Next();
            item.Position = TStreamValue::Integer(
                TakeInteger(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()));
            Expect(']');
        }
        for (;;) {
            if (Token().Kind != TokenKind::Symbol) {
                Fail(Token().Line, "'end' expected");
            }
            if (IsWord("end") && !NextIsEquals()) {
                Next();
                return item;
            }
            item.Properties.push_back(ParseProperty(depth));
        }
    }

    TStreamValue FloatValue(const TToken& token) {
        TStreamValue value;
        bool ok = false;
        switch (token.Suffix) {
            case 's': {
                float number = 0;
                ok = ParseFloat(token.Number, number);
                value.Type = vaSingle;
                value.Float = number;
                break;
            }
            case 'd':
                ok = ParseFloat(token.Number, value.Float);
                value.Type = vaDate;
                break;
            case 'c':
                ok = ParseCurrency(token.Number, value.Int);
                value.Type = vaCurrency;
                break;
            default: {
                ExtendedFloat number = 0;
                ok = ParseFloat(token.Number, number);
                value.Type = vaExtended;
                value.Extended = EncodeExtended(number);
                break;
            }
        }
        if (!ok) {
            Fail(token.Line, "Float out of range");
        }
        return value;
    }

    TTokenizer m_tokens;
};

}  // namespace

std::string ObjectToText(const TStreamObject& object) {
    TTextWriter writer;
    writer.WriteObject(object, 0);
    return writer.Take();
}

TStreamObject TextToObject(std::string_view text) {
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    TTextParser parser(text, IsValidUtf8(text));
    return parser.ParseRoot();
}

void StreamBinaryToText(TStream& binary, TStream& text) {
    TBinaryReader reader(binary);
    reader.ReadSignature();
    std::string written = ObjectToText(reader.ReadObject());
    text.WriteBuffer(written.data(), static_cast<int64_t>(written.size()));
}

void StreamTextToBinary(TStream& text, TStream& binary) {
    std::string source(static_cast<size_t>(text.Remaining()), '\0');
    text.ReadBuffer(source.data(), static_cast<int64_t>(source.size()));
    TStreamObject object = TextToObject(source);
    TBinaryWriter writer(binary);
    writer.WriteSignature();
    writer.WriteObject(object);
}

std::vector<uint8_t> TextToBinary(std::string_view text) {
    TBytesStream source({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    TMemoryStream binary;
    StreamTextToBinary(source, binary);
    return binary.Bytes();
}

std::string BinaryToText(std::span<const uint8_t> binary) {
    TBytesStream source(binary);
    TMemoryStream text;
    StreamBinaryToText(source, text);
    return std::string(text.Bytes().begin(), text.Bytes().end());
}

}  // namespace zaprelay
