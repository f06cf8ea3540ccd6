// Turning key-downs and HID reports into presses and repeats. Raw input has no repeat flag:
// an auto-repeat is a key-down of a key that is down already.
#pragma once

#include "plugins/keys/key_names.h"

#include <cstdint>
#include <vector>

namespace zaprelay::keys {

class TRepeatCounter {
public:
    // Longer than any keyboard's auto-repeat delay: after a silence this long a key-down is a
    // new press, so a release that never arrived cannot turn later presses into repeats.
    static constexpr uint32_t kMaxRepeatGapMs = 1500;

    // The repeat count of a key-down at timeMs (a tick count, wrapping): 0 for a press, then
    // 1, 2, ... while the key stays down.
    int32_t Down(TKey key, uint32_t timeMs);
    void Up(TKey key);
    void Clear() { m_held.clear(); }

private:
    struct THeld {
        TKey Key;
        int32_t Count = 0;
        uint32_t LastMs = 0;
    };
    std::vector<THeld> m_held;
};

struct TUsageChanges {
    std::vector<uint16_t> Pressed;
    std::vector<uint16_t> Released;
};

// A consumer-control report lists the usages held at that moment: what changed since the
// device's previous report. Zero (no usage) is never a press.
TUsageChanges ChangedUsages(const std::vector<uint16_t>& before, const std::vector<uint16_t>& now);

}  // namespace zaprelay::keys
