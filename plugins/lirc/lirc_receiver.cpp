#include "plugins/lirc/lirc_receiver.h"

#include "plugins/include/dcd_plugin.h"
#include "plugins/kit/code_record.h"
#include "plugins/kit/sent_messages.h"
#include "plugins/lirc/lirc_connection.h"
#include "plugins/lirc/reconnect_backoff.h"

#include <atomic>

namespace zaprelay::lirc {

struct TLircReceiver::TSession {
    HWND Target = nullptr;
    TLircSettings Settings;
    std::atomic<bool> Stopping{false};
    std::atomic<bool> Sending{false};
    dcd::TCodeRecord Record{};
};

namespace {

using TSession = TLircReceiver::TSession;

constexpr DWORD kConnectTimeoutMs = 10000;
// How often an idle connection looks at the clock: a wait that took far longer than asked
// means the computer slept, and the connection is renewed at once instead of trusted.
constexpr DWORD kIdleCheckMs = 5000;
constexpr DWORD kSleepSlackMs = 20000;
constexpr DWORD kStopPatienceMs = 3000;

// Either the thread sees Stopping and sends nothing, or Stop sees Sending and waits for the
// send to finish: both flags are sequentially consistent.
void Deliver(TSession& session, const TLircButton& button) {
    session.Sending = true;
    if (!session.Stopping) {
        dcd::FillCodeRecord(session.Record, button.Code);
        SendMessageW(session.Target, dcd::kCodeReceived, reinterpret_cast<WPARAM>(session.Record.data()),
                     static_cast<LPARAM>(button.RepeatCount));
    }
    session.Sending = false;
}

enum class TDropReason { Closed, Slept, Stopped };

// Reads the connection until it ends. delivered tells whether a button came through.
TDropReason Listen(TSession& session, HANDLE stop, TLircConnection& connection, bool& delivered) {
    const TLircLineOptions options{session.Settings.ReleaseSuffix};
    std::vector<std::string> lines;
    for (;;) {
        lines.clear();
        const DWORD before = GetTickCount();
        TReadStatus status = connection.Read(stop, kIdleCheckMs, lines);
        for (const std::string& line : lines) {
            if (std::optional<TLircButton> button = ParseLircLine(line, options)) {
                Deliver(session, *button);
                delivered = true;
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
    while (!session.Stopping) {
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
                bool delivered = false;
                TDropReason reason = Listen(session, stop, connection, delivered);
                if (reason == TDropReason::Stopped) {
                    return;
                }
                if (reason == TDropReason::Slept) {
                    backoff.Reset();
                    continue;
                }
                if (delivered || GetTickCount() - connectedAt >= TReconnectBackoff::kHealthyAfterMs) {
                    backoff.Reset();
                }
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
    session->Target = target;
    session->Settings = settings;
    if (m_worker.Start([session](HANDLE stop) { RunSession(*session, stop); })) {
        m_session = std::move(session);
    }
}

void TLircReceiver::Stop() {
    if (!m_worker.Running()) {
        return;
    }
    TSession& session = *m_session;
    session.Stopping = true;
    // Called from inside the handler of our code: answer it, so the send returns and the
    // thread can see that it must end. (The program stops its plug-in from its own posted and
    // window messages, or from inside this handler; never from a handler of another thread's
    // send, which this would answer instead.)
    if (session.Sending && InSendMessage()) {
        ReplyMessage(0);
    }
    if (!m_worker.Stop(kStopPatienceMs)) {
        // Stuck in a name lookup: it sends nothing more once no send is under way.
        while (session.Sending) {
            dcd::WaitPumpingSentMessages(nullptr, 0, 20);
        }
    }
    m_retired = std::move(m_session);
}

}  // namespace zaprelay::lirc
