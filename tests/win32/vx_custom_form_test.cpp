// The form component on a real framework form: hit testing and the client area through the
// window's own messages, size limits, window states with their vetoes and tray icon, the
// system menu as it shows, caption button clicks, and painting in every buffering mode.
#include "skin/form/vx_custom_form.h"

#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/menus.h"
#include "skin/form/tray_icon.h"
#include "skin/objects/skin_messages.h"
#include "tests/win32/input.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_support.h"

#include <algorithm>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace zaprelay::skin {
namespace {

using test::Centre;
using test::g_refusedAdds;
using test::g_shell;
using test::IconsShown;
using test::MenuLines;
using test::PumpUntil;
using test::RecordShell;
using test::ScreenParam;
using test::TShellCall;
using test::TSurface;
using test::WindowBounds;
using win32::TApplication;
using win32::TForm;

// A pop-up menu's system calls in order, each with the window it named.
using TPopupCallLog = std::vector<std::pair<std::string, HWND>>;
TPopupCallLog g_popupCalls;
BOOL WINAPI RecordForeground(HWND window) {
    g_popupCalls.emplace_back("foreground", window);
    return TRUE;
}
BOOL WINAPI RecordTrack(HMENU, UINT, int, int, HWND owner, LPTPMPARAMS) {
    g_popupCalls.emplace_back("track", owner);
    return FALSE;  // nothing chosen
}
BOOL WINAPI RecordPost(HWND window, UINT message, WPARAM, LPARAM) {
    g_popupCalls.emplace_back(message == WM_NULL ? "null" : "other", window);
    return TRUE;
}

constexpr TColor kClientColor = 0x00408020;    // as a COLORREF: red 0x20, green 0x80, blue 0x40
constexpr uint32_t kClientPixel = 0x00208040;  // the same in a 32-bit DIB
constexpr uint32_t kUntouched = 0x00010203;

class VxCustomFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { win32::InstallWin32Graphics(); }

    void SetUp() override {
        g_shell.clear();
        g_refusedAdds = 0;
        m_previousNotify = TTrayIcon::SetNotify(&RecordShell);
        m_app = std::make_unique<TApplication>();
        m_app->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
        Attach();
    }

    void TearDown() override {
        m_app.reset();
        test::ProcessPendingMessages();
        TTrayIcon::SetNotify(m_previousNotify);
        EXPECT_TRUE(errors.empty()) << errors.front();
    }

    // A fresh shown form with the component attached as the layout reader would; the earlier
    // one goes.
    void Attach() {
        if (form != nullptr) {
            form->Free();
            test::ProcessPendingMessages();
        }
        form = new TForm(m_app.get());
        form->SetText(u"Skinned form");
        form->SetBounds(120, 100, 400, 300);
        form->SetColor(kClientColor);
        vx = new TVxCustomForm(form);
        vx->SetMinimizeApplication(false);  // act on this window only, never the test program
        vx->AfterRead();
        form->Show();
        window = vx->Window();
        test::ProcessPendingMessages();
        normal = Bounds();
        bands = normal.Height() - vx->GetClientArea().Height();
        g_shell.clear();
    }

