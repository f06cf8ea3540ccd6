// How long the network receiver waits before it tries its server again: soon after a drop,
// then longer each time, so a server that is down for the night costs almost nothing.
#pragma once

#include <cstdint>

namespace zaprelay::lirc {

class TReconnectBackoff {
public:
    static constexpr uint32_t kFirstDelayMs = 500;
    static constexpr uint32_t kLongestDelayMs = 30000;
    // A connection that lasted this long was a real one: the next drop starts over from the
    // first delay. One that ends sooner keeps the delays growing, even when it brought a
    // button, so a server that accepts, sends a line and hangs up is not hammered.
    static constexpr uint32_t kHealthyAfterMs = 10000;

    // The wait before the next attempt; each call doubles the one after, up to the longest.
    uint32_t NextDelayMs();
    void Reset() { m_nextMs = kFirstDelayMs; }
    // A connection ended after lastedMs.
    void ConnectionEnded(uint32_t lastedMs) {
        if (lastedMs >= kHealthyAfterMs) {
            Reset();
        }
    }

private:
    uint32_t m_nextMs = kFirstDelayMs;
};

}  // namespace zaprelay::lirc
