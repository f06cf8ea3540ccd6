// A receiver for guard_bench: after Start its thread sends ZAPRELAY_STAMP_CODES codes (2000 by
// default), about one every 2 ms, each the QueryPerformanceCounter reading taken just before
// it is sent. The counter is the same in every process, so the window that gets a code, in
// this process or another, knows how long it took to arrive.
#include "plugins/kit/code_sender.h"
#include "plugins/kit/plugin_exports.h"
#include "plugins/kit/worker_thread.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace zaprelay::bench {
namespace {

constexpr int kDefaultCodes = 2000;
constexpr int kMaxCodes = 10000000;
constexpr DWORD kPaceMs = 2;
constexpr DWORD kStopPatienceMs = 3000;

int CodesToSend() {
    char text[32] = {};
    const DWORD length = GetEnvironmentVariableA("ZAPRELAY_STAMP_CODES", text, sizeof text);
    if (length == 0 || length >= sizeof text) {
        return kDefaultCodes;
    }
    char* end = nullptr;
    const long codes = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || codes < 0 || codes > kMaxCodes) {
        return kDefaultCodes;
    }
    return static_cast<int>(codes);
}

// The thread's, held by it too, so a Stop that gives up waiting leaves it something to send through.
struct TSession {
    dcd::TCodeSender Sender;
};

void SendStamps(TSession& session, HANDLE stop, int codes) {
    for (int i = 0; i < codes; ++i) {
        if (WaitForSingleObject(stop, kPaceMs) != WAIT_TIMEOUT) {
            return;
        }
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        // Every text differs (the counter only grows, and the letters alternate besides): the
        // kit passes at most ten fresh presses of one code a second.
        const std::string text = (i % 2 == 0 ? "a" : "b") + std::to_string(now.QuadPart);
        session.Sender.Send(text, 0);
    }
}

class TStampPlugin final : public dcd::TReceiverPlugin {
public:
    void Open(int32_t, HWND window, int32_t) override { m_target = window; }

    void Start() override {
        if (m_target == nullptr || m_worker.Running()) {
            return;
        }
        auto session = std::make_shared<TSession>();
        session->Sender.Open(m_target);
        const int codes = CodesToSend();
        if (m_worker.Start([session, codes](HANDLE stop) { SendStamps(*session, stop, codes); })) {
            m_session = std::move(session);
        }
    }

    void Setup() override {}

    void Stop() override {
        if (!m_worker.Running()) {
            return;
        }
        m_session->Sender.BeginStop();
        if (!m_worker.Stop(kStopPatienceMs)) {
            m_session->Sender.WaitForSendToEnd();
        }
        // A handler that stopped us may still read the record of its code.
        m_retired = std::move(m_session);
    }

    void Close() override {
        Stop();
        m_target = nullptr;
    }

private:
    HWND m_target = nullptr;
    std::shared_ptr<TSession> m_session;
    std::shared_ptr<TSession> m_retired;
    dcd::TWorkerThread m_worker;
};

}  // namespace
}  // namespace zaprelay::bench

zaprelay::dcd::TReceiverPlugin& zaprelay::dcd::ThePlugin() {
    static bench::TStampPlugin plugin;
    return plugin;
}
