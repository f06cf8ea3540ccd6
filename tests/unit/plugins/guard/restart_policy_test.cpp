#include "plugins/guard/restart_policy.h"

#include <gtest/gtest.h>
#include <vector>

namespace zaprelay::guard {
namespace {

using TPolicy = TRestartPolicy;

TEST(RestartPolicy, DelaysDoubleUntilAGoodRunStartsThemOver) {
    TPolicy policy;
    uint32_t now = 5000;
    std::vector<uint32_t> delays;
    for (int i = 0; i < 7; ++i) {
        now += TPolicy::kWindowMs / 2;  // apart enough that the window never fills
        policy.Started(now - 10);
        std::optional<uint32_t> delay = policy.Failed(now);
        ASSERT_TRUE(delay);
        delays.push_back(*delay);
    }
    EXPECT_EQ(delays, (std::vector<uint32_t>{1000, 2000, 4000, 8000, 16000, 30000, 30000}));
    policy.Started(now);
    EXPECT_EQ(policy.Failed(now + TPolicy::kSteadyAfterMs - 1), 30000u);
    // A helper that could not even be started is no run, however long since the last start.
    EXPECT_EQ(policy.Failed(now + 2 * TPolicy::kSteadyAfterMs), 30000u);
    now += 2 * TPolicy::kWindowMs;
    policy.Started(now);
    EXPECT_EQ(policy.Failed(now + TPolicy::kSteadyAfterMs), TPolicy::kFirstDelayMs);
    EXPECT_FALSE(policy.Disabled());
}

TEST(RestartPolicy, TheFifthFailureWithinTheWindowDisablesUntilReset) {
    // Starting just before the tick wraps, so the window is measured across it.
    const uint32_t start = 0xFFFFFFFFu - 1000;
    TPolicy policy;
    for (uint32_t i = 0; i < TPolicy::kFailureLimit - 1; ++i) {
        ASSERT_TRUE(policy.Failed(start + i * 1000));
    }
    TPolicy full = policy;
    EXPECT_EQ(full.Failed(start + TPolicy::kWindowMs), std::nullopt) << "five within the window";
    // The first failure has just left the window: four remembered, not five.
    ASSERT_TRUE(policy.Failed(start + TPolicy::kWindowMs + 1));
    EXPECT_FALSE(policy.Disabled());
    EXPECT_EQ(policy.Failed(start + TPolicy::kWindowMs + 2), std::nullopt);
    EXPECT_TRUE(policy.Disabled());
    EXPECT_EQ(policy.Failed(start + TPolicy::kWindowMs * 3), std::nullopt) << "stays disabled";

    policy.Reset();
    EXPECT_FALSE(policy.Disabled());
    for (uint32_t i = 0; i < TPolicy::kFailureLimit - 1; ++i) {
        EXPECT_EQ(policy.Failed(7 + i), TPolicy::kFirstDelayMs << i) << "no failure remembered, first delay";
    }
}

}  // namespace
}  // namespace zaprelay::guard
