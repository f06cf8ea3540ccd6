#include "plugins/guard/receiver_supervisor.h"

#include "plugins/guard/guard_frames.h"
#include "plugins/guard/pipe_channel.h"
#include "plugins/kit/dialog_template.h"
#include "plugins/kit/sent_messages.h"

#include <atomic>
#include <cstdio>
#include <dbt.h>
#include <vector>

namespace zaprelay::guard {
namespace {

constexpr wchar_t kWindowClass[] = L"ZaprelayReceiverGuard";
constexpr wchar_t kNoticeTitle[] = L"Zaprelay receiver guard";
constexpr UINT kRequestSetup = WM_APP + 1;
constexpr UINT kRequestStartOver = WM_APP + 2;
constexpr UINT_PTR kRestartTimer = 1;
constexpr UINT kRestartSettleMs = 2000;     // resume and device arrivals come in bursts
constexpr DWORD kConnectLimitMs = 10000;    // the host's start, up to its pipe
constexpr DWORD kFirstWordLimitMs = 10000;  // then its receiver loaded and started
// The host's Stop and Close, then what an ended host may take to go: within the program's
// five seconds for the guard's own Stop and Close.
constexpr DWORD kStopLimitMs = 2500;
constexpr DWORD kKillLimitMs = 500;
constexpr DWORD kExitAfterBreakMs = 1000;  // a broken pipe: whether the host is ending too
constexpr DWORD kPipeBuffer = 65536;

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// Why a host process ended by itself.
std::string EndOf(HANDLE process, const std::string& reported) {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    if (code >= 0xC0000000) {
        return "the receiver crashed (exception " + Hex(code) + ")";
    }
    if (!reported.empty()) {
        return reported;
    }
    return "the receiver host ended unexpectedly (exit code " + std::to_string(code) + ")";
}

BOOL CALLBACK PressOk(HWND box, LPARAM) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return TRUE;
}

LRESULT CALLBACK RaiseBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        SetWindowPos(reinterpret_cast<HWND>(wParam), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// A job that ends its processes when its last handle goes: with the program, however it ends.
HANDLE MakeKillOnCloseJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) {
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

}  // namespace

TReceiverSupervisor::TReceiverSupervisor()
    : m_setupDone(CreateEventW(nullptr, TRUE, TRUE, nullptr)),
      m_noticeThread(std::make_shared<std::atomic<DWORD>>(0)) {}

TReceiverSupervisor::~TReceiverSupervisor() {
    Stop();
}

void TReceiverSupervisor::Start(HWND target, const std::wstring& hostPath, const std::wstring& receiverPath) {
    if (m_thread.Running()) {
        return;
    }
    m_sender.Open(target);
    m_hostPath = hostPath;
    if (!m_job) {
        m_job.Reset(MakeKillOnCloseJob());
    }
    Update([&](TGuardStatus& status) {
        status = TGuardStatus{};
        status.State = TGuardState::Starting;
        status.Receiver = receiverPath;
    });
    m_policy.Reset();
    m_thread.Start([this](HANDLE stop) { Supervise(stop); });
}

void TReceiverSupervisor::Stop() {
    m_sender.BeginStop();
    m_thread.Stop(INFINITE);
    m_sender.WaitForSendToEnd();
    SetEvent(m_setupDone.Get());
    CloseNotice();
    Update([](TGuardStatus& status) { status.State = TGuardState::Stopped; });
}

TGuardStatus TReceiverSupervisor::Status() const {
    std::lock_guard<std::mutex> lock(m_statusLock);
    return m_status;
}

void TReceiverSupervisor::StartOver(const std::wstring& receiverPath) {
    Update([&](TGuardStatus& status) { status.Receiver = receiverPath; });
    // The supervising thread closes the notice: it alone shows it.
    if (HWND window = m_window) {
        PostMessageW(window, kRequestStartOver, 0, 0);
    }
}

bool TReceiverSupervisor::ShowReceiverSetup(HWND programWindow) {
    HWND window = m_window;
    if (window == nullptr || Status().State != TGuardState::Running) {
        return false;
    }
    ResetEvent(m_setupDone.Get());
    AllowSetForegroundWindow(m_hostProcessId);
    if (!PostMessageW(window, kRequestSetup, 0, 0)) {
        return false;
    }
    const bool disable = programWindow != nullptr && IsWindowEnabled(programWindow);
    if (disable) {
        EnableWindow(programWindow, FALSE);
    }
    // As a modal dialog of the program's own would: its window's messages go on, input to it does not.
    HANDLE done = m_setupDone.Get();
    bool quit = false;
    int quitCode = 0;
    while (!quit && MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (disable && IsWindow(programWindow)) {
        EnableWindow(programWindow, TRUE);
        SetForegroundWindow(programWindow);
    }
    if (quit) {
        PostQuitMessage(quitCode);
    }
    return true;
}

// ---------------------------------------------------------------- the supervising thread

void TReceiverSupervisor::Supervise(HANDLE stop) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TReceiverSupervisor::WindowProc;
    // The guard's own module: its procedure lives there.
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&TReceiverSupervisor::WindowProc), &windowClass.hInstance);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    // Top-level, so that the system's broadcasts about power and devices reach it.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  windowClass.hInstance, this);
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    HDEVNOTIFY devices = window != nullptr
                             ? RegisterDeviceNotificationW(
                                   window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE | 0x4 /* all interface classes */)
                             : nullptr;
    m_window = window;
    m_startOver = false;
    for (;;) {
        if (m_startOver) {
            m_startOver = false;
            m_policy.Reset();
        }
        const std::string failure = RunHost(stop);
        if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
            break;
        }
        if (failure.empty()) {
            continue;  // a restart on purpose
        }
        const std::optional<uint32_t> delay = m_policy.Failed(GetTickCount());
        Update([&](TGuardStatus& status) {
            status.LastFailure = failure;
            ++status.Failures;
            status.State = delay ? TGuardState::Waiting : TGuardState::Disabled;
        });
        if (!delay) {
            ShowNotice(failure);
            // Off until the user starts it over from Setup.
            while (!m_startOver && WaitOrStop(stop, INFINITE)) {
                m_restartWanted = false;
            }
            if (!m_startOver) {
                break;
            }
            continue;
        }
        if (!WaitOrStop(stop, *delay)) {
            break;
        }
    }
    m_window = nullptr;
    if (devices != nullptr) {
        UnregisterDeviceNotification(devices);
    }
    if (window != nullptr) {
        DestroyWindow(window);
    }
}

