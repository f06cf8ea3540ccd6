#include "app/ini_settings_store.h"

#include "framework/win32/platform.h"

namespace zaprelay::app {

std::string TIniSettingsStore::ReadString(const std::string& section,
                                          const std::string& key,
                                          const std::string& defaultValue) {
    return m_file.ReadString(section, key, defaultValue);
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

}  // namespace

std::string TIniSettingsStore::StoredForm(const std::string& value) {
    // The system's reader trims blanks around a value and takes off one pair of quotes around
    // it: a value it would change goes in quotes, which it takes off again. Others stay bare.
    if (value.empty() ||
        !(IsBlank(value.front()) || IsBlank(value.back()) || IsQuote(value.front()) || IsQuote(value.back()))) {
        return value;
    }
    return '"' + value + '"';
}

void TIniSettingsStore::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    ++m_writes;
    m_file.WriteString(section, key, StoredForm(value));
}

bridge::TSettingsVersion TIniSettingsStore::Version() {
    bridge::TSettingsVersion version;
    version.Writes = m_writes;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(m_file.FileName().c_str(), GetFileExInfoStandard, &data)) {
        version.WriteTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
        version.Size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    }
    return version;
}

}  // namespace zaprelay::app
