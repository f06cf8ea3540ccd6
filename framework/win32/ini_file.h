// An initialisation file read and written by section and key through the system's
// private-profile functions. The file and its values are ANSI 8-bit text by design.
#pragma once

#include "framework/rtl/exceptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zaprelay::msg {
inline constexpr char kIniFileWriteError[] = "Unable to write to %s";
}  // namespace zaprelay::msg

namespace zaprelay::win32 {

class EIniFileException : public Exception {
    using Exception::Exception;
};

// Every write goes to the file at once, through a copy that replaces it whole (FILE.new beside
// it). A write the file cannot take (read-only file, missing folder, file locked by another
// process, a disk too full for the copy, or an entry that would break the file's line
// structure) raises EIniFileException and leaves the file as it was.
class TIniFile {
public:
    // fileName should be a full path: the system looks for a bare name in the Windows folder.
    explicit TIniFile(std::string fileName) : m_fileName(std::move(fileName)) {}

    const std::string& FileName() const { return m_fileName; }

    // The stored value or, when the key is missing, defaultValue exactly as given. The system
    // reads into a 2048-character buffer, so at most 2047 characters of a value are seen; it
    // also trims blanks around values and strips one pair of enclosing quotes.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // Creates the file, section or key as needed; an empty value is stored as "Key=".
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Decimal, or hexadecimal after "0x" or "$"; a value that is not a whole 32-bit number
    // reads as the default.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    // Stored as 1 and 0; any non-zero number reads as true.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // A section header without keys counts as existing.
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // The keys of a section in file order; empty for a missing section.
    std::vector<std::string> ReadSection(const std::string& section) const;

    // Removing what is not there is not an error, but a read-only file refuses either.
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    void Write(const char* section, const char* key, const char* value);
    static bool DeleteStaleCopy(const std::string& copy);
    bool ReplaceWithCopy(const std::string& copy) const;
    static constexpr int kReplaceTries = 25;
    static constexpr uint32_t kReplaceRetryMs = 20;
    [[noreturn]] void RefuseWrite() const;

    std::string m_fileName;
};

}  // namespace zaprelay::win32
