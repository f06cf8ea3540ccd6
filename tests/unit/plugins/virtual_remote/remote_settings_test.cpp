#include "plugins/virtual_remote/remote_settings.h"

#include "plugins/kit/ini_text.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::remote {
namespace {

using dcd::FindIniValue;

bool Repeats(const TRemoteSettings& settings, const char* name) {
    return settings.Repeats[static_cast<std::size_t>(FindButton(name))];
}

TEST(RemoteSettings, MissingOrEmptyFileGivesTheDefaults) {
    for (const char* text : {"", "[Other]\nRepeatDelay=900\n", "[VirtualRemote]\n"}) {
        TRemoteSettings settings = ParseRemoteSettings(text);
        EXPECT_EQ(settings.RepeatDelayMs, kDefaultRepeatDelayMs) << text;
        EXPECT_EQ(settings.RepeatIntervalMs, kDefaultRepeatIntervalMs) << text;
        EXPECT_TRUE(Repeats(settings, "VOL_UP"));
        EXPECT_FALSE(Repeats(settings, "POWER"));
        EXPECT_FALSE(settings.Position.has_value());
    }
}

TEST(RemoteSettings, TimesOutOfRangeAreClampedAndUnreadableOnesFallBack) {
    struct Case {
        const char* Delay;
        const char* Interval;
        uint32_t DelayMs;
        uint32_t IntervalMs;
    };
    for (const Case& c : {Case{"750", " 40 ", 750, 40}, Case{"5", "0", kMinRepeatDelayMs, kMinRepeatIntervalMs},
                          Case{"-300", "-1", kMinRepeatDelayMs, kMinRepeatIntervalMs},
                          Case{"99999999999999999999999", "4294967297", kMaxRepeatDelayMs, kMaxRepeatIntervalMs},
                          Case{"fast", "", kDefaultRepeatDelayMs, kDefaultRepeatIntervalMs},
                          Case{"300ms", "1e3", kDefaultRepeatDelayMs, kDefaultRepeatIntervalMs}}) {
        TRemoteSettings settings = ParseRemoteSettings(std::string("[VirtualRemote]\nRepeatDelay=") + c.Delay +
                                                       "\nRepeatInterval=" + c.Interval + "\n");
        EXPECT_EQ(settings.RepeatDelayMs, c.DelayMs) << c.Delay;
        EXPECT_EQ(settings.RepeatIntervalMs, c.IntervalMs) << c.Interval;
    }
}

TEST(RemoteSettings, RepeatingListChoosesExactlyTheNamedButtons) {
    TRemoteSettings settings = ParseRemoteSettings("[VirtualRemote]\nRepeating=power; ok,,  Vol_Up\tZOOM,ZOOM\n");
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        std::string name = RemoteButtons()[i].Name;
        EXPECT_EQ(settings.Repeats[i], name == "POWER" || name == "OK" || name == "VOL_UP") << name;
    }
    EXPECT_EQ(settings.UnknownRepeating, std::vector<std::string>{"ZOOM"});

    TRemoteSettings none = ParseRemoteSettings("[VirtualRemote]\nRepeating=\n");
    EXPECT_FALSE(Repeats(none, "VOL_UP")) << "an empty list means no button repeats";
}

// A damaged or hostile file with a list of many names is read in one pass, each name kept once.
TEST(RemoteSettings, AHugeRepeatingListIsReadInOnePass) {
    std::string text = "[VirtualRemote]\nRepeating=";
    for (int i = 0; i < 300000; ++i) {
        text += "X" + std::to_string(i) + ";X" + std::to_string(i) + " ";
    }
    const TRemoteSettings settings = ParseRemoteSettings(text);
    ASSERT_EQ(settings.UnknownRepeating.size(), 300000u);
    EXPECT_EQ(settings.UnknownRepeating.back(), "X299999");
}

TEST(RemoteSettings, PositionNeedsBothCoordinatesWithinReach) {
    auto position = [](const char* text) {
        return ParseRemoteSettings(std::string("[VirtualRemote]\n") + text).Position;
    };
    EXPECT_EQ(position("Left=-20\nTop=300\n"), (TRemotePosition{-20, 300}));
    EXPECT_EQ(position("Left=20\n"), std::nullopt);
    EXPECT_EQ(position("Left=20\nTop=x\n"), std::nullopt);
    EXPECT_EQ(position("Left=20\nTop=40000\n"), std::nullopt);
}

TEST(RemoteSettings, SavedRepeatSettingsReadBackAndKeepTheRestOfTheFile) {
    const std::string file =
        "[Mine]\r\nKeep=1\r\n[VirtualRemote]\r\nLeft=5\r\nTop=6\r\nRepeating=VOL_UP,ZOOM\r\nRepeatDelay=900\r\n";
    TRemoteSettings settings = ParseRemoteSettings(file);
    settings.Repeats[static_cast<std::size_t>(FindButton("STOP"))] = true;
    settings.RepeatIntervalMs = 5000;  // beyond the range: stored clamped

    std::string saved = WriteRepeatSettings(file, settings);
    TRemoteSettings read = ParseRemoteSettings(saved);
    EXPECT_EQ(read.Repeats, settings.Repeats);
    EXPECT_EQ(read.RepeatDelayMs, 900u);
    EXPECT_EQ(read.RepeatIntervalMs, kMaxRepeatIntervalMs);
    EXPECT_EQ(read.UnknownRepeating, std::vector<std::string>{"ZOOM"});
    EXPECT_EQ(read.Position, (TRemotePosition{5, 6}));
    EXPECT_EQ(FindIniValue(saved, "Mine", "Keep"), "1");
    EXPECT_EQ(FindIniValue(saved, "VirtualRemote", "Repeating"), "VOL_UP,STOP,ZOOM");

    std::string moved = WritePosition(saved, {70, 80});
    EXPECT_EQ(ParseRemoteSettings(moved).Position, (TRemotePosition{70, 80}));
    EXPECT_EQ(ParseRemoteSettings(moved).Repeats, settings.Repeats);
}

}  // namespace
}  // namespace zaprelay::remote
