// "Test connection" in the settings dialog: a thread that connects once, then keeps listening
// and reports the buttons it hears, so the user sees the remote reach the server.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/kit/worker_thread.h"
#include "plugins/lirc/lirc_settings.h"
#include "plugins/lirc/probe_report.h"

#include <memory>

namespace zaprelay::lirc {

class TConnectionProbe {
public:
    TConnectionProbe() = default;
    ~TConnectionProbe() { Stop(); }
    TConnectionProbe(const TConnectionProbe&) = delete;
    TConnectionProbe& operator=(const TConnectionProbe&) = delete;

    // Starts over with these settings; a change of the report is announced by posting message
    // to window (one at a time: the next comes after TakeReport).
    void Start(HWND window, UINT message, const TLircSettings& settings);
    // Nothing is posted once this returns.
    void Stop();
    // The newest report; lets the next change be announced.
    TProbeReport TakeReport();

    struct TState;

private:
    std::shared_ptr<TState> m_state;
    dcd::TWorkerThread m_worker;
};

}  // namespace zaprelay::lirc
