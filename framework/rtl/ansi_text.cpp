#include "framework/rtl/ansi_text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <utility>

namespace zaprelay {

namespace {

using UpperHalf = std::array<char16_t, 128>;

// Bytes 0x80..0xFF of each page. Positions the page leaves undefined map to the C1
// control of the same number, as the system's own conversion does.
constexpr UpperHalf kPage1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr UpperHalf kPage1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr UpperHalf kPage1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // C0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // C8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // D8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // E0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // E8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // F0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // F8
};

constexpr UpperHalf MakeLatin1() {
    UpperHalf page{};
    for (std::size_t i = 0; i < page.size(); ++i) {
        page[i] = static_cast<char16_t>(0x80 + i);
    }
    return page;
}
constexpr UpperHalf kPage28591 = MakeLatin1();

// Character to byte, sorted by character, for the way back.
using ReverseHalf = std::array<std::pair<char16_t, uint8_t>, 128>;

ReverseHalf MakeReverse(const UpperHalf& page) {
    ReverseHalf reverse{};
    for (std::size_t i = 0; i < page.size(); ++i) {
        reverse[i] = {page[i], static_cast<uint8_t>(0x80 + i)};
    }
    std::sort(reverse.begin(), reverse.end());
    return reverse;
}

struct CodePage {
    uint32_t Number;
    const UpperHalf* Forward;
};

constexpr std::array<CodePage, 4> kPages = {{
    {1250, &kPage1250},
    {1251, &kPage1251},
    {1252, &kPage1252},
    {28591, &kPage28591},
}};

std::atomic<uint32_t> g_codePage{1251};

const UpperHalf& CurrentForward() {
    uint32_t number = g_codePage.load(std::memory_order_relaxed);
    for (const CodePage& page : kPages) {
        if (page.Number == number) {
            return *page.Forward;
        }
    }
    return kPage1251;
}

const ReverseHalf& CurrentReverse() {
    static const std::array<ReverseHalf, kPages.size()> reverses = [] {
        std::array<ReverseHalf, kPages.size()> all{};
        for (std::size_t i = 0; i < kPages.size(); ++i) {
            all[i] = MakeReverse(*kPages[i].Forward);
        }
        return all;
    }();
    uint32_t number = g_codePage.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < kPages.size(); ++i) {
        if (kPages[i].Number == number) {
            return reverses[i];
        }
    }
    return reverses[1];
}

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Decodes one UTF-8 sequence at text[pos], advancing pos. An ill-formed sequence yields
// U+FFFD and consumes its longest valid-looking prefix (at least one byte), so that one
// bad byte never swallows the well-formed text after it.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos, bool& valid) {
    auto byteAt = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    uint8_t lead = byteAt(pos++);
    valid = true;
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        c = lead & 0x0F;
        if (lead == 0xE0) {
            low = 0xA0;  // overlong
        } else if (lead == 0xED) {
            high = 0x9F;  // surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        c = lead & 0x07;
        if (lead == 0xF0) {
            low = 0x90;  // overlong
        } else if (lead == 0xF4) {
            high = 0x8F;  // above U+10FFFF
        }
    } else {
        valid = false;
        return kReplacement;
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size()) {
            valid = false;
            return kReplacement;
        }
        uint8_t b = byteAt(pos);
        if (b < low || b > high) {
            valid = false;
            return kReplacement;
        }
        low = 0x80;
        high = 0xBF;
        c = (c << 6) | (b & 0x3F);
        ++pos;
    }
    return c;
}

// Decodes one UTF-16 character at text[pos], advancing pos; unpaired surrogates give U+FFFD.
char32_t DecodeUtf16(std::u16string_view text, std::size_t& pos) {
    char32_t c = text[pos++];
    if (IsHighSurrogate(c)) {
        if (pos < text.size() && IsLowSurrogate(text[pos])) {
            char32_t low = text[pos++];
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        return kReplacement;
    }
    if (IsLowSurrogate(c)) {
        return kReplacement;
    }
    return c;
}

}  // namespace

bool SetAnsiCodePage(uint32_t codePage) {
    for (const CodePage& page : kPages) {
        if (page.Number == codePage) {
            g_codePage.store(codePage, std::memory_order_relaxed);
            return true;
        }
    }
    return false;
}

uint32_t AnsiCodePage() {
    return g_codePage.load(std::memory_order_relaxed);
}

std::u16string AnsiToWide(std::string_view text) {
    const UpperHalf& page = CurrentForward();
    std::u16string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto b = static_cast<uint8_t>(ch);
        out += b < 0x80 ? static_cast<char16_t>(b) : page[b - 0x80];
    }
    return out;
}

std::string WideToAnsi(std::u16string_view text) {
    const ReverseHalf& reverse = CurrentReverse();
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c = DecodeUtf16(text, pos);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        auto it = std::lower_bound(reverse.begin(), reverse.end(), c,
                                   [](const std::pair<char16_t, uint8_t>& entry, char32_t key) {
                                       return static_cast<char32_t>(entry.first) < key;
                                   });
        bool found = it != reverse.end() && static_cast<char32_t>(it->first) == c;
        out += found ? static_cast<char>(it->second) : '?';
    }
    return out;
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        AppendUtf8(out, DecodeUtf16(text, pos));
    }
    return out;
}

std::u16string Utf8ToWide(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    bool valid = true;
    while (pos < text.size()) {
        AppendUtf16(out, DecodeUtf8(text, pos, valid));
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    bool valid = true;
    while (pos < text.size()) {
        // ASCII, most of any layout or skin text, is valid as it stands.
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        DecodeUtf8(text, pos, valid);
        if (!valid) {
            return false;
        }
    }
    return true;
}

}  // namespace zaprelay
