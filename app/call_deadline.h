// A limit on how long a call into foreign code (the receiver plug-in) may take. The calling
// thread is stuck when the time runs out, so what must happen then runs on a thread of its own.
#pragma once

#include "framework/win32/platform.h"

#include <functional>

namespace zaprelay::app {

class TCallDeadline {
public:
    // expired runs on the watching thread once limitMs have passed with this object alive.
    TCallDeadline(DWORD limitMs, std::function<void()> expired);
    ~TCallDeadline();  // the call returned: expired does not run, or has finished
    TCallDeadline(const TCallDeadline&) = delete;
    TCallDeadline& operator=(const TCallDeadline&) = delete;

private:
    static DWORD WINAPI Watch(void* self);

    DWORD m_limitMs;
    std::function<void()> m_expired;
    HANDLE m_returned = nullptr;
    HANDLE m_thread = nullptr;
};

}  // namespace zaprelay::app
