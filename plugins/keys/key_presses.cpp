#include "plugins/keys/key_presses.h"

#include <algorithm>
#include <limits>

namespace zaprelay::keys {

int32_t TRepeatCounter::Down(TKey key, uint32_t timeMs) {
    auto held = std::find_if(m_held.begin(), m_held.end(), [&](const THeld& h) { return h.Key == key; });
    if (held == m_held.end()) {
        m_held.push_back(THeld{key, 0, timeMs});
        return 0;
    }
    // Unsigned difference: right across the tick count's wrap.
    if (timeMs - held->LastMs > kMaxRepeatGapMs) {
        held->Count = 0;
    } else if (held->Count < std::numeric_limits<int32_t>::max()) {
        ++held->Count;
    }
    held->LastMs = timeMs;
    return held->Count;
}

void TRepeatCounter::Up(TKey key) {
    std::erase_if(m_held, [&](const THeld& h) { return h.Key == key; });
}

TUsageChanges ChangedUsages(const std::vector<uint16_t>& before, const std::vector<uint16_t>& now) {
    TUsageChanges changes;
    auto contains = [](const std::vector<uint16_t>& list, uint16_t usage) {
        return std::find(list.begin(), list.end(), usage) != list.end();
    };
    for (uint16_t usage : now) {
        if (usage != 0 && !contains(before, usage) && !contains(changes.Pressed, usage)) {
            changes.Pressed.push_back(usage);
        }
    }
    for (uint16_t usage : before) {
        if (usage != 0 && !contains(now, usage) && !contains(changes.Released, usage)) {
            changes.Released.push_back(usage);
        }
    }
    return changes;
}

}  // namespace zaprelay::keys