bool TReceiverSupervisor::WaitOrStop(HANDLE stop, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (timeoutMs != INFINITE && elapsed >= timeoutMs) {
            return true;
        }
        const DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - elapsed;
        const DWORD woke = MsgWaitForMultipleObjects(1, &stop, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            return false;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        if (m_startOver || m_restartWanted) {
            return true;
        }
    }
}

class TReceiverSupervisor::TSession {
public:
    TSession(HANDLE pipe, PROCESS_INFORMATION process) : Channel(pipe), Process(process.hProcess) {}

    // Asked to stop its receiver; ended when it has not in time.
    void End() {
        Channel.Write(EncodeFrame({TFrameKind::Stop, 0, {}}));
        if (WaitForSingleObject(Process.Get(), kStopLimitMs) != WAIT_OBJECT_0) {
            TerminateProcess(Process.Get(), 1);
            WaitForSingleObject(Process.Get(), kKillLimitMs);
        }
        Channel.CancelRead();
    }

    void Kill() {
        TerminateProcess(Process.Get(), 1);
        WaitForSingleObject(Process.Get(), kKillLimitMs);
        Channel.CancelRead();
    }

    // The pipe broke: the host is ending (why, then), or has lost its end and is ended.
    std::string Broken() {
        if (WaitForSingleObject(Process.Get(), kExitAfterBreakMs) == WAIT_OBJECT_0) {
            return EndOf(Process.Get(), Reported);
        }
        Kill();
        return "the pipe to the receiver host broke";
    }

