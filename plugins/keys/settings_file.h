// The keyboard remote's settings file: %ZAPRELAY_KEYS_SETTINGS%, else KeyboardRemote.ini
// beside the DLL. A save rewrites only its own list.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/keys/key_settings.h"
#include "plugins/kit/settings_store.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zaprelay::keys {

// When and how large the file was last written; all zero while it is missing.
struct TFileStamp {
    uint64_t WriteTime = 0;
    uint64_t Size = 0;
    bool operator==(const TFileStamp&) const = default;
};

class TSettingsFile {
public:
    explicit TSettingsFile(std::string path) : m_store(std::move(path)) {}

    static std::string DefaultPath(HMODULE module);

    const std::string& Path() const { return m_store.Path(); }

    // The settings in the file; the defaults when it is missing or cannot be read.
    TKeySettings Load() const;
    // The same, but nothing when the file is there and cannot be read (held by an editor, say).
    std::optional<TKeySettings> TryLoad() const;
    // False when the file could not be read whole (it is then left alone) or written.
    bool Save(const TKeySettings& settings) const;
    // A changed stamp means the file was edited since it was last read.
    TFileStamp Stamp() const;

private:
    dcd::TSettingsStore m_store;
};

}  // namespace zaprelay::keys
