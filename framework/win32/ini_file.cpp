#include "framework/win32/ini_file.h"

#include "framework/win32/platform.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace zaprelay::win32 {
namespace {

// The value buffer size is part of the class's behaviour: 2047 characters and the terminator.
constexpr DWORD kValueBufferSize = 2048;
// Key and section lists grow up to this; no real settings file comes near it.
constexpr size_t kMaxListSize = 16u << 20;

std::string ReadRaw(const std::string& file, const std::string& section, const std::string& key, const char* def) {
    char buffer[kValueBufferSize];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def, buffer, kValueBufferSize, file.c_str());
    return std::string(buffer, length < kValueBufferSize ? length : 0);
}

// Reads a list of null-terminated names ended by an empty one. The system reports a list cut
// short by returning the buffer size less two, so the buffer doubles until the list fits.
template <typename Fill>
std::vector<std::string> ReadNameList(Fill fill) {
    std::vector<char> buffer(4096);
    DWORD length = 0;
    for (;;) {
        length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length + 2 < buffer.size() || buffer.size() >= kMaxListSize) {
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> names;
    std::string_view all(buffer.data(), length < buffer.size() ? length : 0);
    while (!all.empty()) {
        size_t end = all.find('\0');
        std::string_view name = all.substr(0, end);
        if (!name.empty()) {
            names.emplace_back(name);
        }
        all.remove_prefix(end == std::string_view::npos ? all.size() : end + 1);
    }
    return names;
}

bool IsOneLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Entries the file cannot hold as one line that reads back as the same section and key: a
// line break would start a new key or section of its own.
bool IsStorable(std::string_view section, std::string_view key, std::string_view value) {
    size_t keyStart = key.find_first_not_of(" \t");
    return IsOneLine(section) && IsOneLine(key) && IsOneLine(value) && !section.empty() &&
           section.find(']') == std::string_view::npos && keyStart != std::string_view::npos && key[keyStart] != '[' &&
           key[keyStart] != ';' && key.find('=') == std::string_view::npos;
}

std::optional<int32_t> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    }
    uint64_t magnitude = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, magnitude, base);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (magnitude > limit) {
        return std::nullopt;
    }
    int64_t value = static_cast<int64_t>(magnitude);
    return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section,
                                 const std::string& key,
                                 const std::string& defaultValue) const {
    // The default does not go through the system, which would cut it at 2047 characters and
    // strip its trailing blanks; an empty result is told from a missing key as ValueExists does.
    std::string value = ReadRaw(m_fileName, section, key, "");
    if (!value.empty() || ReadRaw(m_fileName, section, key, "?").empty()) {
        return value;
    }
    return defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (!IsStorable(section, key, value)) {
        RefuseWrite();
    }
    Write(section.c_str(), key.c_str(), value.c_str());
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const {
    return ParseInteger(ReadRaw(m_fileName, section, key, "")).value_or(defaultValue);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const {
    std::vector<std::string> names = ReadNameList(
        [&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, m_fileName.c_str()); });
    for (const std::string& name : names) {
        // Section names match regardless of case, as the system looks them up.
        if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, name.data(),
                           static_cast<int>(name.size()), section.data(),
                           static_cast<int>(section.size())) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    // A missing key reads as the default given, so two different defaults tell a stored
    // (possibly empty) value from a missing one.
    return !ReadRaw(m_fileName, section, key, "").empty() || ReadRaw(m_fileName, section, key, "?").empty();
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
    return ReadNameList([&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer, size, m_fileName.c_str());
    });
}

void TIniFile::EraseSection(const std::string& section) {
    Write(section.c_str(), nullptr, nullptr);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key) {
    Write(section.c_str(), key.c_str(), nullptr);
}

void TIniFile::Write(const char* section, const char* key, const char* value) {
    // Wine run by root writes into a read-only file, so the attribute is checked here rather
    // than left to the system.
    DWORD attributes = GetFileAttributesA(m_fileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        RefuseWrite();
    }
    // The system rewrites the whole file in place, so a write cut short (a full disk) would
    // leave half a file. The change is made to a copy beside it, which then takes its place;
    // a file that another program holds open cannot be copied or replaced, and stays.
    const std::string copy = m_fileName + ".new";
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && value == nullptr) {
        return;  // nothing to remove from a file that is not there
    }
    if (exists ? !CopyFileA(m_fileName.c_str(), copy.c_str(), FALSE) : !DeleteStaleCopy(copy)) {
        RefuseWrite();
    }
    if (!WritePrivateProfileStringA(section, key, value, copy.c_str()) || !ReplaceWithCopy(copy)) {
        DeleteFileA(copy.c_str());
        RefuseWrite();
    }
}

bool TIniFile::ReplaceWithCopy(const std::string& copy) const {
    // Another program reading the file (the system's profile functions do not let it be
    // replaced while they read) holds it for a moment only: a few tries before giving up.
    for (int tries = 0;; ++tries) {
        if (MoveFileExA(copy.c_str(), m_fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) ||
            tries == kReplaceTries) {
            return false;
        }
        Sleep(kReplaceRetryMs);
    }
}

bool TIniFile::DeleteStaleCopy(const std::string& copy) {
    // Left by a write that never finished; the file it was to replace is whole.
    return DeleteFileA(copy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

void TIniFile::RefuseWrite() const {
    throw EIniFileException(Format(msg::kIniFileWriteError, {m_fileName}));
}

}  // namespace zaprelay::win32
