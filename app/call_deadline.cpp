#include "app/call_deadline.h"

#include <utility>

namespace zaprelay::app {

TCallDeadline::TCallDeadline(DWORD limitMs, std::function<void()> expired)
    : m_limitMs(limitMs), m_expired(std::move(expired)) {
    m_returned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_returned != nullptr) {
        // Without a watcher the call simply runs unguarded, as it would without this object.
        m_thread = CreateThread(nullptr, 0, &TCallDeadline::Watch, this, 0, nullptr);
    }
}

TCallDeadline::~TCallDeadline() {
    if (m_thread != nullptr) {
        SetEvent(m_returned);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    if (m_returned != nullptr) {
        CloseHandle(m_returned);
    }
}

DWORD WINAPI TCallDeadline::Watch(void* self) {
    auto* deadline = static_cast<TCallDeadline*>(self);
    if (WaitForSingleObject(deadline->m_returned, deadline->m_limitMs) == WAIT_TIMEOUT) {
        deadline->m_expired();
    }
    return 0;
}

}  // namespace zaprelay::app
