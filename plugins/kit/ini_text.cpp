#include "plugins/kit/ini_text.h"

#include <algorithm>
#include <limits>

namespace zaprelay::dcd {
namespace {

struct TLine {
    std::size_t Start;     // first byte
    std::size_t End;       // one past the last byte before the line ending
    std::size_t NextLine;  // one past the line ending
};

// A file saved as UTF-8 by an editor may begin with this mark; the system reads past it.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::vector<TLine> SplitLines(std::string_view text) {
    std::vector<TLine> lines;
    std::size_t start = text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (start < text.size()) {
        std::size_t newline = text.find('\n', start);
        std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back({start, end, next});
        start = next;
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// The name of a "[Section]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    std::size_t close = line.find(']');
    return Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// The key of a "Key=Value" line, or nothing for a comment or a line without '='.
std::optional<std::string_view> KeyName(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
        return std::nullopt;
    }
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(0, equals));
}

// Lines of the first section with this name: [first, last) indices after its header, or
// nothing when the file has no such section.
struct TSectionSpan {
    std::size_t Header;
    std::size_t First;
    std::size_t Last;
};

std::optional<TSectionSpan> FindSection(std::string_view text,
                                        const std::vector<TLine>& lines,
                                        std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = SectionName(text.substr(lines[i].Start, lines[i].End - lines[i].Start));
        if (!name || !SameName(*name, section)) {
            continue;
        }
        std::size_t last = i + 1;
        while (last < lines.size() &&
               !SectionName(text.substr(lines[last].Start, lines[last].End - lines[last].Start))) {
            ++last;
        }
        return TSectionSpan{i, i + 1, last};
    }
    return std::nullopt;
}

std::string_view LineEnding(std::string_view text) {
    std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos || newline == 0 || text[newline - 1] != '\r') {
        return newline == std::string_view::npos ? "\r\n" : "\n";
    }
    return "\r\n";
}

std::string EntryLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    for (char c : value) {
        if (c != '\r' && c != '\n') {
            line += c;
        }
    }
    return line;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section, std::string_view key) {
    std::vector<TLine> lines = SplitLines(text);
    auto span = FindSection(text, lines, section);
    if (!span) {
        return std::nullopt;
    }
    for (std::size_t i = span->First; i < span->Last; ++i) {
        std::string_view line = text.substr(lines[i].Start, lines[i].End - lines[i].Start);
        auto name = KeyName(line);
        if (name && SameName(*name, key)) {
            std::string_view value = Trim(line.substr(line.find('=') + 1));
            // The system drops a pair of quotes around a value.
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value);
        }
    }
    return std::nullopt;
}

std::string UpdateIniText(std::string_view text, std::string_view section, const std::vector<TIniEntry>& entries) {
    const std::string_view eol = LineEnding(text);
    std::vector<TLine> lines = SplitLines(text);
    auto span = FindSection(text, lines, section);
    if (!span) {
        std::string out(text);
        if (!out.empty() && out.back() != '\n' && out != kUtf8Bom) {
            out += eol;
        }
        out += '[';
        out += section;
        out += ']';
        out += eol;
        for (const TIniEntry& entry : entries) {
            out += EntryLine(entry.Key, entry.Value);
            out += eol;
        }
        return out;
    }

    // Each line of the section may be replaced; keys it lacks go after its last filled line.
    std::vector<std::string> replaced(lines.size());
    std::vector<bool> isReplaced(lines.size(), false);
    std::string added;
    for (const TIniEntry& entry : entries) {
        bool found = false;
        for (std::size_t i = span->First; i < span->Last && !found; ++i) {
            std::string_view line = text.substr(lines[i].Start, lines[i].End - lines[i].Start);
            auto name = KeyName(line);
            if (name && SameName(*name, entry.Key)) {
                replaced[i] = EntryLine(*name, entry.Value);
                isReplaced[i] = true;
                found = true;
            }
        }
        if (!found) {
            added += EntryLine(entry.Key, entry.Value);
            added += eol;
        }
    }
    std::size_t insertAfter = span->Header;
    for (std::size_t i = span->First; i < span->Last; ++i) {
        if (!Trim(text.substr(lines[i].Start, lines[i].End - lines[i].Start)).empty()) {
            insertAfter = i;
        }
    }

    std::string out;
    out.reserve(text.size() + added.size() + 64);
    out.append(text.substr(0, lines.front().Start));  // a byte-order mark stays
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TLine& line = lines[i];
        if (isReplaced[i]) {
            out += replaced[i];
        } else {
            out.append(text.substr(line.Start, line.End - line.Start));
        }
        out.append(text.substr(line.End, line.NextLine - line.End));
        if (i == insertAfter && !added.empty()) {
            if (line.NextLine == line.End) {
                out += eol;  // the last line had no ending
            }
            out += added;
        }
    }
    return out;
}

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, last - first + 1);
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        int digit = c - '0';
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return negative ? -value : value;
}

}  // namespace zaprelay::dcd
