// The settings file as the bridge logic sees it: text values by section and key, and a
// version that changes whenever the stored values may have changed.
#pragma once

#include <cstdint>
#include <string>

namespace zaprelay::bridge {

// Equal versions promise equal contents; a reader may keep what it read until it changes.
struct TSettingsVersion {
    uint64_t WriteTime = 0;  // the file's last write time, 0 when there is no file
    uint64_t Size = 0;
    uint64_t Writes = 0;  // writes made through this store
    bool operator==(const TSettingsVersion&) const = default;
};

class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;

    // The stored value, or defaultValue when the key is missing.
    virtual std::string ReadString(const std::string& section,
                                   const std::string& key,
                                   const std::string& defaultValue) = 0;
    // Stores at once; raises when the file refuses the write, leaving it as it was.
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual TSettingsVersion Version() = 0;
};

}  // namespace zaprelay::bridge
