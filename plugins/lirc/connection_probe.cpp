#include "plugins/lirc/connection_probe.h"

#include "plugins/lirc/lirc_connection.h"

#include <mutex>

namespace zaprelay::lirc {

struct TConnectionProbe::TState {
    HWND Window = nullptr;
    UINT Message = 0;
    TLircSettings Settings;
    mutable std::mutex Lock;
    bool Stopping = false;       // under Lock: no post once Stop has set it
    bool NoticePending = false;  // under Lock: one notice in the window's queue at a time
    TProbeReport Report;

    // A server that floods button lines yields one notice, not one per line: the window reads
    // the newest report when it gets to it.
    template <typename Change>
    void Update(Change change) {
        std::lock_guard<std::mutex> lock(Lock);
        change(Report);
        if (!Stopping && !NoticePending) {
            NoticePending = PostMessageW(Window, Message, 0, 0) != FALSE;
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
        const int error = static_cast<int>(GetLastError());
        state->Update([&](TProbeReport& report) {
            report.Stage = TProbeReport::TStage::Failed;
            report.Error = error;
        });
    }
}

void TConnectionProbe::Stop() {
    if (m_state) {
        std::lock_guard<std::mutex> lock(m_state->Lock);
        m_state->Stopping = true;
    }
    m_worker.Stop(kProbePatienceMs);
}

TProbeReport TConnectionProbe::TakeReport() {
    if (!m_state) {
        return {};
    }
    std::lock_guard<std::mutex> lock(m_state->Lock);
    m_state->NoticePending = false;
    return m_state->Report;
}

}  // namespace zaprelay::lirc
