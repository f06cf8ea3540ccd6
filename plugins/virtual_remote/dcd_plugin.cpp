// The virtual remote receiver plug-in: after Start a small remote control window, run by a
// thread of the plug-in, sends a code for each button pressed on it, as a receiver would for
// a real remote. Setup shows its settings dialog.
//   settings: %ZAPRELAY_REMOTE_SETTINGS%, else VirtualRemote.ini beside the DLL
#include "plugins/kit/plugin_exports.h"
#include "plugins/virtual_remote/remote_thread.h"
#include "plugins/virtual_remote/settings_dialog.h"
#include "plugins/virtual_remote/settings_file.h"

namespace zaprelay::remote {
namespace {

class TVirtualRemotePlugin final : public dcd::TReceiverPlugin {
public:
    void Open(int32_t, HWND window, int32_t) override { m_target = window; }

    void Start() override {
        if (m_target != nullptr) {
            m_remote.Start(dcd::PluginModule(), m_target, SettingsFile());
        }
    }

    void Setup() override {
        const TSettingsFile file = SettingsFile();
        ShowSettingsDialog(dcd::PluginModule(), dcd::SetupDialogOwner(m_target), file.Load(),
                           [&](const TRemoteSettings& settings) {
                               if (!file.SaveRepeatSettings(settings)) {
                                   return false;
                               }
                               m_remote.UseSettings(settings);
                               return true;
                           });
    }

    void Stop() override { m_remote.Stop(); }

    void Close() override {
        m_remote.Stop();
        m_target = nullptr;
    }

private:
    static TSettingsFile SettingsFile() { return TSettingsFile(TSettingsFile::DefaultPath(dcd::PluginModule())); }

    HWND m_target = nullptr;
    TRemoteThread m_remote;
};

}  // namespace
}  // namespace zaprelay::remote

zaprelay::dcd::TReceiverPlugin& zaprelay::dcd::ThePlugin() {
    static remote::TVirtualRemotePlugin plugin;
    return plugin;
}
