#include "plugins/lirc/lirc_receiver.h"

#include "plugins/kit/code_sender.h"
#include "plugins/lirc/lirc_connection.h"
#include "plugins/lirc/reconnect_backoff.h"

namespace zaprelay::lirc {

struct TLircReceiver::TSession {
    TLircSettings Settings;
    dcd::TCodeSender Sender;
};

namespace {

using TSession = TLircReceiver::TSession;

constexpr DWORD kConnectTimeoutMs = 10000;
// How often an idle connection looks at the clock: a wait that took far longer than asked
// means the computer slept, and the connection is renewed at once instead of trusted.
constexpr DWORD kIdleCheckMs = 5000;
constexpr DWORD kSleepSlackMs = 20000;
constexpr DWORD kStopPatienceMs = 3000;

enum class TDropReason { Closed, Slept, Stopped };

// Reads the connection until it ends.
TDropReason Listen(TSession& session, HANDLE stop, TLircConnection& connection) {
    const TLircLineOptions options{session.Settings.ReleaseSuffix};
    std::vector<std::string> lines;
    for (;;) {
        lines.clear();
        const DWORD before = GetTickCount();
        TReadStatus status = connection.Read(stop, kIdleCheckMs, lines);
        for (const std::string& line : lines) {
            if (std::optional<TLircButton> button = ParseLircLine(line, options)) {
                session.Sender.Send(button->Code, button->RepeatCount);
            }
        }
        switch (status) {
            case TReadStatus::Stopped:
                return TDropReason::Stopped;
            case TReadStatus::Closed:
                return TDropReason::Closed;
            case TReadStatus::Idle:
                if (GetTickCount() - before > kIdleCheckMs + kSleepSlackMs) {
                    return TDropReason::Slept;
                }
                break;
            case TReadStatus::Data:
                break;
        }
    }
}

void RunSession(TSession& session, HANDLE stop) {
    TWinsockUse winsock;
    if (!winsock.Ready()) {
        return;
    }
    TReconnectBackoff backoff;
    while (!session.Sender.Stopping()) {
        // A failure of one connection (memory, say) is a drop like any other: the receiver
        // tries again instead of going quiet until the program restarts it.
        try {
            TLircConnection connection;
            TConnectStatus status =
                connection.Connect(session.Settings.Host, session.Settings.Port, stop, kConnectTimeoutMs);
            if (status == TConnectStatus::Stopped) {
                return;
            }
            if (status == TConnectStatus::Connected) {
                const DWORD connectedAt = GetTickCount();
                TDropReason reason = Listen(session, stop, connection);
                if (reason == TDropReason::Stopped) {
                    return;
                }
                if (reason == TDropReason::Slept) {
                    backoff.Reset();
                    continue;
                }
                backoff.ConnectionEnded(GetTickCount() - connectedAt);
            }
        } catch (...) {
        }
        if (WaitForSingleObject(stop, backoff.NextDelayMs()) != WAIT_TIMEOUT) {
            return;
        }
    }
}

}  // namespace

void TLircReceiver::Start(HWND target, const TLircSettings& settings) {
    if (m_worker.Running()) {
        return;
    }
    auto session = std::make_shared<TSession>();
    session->Settings = settings;
    session->Sender.Open(target);
    if (m_worker.Start([session](HANDLE stop) { RunSession(*session, stop); })) {
        m_session = std::move(session);
    }
}

void TLircReceiver::Stop() {
    if (!m_worker.Running()) {
        return;
    }
    m_session->Sender.BeginStop();
    if (!m_worker.Stop(kStopPatienceMs)) {
        // Stuck in a name lookup: it sends nothing more once no send is under way.
        m_session->Sender.WaitForSendToEnd();
    }
    m_retired = std::move(m_session);
}

}  // namespace zaprelay::lirc
