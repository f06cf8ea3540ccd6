#include "plugins/keys/key_names.h"

#include <gtest/gtest.h>
#include <set>

namespace zaprelay::keys {
namespace {

TEST(KeyNames, MediaKeysHaveTheirReadableNames) {
    EXPECT_EQ(KeyCodeText(VirtualKey(0xAF)), "KEY VOLUME_UP");
    EXPECT_EQ(KeyCodeText(VirtualKey(0xB3)), "KEY MEDIA_PLAY_PAUSE");
    EXPECT_EQ(KeyCodeText(VirtualKey(0x74)), "KEY F5");
    EXPECT_EQ(KeyCodeText(VirtualKey('A')), "KEY A");
    EXPECT_EQ(KeyCodeText(VirtualKey('7')), "KEY 7");
    EXPECT_EQ(KeyCodeText(VirtualKey(0x87)), "KEY F24");
    EXPECT_EQ(KeyCodeText(VirtualKey(0x69)), "KEY NUMPAD9");
    EXPECT_EQ(KeyCodeText(ConsumerKey(0x9C)), "KEY CHANNEL_UP");
}

TEST(KeyNames, EveryDefaultKeyHasATableNameThatLeadsBackToIt) {
    ASSERT_FALSE(DefaultKeys().empty());
    std::set<std::string> names;
    for (TKey key : DefaultKeys()) {
        const std::string name = KeyName(key);
        EXPECT_FALSE(name.starts_with("VK_") || name.starts_with("CONSUMER_")) << name;
        EXPECT_EQ(KeyFromName(name), key) << name;
        EXPECT_TRUE(names.insert(name).second) << "listed twice: " << name;
        EXPECT_FALSE(IsModifier(key)) << name;
    }
    for (const char* name : {"VOLUME_UP", "VOLUME_DOWN", "VOLUME_MUTE", "MEDIA_PLAY_PAUSE", "MEDIA_STOP",
                             "MEDIA_NEXT_TRACK", "MEDIA_PREV_TRACK", "BROWSER_BACK", "BROWSER_FORWARD",
                             "BROWSER_REFRESH", "BROWSER_HOME", "CHANNEL_UP", "CHANNEL_DOWN"}) {
        EXPECT_TRUE(names.count(name)) << name << " is not reported by default";
    }
    // Typing never reaches the program unless asked for.
    for (char c : std::string("AZ09 ")) {
        EXPECT_FALSE(names.count(KeyName(VirtualKey(static_cast<uint8_t>(c))))) << c;
    }
}

TEST(KeyNames, EveryVirtualKeyRoundTripsAndNoTwoShareAName) {
    std::set<std::string> names;
    for (int code = 1; code < 0xFF; ++code) {
        const TKey key = VirtualKey(static_cast<uint8_t>(code));
        const std::string name = KeyName(key);
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_EQ(KeyFromName(name), key) << name;
        EXPECT_EQ(name.find_first_of(", =;[]\t"), std::string::npos) << "no room in the settings list: " << name;
        EXPECT_LE(KeyCodeText(key).size(), 123u);
    }
}

TEST(KeyNames, ConsumerUsagesRoundTripAndTypedOnesBecomeTheirVirtualKey) {
    for (uint32_t usage = 1; usage <= 0xFFFF; ++usage) {
        const TKey key = ConsumerKey(static_cast<uint16_t>(usage));
        const std::optional<TKey> back = KeyFromName(KeyName(key));
        ASSERT_TRUE(back) << KeyName(key);
        if (auto typed = TypedVirtualKey(static_cast<uint16_t>(usage))) {
            EXPECT_EQ(*back, VirtualKey(*typed)) << KeyName(key);
        } else {
            EXPECT_EQ(*back, key) << KeyName(key);
        }
    }
    EXPECT_EQ(TypedVirtualKey(0xE9), 0xAF);          // volume up
    EXPECT_EQ(TypedVirtualKey(0x9C), std::nullopt);  // channel up has no virtual key
    EXPECT_EQ(KeyName(ConsumerKey(0xE2)), "VOLUME_MUTE");
    EXPECT_NE(KeyName(ConsumerKey(0x9C)), KeyName(ConsumerKey(0x9D)));
}

TEST(KeyNames, UnknownKeysAreNamedByTheirHexCode) {
    EXPECT_EQ(KeyCodeText(VirtualKey(0x0A)), "KEY VK_0A");
    EXPECT_EQ(KeyCodeText(VirtualKey(0xE9)), "KEY VK_E9");
    EXPECT_EQ(KeyName(ConsumerKey(0x1FF)), "CONSUMER_1FF");
    EXPECT_EQ(KeyName(ConsumerKey(0x07)), "CONSUMER_007");
    EXPECT_EQ(KeyFromName("vk_e9"), VirtualKey(0xE9));
    EXPECT_EQ(KeyFromName("VK_41"), VirtualKey('A')) << "the hex form of a named key is that key";
    EXPECT_EQ(KeyFromName("CONSUMER_E9"), VirtualKey(0xAF));
}

TEST(KeyNames, NamesIgnoreCaseButJunkIsNoKey) {
    EXPECT_EQ(KeyFromName("volume_up"), VirtualKey(0xAF));
    EXPECT_EQ(KeyFromName("f12"), VirtualKey(0x7B));
    EXPECT_EQ(KeyFromName("Channel_Down"), ConsumerKey(0x9D));
    for (const char* junk :
         {"",          " ",   "KEY A",   "AA",    "F0",     "F25",   "F01",       "F100",       "NUMPAD10",
          "NUMPAD",    "VK_", "VK_00",   "VK_FF", "VK_100", "VK_G1", "CONSUMER_", "CONSUMER_0", "CONSUMER_10000",
          "VOLUME UP", "a,b", "\xC3\xA9"}) {
        EXPECT_EQ(KeyFromName(junk), std::nullopt) << junk;
    }
}

TEST(KeyNames, AppCommandsNameTheKeysACaptureStoresAndModifiersAreKnown) {
    EXPECT_EQ(KeyForAppCommand(10), VirtualKey(0xAF));   // volume up
    EXPECT_EQ(KeyForAppCommand(51), ConsumerKey(0x9C));  // channel up
    EXPECT_EQ(KeyForAppCommand(0), std::nullopt);
    EXPECT_EQ(KeyForAppCommand(999), std::nullopt);
    EXPECT_TRUE(IsModifier(VirtualKey(0x10)));
    EXPECT_TRUE(IsModifier(VirtualKey(0xA5)));
    EXPECT_FALSE(IsModifier(VirtualKey('A')));
    EXPECT_FALSE(IsModifier(ConsumerKey(0x10)));
}

}  // namespace
}  // namespace zaprelay::keys
