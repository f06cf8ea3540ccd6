// The guard plug-in: a DCD.dll that runs another receiver (named in guard.ini beside it) in a
// host process of its own, zaprelay-receiver.exe beside it, and passes its codes on. A receiver
// that crashes or hangs is started again instead of taking the program with it, and one that
// dies across standby comes back after the resume. Setup shows the receiver's own dialog while
// it runs; otherwise, or with Ctrl held, the guard's: which receiver, and how it is doing.
#include "plugins/guard/guard_dialog.h"
#include "plugins/guard/guard_settings.h"
#include "plugins/guard/receiver_supervisor.h"
#include "plugins/kit/dialog_template.h"
#include "plugins/kit/plugin_exports.h"
#include "plugins/kit/settings_store.h"

#include <optional>
#include <string>

namespace zaprelay::guard {
namespace {

constexpr wchar_t kHostFileName[] = L"zaprelay-receiver.exe";

// The guard's folder, with its separator.
std::string GuardFolder() {
    const std::string file = dcd::TSettingsStore::PathBeside(dcd::PluginModule(), kGuardSettingsFileName);
    return file.substr(0, file.find_last_of("\\/") + 1);
}

std::wstring StateText(const TGuardStatus& status) {
    const std::wstring failure = dcd::WideFromAnsi(status.LastFailure);
    switch (status.State) {
        case TGuardState::Running:
            return status.Failures == 0 ? L"Running."
                                        : L"Running again after " + std::to_wstring(status.Failures) +
                                              L" failure(s). The last: " + failure + L".";
        case TGuardState::Starting:
            return L"Starting.";
        case TGuardState::Waiting:
            return L"Failed, and starting again in a moment. " + failure + L".";
        case TGuardState::Disabled:
            return L"Turned off after " + std::to_wstring(TRestartPolicy::kFailureLimit) +
                   L" failures within 10 minutes. The last: " + failure + L".";
        case TGuardState::Stopped:
        default:
            return L"Not running.";
    }
}

class TGuardPlugin final : public dcd::TReceiverPlugin {
public:
    void Open(int32_t, HWND window, int32_t) override { m_target = window; }

    void Start() override {
        m_started = m_target != nullptr;
        StartReceiver();
    }

    void Setup() override {
        if (GetKeyState(VK_CONTROL) >= 0 && m_supervisor.ShowReceiverSetup(dcd::SetupDialogOwner(m_target))) {
            return;
        }
        TGuardDialogCalls calls;
        calls.StateText = [this] {
            if (!m_supervisor.Running()) {
                return std::wstring(Receiver().empty() ? L"No receiver chosen." : L"Not running.");
            }
            return StateText(m_supervisor.Status());
        };
        calls.Save = [](const std::string& receiver) {
            return SettingsFile().Rewrite([&](const std::string& text) { return WithReceiver(text, receiver); });
        };
        calls.StartOver = [this](const std::string& receiver) {
            if (m_supervisor.Running()) {
                m_supervisor.StartOver(dcd::WideFromAnsi(ReceiverPath(receiver, GuardFolder())));
            } else {
                StartReceiver();
            }
        };
        ShowGuardDialog(dcd::PluginModule(), dcd::SetupDialogOwner(m_target), Receiver(), GuardFolder(), calls);
    }

    void Stop() override {
        m_started = false;
        m_supervisor.Stop();
    }

    void Close() override {
        Stop();
        m_target = nullptr;
    }

private:
    static dcd::TSettingsStore SettingsFile() {
        return dcd::TSettingsStore(
            dcd::TSettingsStore::PathBeside(dcd::PluginModule(), kGuardSettingsFileName, "ZAPRELAY_GUARD_SETTINGS"));
    }

    static std::string Receiver() {
        std::optional<std::string> text = SettingsFile().Read();
        return text ? ReceiverOf(*text) : std::string();
    }

    void StartReceiver() {
        const std::string receiver = Receiver();
        if (!m_started || receiver.empty()) {
            return;
        }
        const std::string folder = GuardFolder();
        m_supervisor.Start(m_target, dcd::WideFromAnsi(folder) + kHostFileName,
                           dcd::WideFromAnsi(ReceiverPath(receiver, folder)));
    }

    HWND m_target = nullptr;
    bool m_started = false;  // between the program's Start and Stop
    TReceiverSupervisor m_supervisor;
};

}  // namespace
}  // namespace zaprelay::guard

zaprelay::dcd::TReceiverPlugin& zaprelay::dcd::ThePlugin() {
    static guard::TGuardPlugin plugin;
    return plugin;
}