    TPipeChannel Channel;
    win32::TKernelHandle Process;
    std::string Reported;  // the host's own Failure text
};

std::string TReceiverSupervisor::RunHost(HANDLE stop) {
    m_restartWanted = false;
    const std::wstring receiver = Status().Receiver;
    Update([](TGuardStatus& status) { status.State = TGuardState::Starting; });
    static std::atomic<unsigned> made{0};
    const std::wstring pipeName = L"\\\\.\\pipe\\zaprelay-guard-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++made);
    HANDLE pipe =
        CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, kPipeBuffer, kPipeBuffer, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        return "the guard could not make its pipe (error " + std::to_string(GetLastError()) + ")";
    }
    std::wstring commandLine = Quoted(m_hostPath) + L" " + Quoted(pipeName) + L" " +
                               std::to_wstring(GetCurrentProcessId()) + L" " + Quoted(receiver);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Out of any job the program runs in, where that is allowed, so that the guard's own can hold it.
    bool created = CreateProcessW(m_hostPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                  CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB, nullptr, nullptr, &startup, &info);
    if (!created) {
        created = CreateProcessW(m_hostPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                 nullptr, nullptr, &startup, &info);
    }
    if (!created) {
        const DWORD error = GetLastError();
        CloseHandle(pipe);
        return dcd::AnsiFromWide(m_hostPath) + " could not be started (error " + std::to_string(error) + ")";
    }
    if (m_job) {
        AssignProcessToJobObject(m_job.Get(), info.hProcess);  // else the host watches the program itself
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    TSession session(pipe, info);
    m_hostProcessId = info.dwProcessId;
    m_policy.Started(GetTickCount());
    Update([](TGuardStatus& status) { ++status.Starts; });

    // The host opens the pipe.
    OVERLAPPED connect{};
    win32::TKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    connect.hEvent = connected.Get();
    if (!ConnectNamedPipe(pipe, &connect)) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            HANDLE waits[3] = {stop, connected.Get(), session.Process.Get()};
            const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, kConnectLimitMs);
            if (woke != WAIT_OBJECT_0 + 1) {
                CancelIo(pipe);
                DWORD ignored = 0;
                GetOverlappedResult(pipe, &connect, &ignored, TRUE);
                if (woke == WAIT_OBJECT_0 + 2) {
                    return EndOf(session.Process.Get(), {});
                }
                session.Kill();
                return woke == WAIT_OBJECT_0 ? std::string() : "the receiver host did not answer when started";
            }
        } else if (error != ERROR_PIPE_CONNECTED) {
            session.Kill();
            return "the receiver host could not connect (error " + std::to_string(error) + ")";
        }
    }

    m_channel = &session.Channel;
    TFrameReader reader;
    std::vector<TFrame> frames;
    std::string bytes;
    DWORD heard = GetTickCount();
    DWORD patience = kFirstWordLimitMs;
    std::string failure;
    for (;;) {
        if (!session.Channel.BeginRead()) {
            failure = session.Broken();
            break;
        }
        const DWORD quiet = GetTickCount() - heard;
        HANDLE waits[3] = {stop, session.Channel.ReadDone(), session.Process.Get()};
        const DWORD woke =
            MsgWaitForMultipleObjects(3, waits, FALSE, quiet >= patience ? 0 : patience - quiet, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            session.End();
            break;
        }
        if (woke == WAIT_OBJECT_0 + 1) {
            if (!session.Channel.FinishRead(bytes)) {
                failure = session.Broken();
                break;
            }
            if (!reader.Feed(bytes, frames)) {
                failure = "the receiver host sent something the guard cannot read";
                session.Kill();
                break;
            }
            heard = GetTickCount();
            patience = kHeartbeatLimitMs;
            for (const TFrame& frame : frames) {
                switch (frame.Kind) {
                    case TFrameKind::Hello:
                        Update([](TGuardStatus& status) { status.State = TGuardState::Running; });
                        break;
                    case TFrameKind::Code:
                        m_sender.Send(frame.Text, frame.RepeatCount);
                        break;
                    case TFrameKind::SetupDone:
                        m_setupPending = false;
                        SetEvent(m_setupDone.Get());
                        break;
                    case TFrameKind::Failure:
                        session.Reported = frame.Text;
                        break;
                    default:
                        break;
                }
            }
            frames.clear();
            if (RestartDue()) {
                session.End();
                break;
            }
            continue;
        }
        if (woke == WAIT_OBJECT_0 + 2) {
            // Whatever it wrote last is still worth reading: its own reason for ending.
            failure = EndOf(session.Process.Get(), session.Reported);
            session.Channel.CancelRead();
            break;
        }
        if (woke == WAIT_OBJECT_0 + 3) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
            if (RestartDue()) {
                session.End();
                break;
            }
            continue;
        }
        failure = "the receiver stopped answering for " + std::to_string(kHeartbeatLimitMs / 1000) + " seconds";
        session.Kill();
        break;
    }
    m_channel = nullptr;
    m_setupPending = false;
    m_hostProcessId = 0;
    SetEvent(m_setupDone.Get());  // a Setup under way has ended with the host
    return failure;
}

