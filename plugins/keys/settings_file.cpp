#include "plugins/keys/settings_file.h"

namespace zaprelay::keys {

std::string TSettingsFile::DefaultPath(HMODULE module) {
    return dcd::TSettingsStore::PathBeside(module, "KeyboardRemote.ini", "ZAPRELAY_KEYS_SETTINGS");
}

TKeySettings TSettingsFile::Load() const {
    return TryLoad().value_or(DefaultKeySettings());
}

std::optional<TKeySettings> TSettingsFile::TryLoad() const {
    std::optional<std::string> text = m_store.Read();
    return text ? std::optional<TKeySettings>(ParseKeySettings(*text)) : std::nullopt;
}

bool TSettingsFile::Save(const TKeySettings& settings) const {
    return m_store.Rewrite([&](const std::string& text) { return WriteKeySettings(text, settings); });
}

TFileStamp TSettingsFile::Stamp() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(Path().c_str(), GetFileExInfoStandard, &data)) {
        return {};
    }
    auto join = [](DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; };
    return TFileStamp{join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
                      join(data.nFileSizeHigh, data.nFileSizeLow)};
}

}  // namespace zaprelay::keys
