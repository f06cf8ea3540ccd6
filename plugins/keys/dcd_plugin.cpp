// The keyboard remote receiver plug-in: for remotes that the system sees as a keyboard (media
// keys, media centre and USB RF remotes). After Start a thread of the plug-in takes the
// session's key presses and sends a code ("KEY VOLUME_UP") for each key it is set to report;
// Setup shows its settings dialog.
//   settings: %ZAPRELAY_KEYS_SETTINGS%, else KeyboardRemote.ini beside the DLL
#include "plugins/keys/keys_thread.h"
#include "plugins/keys/settings_dialog.h"
#include "plugins/keys/settings_file.h"
#include "plugins/kit/plugin_exports.h"

namespace zaprelay::keys {
namespace {

class TKeysPlugin final : public dcd::TReceiverPlugin {
public:
    void Open(int32_t, HWND window, int32_t) override { m_target = window; }

    void Start() override {
        if (m_target != nullptr) {
            m_keys.Start(dcd::PluginModule(), m_target, SettingsFile());
        }
    }

    void Setup() override {
        const TSettingsFile file = SettingsFile();
        // Keys pressed to add them to the list do not reach the program meanwhile.
        struct TResume {
            TKeysThread& Keys;
            ~TResume() { Keys.Pause(false); }
        } resume{m_keys};
        m_keys.Pause(true);
        // A key already on its way is delivered now, before the dialog, not inside it.
        MSG pending;
        PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        ShowSettingsDialog(dcd::PluginModule(), dcd::SetupDialogOwner(m_target), file.Load(),
                           [&](const TKeySettings& settings) {
                               if (!file.Save(settings)) {
                                   return false;
                               }
                               m_keys.UseSettings(settings);
                               return true;
                           });
    }

    void Stop() override { m_keys.Stop(); }

    void Close() override {
        m_keys.Stop();
        m_target = nullptr;
    }

private:
    static TSettingsFile SettingsFile() { return TSettingsFile(TSettingsFile::DefaultPath(dcd::PluginModule())); }

    HWND m_target = nullptr;
    TKeysThread m_keys;
};

}  // namespace
}  // namespace zaprelay::keys

zaprelay::dcd::TReceiverPlugin& zaprelay::dcd::ThePlugin() {
    static keys::TKeysPlugin plugin;
    return plugin;
}
