// The Wine desktop works as the later window tests need: windows are created, and sent
// and posted messages reach their procedure and return its result.
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>

namespace zaprelay::test {
namespace {

constexpr UINT kAdd = WM_APP + 1;
constexpr UINT kPosted = WM_APP + 2;
LPARAM g_posted = 0;

LRESULT CALLBACK AdderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kAdd:
            return static_cast<LRESULT>(wParam) + lParam;
        case kPosted:
            g_posted = lParam;
            return 0;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

class WindowMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = AdderProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZaprelayAdder";
        RegisterClassW(&wc);
        m_window = CreateWindowW(L"ZaprelayAdder", L"Adder", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override { DestroyWindow(m_window); }

    HWND m_window = nullptr;
};

TEST_F(WindowMessageTest, SentMessageReturnsProcedureResult) {
    EXPECT_EQ(SendMessageW(m_window, kAdd, 20, 22), 42);
}

TEST_F(WindowMessageTest, PostedMessageArrivesThroughTheLoop) {
    g_posted = 0;
    ASSERT_TRUE(PostMessageW(m_window, kPosted, 0, 1234));
    EXPECT_TRUE(PumpUntil([] { return g_posted == 1234; }));
}

TEST_F(WindowMessageTest, ShownWindowIsVisibleOnTheDesktop) {
    ShowWindow(m_window, SW_SHOWNORMAL);
    UpdateWindow(m_window);
    EXPECT_TRUE(IsWindowVisible(m_window));
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    // The session's fixed virtual desktop: the main window (534, 172 with a 520 x 670 client
    // area) and the taskbar below it fit whole.
    EXPECT_EQ(desktop.right - desktop.left, 1280);
    EXPECT_EQ(desktop.bottom - desktop.top, 1024);
}

}  // namespace
}  // namespace zaprelay::test