    TRect Bounds() const { return WindowBounds(window); }
    int32_t HitAt(TPoint point) const {
        return static_cast<int32_t>(SendMessageW(window, WM_NCHITTEST, 0, ScreenParam(window, point)));
    }
    void Resize(int width, int height) const {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    TPoint Size() const { return {Bounds().Width(), Bounds().Height()}; }
    TPoint CaptionPoint() const { return {vx->FormSize().X / 2, vx->GetClientArea().Top - 2}; }
    void Mouse(UINT message, TPoint at) const { SendMessageW(window, message, HTCAPTION, ScreenParam(window, at)); }

    // Shows the component's system menu and looks at it while it is up, then closes it (or
    // presses `key` in it).
    void WithSystemMenu(const std::function<void(HMENU)>& look, WORD key = 0) {
        bool seen = false;
        int tries = 0;
        std::function<void()> lookWhenShown = [&] {
            if (HMENU menu = win32::TPopupMenu::ShowingMenu()) {
                look(menu);
                seen = true;
                key != 0 ? test::QueueKey(key) : static_cast<void>(EndMenu());
            } else if (++tries < 100) {
                test::AfterDelay(50, lookWhenShown);
            }
        };
        test::AfterDelay(50, lookWhenShown);
        vx->ShowSystemMenu();
        EXPECT_TRUE(seen);
    }
    std::vector<std::wstring> SystemMenuLines(WORD key = 0) {
        std::vector<std::wstring> lines;
        WithSystemMenu([&lines](HMENU menu) { lines = MenuLines(menu); }, key);
        return lines;
    }

    // The window's pixels once it has painted itself again, frame and client, over a colour
    // it never paints.
    std::vector<uint32_t> OnScreen() const {
        {
            win32::TWindowDC dc(window, true);
            win32::TBrushHandle magenta(CreateSolidBrush(RGB(255, 0, 255)));
            const RECT all{0, 0, vx->FormSize().X, vx->FormSize().Y};
            FillRect(dc.Get(), &all, magenta.Get());
        }
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const TPoint size = vx->FormSize();
        TSurface surface(size, kUntouched);
        win32::TWindowDC dc(window, true);
        BitBlt(surface.DC(), 0, 0, size.X, size.Y, dc.Get(), 0, 0, SRCCOPY);
        return surface.Pixels();
    }
    std::vector<uint32_t> PaintToDC(uint32_t background = kUntouched) const {
        TSurface surface(vx->FormSize(), background);
        EXPECT_EQ(SendMessageW(window, VXM_PAINTTODC, 0, reinterpret_cast<LPARAM>(surface.DC())), 1);
        return surface.Pixels();
    }

    std::vector<std::string> errors;
    TForm* form = nullptr;
    TVxCustomForm* vx = nullptr;
    HWND window = nullptr;
    TRect normal;
    int32_t bands = 0;  // the rolled-up height: caption and frame without the client

private:
    std::unique_ptr<TApplication> m_app;
    TTrayIcon::TNotify m_previousNotify = nullptr;
};

// ---------------------------------------------------------------- frame geometry

TEST_F(VxCustomFormTest, HitTestAnswersTheSystemsCodesByRegionAndSettings) {
    struct TCase {
        const char* Name;
        std::array<int32_t, 4> Codes;  // normal, not sizeable, not moveable, maximized
    };
    const TCase cases[] = {
        {"caption", {HTCAPTION, HTCAPTION, HTCLIENT, HTCAPTION}},
        {"top", {HTTOP, HTCLIENT, HTTOP, HTCAPTION}},
        {"top left", {HTTOPLEFT, HTCLIENT, HTTOPLEFT, HTCAPTION}},
        {"top right", {HTTOPRIGHT, HTCLIENT, HTTOPRIGHT, HTCAPTION}},
        {"left", {HTLEFT, HTCLIENT, HTLEFT, HTCLIENT}},
        {"right", {HTRIGHT, HTCLIENT, HTRIGHT, HTCLIENT}},
        {"bottom", {HTBOTTOM, HTCLIENT, HTBOTTOM, HTCLIENT}},
        {"bottom left", {HTBOTTOMLEFT, HTCLIENT, HTBOTTOMLEFT, HTCLIENT}},
        {"bottom right", {HTBOTTOMRIGHT, HTCLIENT, HTBOTTOMRIGHT, HTCLIENT}},
        {"left, 19 above the bottom", {HTBOTTOMLEFT, HTCLIENT, HTBOTTOMLEFT, HTCLIENT}},  // the corner's reach
        {"left, 20 above the bottom", {HTLEFT, HTCLIENT, HTLEFT, HTCLIENT}},
        {"close", {HTCLOSE, HTCLOSE, HTCLOSE, HTCLOSE}},
        {"minimize", {HTMINBUTTON, HTMINBUTTON, HTMINBUTTON, HTMINBUTTON}},
        {"maximize", {HTMAXBUTTON, HTMAXBUTTON, HTMAXBUTTON, HTMAXBUTTON}},
        {"client", {HTCLIENT, HTCLIENT, HTCLIENT, HTCLIENT}},
    };
    auto check = [&](std::size_t column, const char* setting) {
        const int32_t w = vx->FormSize().X - 1;
        const int32_t h = vx->FormSize().Y - 1;
        const TPoint points[] = {
            CaptionPoint(),
            {w / 2, 0},
            {0, 0},
            {w, 0},
            {0, h / 2},
            {w, h / 2},
            {w / 2, h},
            {0, h},
            {w, h},
            {0, h - 18},
            {0, h - 19},
            Centre(vx->GetButtonRect(kbiClose)),
            Centre(vx->GetButtonRect(kbiMinimize)),
            Centre(vx->GetButtonRect(kbiMaximize)),
            Centre(vx->GetClientArea()),
        };
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            EXPECT_EQ(HitAt(points[i]), cases[i].Codes[column]) << cases[i].Name << ", " << setting;
        }
    };
    check(0, "normal");
    vx->Dragging()->SetSizeable(false);
    check(1, "not sizeable");
    vx->Dragging()->SetSizeable(true);
    vx->Dragging()->SetMoveable(false);
    check(2, "not moveable");
    vx->Dragging()->SetMoveable(true);
    vx->Maximize();
    ASSERT_EQ(vx->WindowState(), kwsMaximized);
    check(3, "maximized");
}

