// The multiple-document forms with the Plum skin, driven with real mouse and key input: a
// maximized child, the window list, minimizing and closing children.
#include "framework/win32/application.h"
#include "skin/objects/skin_object.h"
#include "skin/store/vx_veneer.h"
#include "tests/win32/demo/demo_support.h"
#include "tests/win32/demo/mdi_forms.h"
#include "tests/win32/input.h"
#include "tests/win32/test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::test {
namespace {

using skin::kwsMaximized;
using skin::kwsMinimized;
using skin::kwsNormal;

class MdiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo::StartSkinLibrary();
        TMdiParentForm::RegisterClasses();
    }

    void SetUp() override {
        m_app = std::make_unique<win32::TApplication>();
        parent = m_app->CreateForm<TMdiParentForm>();
        auto* veneer = new skin::TVxVeneer(parent);
        veneer->SetSkinFile(ZR_PLUM_SKIN);
        parent->SetVeneer(veneer);
        parent->Show();
        SetForegroundWindow(parent->WindowHandle());
        for (const char16_t* caption : {u"Channels", u"Remote codes", u"Viewer log"}) {
            children.push_back(parent->NewChild(caption));
        }
        ASSERT_TRUE(Pump([this] { return parent->ActiveMDIChild() == children.back(); }));
        Pump([] { return false; }, 200);
    }

    void TearDown() override { m_app.reset(); }

    bool Pump(const std::function<bool()>& done, DWORD ms = 8000) {
        return PumpUntil(done, ms, [] { win32::Application()->ProcessMessages(); });
    }

    // Clicks a caption button of a child's skin ("MaxButton", "MinButton", "CloseButton").
    void ClickSkinButton(TMdiChildForm* child, std::string_view name) {
        skin::TVxSkinObject* button = child->Frame->FormObject()->FindObject(name);
        ASSERT_NE(button, nullptr) << name;
        RECT window;
        GetWindowRect(child->WindowHandle(), &window);
        const TRect r = button->BoundsRect();
        ClickAt(window.left + (r.Left + r.Right) / 2, window.top + (r.Top + r.Bottom) / 2);
    }

    RECT ClientAreaOnScreen() const {
        RECT r;
        GetClientRect(parent->ClientHandle(), &r);
        MapWindowPoints(parent->ClientHandle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    TMdiParentForm* parent = nullptr;
    std::vector<TMdiChildForm*> children;

private:
    std::unique_ptr<win32::TApplication> m_app;
};

TEST_F(MdiTest, MaximizedChildFillsTheClientHidesItsFrameAndANewlyActivatedChildFollows) {
    TMdiChildForm* last = children.back();
    ClickSkinButton(last, "MaxButton");
    ASSERT_TRUE(Pump([&] { return last->Frame->WindowState() == kwsMaximized; }));
    RECT window;
    GetWindowRect(last->WindowHandle(), &window);
    const RECT area = ClientAreaOnScreen();
    EXPECT_EQ(window.left, area.left);
    EXPECT_EQ(window.top, area.top);
    EXPECT_EQ(window.right, area.right);
    EXPECT_EQ(window.bottom, area.bottom);
    RECT client;
    GetClientRect(last->WindowHandle(), &client);
    EXPECT_EQ(client.right, window.right - window.left) << "no frame around a maximized child";
    EXPECT_EQ(client.bottom, window.bottom - window.top);
    Pump([] { return false; }, 200);
    ASSERT_NE(parent->Frame->TitleObject(), nullptr);
    EXPECT_EQ(parent->Frame->TitleObject()->Text, u"Zaprelay MDI demo - [Viewer log]");

    // Ctrl+F6 activates the next child: it is maximized in turn, and the caption follows.
    PressKey(VK_F6, {VK_CONTROL});
    ASSERT_TRUE(Pump([&] { return parent->ActiveMDIChild() != last; }));
    auto* next = static_cast<TMdiChildForm*>(parent->ActiveMDIChild());
    ASSERT_TRUE(Pump([&] { return next->Frame->WindowState() == kwsMaximized; }));
    Pump([] { return false; }, 200);
    EXPECT_EQ(parent->Frame->TitleObject()->Text, u"Zaprelay MDI demo - [" + next->Text() + u"]");
}

TEST_F(MdiTest, WindowListChecksTheActiveChildAndBringsAChosenOneToTheFront) {
    EXPECT_EQ(GetWindowLongPtrW(parent->ClientHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0) << "sunken client";
    std::vector<std::u16string> lines;
    std::vector<bool> checked;
    bool shown = false;
    WhenTrue([] { return win32::TPopupMenu::ShowingMenu() != nullptr; },
             [&] {
                 HMENU menu = win32::TPopupMenu::ShowingMenu();
                 shown = true;
                 for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                     wchar_t text[64] = {};
                     GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                     lines.emplace_back(reinterpret_cast<const char16_t*>(text));
                     checked.push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0);
                 }
                 RECT item{};
                 GetMenuItemRect(nullptr, menu, 3, &item);  // "Channels"
                 QueueClickAt((item.left + item.right) / 2, (item.top + item.bottom) / 2);
             },
             [] { QueueKey(VK_ESCAPE); });
    children[1]->SetCaption(u"Codes");  // a caption change reaches the list
    const RECT area = ClientAreaOnScreen();
    ClickAt(area.right - 20, area.bottom - 20, true);  // the empty client area, right button
    ASSERT_TRUE(Pump([&] { return shown && parent->ActiveMDIChild() == children.front(); }));
    EXPECT_EQ(lines,
              (std::vector<std::u16string>{u"&New window", u"&Cascade", u"", u"Channels", u"Codes", u"Viewer log"}));
    EXPECT_EQ(checked, (std::vector<bool>{false, false, false, false, false, true}));
    EXPECT_EQ(GetWindow(parent->ClientHandle(), GW_CHILD), children.front()->WindowHandle()) << "not in front";
}

