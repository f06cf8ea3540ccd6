#include "plugins/virtual_remote/repeat_schedule.h"

#include <algorithm>
#include <limits>

namespace zaprelay::remote {
namespace {

// Signed distance from `from` to `to`, right across a wrap of the tick counter.
int64_t Ahead(uint32_t from, uint32_t to) {
    return static_cast<int32_t>(to - from);
}

}  // namespace

TRepeatSchedule::TRepeatSchedule(uint32_t delayMs, uint32_t intervalMs, uint32_t pressedAtMs)
    : m_intervalMs(std::max<uint32_t>(intervalMs, 1)), m_nextDueMs(pressedAtMs + delayMs) {}

int32_t TRepeatSchedule::TakeDue(uint32_t nowMs) {
    int64_t late = Ahead(m_nextDueMs, nowMs);
    if (late < 0) {
        return 0;
    }
    // Keeps the beat when on time; restarts it from now when a whole interval was missed.
    m_nextDueMs = late >= m_intervalMs ? nowMs + m_intervalMs : m_nextDueMs + m_intervalMs;
    if (m_sent < std::numeric_limits<int32_t>::max()) {
        ++m_sent;
    }
    return m_sent;
}

uint32_t TRepeatSchedule::WaitMs(uint32_t nowMs) const {
    int64_t wait = Ahead(nowMs, m_nextDueMs);
    return wait > 0 ? static_cast<uint32_t>(wait) : 0;
}

}  // namespace zaprelay::remote
