// The guard's side of a receiver that runs in a host process: it starts the host, passes the
// codes that come up the pipe on to the program, and watches it. A host that crashes, stops
// answering or loses the pipe is started again after a growing delay; after too many failures
// the receiver is turned off and a notice says so. After the computer resumes from sleep, and
// when a device arrives, the host is started afresh. Every host lives in a job that ends it
// with the program.
#pragma once

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"
#include "plugins/guard/restart_policy.h"
#include "plugins/kit/code_sender.h"
#include "plugins/kit/worker_thread.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace zaprelay::guard {

enum class TGuardState { Stopped, Starting, Running, Waiting, Disabled };

// What the guard's Setup shows.
struct TGuardStatus {
    TGuardState State = TGuardState::Stopped;
    std::wstring Receiver;
    std::string LastFailure;  // empty while none happened
    uint32_t Failures = 0;    // since Start
    uint32_t Starts = 0;      // hosts started since Start
};

class TPipeChannel;

class TReceiverSupervisor {
public:
    static constexpr DWORD kHeartbeatLimitMs = 5000;  // no heartbeat for this long: the host hangs

    TReceiverSupervisor();
    ~TReceiverSupervisor();
    TReceiverSupervisor(const TReceiverSupervisor&) = delete;
    TReceiverSupervisor& operator=(const TReceiverSupervisor&) = delete;

    // On the program's thread. Codes go to target from now on.
    void Start(HWND target, const std::wstring& hostPath, const std::wstring& receiverPath);
    // Nothing reaches the target once this returns; the host is asked to stop its receiver and
    // ended when it does not in time.
    void Stop();
    bool Running() const { return m_thread.Running(); }

    // The receiver's own dialog, shown by the host while this (the program's) thread waits with
    // the program's window disabled, as for a dialog of its own. False when no host runs.
    bool ShowReceiverSetup(HWND programWindow);

    // Another receiver, or the same one after it was turned off: a fresh start, failures forgotten.
    void StartOver(const std::wstring& receiverPath);

    TGuardStatus Status() const;

private:
    class TSession;

    void Supervise(HANDLE stop);
    // Runs one host until it fails, is to be restarted, or the guard stops. The failure, or
    // empty when it ended on purpose.
    std::string RunHost(HANDLE stop);
    bool WaitOrStop(HANDLE stop, DWORD timeoutMs);  // false when stopping
    bool RestartDue() const;
    void Failed(const std::string& why);
    void ShowNotice(const std::string& why);
    void CloseNotice();
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void WindowMessage(UINT msg, WPARAM wParam);

    template <typename Edit>
    void Update(Edit edit) {
        std::lock_guard<std::mutex> lock(m_statusLock);
        edit(m_status);
    }

    dcd::TCodeSender m_sender;
    dcd::TWorkerThread m_thread;
    dcd::TWorkerThread m_notice;
    std::wstring m_hostPath;
    win32::TKernelHandle m_job;
    win32::TKernelHandle m_setupDone;     // manual reset
    std::atomic<HWND> m_window{nullptr};  // the supervising thread's own, for requests and broadcasts
    std::atomic<DWORD> m_hostProcessId{0};
    // The supervising thread's.
    TRestartPolicy m_policy;
    TPipeChannel* m_channel = nullptr;  // to the host running now
    bool m_restartWanted = false;
    bool m_startOver = false;
    bool m_setupPending = false;  // the receiver's dialog shows

    mutable std::mutex m_statusLock;
    TGuardStatus m_status;
    std::wstring m_nextReceiver;
    std::shared_ptr<std::atomic<DWORD>> m_noticeThread;  // the notice's thread while it shows
};

}  // namespace zaprelay::guard
