#include "plugins/lirc/reconnect_backoff.h"

#include <algorithm>

namespace zaprelay::lirc {

uint32_t TReconnectBackoff::NextDelayMs() {
    uint32_t delay = m_nextMs;
    m_nextMs = std::min(m_nextMs * 2, kLongestDelayMs);
    return delay;
}

}  // namespace zaprelay::lirc
