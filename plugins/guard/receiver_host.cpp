// zaprelay-receiver.exe PIPE PARENT-PID RECEIVER: runs one receiver plug-in for the guard, in a
// process of its own, driving it exactly as the program would. A hidden window of this process
// is the target of the receiver's codes; each goes up the pipe to the guard, and a heartbeat
// goes every half second from the thread that calls the receiver, so a receiver that blocks it
// is seen as hung. The guard's Setup and Stop come down the pipe and run on that thread too.
// The host ends with the guard: when the pipe breaks, and when the program's process ends.
#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"
#include "plugins/guard/guard_frames.h"
#include "plugins/guard/pipe_channel.h"
#include "plugins/include/dcd_exports.h"
#include "plugins/include/dcd_plugin.h"
#include "plugins/kit/dialog_template.h"

#include <shellapi.h>
#include <string>
#include <vector>

namespace zaprelay::guard {
namespace {

constexpr UINT kHeartbeatTimer = 1;
constexpr UINT kHeartbeatMs = 500;
constexpr UINT kCommand = WM_APP + 1;  // wParam: the frame's kind
constexpr UINT kGuardGone = WM_APP + 2;
constexpr DWORD kLastWordsMs = 3000;  // a receiver's Stop and Close when the guard has gone

std::string ErrorText(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = text != nullptr ? dcd::AnsiFromWide(text) : std::string();
    LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.')) {
        out.pop_back();
    }
    return out + " (error " + std::to_string(error) + ")";
}

class THost {
public:
    THost(HANDLE pipe, HANDLE parent) : m_channel(pipe), m_parent(parent) {}

    int Run(const std::wstring& receiverPath) {
        if (!MakeWindow()) {
            return Fail("the receiver host could not make its window: " + ErrorText(GetLastError()));
        }
        HMODULE receiver = LoadLibraryW(receiverPath.c_str());
        if (receiver == nullptr) {
            return Fail("the receiver " + dcd::AnsiFromWide(receiverPath) +
                        " could not be loaded: " + ErrorText(GetLastError()));
        }
        if (!m_plugin.Resolve(receiver)) {
            return Fail("the receiver " + dcd::AnsiFromWide(receiverPath) +
                        " lacks one of Open, Close, Setup, Start and Stop");
        }
        m_channel.Write(EncodeFrame({TFrameKind::Hello, 0, dcd::AnsiFromWide(receiverPath)}));
        m_reader = CreateThread(nullptr, 0, &THost::ReadCommands, this, 0, nullptr);
        SetTimer(m_window, kHeartbeatTimer, kHeartbeatMs, nullptr);
        m_plugin.Open(0, static_cast<int32_t>(reinterpret_cast<uintptr_t>(m_window)), 0);
        m_plugin.Start();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // The receiver's module stays: a thread of it may still be on its way out.
        return 0;
    }

private:
    int Fail(const std::string& why) {
        m_channel.Write(EncodeFrame({TFrameKind::Failure, 0, why}));
        return 2;
    }

    bool MakeWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &THost::WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZaprelayReceiverHost";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"Zaprelay receiver", WS_POPUP, 0, 0, 0,
                                   0, nullptr, nullptr, windowClass.hInstance, this);
        return m_window != nullptr;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* host = reinterpret_cast<THost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return host != nullptr ? host->Handle(window, msg, wParam, lParam)
                               : DefWindowProcW(window, msg, wParam, lParam);
    }

    LRESULT Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case dcd::kCodeReceived:
                Forward(reinterpret_cast<const char*>(wParam), static_cast<int32_t>(lParam));
                return 0;
            case WM_TIMER:
                if (wParam == kHeartbeatTimer) {
                    m_channel.Write(EncodeFrame({TFrameKind::Heartbeat, 0, {}}));
                }
                return 0;
            case kCommand:
                Command(static_cast<TFrameKind>(wParam));
                return 0;
            case kGuardGone:
                Command(TFrameKind::Stop);
                return 0;
            case WM_DESTROY:
                PostQuitMessage(0);
                return 0;
            default:
                return DefWindowProcW(window, msg, wParam, lParam);
        }
    }

    // The record's text as the program reads it: up to the first zero or the field's end.
    void Forward(const char* record, int32_t repeatCount) {
        if (record == nullptr || m_ended) {
            return;
        }
        const char* text = record + dcd::kCodeTextOffset;
        std::size_t length = 0;
        while (length < dcd::kCodeTextSize && text[length] != '\0') {
            ++length;
        }
        m_channel.Write(EncodeFrame({TFrameKind::Code, repeatCount, std::string(text, length)}));
    }

    void Command(TFrameKind kind) {
        if (m_ended) {
            return;
        }
        if (kind == TFrameKind::Setup && !m_inSetup) {
            // A dialog the receiver owns by this window comes above the program's window,
            // which may stay on top.
            SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            m_inSetup = true;
            m_plugin.Setup();
            m_inSetup = false;
            SetWindowPos(m_window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            m_channel.Write(EncodeFrame({TFrameKind::SetupDone, 0, {}}));
            if (m_stopAfterSetup) {
                Command(TFrameKind::Stop);
            }
        } else if (kind == TFrameKind::Stop) {
            // Never from inside the receiver's own dialog, as the program would not either.
            if (m_inSetup) {
                m_stopAfterSetup = true;
                return;
            }
            End();
            m_channel.Write(EncodeFrame({TFrameKind::Stopped, 0, {}}));
        }
    }

    void End() {
        if (m_ended) {
            return;
        }
        m_ended = true;
        KillTimer(m_window, kHeartbeatTimer);
        m_plugin.Stop();
        m_plugin.Close();
        DestroyWindow(m_window);
    }

    // The guard's commands, handed to the window's thread; when the pipe breaks or the
    // program's process ends, the receiver still gets Stop and Close, for a while.
    static DWORD WINAPI ReadCommands(void* self) {
        auto* host = static_cast<THost*>(self);
        TFrameReader reader;
        std::vector<TFrame> frames;
        std::string bytes;
        for (;;) {
            if (!host->m_channel.BeginRead()) {
                break;
            }
            HANDLE waits[2] = {host->m_channel.ReadDone(), host->m_parent};
            const DWORD count = host->m_parent != nullptr ? 2 : 1;
            if (WaitForMultipleObjects(count, waits, FALSE, INFINITE) != WAIT_OBJECT_0 ||
                !host->m_channel.FinishRead(bytes) || !reader.Feed(bytes, frames)) {
                break;
            }
            for (const TFrame& frame : frames) {
                PostMessageW(host->m_window, kCommand, static_cast<WPARAM>(frame.Kind), 0);
            }
            frames.clear();
        }
        PostMessageW(host->m_window, kGuardGone, 0, 0);
        Sleep(kLastWordsMs);
        TerminateProcess(GetCurrentProcess(), 3);
        return 0;
    }

    TPipeChannel m_channel;
    HANDLE m_parent;
    HWND m_window = nullptr;
    HANDLE m_reader = nullptr;
    dcd::TPluginEntries m_plugin;
    bool m_ended = false;
    bool m_inSetup = false;
    bool m_stopAfterSetup = false;
};

}  // namespace
}  // namespace zaprelay::guard

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count != 4) {
        return 1;
    }
    HANDLE pipe =
        CreateFileW(args[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD mode = PIPE_READMODE_BYTE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(wcstoul(args[2], nullptr, 10)));
    zaprelay::guard::THost host(pipe, parent);
    // Ended here: the reader thread's read stays pending, and only the process's end cancels it.
    ExitProcess(static_cast<UINT>(host.Run(args[3])));
}
