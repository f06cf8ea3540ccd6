#include "app/ini_settings_store.h"

#include "framework/win32/platform.h"

namespace zaprelay::app {

std::string TIniSettingsStore::ReadString(const std::string& section,
                                          const std::string& key,
                                          const std::string& defaultValue) {
    return m_file.ReadString(section, key, defaultValue);
}

void TIniSettingsStore::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    ++m_writes;
    m_file.WriteString(section, key, value);
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
