#include "plugins/virtual_remote/settings_file.h"

namespace zaprelay::remote {

std::string TSettingsFile::DefaultPath(HMODULE module) {
    return dcd::TSettingsStore::PathBeside(module, "VirtualRemote.ini", "ZAPRELAY_REMOTE_SETTINGS");
}

TRemoteSettings TSettingsFile::Load() const {
    std::optional<std::string> text = m_store.Read();
    return text ? ParseRemoteSettings(*text) : DefaultRemoteSettings();
}

bool TSettingsFile::SaveRepeatSettings(const TRemoteSettings& settings) const {
    return m_store.Rewrite([&](const std::string& text) { return WriteRepeatSettings(text, settings); });
}

bool TSettingsFile::SavePosition(TRemotePosition position) const {
    return m_store.Rewrite([&](const std::string& text) { return WritePosition(text, position); });
}

}  // namespace zaprelay::remote
