// A receiver plug-in for tests: after Start it plays a script of button codes to the
// window given to Open, and it appends every call it receives to a log file.
//   script: %ZAPRELAY_DCD_SCRIPT%, else DCD.script beside the DLL
//   log:    %ZAPRELAY_DCD_LOG%, else DCD.log beside the DLL
// A script may also break the rules on purpose (`fault` lines, see code_script.h).
// Lines of the log starting with '#' are the player's own notes: "# wait NAME" when it
// reaches a gate, "# sent N" once the N-th code's SendMessage has returned, and lines of the
// script it skipped.
#include "framework/win32/platform.h"
#include "plugins/kit/code_sender.h"
#include "plugins/kit/plugin_exports.h"
#include "plugins/kit/sent_messages.h"
#include "plugins/kit/settings_store.h"
#include "plugins/scripted/code_script.h"

#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using zaprelay::scripted::CodeScript;

std::string EnvOr(const char* name, const char* besideDll) {
    return zaprelay::dcd::TSettingsStore::PathBeside(zaprelay::dcd::PluginModule(), besideDll, name);
}

// Appends whole lines; opened per line so the log is complete even if the host dies.
class CallLog {
public:
    void Write(const std::string& line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string path = EnvOr("ZAPRELAY_DCD_LOG", "DCD.log");
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << line << "\n";
    }

private:
    std::mutex m_mutex;
};

CallLog g_log;

// Plays the script on its own thread, delivering through the kit's code sender as the real
// receivers do. Stop may be called while that thread is inside SendMessage to the very thread
// that calls Stop: from inside the handler (then the send is answered early so the player can
// end), or from elsewhere on that thread (then Stop keeps delivering sent messages while it
// waits). A script's faults make it break those rules on purpose.
class Player {
public:
    void Start(HWND target) {
        if (m_thread != nullptr) {
            return;
        }
        m_target = target;
        m_sender.Open(target);
        m_script = LoadScript();
        m_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        // Made before the player runs, so a host may signal a gate before it is reached.
        for (const auto& code : m_script.Codes) {
            OpenGates(code.Gates);
        }
        OpenGates(m_script.TrailingGates);
        m_thread = CreateThread(nullptr, 0, &Player::Run, this, 0, nullptr);
    }

    // The plug-in's Stop.
    void Stop() {
        if (m_thread == nullptr) {
            return;
        }
        if (m_script.Faults.BlocksInStop) {
            Sleep(INFINITE);
        }
        if (m_script.Faults.SendsAfterStop) {
            // The player goes on past its gate "stop", and Close waits for it.
            HANDLE gate = CreateEventA(nullptr, FALSE, FALSE,
                                       zaprelay::scripted::GateEventName(GetCurrentProcessId(), "stop").c_str());
            SetEvent(gate);
            CloseHandle(gate);
            return;
        }
        End();
    }

    // The plug-in's Close.
    void Close() {
        if (m_thread != nullptr && m_script.Faults.SendsAfterStop) {
            zaprelay::dcd::WaitPumpingSentMessages(&m_thread, 1, kCloseWaitMs);
        }
        End();
    }

private:
    static constexpr DWORD kCloseWaitMs = 3000;

    void End() {
        if (m_thread == nullptr) {
            return;
        }
        SetEvent(m_stop);
        m_sender.BeginStop();
        zaprelay::dcd::WaitPumpingSentMessages(&m_thread, 1, INFINITE);  // answering its sends
        CloseHandle(m_thread);
        CloseHandle(m_stop);
        for (HANDLE gate : m_gates) {
            CloseHandle(gate);
        }
        m_gates.clear();
        m_thread = nullptr;
        m_stop = nullptr;
    }

