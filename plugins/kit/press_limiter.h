// A remote gives a person at most about ten presses of a button a second. A receiver fed by
// something else (a network server gone wrong can send thousands) must not pass them all on:
// in management mode each fresh press starts the viewer. Repeats of a held button are left
// alone; the program makes nothing of them there.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zaprelay::dcd {

class TPressLimiter {
public:
    static constexpr std::size_t kMaxPressesPerSecond = 10;

    // Whether this press goes on to the program; a fresh press beyond the limit for its code
    // within the last second is dropped and counted. nowMs: a millisecond clock (wrapping).
    bool Allow(std::string_view code, int32_t repeatCount, uint32_t nowMs);
    uint64_t Dropped() const { return m_dropped; }

private:
    // The times of a code's last presses, oldest first once full.
    struct TRecent {
        std::array<uint32_t, kMaxPressesPerSecond> Times{};
        std::size_t Count = 0;
        std::size_t Next = 0;  // where the next time goes: the oldest once full
        uint32_t Last = 0;
    };
    void Forget(uint32_t nowMs);

    std::unordered_map<std::string, TRecent> m_recent;
    uint64_t m_dropped = 0;
};

}  // namespace zaprelay::dcd