TEST_F(VxCustomFormTest, ClientRectangleIsTheComponentsClientArea) {
    auto expectClient = [&](const char* when) {
        const TRect area = vx->GetClientArea();
        RECT client;
        GetClientRect(window, &client);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        EXPECT_EQ(client.right, area.Width()) << when;
        EXPECT_EQ(client.bottom, area.Height()) << when;
        EXPECT_EQ(origin.x - Bounds().Left, area.Left) << when;
        EXPECT_EQ(origin.y - Bounds().Top, area.Top) << when;
        EXPECT_EQ(vx->FormSize(), Size()) << when;
    };
    expectClient("attached");
    EXPECT_GT(vx->GetClientArea().Top, vx->GetClientArea().Left) << "a caption above the client";
    Resize(520, 410);
    EXPECT_EQ(Size(), (TPoint{520, 410}));
    expectClient("resized");
    // A new frame keeps the client's size and moves the window's edges instead.
    RECT before;
    GetClientRect(window, &before);
    vx->SetBorderStyle(kbsToolWindow);
    expectClient("tool window");
    vx->SetBorderStyle(kbsNone);
    expectClient("no border");
    RECT after;
    GetClientRect(window, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(vx->GetClientArea(), (TRect{0, 0, Size().X, Size().Y}));
}

TEST_F(VxCustomFormTest, WindowSizeStaysWithinTheLimitsAndConstraints) {
    Resize(5000, 5000);
    EXPECT_EQ(Size(), vx->GetMaxSize());
    Resize(10, 10);
    EXPECT_EQ(Size(), (TPoint{150, 40}));
    vx->Constraints()->SetMaxWidth(300);
    vx->Constraints()->SetMaxHeight(250);
    Resize(600, 600);
    EXPECT_EQ(Size(), (TPoint{300, 250}));
    vx->Constraints()->SetMinWidth(200);
    vx->Constraints()->SetMinHeight(120);
    Resize(10, 10);
    EXPECT_EQ(Size(), (TPoint{200, 120}));
    // A window below a new minimum grows to it at once.
    vx->Constraints()->SetMinWidth(260);
    EXPECT_EQ(Size(), (TPoint{260, 120}));
    // Rolled up, the form is lower than its normal minimum.
    Resize(270, 200);
    vx->Rollup();
    EXPECT_EQ(Size(), (TPoint{270, bands}));
    EXPECT_LT(bands, 120);
}

// ---------------------------------------------------------------- window states

TEST_F(VxCustomFormTest, EachOperationLeadsFromEachStateWhereTheTableSays) {
    using TOperation = void (TVxCustomForm::*)();
    const std::pair<const char*, TOperation> operations[] = {
        {"Maximize", &TVxCustomForm::Maximize}, {"Minimize", &TVxCustomForm::Minimize},
        {"Rollup", &TVxCustomForm::Rollup},     {"MinToTray", &TVxCustomForm::MinToTray},
        {"Restore", &TVxCustomForm::Restore},
    };
    const TVxWindowState N = kwsNormal, M = kwsMaximized, m = kwsMinimized, R = kwsRollup, T = kwsTray;
    const std::pair<TVxWindowState, std::array<TVxWindowState, 5>> table[] = {
        {N, {M, m, R, T, N}}, {M, {N, m, R, T, N}}, {m, {M, N, R, T, N}}, {R, {M, m, N, T, N}}, {T, {M, m, R, N, N}},
    };
    for (const auto& [from, expected] : table) {
        for (std::size_t i = 0; i < 5; ++i) {
            Attach();
            vx->SetWindowState(from);
            ASSERT_EQ(vx->WindowState(), from);
            (vx->*operations[i].second)();
            const TVxWindowState to = expected[i];
            const std::string where = std::to_string(static_cast<int>(from)) + " " + operations[i].first;
            EXPECT_EQ(vx->WindowState(), to) << where;
            // Out of the tray only its own operations show the window and take the icon away.
            if (from != kwsTray || to == kwsNormal) {
                EXPECT_EQ(IsWindowVisible(window) != FALSE, to != kwsTray) << where;
                EXPECT_EQ(IconsShown(), to == kwsTray ? 1 : 0) << where;
            }
            if (to == kwsNormal) {
                EXPECT_EQ(Bounds(), normal) << where;
            } else if (to == kwsMaximized) {
                EXPECT_EQ(Bounds(), vx->GetMaximizedRect()) << where;
            } else if (to == kwsMinimized) {
                EXPECT_EQ(Bounds(), vx->GetMinimizedRect()) << where;
            } else if (to == kwsRollup) {
                EXPECT_EQ(Bounds().Height(), bands) << where;
                if (from == kwsNormal) {
                    EXPECT_EQ(Bounds(), (TRect{normal.Left, normal.Top, normal.Right, normal.Top + bands}));
                }
            }
        }
    }
}

TEST_F(VxCustomFormTest, VetoedOperationLeavesStateBoundsVisibilityAndTrayIcon) {
    using TOperation = void (TVxCustomForm::*)();
    struct TCase {
        const char* Name;
        TVxFormActionEvent TVxCustomForm::*Event;
        TOperation Operation;
        TVxWindowState From;
    };
    const TCase cases[] = {
        {"maximize", &TVxCustomForm::OnMaximize, &TVxCustomForm::Maximize, kwsNormal},
        {"restore by maximize", &TVxCustomForm::OnMaximize, &TVxCustomForm::Maximize, kwsMaximized},
        {"minimize", &TVxCustomForm::OnMinimize, &TVxCustomForm::Minimize, kwsNormal},
        {"rollup", &TVxCustomForm::OnRollup, &TVxCustomForm::Rollup, kwsNormal},
        {"tray", &TVxCustomForm::OnMinToTray, &TVxCustomForm::MinToTray, kwsNormal},
        {"tray when maximized", &TVxCustomForm::OnMinToTray, &TVxCustomForm::MinToTray, kwsMaximized},
        {"close", &TVxCustomForm::OnClose, &TVxCustomForm::Close, kwsNormal},
    };
    for (const TCase& c : cases) {
        Attach();
        vx->SetWindowState(c.From);
        const TRect bounds = Bounds();
        g_shell.clear();
        int asked = 0;
        vx->*c.Event = [&asked](TObject*, bool& callDefault) {
            EXPECT_TRUE(callDefault);
            ++asked;
            callDefault = false;
        };
        (vx->*c.Operation)();
        EXPECT_EQ(asked, 1) << c.Name;
        EXPECT_EQ(vx->WindowState(), c.From) << c.Name;
        EXPECT_EQ(Bounds(), bounds) << c.Name;
        EXPECT_TRUE(IsWindowVisible(window)) << c.Name;
        EXPECT_TRUE(g_shell.empty()) << c.Name;
    }
}

TEST_F(VxCustomFormTest, TrayAddsOneIconTippedWithTheCaptionAndItsDoubleClickRestores) {
    vx->MinToTray();
    EXPECT_FALSE(IsWindowVisible(window));
    ASSERT_EQ(g_shell.size(), 1u);
    EXPECT_EQ(g_shell[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(std::wstring(g_shell[0].Data.szTip), L"Skinned form");
    EXPECT_EQ(g_shell[0].Data.hWnd, vx->NotifyWindow());
    EXPECT_EQ(g_shell[0].Data.uCallbackMessage, static_cast<UINT>(VXM_TRAYNOTIFY));
    // Other mouse events on the icon do nothing; the double click brings the window back.
    SendMessageW(vx->NotifyWindow(), VXM_TRAYNOTIFY, g_shell[0].Data.uID, WM_LBUTTONDOWN);
    EXPECT_EQ(vx->WindowState(), kwsTray);
    SendMessageW(vx->NotifyWindow(), VXM_TRAYNOTIFY, g_shell[0].Data.uID, WM_LBUTTONDBLCLK);
    EXPECT_EQ(vx->WindowState(), kwsNormal);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Bounds(), normal);
    ASSERT_EQ(g_shell.size(), 2u);
    EXPECT_EQ(g_shell[1].Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(g_shell[1].Data.uID, g_shell[0].Data.uID);
}

// A menu of the tray icon belongs to no shown window: unless its owner takes the foreground
// first (and hears a message after), it stays open when the user clicks elsewhere.
TEST_F(VxCustomFormTest, EveryMenuOfTheTrayIconTakesTheForegroundBeforeItShows) {
    const auto previous = win32::TPopupMenu::SetPopupCalls({&RecordForeground, &RecordTrack, &RecordPost});
    auto* shared = new win32::TPopupMenu(form);  // a shown window's menu too, which needs no foreground
    shared->SetForegroundPopup(false);
    vx->MinToTray();
    for (win32::TPopupMenu* link : {shared, static_cast<win32::TPopupMenu*>(nullptr)}) {
        vx->SetTrayMenuLink(link);
        g_popupCalls.clear();
        SendMessageW(vx->NotifyWindow(), VXM_TRAYNOTIFY, vx->TrayIcon().Id(), WM_RBUTTONUP);
        const HWND owner = g_popupCalls.empty() ? nullptr : g_popupCalls.back().second;
        EXPECT_EQ(g_popupCalls, (TPopupCallLog{{"foreground", owner}, {"track", owner}, {"null", owner}}))
            << (link != nullptr ? "tray menu link" : "built-in menu");
    }
    win32::TPopupMenu::SetPopupCalls(previous);
}

TEST_F(VxCustomFormTest, DraggingWithTheMouseMovesByTheCaptionSnapsToTheEdgeAndSizesByAnEdge) {
    const auto screen = [&](TPoint p) { return POINT{Bounds().Left + p.X, Bounds().Top + p.Y}; };
    const auto shifted = [](POINT p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; };
    // By the caption, full drag: the window follows.
    POINT start = screen(CaptionPoint());
    test::DragWithMouse(start, shifted(start, 60, 40));
    EXPECT_EQ(Bounds(), normal.Offset(60, 40));
    // Dropped 15 pixels from the work area's left edge, it snaps to the edge.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    start = screen(CaptionPoint());
    test::DragWithMouse(start, shifted(start, work.left + 15 - Bounds().Left, 0));
    EXPECT_EQ(Bounds().Left, work.left);
    // The right edge sizes the window.
    const TRect before = Bounds();
    start = screen({vx->FormSize().X - 2, vx->FormSize().Y / 2});
    test::DragWithMouse(start, shifted(start, 40, 0));
    EXPECT_EQ(Bounds(), (TRect{before.Left, before.Top, before.Right + 40, before.Bottom}));
    // With the outline, the window stays put until the release.
    vx->Dragging()->SetDragMode(kfdmBorder);
    const TRect still = Bounds();
    start = screen(CaptionPoint());
    TRect midway;
    test::DragWithMouse(start, shifted(start, 80, 50), [&] { midway = Bounds(); });
    EXPECT_EQ(midway, still);
    EXPECT_EQ(Bounds(), still.Offset(80, 50));
}

// Another window taking the mouse mid-press (one popping up, Alt+Tab) ends the press: no outline
// left on the desktop, the frame painting again, no window following a free mouse.
TEST_F(VxCustomFormTest, LostCaptureEndsTheDragAndThePress) {
    const TRect bounds = Bounds();
    const TPoint start = CaptionPoint();
    vx->Dragging()->SetDragMode(kfdmBorder);
    HDC screen = GetDC(nullptr);
    const POINT outline{bounds.Left + bounds.Width() / 2, bounds.Bottom + 39};  // its bottom edge, 40 down
    const COLORREF desktop = GetPixel(screen, outline.x, outline.y);
    Mouse(WM_NCLBUTTONDOWN, start);
    Mouse(WM_NCMOUSEMOVE, {start.X, start.Y + 40});
    EXPECT_NE(GetPixel(screen, outline.x, outline.y), desktop);
    SendMessageW(window, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetPixel(screen, outline.x, outline.y), desktop);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(OnScreen()[static_cast<std::size_t>(start.Y * vx->FormSize().X + start.X)], 0x00FF00FFu);

    vx->Dragging()->SetDragMode(kfdmFullDrag);
    Mouse(WM_NCLBUTTONDOWN, start);
    ReleaseCapture();
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    EXPECT_EQ(Bounds(), bounds);
    EXPECT_EQ(vx->PressedRegion(), khrNone);
}

// The shadow strips outside the form are its frame, not client area for clicks to land in.
TEST_F(VxCustomFormTest, ShadowStripsAnswerAsTheRightAndBottomEdges) {
    vx->Shadow()->SetEnabled(true);
    const TPoint inside = vx->FormSize();
    const TPoint right{inside.X + 1, inside.Y / 2};
    const TPoint corner{inside.X + 1, inside.Y + 1};
    EXPECT_EQ(HitAt(right), HTRIGHT);
    EXPECT_EQ(HitAt({inside.X / 2, inside.Y + 1}), HTBOTTOM);
    EXPECT_EQ(HitAt(corner), HTBOTTOMRIGHT);
    vx->Dragging()->SetSizeable(false);
    EXPECT_EQ(HitAt(corner), HTBORDER);
    vx->Dragging()->SetSizeable(true);
    const TPoint before = Size();
    Mouse(WM_NCLBUTTONDOWN, right);
    Mouse(WM_NCMOUSEMOVE, {right.X + 30, right.Y});
    Mouse(WM_NCLBUTTONUP, {right.X + 30, right.Y});
    EXPECT_EQ(Size(), (TPoint{before.X + 30, before.Y}));
}

TEST_F(VxCustomFormTest, RefusedTrayIconIsAskedForAgainUntilTheShellTakesIt) {
    g_refusedAdds = 2;
    vx->MinToTray();
    EXPECT_FALSE(vx->TrayIcon().Shown());
    // A hidden window without its icon could never be brought back.
    EXPECT_TRUE(PumpUntil([&] { return vx->TrayIcon().Shown(); }, 5000));
    const auto adds =
        std::count_if(g_shell.begin(), g_shell.end(), [](const TShellCall& c) { return c.Message == NIM_ADD; });
    EXPECT_EQ(adds, 3);
    // Once back from the tray nothing is asked any more.
    g_refusedAdds = 1000;
    vx->Restore();
    vx->MinToTray();
    vx->Restore();
    const std::size_t calls = g_shell.size();
    EXPECT_FALSE(PumpUntil([&] { return g_shell.size() != calls; }, 1500)) << "asked again after coming back";
}

TEST_F(VxCustomFormTest, MaximizedFormComesBackFromTheTrayMaximizedAndRestoresToItsNormalBounds) {
    vx->Maximize();
    vx->MinToTray();
    vx->Restore();
    EXPECT_EQ(vx->WindowState(), kwsMaximized);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Bounds(), vx->GetMaximizedRect());
    vx->Restore();
    EXPECT_EQ(vx->WindowState(), kwsNormal);
    EXPECT_EQ(Bounds(), normal);
}

// ---------------------------------------------------------------- system menu and mouse

TEST_F(VxCustomFormTest, SystemMenuOffersWhatTheStateAndButtonsAllow) {
    const std::wstring close = L"&Close\tAlt+F4";
    using TLines = std::vector<std::wstring>;
    EXPECT_EQ(SystemMenuLines(), (TLines{L"Mi&nimize", L"Ma&ximize", L"Ro&llup", L"Minimize to &Tray", L"-", close}));
    vx->Maximize();
    EXPECT_EQ(SystemMenuLines(), (TLines{L"&Restore", L"Mi&nimize", L"Ro&llup", L"Minimize to &Tray", L"-", close}));
    vx->Rollup();
    EXPECT_EQ(SystemMenuLines(), (TLines{L"&Restore", L"Mi&nimize", L"Ma&ximize", L"Minimize to &Tray", L"-", close}));
    vx->MinToTray();
    EXPECT_EQ(SystemMenuLines(), (TLines{L"&Restore", L"-", close}));
    Attach();
    vx->SetBorderIcons(BorderIconSet({kbiClose}));
    EXPECT_EQ(SystemMenuLines(), TLines{close}) << "no separator with nothing before it";
    vx->SetBorderIcons(BorderIconSet({kbiMinimize, kbiRollup}));
    EXPECT_EQ(SystemMenuLines(), (TLines{L"Mi&nimize", L"Ro&llup"}));
}

TEST_F(VxCustomFormTest, ChosenSystemMenuItemRunsItsOperation) {
    SetForegroundWindow(window);
    SystemMenuLines('L');
    EXPECT_TRUE(test::PumpUntil([&] { return vx->WindowState() == kwsRollup; }));
}

// The glyphs sit on the menu's own background, clear of the caption (not black squares against
// the text, as where a menu ignores a picture's alpha).
TEST_F(VxCustomFormTest, SystemMenuGlyphStandsOnTheMenuBackgroundApartFromTheText) {
    std::vector<int> ink;  // dark pixels per column of the first item, as the menu shows it
    WithSystemMenu([&ink](HMENU menu) {
        HWND shown = FindWindowW(L"#32768", nullptr);
        RECT item{};
        RECT whole{};
        if (shown == nullptr || !GetMenuItemRect(nullptr, menu, 0, &item) || !GetWindowRect(shown, &whole)) {
            return;
        }
        UpdateWindow(shown);
        const TPoint size{item.right - item.left, item.bottom - item.top};
        TSurface surface(size, 0xFFFFFF);
        BitBlt(surface.DC(), 0, 0, size.X, size.Y, win32::TWindowDC(shown, true).Get(), item.left - whole.left,
               item.top - whole.top, SRCCOPY);
        const std::vector<uint32_t> pixels = surface.Pixels();
        ink.assign(static_cast<std::size_t>(size.X), 0);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            ink[i % ink.size()] += (pixels[i] & 0xC0C0C0) == 0 ? 1 : 0;
        }
    });
    const auto left = std::find_if(ink.begin(), ink.end(), [](int n) { return n > 0; });
    ASSERT_GT(ink.end() - left, 20);
    int gap = 0;
    for (int blank = 0, x = 0; x < 20; ++x) {
        blank = left[x] == 0 ? blank + 1 : 0;
        gap = std::max(gap, blank);
    }
    EXPECT_LT(std::accumulate(left, left + 16, 0), 16 * 16 / 2) << "black behind the glyph";
    EXPECT_GE(gap, 3) << "the glyph touches the text";
}

TEST_F(VxCustomFormTest, CaptionButtonActsOnlyWhenReleasedWhereItWasPressed) {
    const std::tuple<TVxBorderIcon, TVxFormRegion, TVxWindowState> buttons[] = {
        {kbiTray, khrTray, kwsTray},
        {kbiRollup, khrRollup, kwsRollup},
        {kbiMinimize, khrMinimize, kwsMinimized},
        {kbiMaximize, khrMaximize, kwsMaximized},
    };
    int present = 0;
    for (const auto& [icon, region, state] : buttons) {
        Attach();
        if (vx->GetButtonRect(icon).IsEmpty()) {
            continue;  // themed captions have no roll-up and tray buttons
        }
        ++present;
        const TPoint button = Centre(vx->GetButtonRect(icon));
        Mouse(WM_NCLBUTTONDOWN, button);
        EXPECT_EQ(vx->PressedRegion(), region);
        EXPECT_EQ(GetCapture(), window);
        Mouse(WM_NCLBUTTONUP, CaptionPoint());
        EXPECT_EQ(vx->PressedRegion(), khrNone);
        EXPECT_NE(GetCapture(), window);
        Mouse(WM_NCLBUTTONDOWN, Centre(vx->GetButtonRect(kbiClose)));
        Mouse(WM_NCLBUTTONUP, button);
        EXPECT_EQ(vx->WindowState(), kwsNormal) << static_cast<int>(icon);
        EXPECT_TRUE(IsWindowVisible(window)) << static_cast<int>(icon);
        EXPECT_EQ(Bounds(), normal) << static_cast<int>(icon);
        EXPECT_TRUE(g_shell.empty()) << static_cast<int>(icon);
        Mouse(WM_NCLBUTTONDOWN, button);
        Mouse(WM_NCLBUTTONUP, button);
        EXPECT_EQ(vx->WindowState(), state) << static_cast<int>(icon);
        EXPECT_EQ(IconsShown(), state == kwsTray ? 1 : 0) << static_cast<int>(icon);
    }
    EXPECT_GE(present, 2);
}

TEST_F(VxCustomFormTest, DoubleClickOnTheCaptionTogglesMaximizedOnlyWithTheMaximizeButton) {
    Mouse(WM_NCLBUTTONDBLCLK, CaptionPoint());
    EXPECT_EQ(vx->WindowState(), kwsMaximized);
    EXPECT_EQ(Bounds(), vx->GetMaximizedRect());
    Mouse(WM_NCLBUTTONDBLCLK, CaptionPoint());
    EXPECT_EQ(vx->WindowState(), kwsNormal);
    EXPECT_EQ(Bounds(), normal);
    vx->SetBorderIcons(kDefaultBorderIcons & ~BorderIconSet({kbiMaximize}));
    const TRect bounds = Bounds();
    Mouse(WM_NCLBUTTONDBLCLK, CaptionPoint());
    EXPECT_EQ(vx->WindowState(), kwsNormal);
    EXPECT_EQ(Bounds(), bounds);
}

// Restore on a form that never left the normal state applies normal bounds that were never
// saved: the window jumps to the screen's corner at the minimum size.
TEST_F(VxCustomFormTest, ApplicationMinimizeAndRestoreReachTheFormAndTheHandlersBefore) {
    int minimized = 0;
    int restored = 0;
    TApplication* app = win32::Application();
    app->OnMinimize = [&](TObject*) { ++minimized; };
    app->OnRestore = [&](TObject*) { ++restored; };
    // The form takes over the application's handlers with its first activation, keeping these.
    vx->SetMinimizeApplication(true);
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    app->Minimize();
    EXPECT_EQ(vx->WindowState(), kwsMinimized);
    EXPECT_EQ(minimized, 1);
    app->Restore();
    EXPECT_EQ(vx->WindowState(), kwsNormal);
    EXPECT_EQ(restored, 1);
    // A second form installs after it; the first goes first and the second still hears.
    TForm* first = std::exchange(form, nullptr);
    Attach();
    vx->SetMinimizeApplication(true);
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    first->Free();
    app->Minimize();
    ASSERT_EQ(vx->WindowState(), kwsMinimized);
    app->Restore();
    // Freed, the forms give the application its handlers back.
    vx->SetMinimizeApplication(false);
    form->Free();
    form = nullptr;
    vx = nullptr;
    test::ProcessPendingMessages();
    app->Minimize();
    app->Restore();
    EXPECT_EQ(minimized, 3);
    EXPECT_EQ(restored, 3);
}

// Minimizing the program's window from the task bar deactivates it (Windows activates the next
// window at once, Wine once the user goes there): that is no request to restore it.
TEST_F(VxCustomFormTest, MinimizeFromTheTaskBarAsksOnMinimizeOnce) {
    win32::Application()->SetMainForm(form);
    vx->SetMinimizeApplication(true);
    auto* other = new TForm(win32::Application());
    other->Show();
    SetForegroundWindow(window);
    ASSERT_TRUE(PumpUntil([&] { return vx->FrameActive(); }));
    int asked = 0;
    vx->OnMinimize = [&asked](TObject*, bool&) { ++asked; };
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SetForegroundWindow(other->Handle());
    test::ProcessPendingMessages();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(vx->WindowState(), kwsMinimized);
    EXPECT_EQ(vx->NormalBounds(), normal);
}

TEST_F(VxCustomFormTest, RestoreOfANormalFormKeepsItsBounds) {
    vx->Restore();
    EXPECT_EQ(vx->WindowState(), kwsNormal);
    EXPECT_EQ(Bounds(), normal);
    SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Bounds(), normal);
}

