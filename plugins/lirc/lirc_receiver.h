// The network receiver at work: after Start a thread of the plug-in keeps a connection to the
// server, reconnecting by itself when it goes away, and sends the program one code for each
// button line. Start and Stop come from the program's thread.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/kit/worker_thread.h"
#include "plugins/lirc/lirc_settings.h"

#include <memory>

namespace zaprelay::lirc {

class TLircReceiver {
public:
    TLircReceiver() = default;
    ~TLircReceiver() { Stop(); }
    TLircReceiver(const TLircReceiver&) = delete;
    TLircReceiver& operator=(const TLircReceiver&) = delete;

    // Returns at once: connecting happens on the receiver's thread.
    void Start(HWND target, const TLircSettings& settings);
    // Nothing is sent once this returns. Safe from inside the handler of one of its codes and
    // while its thread is blocked sending to the calling thread. Returns promptly even while
    // the thread waits on a slow name lookup: that thread then ends by itself.
    void Stop();
    bool Running() const { return m_worker.Running(); }

    struct TSession;

private:
    std::shared_ptr<TSession> m_session;
    // The last stopped session: a handler that stopped us may still read its record.
    std::shared_ptr<TSession> m_retired;
    dcd::TWorkerThread m_worker;
};

}  // namespace zaprelay::lirc
