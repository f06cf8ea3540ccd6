// When a held button sends its repeats: the first after the delay, then one per interval.
// Times are millisecond tick counts that may wrap around.
#pragma once

#include <cstdint>

namespace zaprelay::remote {

class TRepeatSchedule {
public:
    TRepeatSchedule(uint32_t delayMs, uint32_t intervalMs, uint32_t pressedAtMs);

    // The repeat count to send now (1, 2, 3, ... with no gaps), or 0 when none is due yet.
    // After a stall (the program was busy) the schedule goes on from now instead of sending
    // the missed repeats in a burst.
    int32_t TakeDue(uint32_t nowMs);

    // Milliseconds until the next repeat is due; 0 when one is due already.
    uint32_t WaitMs(uint32_t nowMs) const;

    int32_t Sent() const { return m_sent; }

private:
    uint32_t m_intervalMs;
    uint32_t m_nextDueMs;
    int32_t m_sent = 0;
};

}  // namespace zaprelay::remote
