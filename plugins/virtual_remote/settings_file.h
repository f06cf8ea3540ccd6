// The settings file of the virtual remote: %ZAPRELAY_REMOTE_SETTINGS%, else VirtualRemote.ini
// beside the DLL. Each save rewrites only its own keys, under one lock, through a temporary
// file, so two writers never lose each other's values and a failed write leaves the old file.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/virtual_remote/remote_settings.h"

#include <string>

namespace zaprelay::remote {

class TSettingsFile {
public:
    explicit TSettingsFile(std::string path) : m_path(std::move(path)) {}

    // The path beside the module (or from the environment).
    static std::string DefaultPath(HMODULE module);

    const std::string& Path() const { return m_path; }

    // The settings in the file; the defaults when it is missing or cannot be read.
    TRemoteSettings Load() const;

    // False when the file could not be read whole (it is then left alone) or written.
    bool SaveRepeatSettings(const TRemoteSettings& settings) const;
    bool SavePosition(TRemotePosition position) const;

private:
    template <typename Edit>
    bool Rewrite(Edit edit) const;

    std::string m_path;
};

}  // namespace zaprelay::remote
