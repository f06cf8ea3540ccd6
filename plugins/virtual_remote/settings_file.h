// The settings file of the virtual remote: %ZAPRELAY_REMOTE_SETTINGS%, else VirtualRemote.ini
// beside the DLL. Each save rewrites only its own keys.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/kit/settings_store.h"
#include "plugins/virtual_remote/remote_settings.h"

#include <string>

namespace zaprelay::remote {

class TSettingsFile {
public:
    explicit TSettingsFile(std::string path) : m_store(std::move(path)) {}

    // The path beside the module (or from the environment).
    static std::string DefaultPath(HMODULE module);

    const std::string& Path() const { return m_store.Path(); }

    // The settings in the file; the defaults when it is missing or cannot be read.
    TRemoteSettings Load() const;

    // False when the file could not be read whole (it is then left alone) or written.
    bool SaveRepeatSettings(const TRemoteSettings& settings) const;
    bool SavePosition(TRemotePosition position) const;

private:
    dcd::TSettingsStore m_store;
};

}  // namespace zaprelay::remote
