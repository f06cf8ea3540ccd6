// The network receiver plug-in: buttons from a LIRC daemon or a WinLIRC server over TCP.
// After Start a thread of the plug-in connects (and reconnects) to the server named in
// LircReceiver.ini beside the DLL and sends one code per button line. Setup shows its
// settings dialog.
#include "plugins/kit/plugin_exports.h"
#include "plugins/kit/settings_store.h"
#include "plugins/lirc/lirc_receiver.h"
#include "plugins/lirc/lirc_settings.h"
#include "plugins/lirc/settings_dialog.h"

namespace zaprelay::lirc {
namespace {

class TLircPlugin final : public dcd::TReceiverPlugin {
public:
    void Open(int32_t, HWND window, int32_t) override { m_target = window; }

    void Start() override {
        if (m_target != nullptr) {
            m_receiver.Start(m_target, LoadSettings());
        }
    }

    void Setup() override {
        ShowSettingsDialog(dcd::PluginModule(), dcd::SetupDialogOwner(m_target), LoadSettings(),
                           [this](const TLircSettings& settings) { return Save(settings); });
    }

    void Stop() override { m_receiver.Stop(); }

    void Close() override {
        m_receiver.Stop();
        m_target = nullptr;
    }

private:
    static dcd::TSettingsStore SettingsFile() {
        return dcd::TSettingsStore(dcd::TSettingsStore::PathBeside(dcd::PluginModule(), kLircSettingsFileName));
    }

    static TLircSettings LoadSettings() {
        std::optional<std::string> text = SettingsFile().Read();
        return text ? ParseLircSettings(*text) : TLircSettings();
    }

    bool Save(const TLircSettings& settings) {
        if (!SettingsFile().Rewrite([&](const std::string& text) { return WriteLircServer(text, settings); })) {
            return false;
        }
        // A running receiver moves to the new server at once.
        if (m_receiver.Running()) {
            m_receiver.Stop();
            m_receiver.Start(m_target, settings);
        }
        return true;
    }

    HWND m_target = nullptr;
    TLircReceiver m_receiver;
};

}  // namespace
}  // namespace zaprelay::lirc

zaprelay::dcd::TReceiverPlugin& zaprelay::dcd::ThePlugin() {
    static lirc::TLircPlugin plugin;
    return plugin;
}
