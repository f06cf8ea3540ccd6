#include "plugins/virtual_remote/remote_thread.h"

#include "plugins/kit/sent_messages.h"

namespace zaprelay::remote {
namespace {

constexpr DWORD kStartTimeoutMs = 10000;

}  // namespace

void TRemoteThread::Start(HINSTANCE module, HWND target, const TSettingsFile& file) {
    if (m_thread) {
        return;
    }
    m_module = module;
    m_file.emplace(file);
    UseSettings(file.Load());
    m_sender.Open(target);
    m_ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_ready) {
        return;
    }
    m_thread.Reset(CreateThread(nullptr, 0, &TRemoteThread::Run, this, 0, &m_threadId));
    if (!m_thread) {
        return;
    }
    // The window is made on the remote's thread; the caller's thread keeps answering sent
    // messages meanwhile, as the window's creation may ask it something.
    HANDLE handles[2] = {m_ready.Get(), m_thread.Get()};
    dcd::WaitPumpingSentMessages(handles, 2, kStartTimeoutMs);
}

void TRemoteThread::Stop() {
    if (!m_thread) {
        return;
    }
    m_sender.BeginStop();
    HWND window = m_window;
    if (window != nullptr) {
        PostMessageW(window, TRemoteWindow::kCloseMessage, 0, 0);
    } else {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    }
    HANDLE thread = m_thread.Get();
    dcd::WaitPumpingSentMessages(&thread, 1, INFINITE);
    m_thread.Reset();
    m_ready.Reset();
}

void TRemoteThread::UseSettings(const TRemoteSettings& settings) {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    m_settings = settings;
}

DWORD WINAPI TRemoteThread::Run(void* self) {
    auto* remote = static_cast<TRemoteThread*>(self);
    try {
        remote->RunWindow();
    } catch (...) {
        // The remote is gone; the program goes on without it.
    }
    remote->m_window = nullptr;
    SetEvent(remote->m_ready.Get());
    return 0;
}

void TRemoteThread::RunWindow() {
    if (!TRemoteWindow::RegisterWindowClass(m_module)) {
        return;
    }
    {
        TRemoteWindow window(*this);
        m_window = window.Create(m_module, Settings().Position);
        SetEvent(m_ready.Get());
        if (m_window != nullptr && !m_sender.Stopping()) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        m_window = nullptr;
    }
    TRemoteWindow::UnregisterWindowClass(m_module);
}

void TRemoteThread::SendCode(std::size_t button, int32_t repeatCount) {
    m_sender.Send(CodeText(button), repeatCount);
}

TRemoteSettings TRemoteThread::Settings() {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    return m_settings;
}

void TRemoteThread::Moved(TRemotePosition position) {
    {
        std::lock_guard<std::mutex> lock(m_settingsLock);
        m_settings.Position = position;
    }
    if (m_file) {
        m_file->SavePosition(position);
    }
}

}  // namespace zaprelay::remote
