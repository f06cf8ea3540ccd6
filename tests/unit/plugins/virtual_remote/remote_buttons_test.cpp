#include "plugins/virtual_remote/remote_buttons.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace zaprelay::remote {
namespace {

TEST(RemoteButtons, EachButtonHasItsOwnStableCodeThatFitsTheRecord) {
    std::set<std::string> codes;
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        const std::string code = CodeText(i);
        EXPECT_EQ(code.rfind(kCodePrefix, 0), 0u) << code;
        EXPECT_LT(code.size(), dcd::kCodeTextSize) << code;
        EXPECT_EQ(code, CodeText(i));
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), kButtonCount);
    EXPECT_EQ(CodeText(static_cast<std::size_t>(FindButton("VOL_UP"))), "VIRTUAL VOL_UP");
    EXPECT_EQ(CodeText(kButtonCount), "");
}

TEST(RemoteButtons, HasTheButtonsOfATelevisionRemote) {
    for (const char* name :
         {"POWER", "0",      "1",        "2",    "3",     "4",          "5",      "6",          "7",    "8",
          "9",     "VOL_UP", "VOL_DOWN", "MUTE", "CH_UP", "CH_DOWN",    "OK",     "UP",         "DOWN", "LEFT",
          "RIGHT", "MENU",   "EPG",      "BACK", "INFO",  "FULLSCREEN", "RECORD", "PLAY_PAUSE", "STOP"}) {
        EXPECT_GE(FindButton(name), 0) << name;
    }
    EXPECT_EQ(FindButton("vol_up"), FindButton("VOL_UP"));
    EXPECT_EQ(FindButton("VOL"), -1);
    EXPECT_EQ(FindButton(""), -1);
}

TEST(RemoteButtons, VolumeChannelAndArrowsRepeatByDefaultAndNothingElse) {
    std::set<std::string> repeating;
    for (const TRemoteButton& button : RemoteButtons()) {
        if (button.RepeatsByDefault) {
            repeating.insert(button.Name);
        }
    }
    EXPECT_EQ(repeating,
              (std::set<std::string>{"VOL_UP", "VOL_DOWN", "CH_UP", "CH_DOWN", "UP", "DOWN", "LEFT", "RIGHT"}));
}

TEST(RemoteButtons, FacesSitInsideTheBodyWithoutOverlapAndAreFoundByTheirPoints) {
    const auto& buttons = RemoteButtons();
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        const TRect& r = buttons[i].Bounds;
        SCOPED_TRACE(buttons[i].Name);
        EXPECT_GT(r.Width(), 20);
        EXPECT_GT(r.Height(), 20);
        EXPECT_GE(r.Left, 8);
        EXPECT_LE(r.Right, kRemoteWidth - 8);
        EXPECT_GT(r.Top, kTitleHeight);
        EXPECT_LE(r.Bottom, kRemoteHeight - 8);
        for (std::size_t j = i + 1; j < kButtonCount; ++j) {
            const TRect& o = buttons[j].Bounds;
            EXPECT_TRUE(r.Right <= o.Left || o.Right <= r.Left || r.Bottom <= o.Top || o.Bottom <= r.Top)
                << "overlaps " << buttons[j].Name;
        }
        EXPECT_EQ(ButtonAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), static_cast<int>(i));
        EXPECT_EQ(ButtonAt(r.Left, r.Top), static_cast<int>(i));
        EXPECT_NE(ButtonAt(r.Right, r.Bottom), static_cast<int>(i)) << "right and bottom edges are outside";
    }
    EXPECT_EQ(ButtonAt(kRemoteWidth / 2, kTitleHeight / 2), -1) << "the title strip drags the remote";
    EXPECT_EQ(ButtonAt(2, kRemoteHeight / 2), -1);
    EXPECT_EQ(ButtonAt(-50, -50), -1);
}

TEST(RemoteButtons, NavigationPadHoldsTheArrowsAndOk) {
    const TRect pad = NavigationPadBounds();
    for (const char* name : {"UP", "DOWN", "LEFT", "RIGHT", "OK"}) {
        const TRect& r = RemoteButtons()[static_cast<std::size_t>(FindButton(name))].Bounds;
        EXPECT_TRUE(pad.Contains(r.Left, r.Top) && pad.Contains(r.Right - 1, r.Bottom - 1)) << name;
    }
    const TRect& ok = RemoteButtons()[static_cast<std::size_t>(FindButton("OK"))].Bounds;
    const TRect& up = RemoteButtons()[static_cast<std::size_t>(FindButton("UP"))].Bounds;
    EXPECT_LT(up.Bottom, ok.Top);
}

TEST(RemoteButtons, KeysPressOneButtonEach) {
    EXPECT_EQ(ButtonForKey('5'), FindButton("5"));
    EXPECT_EQ(ButtonForKey(0x65), FindButton("5")) << "numeric keypad 5";
    EXPECT_EQ(ButtonForKey(0x26), FindButton("UP"));
    EXPECT_EQ(ButtonForKey(0x0D), FindButton("OK"));
    EXPECT_EQ(ButtonForKey(0), -1);
    EXPECT_EQ(ButtonForKey('Q'), -1);
    std::set<uint16_t> keys;
    std::size_t count = 0;
    for (const TRemoteButton& button : RemoteButtons()) {
        for (uint16_t key : button.Keys) {
            if (key != 0) {
                keys.insert(key);
                ++count;
            }
        }
    }
    EXPECT_EQ(keys.size(), count) << "a key presses one button only";
}

TEST(RemoteButtons, SettingsListShowsEveryButtonOnce) {
    std::multiset<int> shown(SettingsListPlaces().begin(), SettingsListPlaces().end());
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        EXPECT_EQ(shown.count(static_cast<int>(i)), 1u) << RemoteButtons()[i].Name;
    }
    EXPECT_EQ(shown.count(-1), SettingsListPlaces().size() - kButtonCount) << "the other places stay empty";
}

}  // namespace
}  // namespace zaprelay::remote
