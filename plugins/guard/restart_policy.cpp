#include "plugins/guard/restart_policy.h"

#include <algorithm>

namespace zaprelay::guard {

std::optional<uint32_t> TRestartPolicy::Failed(uint32_t nowMs) {
    if (m_disabled) {
        return std::nullopt;
    }
    uint32_t stale = 0;
    while (stale < m_failureCount && nowMs - m_failures[stale] > kWindowMs) {
        ++stale;
    }
    std::copy(m_failures.begin() + stale, m_failures.begin() + m_failureCount, m_failures.begin());
    m_failureCount -= stale;

    if (m_startedMs && nowMs - *m_startedMs >= kSteadyAfterMs) {
        m_nextDelayMs = kFirstDelayMs;
    }
    // A failure ends the run: failing again before the next start (it could not be made) is no steady run.
    m_startedMs.reset();

    m_failures[m_failureCount++] = nowMs;
    if (m_failureCount == kFailureLimit) {
        m_disabled = true;
        return std::nullopt;
    }
    uint32_t delay = m_nextDelayMs;
    m_nextDelayMs = std::min(m_nextDelayMs * 2, kLongestDelayMs);
    return delay;
}

void TRestartPolicy::Started(uint32_t nowMs) {
    m_startedMs = nowMs;
}

}  // namespace zaprelay::guard
