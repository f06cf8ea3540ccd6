#include "plugins/keys/key_settings.h"

#include "plugins/kit/ini_text.h"

#include <gtest/gtest.h>

namespace zaprelay::keys {
namespace {

TEST(KeySettings, AMissingListMeansTheDefaults) {
    for (const char* text : {"", "[KeyboardRemote]\r\n", "[Other]\r\nKeys=A\r\n", "\xFF\xFE junk [\r\n=\r\n"}) {
        const TKeySettings settings = ParseKeySettings(text);
        EXPECT_EQ(settings.Keys, DefaultKeys()) << text;
        EXPECT_TRUE(settings.UnknownNames.empty()) << text;
    }
}

TEST(KeySettings, TheListIsReadInOrderWithJunkKeptApart) {
    const TKeySettings settings =
        ParseKeySettings("[keyboardremote]\nKeys = volume_up, ,A,,NO_SUCH_KEY , A,F5,NO_SUCH_KEY,CONSUMER_9C,\n");
    EXPECT_EQ(settings.Keys,
              (std::vector<TKey>{VirtualKey(0xAF), VirtualKey('A'), VirtualKey(0x74), ConsumerKey(0x9C)}));
    EXPECT_EQ(settings.UnknownNames, std::vector<std::string>{"NO_SUCH_KEY"});
    EXPECT_TRUE(settings.Reports(VirtualKey('A')));
    EXPECT_FALSE(settings.Reports(VirtualKey(0xAE)));
}

// A damaged or hostile file with a list of many names is read in one pass, each name kept once.
TEST(KeySettings, AHugeListIsReadInOnePass) {
    std::string text = "[KeyboardRemote]\nKeys=";
    for (int i = 0; i < 300000; ++i) {
        text += "X" + std::to_string(i) + ",A,";
    }
    const TKeySettings settings = ParseKeySettings(text);
    EXPECT_EQ(settings.Keys, std::vector<TKey>{VirtualKey('A')});
    ASSERT_EQ(settings.UnknownNames.size(), 300000u);
    EXPECT_EQ(settings.UnknownNames.back(), "X299999");
}

TEST(KeySettings, AnEmptyListReportsNothing) {
    EXPECT_TRUE(ParseKeySettings("[KeyboardRemote]\r\nKeys=\r\n").Keys.empty());
    EXPECT_TRUE(ParseKeySettings("[KeyboardRemote]\r\nKeys= , ,\r\n").Keys.empty());
}

TEST(KeySettings, WritingKeepsOtherLinesAndUnknownNames) {
    const std::string before =
        "; mine\r\n[KeyboardRemote]\r\nKeys=A,LATER_KEY\r\nOther=1\r\n\r\n[Else]\r\nKeys=stay\r\n";
    TKeySettings settings = ParseKeySettings(before);
    EXPECT_TRUE(settings.Add(VirtualKey(0xAF)));
    EXPECT_FALSE(settings.Add(VirtualKey('A')));
    EXPECT_TRUE(settings.Remove(VirtualKey('A')));
    EXPECT_FALSE(settings.Remove(VirtualKey('A')));
    const std::string after = WriteKeySettings(before, settings);
    EXPECT_EQ(after,
              "; mine\r\n[KeyboardRemote]\r\nKeys=VOLUME_UP,LATER_KEY\r\nOther=1\r\n\r\n[Else]\r\nKeys=stay\r\n");
    EXPECT_EQ(ParseKeySettings(after).Keys, settings.Keys);
    EXPECT_EQ(ParseKeySettings(after).UnknownNames, settings.UnknownNames);
}

TEST(KeySettings, DefaultsWrittenToAnEmptyFileReadBackTheSame) {
    const std::string text = WriteKeySettings("", DefaultKeySettings());
    EXPECT_EQ(dcd::FindIniValue(text, "KeyboardRemote", "Keys"), KeyListText(DefaultKeySettings()));
    EXPECT_EQ(ParseKeySettings(text).Keys, DefaultKeys());
    EXPECT_NE(KeyListText(DefaultKeySettings()).find("VOLUME_UP"), std::string::npos);

    TKeySettings none;
    EXPECT_TRUE(ParseKeySettings(WriteKeySettings(text, none)).Keys.empty()) << "an emptied list stays empty";
}

}  // namespace
}  // namespace zaprelay::keys
