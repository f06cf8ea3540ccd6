// The tray icon's record and shell calls, seen through a recorder in place of the shell, once
// for real; and the hidden utility window that receives its callbacks.
#include "skin/form/tray_icon.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/application.h"
#include "framework/win32/utility_window.h"
#include "skin/objects/skin_messages.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

struct TShellCall {
    DWORD Message;
    NOTIFYICONDATAW Data;
};

std::vector<TShellCall> g_calls;
BOOL g_answer = TRUE;

BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAW data) {
    g_calls.push_back({message, *data});
    return g_answer;
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_answer = TRUE;
        m_previous = TTrayIcon::SetNotify(&RecordNotify);
    }
    void TearDown() override { TTrayIcon::SetNotify(m_previous); }

    HWND m_window = reinterpret_cast<HWND>(0x1234);

private:
    TTrayIcon::TNotify m_previous = nullptr;
};

TEST_F(TrayIconTest, AddSendsTheWholeRecordOnceAndRemoveTakesItAway) {
    {
        TTrayIcon icon(m_window, VXM_TRAYNOTIFY);
        HICON image = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
        icon.SetIcon(image);
        icon.SetTip(u"Zaprelay \u041f\u0443\u043b\u044c\u0442");
        EXPECT_TRUE(icon.Add());
        EXPECT_TRUE(icon.Add());  // already there: no second call
        ASSERT_EQ(g_calls.size(), 1u);
        const NOTIFYICONDATAW& sent = g_calls[0].Data;
        EXPECT_EQ(g_calls[0].Message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(sent.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
        EXPECT_EQ(sent.hWnd, m_window);
        EXPECT_EQ(sent.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(sent.uCallbackMessage, static_cast<UINT>(VXM_TRAYNOTIFY));
        EXPECT_EQ(sent.hIcon, image);
        EXPECT_EQ(std::wstring(sent.szTip), L"Zaprelay \u041f\u0443\u043b\u044c\u0442");
        EXPECT_TRUE(icon.Shown());
    }
    // Going away while shown removes the icon with the same identifier.
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(g_calls[1].Data.uID, g_calls[0].Data.uID);
}

TEST_F(TrayIconTest, ModifyAndRemoveReachTheShellOnlyForAShownIcon) {
    TTrayIcon icon(m_window, VXM_TRAYNOTIFY);
    EXPECT_TRUE(icon.Modify());
    EXPECT_TRUE(icon.Remove());
    EXPECT_TRUE(g_calls.empty());
    icon.Add();
    icon.Modify();
    icon.Remove();
    icon.Remove();
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[1].Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(g_calls[2].Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(icon.Shown());
}

TEST_F(TrayIconTest, RefusedAddLeavesNothingToRemove) {
    g_answer = FALSE;
    {
        TTrayIcon icon(m_window, VXM_TRAYNOTIFY);
        EXPECT_FALSE(icon.Add());
        EXPECT_FALSE(icon.Shown());
    }
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(TrayIconTest, TipIsCutToWhatTheRecordHoldsAndIconsDifferInIdentifier) {
    TTrayIcon first(m_window, VXM_TRAYNOTIFY);
    TTrayIcon second(m_window, VXM_TRAYNOTIFY);
    EXPECT_NE(first.Id(), second.Id());
    first.SetTip(std::u16string(100, u'x'));
    EXPECT_EQ(first.Tip(), std::u16string(TTrayIcon::kTipLength, u'x'));
    first.SetTip(u"short");
    EXPECT_EQ(first.Tip(), u"short");
}

TEST(TrayIconShell, RealIconIsAddedAndRemoved) {
    win32::TUtilityWindow window([](TMessage&) {}, true);
    TTrayIcon icon(window.Handle(), VXM_TRAYNOTIFY);
    icon.SetIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
    icon.SetTip(u"test");
    ASSERT_TRUE(icon.Add());
    icon.SetTip(u"changed");
    EXPECT_TRUE(icon.Modify());
    EXPECT_TRUE(icon.Remove());
}

TEST(UtilityWindow, HandlerAnswersMessagesAndItsExceptionsGoToTheApplication) {
    win32::TApplication application;
    std::string caught;
    application.OnException = [&caught](TObject*, const std::exception& e) { caught = e.what(); };
    std::vector<UINT> seen;
    win32::TUtilityWindow window([&seen](TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == WM_APP + 2) {
            throw EInvalidOperation("broken");
        }
        m.Result = 42;
    });
    EXPECT_EQ(SendMessageW(window.Handle(), WM_APP + 1, 0, 0), 42);
    EXPECT_EQ(SendMessageW(window.Handle(), WM_APP + 2, 0, 0), 0);
    EXPECT_EQ(caught, "broken");
    PostMessageW(window.Handle(), WM_APP + 3, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !seen.empty() && seen.back() == WM_APP + 3; }));
}

}  // namespace
}  // namespace zaprelay::skin
