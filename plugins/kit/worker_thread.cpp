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
    // Taken out first: a message answered while waiting may stop the thread again, and that
    // call must find nothing to stop rather than close the handle waited on here.
    win32::TKernelHandle thread = std::move(m_thread);
    win32::TKernelHandle stop = std::move(m_stop);
    SetEvent(stop.Get());
    HANDLE waited = thread.Get();
    return WaitPumpingSentMessages(&waited, 1, patienceMs);
}

}  // namespace zaprelay::dcd
