// The remote's own thread: it owns the remote window and sends each press to the program's
// window with SendMessage, as a receiver does. Start and Stop come from the program's thread.
#pragma once

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"
#include "plugins/kit/code_sender.h"
#include "plugins/virtual_remote/remote_buttons.h"
#include "plugins/virtual_remote/remote_settings.h"
#include "plugins/virtual_remote/remote_window.h"
#include "plugins/virtual_remote/settings_file.h"

#include <atomic>
#include <mutex>
#include <optional>

namespace zaprelay::remote {

class TRemoteThread : private TRemoteHost {
public:
    TRemoteThread() = default;
    TRemoteThread(const TRemoteThread&) = delete;
    TRemoteThread& operator=(const TRemoteThread&) = delete;

    // Shows the remote; its codes go to target. Returns once the window is up (or failed).
    void Start(HINSTANCE module, HWND target, const TSettingsFile& file);
    // Closes the remote and waits for its thread. Safe from inside the handler of one of its
    // codes, and while its thread is blocked sending to the calling thread.
    void Stop();
    // The settings the next press uses.
    void UseSettings(const TRemoteSettings& settings);

private:
    static DWORD WINAPI Run(void* self);
    void RunWindow();

    // TRemoteHost, on the remote's thread
    void SendCode(std::size_t button, int32_t repeatCount) override;
    TRemoteSettings Settings() override;
    void Moved(TRemotePosition position) override;

    HINSTANCE m_module = nullptr;
    std::optional<TSettingsFile> m_file;
    win32::TKernelHandle m_thread;
    DWORD m_threadId = 0;
    win32::TKernelHandle m_ready;
    std::atomic<HWND> m_window{nullptr};

    std::mutex m_settingsLock;
    TRemoteSettings m_settings;

    // Outlives the thread: the handler that reads a code may stop the plug-in before it is
    // done with the code's record.
    dcd::TCodeSender m_sender;
};

}  // namespace zaprelay::remote
