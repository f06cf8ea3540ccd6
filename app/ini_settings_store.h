// The bridge's settings store over the program's settings file.
#pragma once

#include "app/bridge/settings_store.h"
#include "framework/win32/ini_file.h"

namespace zaprelay::app {

class TIniSettingsStore : public bridge::TSettingsStore {
public:
    explicit TIniSettingsStore(std::string fileName) : m_file(std::move(fileName)) {}

    const std::string& FileName() const { return m_file.FileName(); }

    std::string ReadString(const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue) override;
    // Writes the value so that it reads back as it is (a code a plug-in sends may carry blanks
    // or quotes at its ends).
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    // The value as written to the file.
    static std::string StoredForm(const std::string& value);
    // The file's write time and size with the count of own writes: an edit by hand while the
    // program runs is seen at the next read.
    bridge::TSettingsVersion Version() override;

private:
    win32::TIniFile m_file;
    uint64_t m_writes = 0;
};

}  // namespace zaprelay::app
