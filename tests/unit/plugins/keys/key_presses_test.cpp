#include "plugins/keys/key_presses.h"

#include <gtest/gtest.h>

namespace zaprelay::keys {
namespace {

constexpr TKey kVolumeUp = VirtualKey(0xAF);
constexpr TKey kMute = VirtualKey(0xAD);

TEST(RepeatCounter, AHeldKeyCountsUpAndAReleaseStartsOver) {
    TRepeatCounter counter;
    EXPECT_EQ(counter.Down(kVolumeUp, 1000), 0);
    EXPECT_EQ(counter.Down(kVolumeUp, 1500), 1);
    EXPECT_EQ(counter.Down(kVolumeUp, 1530), 2);
    EXPECT_EQ(counter.Down(kVolumeUp, 1560), 3);
    counter.Up(kVolumeUp);
    EXPECT_EQ(counter.Down(kVolumeUp, 1600), 0);
    counter.Up(kMute);  // a release of a key never seen down changes nothing
    EXPECT_EQ(counter.Down(kVolumeUp, 1630), 1);
}

TEST(RepeatCounter, KeysCountApart) {
    TRepeatCounter counter;
    EXPECT_EQ(counter.Down(kVolumeUp, 0), 0);
    EXPECT_EQ(counter.Down(kMute, 10), 0);
    EXPECT_EQ(counter.Down(kVolumeUp, 20), 1);
    EXPECT_EQ(counter.Down(ConsumerKey(0xAF), 30), 0) << "a usage with the same number is another key";
    counter.Up(kMute);
    EXPECT_EQ(counter.Down(kVolumeUp, 40), 2);
    counter.Clear();
    EXPECT_EQ(counter.Down(kVolumeUp, 50), 0);
}

TEST(RepeatCounter, ALostReleaseDoesNotTurnTheNextPressIntoARepeat) {
    TRepeatCounter counter;
    EXPECT_EQ(counter.Down(kMute, 100), 0);
    EXPECT_EQ(counter.Down(kMute, 100 + TRepeatCounter::kMaxRepeatGapMs), 1);
    EXPECT_EQ(counter.Down(kMute, 101 + 2 * TRepeatCounter::kMaxRepeatGapMs), 0);
    // The tick count wraps about every 49 days.
    EXPECT_EQ(counter.Down(kVolumeUp, 0xFFFFFF00u), 0);
    EXPECT_EQ(counter.Down(kVolumeUp, 0x20u), 1);
}

TEST(ChangedUsages, ReportsTellPressesAndReleases) {
    TUsageChanges changes = ChangedUsages({}, {0x9C});
    EXPECT_EQ(changes.Pressed, std::vector<uint16_t>{0x9C});
    EXPECT_TRUE(changes.Released.empty());

    changes = ChangedUsages({0x9C}, {0x9C, 0xE9});
    EXPECT_EQ(changes.Pressed, std::vector<uint16_t>{0xE9}) << "a held usage is no new press";
    EXPECT_TRUE(changes.Released.empty());

    changes = ChangedUsages({0x9C, 0xE9}, {0, 0});
    EXPECT_TRUE(changes.Pressed.empty()) << "an empty slot is no usage";
    EXPECT_EQ(changes.Released, (std::vector<uint16_t>{0x9C, 0xE9}));

    changes = ChangedUsages({}, {0x40, 0x40});
    EXPECT_EQ(changes.Pressed, std::vector<uint16_t>{0x40}) << "one usage listed twice is one press";
}

}  // namespace
}  // namespace zaprelay::keys
