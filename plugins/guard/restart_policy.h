// When the guard starts its helper again after a crash or a hang, and when it gives up: a
// receiver that keeps failing is disabled until the user asks to try again.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace zaprelay::guard {

class TRestartPolicy {
public:
    static constexpr uint32_t kFailureLimit = 5;  // failures within kWindowMs disable the receiver
    static constexpr uint32_t kWindowMs = 10 * 60 * 1000;
    static constexpr uint32_t kFirstDelayMs = 1000;  // then doubling
    static constexpr uint32_t kLongestDelayMs = 30000;
    static constexpr uint32_t kSteadyAfterMs = 60000;  // a run this long starts the delays over

    // The helper failed at nowMs (a millisecond tick that may wrap around 2^32). The delay before
    // the next start, or nothing when this failure disables the receiver (the kFailureLimit-th
    // within kWindowMs) or it already was.
    std::optional<uint32_t> Failed(uint32_t nowMs);
    // A helper started at nowMs (after a failure, a planned restart, or the first time).
    void Started(uint32_t nowMs);
    bool Disabled() const { return m_disabled; }
    // The user asked to try again: not disabled, no failures remembered, first delay next.
    void Reset() { *this = TRestartPolicy(); }

private:
    // Oldest first; ages are unsigned differences so the tick may wrap between them.
    std::array<uint32_t, kFailureLimit> m_failures = {};
    uint32_t m_failureCount = 0;
    uint32_t m_nextDelayMs = kFirstDelayMs;
    std::optional<uint32_t> m_startedMs;
    bool m_disabled = false;
};

}  // namespace zaprelay::guard
