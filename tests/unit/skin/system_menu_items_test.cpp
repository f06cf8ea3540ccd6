// The built-in system menu offers what the window's state and caption buttons allow.
#include "skin/form/system_menu_items.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zaprelay::skin {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Captions(TVxWindowState state, TVxBorderIcons icons) {
    std::vector<std::string> captions;
    for (const TSystemMenuItem& item : SystemMenuItems(state, icons)) {
        captions.push_back(item.Caption);
    }
    return captions;
}

TEST(SystemMenuItems, EachStateOffersItsWayOut) {
    const TVxBorderIcons all = kDefaultBorderIcons;
    EXPECT_THAT(Captions(kwsNormal, all),
                ElementsAre("Mi&nimize", "Ma&ximize", "Ro&llup", "Minimize to &Tray", "-", "&Close"));
    EXPECT_THAT(Captions(kwsMaximized, all),
                ElementsAre("&Restore", "Mi&nimize", "Ro&llup", "Minimize to &Tray", "-", "&Close"));
    EXPECT_THAT(Captions(kwsMinimized, all), ElementsAre("&Restore", "-", "&Close"));
    EXPECT_THAT(Captions(kwsRollup, all),
                ElementsAre("&Restore", "Mi&nimize", "Ma&ximize", "Minimize to &Tray", "-", "&Close"));
    // In the tray: Restore first and no way into the tray.
    EXPECT_THAT(Captions(kwsTray, all), ElementsAre("&Restore", "-", "&Close"));
}

TEST(SystemMenuItems, MissingButtonsRemoveTheirItemsAndTheSeparatorNeedsAPredecessor) {
    // The program's main window: close and tray only.
    EXPECT_THAT(Captions(kwsNormal, BorderIconSet({kbiClose, kbiTray})),
                ElementsAre("Minimize to &Tray", "-", "&Close"));
    EXPECT_THAT(Captions(kwsNormal, BorderIconSet({kbiClose})), ElementsAre("&Close"));
    EXPECT_THAT(Captions(kwsNormal, BorderIconSet({kbiMinimize})), ElementsAre("Mi&nimize"));
    std::vector<TSystemMenuItem> items = SystemMenuItems(kwsNormal, BorderIconSet({kbiClose}));
    EXPECT_EQ(items[0].ShortCut, "Alt+F4");
    EXPECT_EQ(items[0].ImageIndex, kfiClose);
}

TEST(SystemMenuItems, ClickedCaptionNamesItsOperation) {
    for (const TSystemMenuItem& item : SystemMenuItems(kwsMaximized, kDefaultBorderIcons)) {
        std::optional<TSystemMenuItem> found = SystemMenuItemFor(item.Caption);
        if (item.Caption == "-") {
            EXPECT_FALSE(found.has_value());
            continue;
        }
        ASSERT_TRUE(found.has_value()) << item.Caption;
        EXPECT_EQ(found->Close, item.Close) << item.Caption;
        EXPECT_EQ(found->Operation, item.Operation) << item.Caption;
        EXPECT_EQ(found->ImageIndex, item.ImageIndex) << item.Caption;
    }
    EXPECT_EQ(SystemMenuItemFor("&Restore")->Operation, kwsNormal);
    EXPECT_EQ(SystemMenuItemFor("Minimize to &Tray")->Operation, kwsTray);
    EXPECT_FALSE(SystemMenuItemFor("Restore").has_value());  // the accelerator is part of the text
}

}  // namespace
}  // namespace zaprelay::skin
