// A plug-in's own thread that can always be told to stop. The thread holds a reference to the
// plug-in's module and its own copy of the stop event, so when it is stuck in a call that
// cannot be interrupted (a name lookup), Stop may give up waiting and the plug-in may even be
// unloaded: the thread finishes by itself and the module goes with its last instruction.
#pragma once

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <functional>

namespace zaprelay::dcd {

class TWorkerThread {
public:
    TWorkerThread() = default;
    ~TWorkerThread() { Stop(INFINITE); }
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Runs body(stopEvent) on a new thread; false when it could not start. Whatever body
    // needs after Stop gave up on it, it must own (capture shared state by value).
    bool Start(std::function<void(HANDLE stop)> body);

    // Sets the stop event and waits up to patienceMs for the thread to end, answering messages
    // sent to the calling thread meanwhile. True when the thread ended; false when it goes on
    // alone. Either way the object is free for the next Start.
    bool Stop(DWORD patienceMs);

    bool Running() const { return static_cast<bool>(m_thread); }

private:
    win32::TKernelHandle m_thread;
    win32::TKernelHandle m_stop;
};

}  // namespace zaprelay::dcd
