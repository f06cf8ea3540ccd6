// Keyboard focus, tab order, dialog keys, accelerators and mouse-over notifications, driven
// by real input under Wine.
#include "tests/win32/demo/demo_fixture.h"
#include "tests/win32/input.h"

namespace zaprelay::test {
namespace {

using FocusTest = DemoFormTest;

std::string FocusedName(TDemoForm*) {
    TWinControl* c = TWinControl::FromHandle(GetFocus());
    return c == nullptr ? "(none)" : c->Name();
}

TEST_F(FocusTest, ActivationFocusesTheFirstTabStop) {
    ShowActive();
    EXPECT_EQ(FocusedName(form), "NameEdit");
    EXPECT_EQ(form->ActiveControl(), form->NameEdit);
    EXPECT_EQ(form->Events.back(), "enter NameEdit");
}

TEST_F(FocusTest, TabWalksTheTabOrderAndShiftTabWalksBack) {
    ShowActive();
    std::vector<std::string> forward;
    for (int i = 0; i < 7; ++i) {
        PressKey(VK_TAB);
        forward.push_back(FocusedName(form));
    }
    // The group box is no tab stop; of its radio buttons only the checked one is.
    EXPECT_EQ(forward, (std::vector<std::string>{"CodeEdit", "ManageRadio", "Commands", "StayCheck", "OkButton",
                                                 "CancelButton", "NameEdit"}));
    PressKey(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(FocusedName(form), "CancelButton");
}

TEST_F(FocusTest, EnterAndExitFollowTheFocus) {
    ShowActive();
    form->Events.clear();
    form->OkButton->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    form->NameEdit->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    EXPECT_EQ(form->Events,
              (std::vector<std::string>{"exit NameEdit", "enter OkButton", "exit OkButton", "enter NameEdit"}));
}

TEST_F(FocusTest, FocusingAControlInAHiddenFormWaitsForActivation) {
    form->FocusControl(form->Commands);
    EXPECT_EQ(form->ActiveControl(), form->Commands);
    ShowActive();
    EXPECT_EQ(FocusedName(form), "Commands");
}

TEST_F(FocusTest, DisabledControlCannotTakeTheFocus) {
    ShowActive();
    form->StayCheck->SetEnabled(false);
    EXPECT_THROW(form->StayCheck->SetFocus(), EInvalidOperation);
}

using DialogKeyTest = DemoFormTest;

TEST_F(DialogKeyTest, EnterClicksTheDefaultButton) {
    ShowActive();
    PressKey(VK_RETURN);
    EXPECT_EQ(form->Events.back(), "click OkButton");
    EXPECT_EQ(form->ModalResult(), mrOk);
}

TEST_F(DialogKeyTest, EnterClicksTheFocusedButtonInsteadOfTheDefault) {
    ShowActive();
    form->CancelButton->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    EXPECT_EQ(SendMessageW(form->OkButton->WindowHandle(), WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON,
              DLGC_UNDEFPUSHBUTTON);
    PressKey(VK_RETURN);
    EXPECT_EQ(form->Events.back(), "click CancelButton");
}

TEST_F(DialogKeyTest, EscapeClicksTheCancelButton) {
    ShowActive();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(form->Events.back(), "click CancelButton");
    EXPECT_EQ(form->ModalResult(), mrCancel);
}

TEST_F(DialogKeyTest, AcceleratorOfALabelFocusesItsControl) {
    ShowActive();
    form->Commands->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    PressKey('N', {VK_MENU});
    EXPECT_EQ(FocusedName(form), "NameEdit");
}

TEST_F(DialogKeyTest, AcceleratorOfARadioButtonChecksItOnce) {
    ShowActive();
    PressKey('O', {VK_MENU});
    EXPECT_TRUE(form->OptionsRadio->Checked());
    EXPECT_FALSE(form->ManageRadio->Checked());
    EXPECT_EQ(std::count(form->Events.begin(), form->Events.end(), "radio OptionsRadio"), 1);
    // Checking the checked one again runs nothing.
    PressKey('O', {VK_MENU});
    EXPECT_EQ(std::count(form->Events.begin(), form->Events.end(), "radio OptionsRadio"), 1);
}

TEST_F(DialogKeyTest, ArrowsMoveAmongTheRadioButtonsOfAGroup) {
    ShowActive();
    form->ManageRadio->SetFocus();
    AppPumpUntil([] { return false; }, 50);
    PressKey(VK_DOWN);
    EXPECT_EQ(FocusedName(form), "OptionsRadio");
    EXPECT_TRUE(form->OptionsRadio->Checked());
}

using MouseOverTest = DemoFormTest;

TEST_F(MouseOverTest, EnterAndLeaveFollowThePointerAcrossWindowedAndWindowlessControls) {
    ShowActive();
    std::vector<std::string> seen;
    auto watch = [&seen](TControl* c) {
        c->OnMouseEnter = [&seen, c](TObject*) { seen.push_back("enter " + c->Name()); };
        c->OnMouseLeave = [&seen, c](TObject*) { seen.push_back("leave " + c->Name()); };
    };
    watch(form->OkButton);
    watch(form->NameLabel);
    POINT ok = CenterOf(form->OkButton->WindowHandle());
    MoveMouseTo(ok.x, ok.y);
    EXPECT_TRUE(AppPumpUntil([&] { return form->OkButton->MouseInside(); }, 2000));
    TPoint label = form->NameLabel->ClientToScreen({4, 4});
    MoveMouseTo(label.X, label.Y);
    EXPECT_TRUE(AppPumpUntil([&] { return form->NameLabel->MouseInside() && !form->OkButton->MouseInside(); }, 2000));
    RECT r{};
    GetWindowRect(form->WindowHandle(), &r);
    MoveMouseTo(r.right + 40, r.bottom + 40);  // the desktop, outside every window of ours
    EXPECT_TRUE(AppPumpUntil([&] { return !form->NameLabel->MouseInside(); }, 2000));
    // The display server may replay a move late, so the pointer can pass a control twice;
    // but every enter is followed by the leave of the same control before the next enter.
    ASSERT_GE(seen.size(), 4u);
    for (std::size_t i = 0; i + 1 < seen.size(); i += 2) {
        EXPECT_EQ(seen[i].substr(0, 6), "enter ") << i;
        EXPECT_EQ(seen[i + 1], "leave " + seen[i].substr(6)) << i;
    }
    EXPECT_EQ(seen.front(), "enter OkButton");
    EXPECT_EQ(seen.back(), "leave NameLabel");
}

TEST_F(MouseOverTest, HandCursorOverTheButton) {
    ShowActive();
    POINT ok = CenterOf(form->OkButton->WindowHandle());
    MoveMouseTo(ok.x, ok.y);
    EXPECT_TRUE(AppPumpUntil([] { return GetCursor() == LoadCursorW(nullptr, IDC_HAND); }, 2000));
}

TEST_F(MouseOverTest, ClickOnAListRowRaisesOnClickWithTheRow) {
    ShowActive();
    TPoint row = form->Commands->ClientToScreen({20, 13 * 2 + 6});
    ClickAt(row.X, row.Y);
    EXPECT_EQ(form->Events.back(), "list 2");
}

}  // namespace
}  // namespace zaprelay::test
