// Standard controls: window re-creation keeping state, enabled state, run-time colour
// changes, list rows, the popup menu, and the messages controls receive.
#include "framework/rtl/class_registry.h"
#include "tests/win32/demo/demo_fixture.h"
#include "tests/win32/input.h"

#include <functional>

namespace zaprelay::test {
namespace {

using RecreateTest = DemoFormTest;

TEST_F(RecreateTest, NewWindowKeepsRowsSelectionTextAndFocus) {
    ShowActive();
    form->Commands->SetItemIndex(2);
    form->NameEdit->SetText(u"D:\\viewer.exe");
    form->Commands->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    HWND oldList = form->Commands->WindowHandle();
    form->Commands->RecreateWnd();
    form->NameEdit->RecreateWnd();
    EXPECT_NE(form->Commands->WindowHandle(), oldList);
    EXPECT_FALSE(IsWindow(oldList));
    EXPECT_EQ(form->Commands->Items()->Count(), 4);
    EXPECT_EQ(form->Commands->ItemIndex(), 2);
    EXPECT_EQ(SendMessageW(form->Commands->WindowHandle(), LB_GETITEMHEIGHT, 0, 0), 13);
    EXPECT_EQ(form->NameEdit->Text(), u"D:\\viewer.exe");
    EXPECT_EQ(GetFocus(), form->Commands->WindowHandle());
    EXPECT_TRUE(IsWindowVisible(form->Commands->WindowHandle()));
}

TEST_F(RecreateTest, ChangingAStyleRecreatesTheWindowWithTheChildrenInside) {
    ShowActive();
    HWND oldGroup = form->ModeGroup->WindowHandle();
    form->OptionsRadio->SetChecked(true);
    form->ModeGroup->RecreateWnd();
    EXPECT_NE(form->ModeGroup->WindowHandle(), oldGroup);
    ASSERT_TRUE(form->OptionsRadio->HandleAllocated());
    EXPECT_EQ(GetParent(form->OptionsRadio->WindowHandle()), form->ModeGroup->WindowHandle());
    EXPECT_EQ(SendMessageW(form->OptionsRadio->WindowHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(form->ManageRadio->WindowHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(RecreateTest, RowsAddedWithoutAWindowAppearInIt) {
    form->Commands->Items()->Add(u"Mute");
    form->Commands->SetItemIndex(4);
    ShowActive();
    EXPECT_EQ(SendMessageW(form->Commands->WindowHandle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(form->Commands->ItemIndex(), 4);
    form->Commands->Items()->Clear();
    EXPECT_EQ(form->Commands->ItemIndex(), -1);
}

using EnabledTest = DemoFormTest;

TEST_F(EnabledTest, DisablingAGroupLocksItsChildrenWithoutChangingTheirOwnState) {
    ShowActive();
    int notices = 0;
    // A control hears of its own change through the framework's notification.
    struct TProbe : TEdit {
        using TEdit::TEdit;
        int* Count = nullptr;
        void WndProc(TMessage& m) override {
            if (m.Msg == CM_ENABLEDCHANGED && Count != nullptr) {
                ++*Count;
            }
            TEdit::WndProc(m);
        }
    };
    auto* probe = new TProbe(form);
    probe->Count = &notices;
    probe->SetParent(form->ModeGroup);
    probe->SetEnabled(false);
    probe->SetEnabled(true);
    EXPECT_EQ(notices, 2);

    form->ModeGroup->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(form->ModeGroup->WindowHandle()));
    EXPECT_TRUE(form->ManageRadio->Enabled());
    EXPECT_FALSE(form->ManageRadio->CanFocus());
    // Tab passes the locked group by.
    form->CodeEdit->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), form->Commands->WindowHandle());
    form->ModeGroup->SetEnabled(true);
    EXPECT_TRUE(form->ManageRadio->CanFocus());
}

TEST_F(EnabledTest, DisablingTheFocusedControlMovesTheFocusAway) {
    ShowActive();
    form->StayCheck->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    form->StayCheck->SetEnabled(false);
    EXPECT_NE(GetFocus(), form->StayCheck->WindowHandle());
    EXPECT_NE(form->ActiveControl(), form->StayCheck);
}

using ColourTest = DemoFormTest;

// Whether some pixel of the window's client area is clearly red (text edges may be
// smoothed, so not every text pixel is pure).
bool HasRedPixel(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    bool red = false;
    for (int y = 0; y < r.bottom && !red; ++y) {
        for (int x = 0; x < r.right && !red; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            red = GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
        }
    }
    ReleaseDC(window, dc);
    return red;
}

TEST_F(ColourTest, ListFontColourChangesAtRunTime) {
    ShowActive();
    form->Commands->Font()->SetColor(RGB(255, 0, 0));
    form->Commands->Update();
    EXPECT_FALSE(HasRedPixel(form->NameEdit->WindowHandle()));
    EXPECT_TRUE(HasRedPixel(form->Commands->WindowHandle()));
    EXPECT_FALSE(form->Commands->ParentFont());
}

TEST_F(ColourTest, ReadOnlyEditFontColourChangesAtRunTime) {
    ShowActive();
    form->CodeEdit->Font()->SetColor(RGB(255, 0, 0));
    form->CodeEdit->Update();
    EXPECT_TRUE(HasRedPixel(form->CodeEdit->WindowHandle()));
}

using PopupTest = DemoFormTest;

TEST_F(PopupTest, ChosenItemRunsAfterTheMenuCloses) {
    ShowActive();
    AfterDelay(300, [] {
        QueueKey(VK_DOWN);
        QueueKey(VK_DOWN);  // over the separator to "Close"
        QueueKey(VK_RETURN);
    });
    TMenuItem* chosen = form->TrayMenu->Popup(300, 300);
    EXPECT_EQ(chosen, form->CloseItem);
    EXPECT_EQ(form->Events.back(), "menu CloseItem");
}

TEST_F(PopupTest, EscapeChoosesNothing) {
    ShowActive();
    AfterDelay(300, [] { QueueKey(VK_ESCAPE); });
    EXPECT_EQ(form->TrayMenu->Popup(300, 300), nullptr);
    EXPECT_NE(form->Events.back(), "menu ShowItem");
}

TEST_F(PopupTest, RightClickShowsTheControlsMenu) {
    ShowActive();
    bool shown = false;
    int tries = 0;
    // The click reaches the form a moment later: look for the menu until it is up, then
    // close it from the keyboard.
    std::function<void()> closeWhenShown = [&] {
        if (TPopupMenu::ShowingMenu() != nullptr) {
            shown = true;
            QueueKey(VK_ESCAPE);
        } else if (++tries < 50) {
            AfterDelay(100, closeWhenShown);
        }
    };
    AfterDelay(100, closeWhenShown);
    TPoint spot = form->ClientToScreen({300, 200});
    ClickAt(spot.X, spot.Y, true);
    EXPECT_TRUE(AppPumpUntil([&] { return shown || tries >= 50; }, 8000));
    EXPECT_TRUE(shown);
}

TEST(MenuShortCutText, NamesKeysWithTheirModifiers) {
    EXPECT_EQ(ShortCutToText(ShortCut('S', ssCtrl)), u"Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, ssShift | ssAlt)), u"Shift+Alt+F5");
    EXPECT_EQ(ShortCutToText(0), u"");
}

}  // namespace
}  // namespace zaprelay::test
