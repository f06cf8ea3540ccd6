#include "plugins/kit/worker_thread.h"

#include "plugins/kit/sent_messages.h"

#include <memory>

namespace zaprelay::dcd {
namespace {

struct TThreadStart {
    std::function<void(HANDLE)> Body;
    win32::TKernelHandle Stop;
    HMODULE Module = nullptr;
};

DWORD WINAPI Run(void* parameter) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<TThreadStart> start(static_cast<TThreadStart*>(parameter));
        module = start->Module;
        try {
            start->Body(start->Stop.Get());
        } catch (...) {
            // The thread's work is gone; the program goes on without it.
        }
    }
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool TWorkerThread::Start(std::function<void(HANDLE stop)> body) {
    if (m_thread) {
        return false;
    }
    auto start = std::make_unique<TThreadStart>();
    start->Body = std::move(body);
    m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE threadCopy = nullptr;
    if (!m_stop || !DuplicateHandle(GetCurrentProcess(), m_stop.Get(), GetCurrentProcess(), &threadCopy, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS)) {
        m_stop.Reset();
        return false;
    }
    start->Stop.Reset(threadCopy);
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&Run), &start->Module)) {
        m_stop.Reset();
        return false;
    }
    HMODULE module = start->Module;
    m_thread.Reset(CreateThread(nullptr, 0, &Run, start.get(), 0, nullptr));
    if (!m_thread) {
        FreeLibrary(module);
        m_stop.Reset();
        return false;
    }
    start.release();  // the thread's now
    return true;
}

bool TWorkerThread::Stop(DWORD patienceMs) {
    if (!m_thread) {
        return true;
    }
    SetEvent(m_stop.Get());
    HANDLE thread = m_thread.Get();
    bool ended = WaitPumpingSentMessages(&thread, 1, patienceMs);
    m_thread.Reset();
    m_stop.Reset();
    return ended;
}

}  // namespace zaprelay::dcd