// The icon's shown flag as callers see it must follow the shell calls the icon made.
TEST_F(VxCustomFormTest, TrayIconReportsItselfShownWhileInTheTray) {
    vx->MinToTray();
    ASSERT_EQ(IconsShown(), 1);
    EXPECT_TRUE(vx->TrayIcon().Shown());
    vx->Restore();
    EXPECT_FALSE(vx->TrayIcon().Shown());
}

// A component that lets go of the window before its repaint arrives leaves it its caption.
TEST_F(VxCustomFormTest, CaptionStyleStaysWhenTheComponentLetsGoBeforeItsRepaint) {
    for (bool freed : {false, true}) {
        Attach();
        form->SetText(freed ? u"Freed" : u"Deactivated");
        if (freed) {
            vx->Free();
        } else {
            vx->SetActive(false);
        }
        test::ProcessPendingMessages();
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << (freed ? "freed" : "inactive");
    }
}

// ---------------------------------------------------------------- painting

TEST_F(VxCustomFormTest, EveryBufferingModeShowsWhatThePaintMessageGives) {
    EXPECT_EQ(SendMessageW(window, VXM_PAINTTODC, 0, 0), 0) << "no context, nothing painted";
    SetForegroundWindow(window);
    ASSERT_TRUE(test::PumpUntil([&] { return vx->FrameActive(); }));
    const TPoint size = vx->FormSize();
    const TRect area = vx->GetClientArea();
    const std::vector<uint32_t> reference = PaintToDC(0);
    const std::vector<uint32_t> onWhite = PaintToDC(0xFFFFFF);
    auto at = [&](const std::vector<uint32_t>& pixels, TPoint p) { return pixels[std::size_t(p.Y * size.X + p.X)]; };
    EXPECT_EQ(at(reference, Centre(area)), kClientPixel);
    EXPECT_NE(at(reference, CaptionPoint()), kClientPixel) << "the caption is painted, not filled";
    // Compared where the window's shape shows and the frame paints opaquely: a translucent
    // themed edge blends over whatever lay there before.
    win32::TRegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    const bool shaped = GetWindowRgn(window, shape.Get()) != ERROR;
    auto mismatches = [&](const std::vector<uint32_t>& pixels) {
        int count = 0;
        for (int32_t y = 0; y < size.Y; ++y) {
            for (int32_t x = 0; x < size.X; ++x) {
                const bool compared =
                    (!shaped || PtInRegion(shape.Get(), x, y)) && at(reference, {x, y}) == at(onWhite, {x, y});
                count += compared && at(pixels, {x, y}) != at(reference, {x, y}) ? 1 : 0;
            }
        }
        return count;
    };
    std::vector<uint32_t> buffered;
    for (TVxFormPerformance mode : {ksfpNoBuffer, ksfpSharedBuffer, ksfpPersistentBuffer, ksfpDoubleBuffer}) {
        vx->SetPerformance(mode);
        EXPECT_TRUE(PaintToDC(0) == reference) << "mode " << static_cast<int>(mode);
        const std::vector<uint32_t> shown = OnScreen();
        EXPECT_EQ(mismatches(shown), 0) << "mode " << static_cast<int>(mode);
        if (mode == ksfpSharedBuffer) {
            buffered = shown;
        } else if (mode != ksfpNoBuffer) {
            EXPECT_TRUE(shown == buffered) << "buffers see the same translucent edges, mode " << static_cast<int>(mode);
        }
    }
}

TEST_F(VxCustomFormTest, FramelessFormPaintsOnlyItsClientFill) {
    vx->SetBorderStyle(kbsNone);
    const std::vector<uint32_t> pixels = PaintToDC();
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kClientPixel), static_cast<std::ptrdiff_t>(pixels.size()));
}

// A right-to-left owner's caption reads right to left: the closing mark comes first.
TEST_F(VxCustomFormTest, CaptionOfARightToLeftOwnerReadsRightToLeft) {
    vx->SetCaption(u"!Zaprelay");
    const std::vector<uint32_t> markFirst = PaintToDC();
    vx->SetCaption(u"Zaprelay!");
    const std::vector<uint32_t> markLast = PaintToDC();
    ASSERT_TRUE(markFirst != markLast);
    form->SetBiDiMode(win32::bdRightToLeft);
    EXPECT_TRUE(PaintToDC() == markFirst);
}

}  // namespace
}  // namespace zaprelay::skin
