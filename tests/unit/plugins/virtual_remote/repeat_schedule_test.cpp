#include "plugins/virtual_remote/repeat_schedule.h"

#include <gtest/gtest.h>
#include <vector>

namespace zaprelay::remote {
namespace {

TEST(RepeatSchedule, FirstRepeatAfterTheDelayThenOnePerInterval) {
    TRepeatSchedule schedule(500, 100, 1000);
    EXPECT_EQ(schedule.WaitMs(1000), 500u);
    EXPECT_EQ(schedule.TakeDue(1000), 0);
    EXPECT_EQ(schedule.TakeDue(1499), 0);
    EXPECT_EQ(schedule.TakeDue(1500), 1);
    EXPECT_EQ(schedule.TakeDue(1500), 0) << "one repeat per due time";
    EXPECT_EQ(schedule.WaitMs(1500), 100u);
    EXPECT_EQ(schedule.TakeDue(1610), 2) << "a little late keeps the beat";
    EXPECT_EQ(schedule.WaitMs(1610), 90u);
    EXPECT_EQ(schedule.TakeDue(1700), 3);
    EXPECT_EQ(schedule.Sent(), 3);
}

TEST(RepeatSchedule, AfterAStallGoesOnFromNowWithoutBurstOrGap) {
    TRepeatSchedule schedule(200, 50, 0);
    ASSERT_EQ(schedule.TakeDue(200), 1);
    // The program was busy for a second: one repeat now, the next an interval later.
    EXPECT_EQ(schedule.TakeDue(1200), 2);
    EXPECT_EQ(schedule.TakeDue(1200), 0);
    EXPECT_EQ(schedule.TakeDue(1249), 0);
    EXPECT_EQ(schedule.TakeDue(1250), 3);
}

TEST(RepeatSchedule, WorksAcrossTheTickCounterWrap) {
    const uint32_t pressed = 0xFFFFFF00u;  // 256 ms before the counter wraps
    TRepeatSchedule schedule(300, 100, pressed);
    EXPECT_EQ(schedule.TakeDue(0xFFFFFFF0u), 0);
    EXPECT_EQ(schedule.WaitMs(0xFFFFFFF0u), 60u);
    EXPECT_EQ(schedule.TakeDue(44), 1);  // 300 ms after the press
    EXPECT_EQ(schedule.TakeDue(144), 2);
}

TEST(RepeatSchedule, ZeroIntervalStillAdvances) {
    TRepeatSchedule schedule(0, 0, 10);
    std::vector<int32_t> sent;
    for (uint32_t t = 10; t < 14; ++t) {
        sent.push_back(schedule.TakeDue(t));
    }
    EXPECT_EQ(sent, (std::vector<int32_t>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace zaprelay::remote
