#include "plugins/kit/press_limiter.h"

#include <gtest/gtest.h>

namespace zaprelay::dcd {
namespace {

// A server flooding one button (thousands a second) gets a remote's pace through, the rest is
// counted; held-button repeats and other buttons are not held back.
TEST(PressLimiter, PassesARemotesPaceOfFreshPressesPerCodeAndCountsTheRest) {
    TPressLimiter limiter;
    int passed = 0;
    for (uint32_t i = 0; i < 3000; ++i) {
        passed += limiter.Allow("POWER", 0, 5000 + i / 3) ? 1 : 0;  // 3,000 in one second
    }
    EXPECT_EQ(passed, 10);
    EXPECT_EQ(limiter.Dropped(), 2990u);
    EXPECT_TRUE(limiter.Allow("POWER", 1, 5999)) << "a repeat of the held button";
    EXPECT_TRUE(limiter.Allow("MUTE", 0, 5999)) << "another button";
    EXPECT_FALSE(limiter.Allow("POWER", 0, 5999));
    EXPECT_TRUE(limiter.Allow("POWER", 0, 7000)) << "a second later";
    TPressLimiter wrapping;  // the millisecond clock wraps after 49 days
    for (uint32_t i = 0; i < 10; ++i) {
        EXPECT_TRUE(wrapping.Allow("OK", 0, 0xFFFFFFF0u + i));
    }
    EXPECT_FALSE(wrapping.Allow("OK", 0, 5));
    EXPECT_TRUE(wrapping.Allow("OK", 0, 0xFFFFFFF0u + 1000));
}

}  // namespace
}  // namespace zaprelay::dcd
