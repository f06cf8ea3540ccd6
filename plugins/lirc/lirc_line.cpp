#include "plugins/lirc/lirc_line.h"

#include "plugins/include/dcd_plugin.h"

#include <array>
#include <limits>
#include <utility>

namespace zaprelay::lirc {
namespace {

constexpr std::size_t kMaxCodeDigits = 16;
constexpr std::size_t kMaxRepeatDigits = 8;  // more would not fit the signed 32-bit count
constexpr std::string_view kEventReleaseSuffix = "_EVUP";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsHex(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return false;
    }
    for (char c : text) {
        if (HexValue(c) < 0) {
            return false;
        }
    }
    return true;
}

// The program compares code texts byte for byte and ends them at a zero byte: control
// characters would make codes that look alike but never match, or cut them short.
bool IsPrintable(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

std::optional<TLircButton> ParseLircLine(std::string_view line, const TLircLineOptions& options) {
    std::array<std::string_view, 4> fields;
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos == line.size()) {
            break;
        }
        std::size_t end = pos;
        while (end < line.size() && !IsBlank(line[end])) {
            ++end;
        }
        if (count == fields.size()) {
            return std::nullopt;  // a fifth field
        }
        fields[count++] = line.substr(pos, end - pos);
        pos = end;
    }
    if (count != fields.size()) {
        return std::nullopt;
    }
    const std::string_view code = fields[0];
    const std::string_view repeat = fields[1];
    const std::string_view button = fields[2];
    const std::string_view remote = fields[3];
    if (!IsHex(code, kMaxCodeDigits) || !IsHex(repeat, kMaxRepeatDigits) || !IsPrintable(button) ||
        !IsPrintable(remote)) {
        return std::nullopt;
    }
    if (EndsWith(button, kEventReleaseSuffix) ||
        (!options.ReleaseSuffix.empty() && EndsWith(button, options.ReleaseSuffix))) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : repeat) {
        value = value * 16 + static_cast<uint32_t>(HexValue(c));
    }
    if (value > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    // The first dot of a code ends the remote's name: dots (and the escape sign) inside that
    // name are escaped, so remote "a.b" with button "c" and remote "a" with button "b.c"
    // stay two codes.
    TLircButton result;
    for (char c : remote) {
        if (c == '.') {
            result.Code += "%2E";
        } else if (c == '%') {
            result.Code += "%25";
        } else {
            result.Code += c;
        }
    }
    if (result.Code.size() + 1 + button.size() > dcd::kCodeTextSize) {
        return std::nullopt;
    }
    result.Code.append(1, '.').append(button);
    result.RepeatCount = static_cast<int32_t>(value);
    return result;
}

void TLircLineSplitter::Feed(std::string_view bytes, std::vector<std::string>& lines) {
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        const std::string_view part = bytes.substr(0, newline);
        if (!m_discarding) {
            // A CR ending the line is not counted against the limit.
            if (m_pending.size() + part.size() > kMaxLineLength + 1) {
                m_pending.clear();
                m_discarding = true;
            } else {
                m_pending.append(part);
            }
        }
        if (newline == std::string_view::npos) {
            return;
        }
        bytes.remove_prefix(newline + 1);
        if (m_discarding) {
            m_discarding = false;
            continue;
        }
        if (!m_pending.empty() && m_pending.back() == '\r') {
            m_pending.pop_back();
        }
        if (m_pending.size() <= kMaxLineLength) {
            lines.push_back(std::move(m_pending));
        }
        m_pending.clear();
    }
}

}  // namespace zaprelay::lirc
