// The tray icon on the real notification area: found on the screen and clicked with real
// mouse input, its callbacks reach the window that added it.
#include "framework/win32/utility_window.h"
#include "skin/form/tray_icon.h"
#include "tests/win32/input.h"
#include "tests/win32/test_support.h"
#include "tests/win32/tray_area.h"

#include <gtest/gtest.h>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr UINT kCallbackMessage = 0x056C;

TEST(TrayClick, DoubleAndRightClickOnTheShownIconReachItsWindow) {
    std::vector<LPARAM> events;  // the mouse messages the shell reported for the icon
    UINT id = 0;
    win32::TUtilityWindow window([&](TMessage& m) {
        if (m.Msg == kCallbackMessage && m.WParam == id) {
            events.push_back(m.LParam);
        }
    });
    auto arrived = [&events](LPARAM event) {
        return test::PumpUntil([&] {
            for (LPARAM e : events) {
                if (e == event) {
                    return true;
                }
            }
            return false;
        });
    };

    TTrayIcon icon(window.Handle(), kCallbackMessage);
    id = icon.Id();
    icon.SetIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));  // IDI_APPLICATION
    icon.SetTip(u"Zaprelay");
    // Unknown to the shell before it is added, and for any other identifier after.
    EXPECT_FALSE(test::TrayIconCenter(window.Handle(), id));
    ASSERT_TRUE(icon.Add());
    EXPECT_FALSE(test::TrayIconCenter(window.Handle(), id + 1));
    EXPECT_FALSE(test::TrayIconCenter(nullptr, id));

    POINT center{};
    ASSERT_TRUE(test::WaitForTrayIcon(window.Handle(), id, 10000, center));
    test::DoubleClickAt(center.x, center.y);
    EXPECT_TRUE(arrived(WM_LBUTTONDBLCLK));
    test::ClickAt(center.x, center.y, true);
    EXPECT_TRUE(arrived(WM_RBUTTONUP));

    ASSERT_TRUE(icon.Remove());
    EXPECT_FALSE(test::TrayIconCenter(window.Handle(), id));
}

TEST(TrayClick, SecondIconIsNeverTakenForTheFirst) {
    UINT clicked = 0;
    win32::TUtilityWindow window([&clicked](TMessage& m) {
        if (m.Msg == kCallbackMessage && m.LParam == WM_RBUTTONUP) {
            clicked = static_cast<UINT>(m.WParam);
        }
    });
    HICON image = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    TTrayIcon first(window.Handle(), kCallbackMessage);
    TTrayIcon second(window.Handle(), kCallbackMessage);
    first.SetIcon(image);
    second.SetIcon(image);
    ASSERT_TRUE(first.Add());
    POINT firstCenter{};
    ASSERT_TRUE(test::WaitForTrayIcon(window.Handle(), first.Id(), 10000, firstCenter));

    // Right after the shell took it, before it is drawn, the second must not get the first's
    // place; where the shell cannot tell them apart neither is found.
    ASSERT_TRUE(second.Add());
    auto apart = [&] {
        auto a = test::TrayIconCenter(window.Handle(), first.Id());
        auto b = test::TrayIconCenter(window.Handle(), second.Id());
        return !b || !a || a->x != b->x || a->y != b->y;
    };
    for (int look = 0; look < 5; ++look) {
        EXPECT_TRUE(apart()) << "look " << look;
    }

    // Alone again, the second is found and clicked, and the click is reported for it.
    ASSERT_TRUE(first.Remove());
    POINT secondCenter{};
    ASSERT_TRUE(test::WaitForTrayIcon(window.Handle(), second.Id(), 10000, secondCenter));
    test::ClickAt(secondCenter.x, secondCenter.y, true);
    EXPECT_TRUE(test::PumpUntil([&] { return clicked != 0; }));
    EXPECT_EQ(clicked, second.Id());
}

}  // namespace
}  // namespace zaprelay::skin