TEST_F(MdiTest, AParentWindowMadeAgainKeepsItsClientUnsunken) {
    const HWND old = parent->ClientHandle();
    parent->RecreateWnd();
    ASSERT_TRUE(parent->HandleAllocated() && parent->ClientHandle() != old && parent->ClientHandle() != nullptr);
    EXPECT_TRUE(Pump([&] { return (GetWindowLongPtrW(parent->ClientHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0; }))
        << "sunken client";
}

TEST_F(MdiTest, MinimizedChildLiesAtTheClientsBottomAndClosingAChildMinimizesIt) {
    TMdiChildForm* middle = children[1];
    SendMessageW(parent->ClientHandle(), WM_MDIACTIVATE, WPARAM(middle->WindowHandle()), 0);
    Pump([] { return false; }, 200);
    ClickSkinButton(middle, "MinButton");
    ASSERT_TRUE(Pump([&] { return middle->Frame->WindowState() == kwsMinimized; }));
    RECT client;
    GetClientRect(parent->ClientHandle(), &client);
    EXPECT_EQ(middle->Left(), 0);
    EXPECT_EQ(middle->Top() + middle->Height(), client.bottom);
    EXPECT_EQ(middle->Width(), GetSystemMetrics(SM_CXMINIMIZED));

    TMdiChildForm* last = children.back();
    SendMessageW(parent->ClientHandle(), WM_MDIACTIVATE, WPARAM(last->WindowHandle()), 0);
    Pump([] { return false; }, 200);
    ClickSkinButton(last, "CloseButton");
    ASSERT_TRUE(Pump([&] { return last->Frame->WindowState() == kwsMinimized; }));
    EXPECT_TRUE(IsWindowVisible(last->WindowHandle())) << "a closed child stays, minimized";

    // Ctrl+F4 closes the active child the same way, not into an icon of the system's.
    TMdiChildForm* first = children.front();
    SendMessageW(parent->ClientHandle(), WM_MDIACTIVATE, WPARAM(first->WindowHandle()), 0);
    Pump([] { return false; }, 200);
    PressKey(VK_F4, {VK_CONTROL});
    ASSERT_TRUE(Pump([&] { return first->Frame->WindowState() == kwsMinimized; }));
    EXPECT_FALSE(IsIconic(first->WindowHandle()));
}

TEST_F(MdiTest, FreedChildLeavesTheWindowListAndTheNextOneIsActive) {
    TMdiChildForm* last = children.back();
    last->OnClose = [](TObject*, win32::TCloseAction& action) { action = win32::caFree; };
    ClickSkinButton(last, "CloseButton");
    ASSERT_TRUE(Pump([&] { return parent->MDIChildren().size() == 2; }));
    EXPECT_NE(parent->ActiveMDIChild(), nullptr);
    win32::TMenuItem* menu = parent->WindowPopup->Items();
    ASSERT_EQ(menu->Count(), 5);  // New window, Cascade, the separator and two children
    EXPECT_EQ(menu->Items(3)->Caption(), u"Channels");
    EXPECT_EQ(menu->Items(4)->Caption(), u"Remote codes");
    EXPECT_TRUE(menu->Items(4)->Checked() || menu->Items(3)->Checked());
}

TEST_F(MdiTest, CascadeBringsAMaximizedChildBackAndStaggersTheChildren) {
    children.back()->Frame->Maximize();
    parent->CascadeItem->Click();
    std::vector<int32_t> tops;
    for (TMdiChildForm* child : children) {
        EXPECT_EQ(child->Frame->WindowState(), kwsNormal);
        tops.push_back(child->Top());
    }
    std::sort(tops.begin(), tops.end());
    EXPECT_EQ(std::adjacent_find(tops.begin(), tops.end()), tops.end()) << "children on top of each other";
    EXPECT_EQ(parent->Frame->CaptionSuffix(), u"");
}

}  // namespace
}  // namespace zaprelay::test
