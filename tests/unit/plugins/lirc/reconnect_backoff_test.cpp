#include "plugins/lirc/reconnect_backoff.h"

#include <gtest/gtest.h>

namespace zaprelay::lirc {
namespace {

// A server that accepts, sends a line and hangs up is tried ever more slowly; only a connection
// that lasted starts the delays over.
TEST(ReconnectBackoff, OnlyALastingConnectionStartsTheDelaysOver) {
    TReconnectBackoff backoff;
    EXPECT_EQ(backoff.NextDelayMs(), 500u);
    backoff.ConnectionEnded(50);
    EXPECT_EQ(backoff.NextDelayMs(), 1000u);
    backoff.ConnectionEnded(TReconnectBackoff::kHealthyAfterMs - 1);
    EXPECT_EQ(backoff.NextDelayMs(), 2000u);
    for (int i = 0; i < 10; ++i) {
        backoff.NextDelayMs();
    }
    EXPECT_EQ(backoff.NextDelayMs(), TReconnectBackoff::kLongestDelayMs);
    backoff.ConnectionEnded(TReconnectBackoff::kHealthyAfterMs);
    EXPECT_EQ(backoff.NextDelayMs(), 500u);
}

}  // namespace
}  // namespace zaprelay::lirc
