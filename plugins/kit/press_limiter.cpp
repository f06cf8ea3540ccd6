#include "plugins/kit/press_limiter.h"

namespace zaprelay::dcd {
namespace {

constexpr uint32_t kWindowMs = 1000;
// Codes not pressed for a second are forgotten once this many are kept: a flood of different
// codes costs no more memory than this.
constexpr std::size_t kMaxCodesKept = 256;

}  // namespace

bool TPressLimiter::Allow(std::string_view code, int32_t repeatCount, uint32_t nowMs) {
    if (repeatCount != 0) {
        return true;
    }
    if (m_recent.size() >= kMaxCodesKept) {
        Forget(nowMs);
    }
    TRecent& recent = m_recent[std::string(code)];
    // Full means the oldest of the last presses is the next to be replaced.
    if (recent.Count == kMaxPressesPerSecond && nowMs - recent.Times[recent.Next] < kWindowMs) {
        ++m_dropped;
        return false;
    }
    recent.Times[recent.Next] = nowMs;
    recent.Next = (recent.Next + 1) % kMaxPressesPerSecond;
    recent.Count = recent.Count < kMaxPressesPerSecond ? recent.Count + 1 : recent.Count;
    recent.Last = nowMs;
    return true;
}

void TPressLimiter::Forget(uint32_t nowMs) {
    std::erase_if(m_recent, [nowMs](const auto& entry) { return nowMs - entry.second.Last >= kWindowMs; });
}

}  // namespace zaprelay::dcd
