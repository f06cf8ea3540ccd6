#include "plugins/lirc/connection_probe.h"

#include "plugins/lirc/lirc_connection.h"

#include <atomic>
#include <mutex>

namespace zaprelay::lirc {

struct TConnectionProbe::TState {
    HWND Window = nullptr;
    UINT Message = 0;
    TLircSettings Settings;
    std::atomic<bool> Stopping{false};
    mutable std::mutex Lock;
    TProbeReport Report;

    template <typename Change>
    void Update(Change change) {
        {
            std::lock_guard<std::mutex> lock(Lock);
            change(Report);
        }
        if (!Stopping) {
            PostMessageW(Window, Message, 0, 0);
        }
    }
};

namespace {

using TState = TConnectionProbe::TState;

constexpr DWORD kProbePatienceMs = 500;

void Probe(TState& state, HANDLE stop) {
    TWinsockUse winsock;
    TLircConnection connection;
    TConnectStatus status = winsock.Ready()
                                ? connection.Connect(state.Settings.Host, state.Settings.Port, stop, kProbeTimeoutMs)
                                : TConnectStatus::Failed;
    if (status == TConnectStatus::Stopped) {
        return;
    }
    if (status != TConnectStatus::Connected) {
        state.Update([&](TProbeReport& report) {
            report.Stage = TProbeReport::TStage::Failed;
            report.Failure = status;
            report.Error = connection.LastError();
        });
        return;
    }
    state.Update([](TProbeReport& report) { report.Stage = TProbeReport::TStage::Connected; });
    const TLircLineOptions options{state.Settings.ReleaseSuffix};
    std::vector<std::string> lines;
    for (;;) {
        lines.clear();
        TReadStatus read = connection.Read(stop, INFINITE, lines);
        for (const std::string& line : lines) {
            if (std::optional<TLircButton> button = ParseLircLine(line, options)) {
                state.Update([&](TProbeReport& report) { report.LastCode = button->Code; });
            }
        }
        if (read == TReadStatus::Stopped) {
            return;
        }
        if (read == TReadStatus::Closed) {
            state.Update([](TProbeReport& report) { report.Stage = TProbeReport::TStage::Closed; });
            return;
        }
    }
}

}  // namespace

void TConnectionProbe::Start(HWND window, UINT message, const TLircSettings& settings) {
    Stop();
    auto state = std::make_shared<TState>();
    state->Window = window;
    state->Message = message;
    state->Settings = settings;
    m_state = state;
    if (!m_worker.Start([state](HANDLE stop) { Probe(*state, stop); })) {
        state->Report.Stage = TProbeReport::TStage::Failed;
        state->Report.Error = static_cast<int>(GetLastError());
    }
}

void TConnectionProbe::Stop() {
    if (m_state) {
        m_state->Stopping = true;
    }
    m_worker.Stop(kProbePatienceMs);
}

TProbeReport TConnectionProbe::Report() const {
    if (!m_state) {
        return {};
    }
    std::lock_guard<std::mutex> lock(m_state->Lock);
    return m_state->Report;
}

}  // namespace zaprelay::lirc