    static CodeScript LoadScript() {
        std::string path = EnvOr("ZAPRELAY_DCD_SCRIPT", "DCD.script");
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            g_log.Write("# script: cannot read " + path);
            return {};
        }
        std::ostringstream text;
        text << in.rdbuf();
        CodeScript script = zaprelay::scripted::ParseCodeScript(text.str());
        for (const std::string& error : script.Errors) {
            g_log.Write("# script " + path + ": " + error);
        }
        return script;
    }

    static DWORD WINAPI Run(void* self) {
        try {
            static_cast<Player*>(self)->Play();
        } catch (...) {
            return 1;
        }
        return 0;
    }

    void OpenGates(const std::vector<std::string>& gates) {
        for (const std::string& gate : gates) {
            std::string name = zaprelay::scripted::GateEventName(GetCurrentProcessId(), gate);
            m_gates.push_back(CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
        }
    }

    // False when the player is stopped, or the gate's event could not be made, before it opens.
    bool PassGate(const std::string& gate, std::size_t& gateIndex) {
        HANDLE event = m_gates[gateIndex++];
        g_log.Write("# wait " + gate);
        if (event == nullptr) {
            g_log.Write("# gate " + gate + ": no event");
            return false;
        }
        HANDLE handles[2] = {m_stop, event};
        return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
    }

    void Play() {
        std::size_t gateIndex = 0;
        int sent = 0;
        for (const auto& code : m_script.Codes) {
            for (const std::string& gate : code.Gates) {
                if (!PassGate(gate, gateIndex)) {
                    return;
                }
            }
            if (WaitForSingleObject(m_stop, code.DelayMs) != WAIT_TIMEOUT) {
                return;
            }
            if (code.Action != zaprelay::scripted::ScriptAction::Send) {
                Misbehave(code.Action);
                continue;
            }
            if (!Deliver(code)) {
                return;
            }
            g_log.Write("# sent " + std::to_string(++sent));
        }
        for (const std::string& gate : m_script.TrailingGates) {
            if (!PassGate(gate, gateIndex)) {
                return;
            }
        }
    }

    struct Sending {
        HWND Target;
        zaprelay::scripted::CodeRecord Record;
        int32_t RepeatCount;
    };

    static DWORD WINAPI SendOnce(void* data) {
        auto* sending = static_cast<Sending*>(data);
        SendMessageA(sending->Target, zaprelay::dcd::kCodeReceived, reinterpret_cast<WPARAM>(sending->Record.data()),
                     static_cast<LPARAM>(sending->RepeatCount));
        return 0;
    }

    void Misbehave(zaprelay::scripted::ScriptAction action) {
        if (action == zaprelay::scripted::ScriptAction::Crash) {
            g_log.Write("# crash");
            int* volatile nowhere = nullptr;
            *nowhere = 1;
        }
        g_log.Write("# hang");
        if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(m_target, nullptr))) {
            SuspendThread(thread);
            CloseHandle(thread);
        }
    }

    bool Deliver(const zaprelay::scripted::ScriptedCode& code) {
        const zaprelay::scripted::CodeRecord record = zaprelay::scripted::MakeCodeRecord(code);
        const zaprelay::scripted::PluginFaults& faults = m_script.Faults;
        if (!faults.SendsAfterStop && faults.Threads == 1) {
            return m_sender.SendRecord(record, code.RepeatCount);
        }
        // Straight to the window, stopping or not, from as many threads at once as asked.
        std::vector<Sending> sendings(faults.Threads, Sending{m_target, record, code.RepeatCount});
        std::vector<HANDLE> threads;
        for (Sending& sending : sendings) {
            if (HANDLE thread = CreateThread(nullptr, 0, &Player::SendOnce, &sending, 0, nullptr)) {
                threads.push_back(thread);
            }
        }
        WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
        for (HANDLE thread : threads) {
            CloseHandle(thread);
        }
        return !threads.empty();
    }

    HWND m_target = nullptr;
    zaprelay::dcd::TCodeSender m_sender;
    CodeScript m_script;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    std::vector<HANDLE> m_gates;  // one per gate line, in script order
};

Player g_player;
HWND g_window = nullptr;

std::string Hex(uintptr_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

class TScriptedPlugin final : public zaprelay::dcd::TReceiverPlugin {
public:
    void Open(int32_t first, HWND window, int32_t third) override {
        g_log.Write("Open(" + std::to_string(first) + ", " + Hex(reinterpret_cast<uintptr_t>(window)) + ", " +
                    std::to_string(third) + ")");
        g_window = window;
    }

    void Start() override {
        g_log.Write("Start()");
        if (g_window != nullptr) {
            g_player.Start(g_window);
        }
    }

    void Setup() override { g_log.Write("Setup()"); }

    void Stop() override {
        g_log.Write("Stop()");
        g_player.Stop();
    }

    void Close() override {
        g_log.Write("Close()");
        g_player.Close();
        g_window = nullptr;
    }

    void Failed(const char* call) override { g_log.Write(std::string("# ") + call + ": failed"); }
};

}  // namespace

zaprelay::dcd::TReceiverPlugin& zaprelay::dcd::ThePlugin() {
    static TScriptedPlugin plugin;
    return plugin;
}