LRESULT CALLBACK TReceiverSupervisor::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<TReceiverSupervisor*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
        self->WindowMessage(msg, wParam);
        if (msg == WM_POWERBROADCAST) {
            return TRUE;
        }
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

void TReceiverSupervisor::WindowMessage(UINT msg, WPARAM wParam) {
    switch (msg) {
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
                SetTimer(m_window, kRestartTimer, kRestartSettleMs, nullptr);
            }
            break;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL) {
                SetTimer(m_window, kRestartTimer, kRestartSettleMs, nullptr);
            }
            break;
        case WM_TIMER:
            if (wParam == kRestartTimer) {
                KillTimer(m_window, kRestartTimer);
                m_restartWanted = true;
            }
            break;
        case kRequestSetup:
            m_setupPending = m_channel != nullptr && m_channel->Write(EncodeFrame({TFrameKind::Setup, 0, {}}));
            if (!m_setupPending) {
                SetEvent(m_setupDone.Get());
            }
            break;
        case kRequestStartOver:
            m_startOver = true;
            CloseNotice();
            break;
        default:
            break;
    }
}

bool TReceiverSupervisor::RestartDue() const {
    // A restart on purpose waits for the receiver's dialog to close rather than take it away.
    return m_startOver || (m_restartWanted && !m_setupPending);
}

// ---------------------------------------------------------------- the notice

void TReceiverSupervisor::ShowNotice(const std::string& why) {
    CloseNotice();
    const std::wstring text =
        L"The remote-control receiver\n" + Status().Receiver + L"\nfailed " +
        std::to_wstring(TRestartPolicy::kFailureLimit) +
        L" times within 10 minutes and has been turned off.\n\nLast failure: " + dcd::WideFromAnsi(why) +
        L".\n\nZaprelay's \"DCD PlugIn settings ...\" button shows its state and starts it again.";
    std::shared_ptr<std::atomic<DWORD>> thread = m_noticeThread;
    m_notice.Start([text, thread](HANDLE) {
        *thread = GetCurrentThreadId();
        // Above the program's window, which stays on top itself.
        HHOOK hook = SetWindowsHookExW(WH_CBT, &RaiseBox, nullptr, GetCurrentThreadId());
        MessageBoxW(nullptr, text.c_str(), kNoticeTitle, MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
        if (hook != nullptr) {
            UnhookWindowsHookEx(hook);
        }
        *thread = 0;
    });
}

void TReceiverSupervisor::CloseNotice() {
    if (!m_notice.Running()) {
        return;
    }
    if (const DWORD thread = *m_noticeThread) {
        EnumThreadWindows(thread, &PressOk, 0);
    }
    m_notice.Stop(2000);
}

}  // namespace zaprelay::guard
