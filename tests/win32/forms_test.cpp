// Forms read from their layout: what the layout made, showing, the close protocol and the
// modal loop, under Wine with real messages.
#include "tests/win32/demo/demo_fixture.h"
#include "tests/win32/input.h"

#include <commctrl.h>

namespace zaprelay::test {
namespace {

using FormLoadTest = DemoFormTest;

TEST_F(FormLoadTest, LayoutMakesComponentsInOrderWithTheirProperties) {
    std::vector<std::string> names;
    for (TComponent* c : form->ComponentList()) {
        names.push_back(c->Name());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"NameLabel", "NameEdit", "CodeEdit", "Commands", "ModeGroup", "OptionsRadio",
                                        "ManageRadio", "StayCheck", "OkButton", "CancelButton", "Status", "TrayMenu",
                                        "ShowItem", "N1", "CloseItem", "Timer1", "OD1", "Images"}));
    EXPECT_EQ(form->Caption(), u"Demo form \u2014 \u0414\u0435\u043C\u043E");
    EXPECT_EQ(form->ClientWidth(), 460);
    EXPECT_EQ(form->ClientHeight(), 330);
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->OptionsRadio->Parent(), form->ModeGroup);
    EXPECT_TRUE(form->ModeGroup->Font()->Style() & FontStyleBit(fsBold));
    EXPECT_FALSE(form->OptionsRadio->Font()->Style() & FontStyleBit(fsBold));
    EXPECT_EQ(form->CodeEdit->Text(), u"Code Button (\u041A\u043E\u0434 \u043A\u043D\u043E\u043F\u043A\u0438)");
    EXPECT_TRUE(form->CodeEdit->ReadOnly());
    EXPECT_EQ(form->Commands->ItemHeight(), 13);
    EXPECT_EQ(form->Commands->Items()->Get(3), u"Start MyTheatre ");
    EXPECT_EQ(form->OkButton->Cursor(), crHandPoint);
    EXPECT_EQ(form->TrayMenu->Items()->Count(), 3);
    EXPECT_TRUE(form->TrayMenu->Items()->Items(1)->IsLine());
    ASSERT_EQ(form->Status->Panels()->Count(), 2);
    EXPECT_EQ(form->Status->Panels()->Items(0)->Width(), 120);
    EXPECT_EQ(form->Status->Panels()->Items(1)->Text(), u"\u0413\u043E\u0442\u043E\u0432\u043E");
    EXPECT_EQ(form->Icon()->Bytes().size(), 1150u);
}

TEST_F(FormLoadTest, ReferencesAndAfterReadStepsAreDoneBeforeOnCreate) {
    EXPECT_TRUE(form->ReadyAtCreate);
    ASSERT_FALSE(form->Events.empty());
    EXPECT_EQ(form->Events.front(), "create");
    // The radio button checked in the layout is the group's tab stop; reading runs no click.
    EXPECT_TRUE(form->ManageRadio->Checked());
    EXPECT_FALSE(form->OptionsRadio->Checked());
    EXPECT_EQ(std::count(form->Events.begin(), form->Events.end(), "radio ManageRadio"), 0);
    EXPECT_EQ(form->ManageRadio->TabOrder(), 0);
    EXPECT_EQ(form->Commands->TabOrder(), 3);
    // Nothing has a window before the form is shown.
    EXPECT_FALSE(form->HandleAllocated());
}

TEST_F(FormLoadTest, UnknownHandlerNameFailsTheRead) {
    // A class without the layout's handlers cannot take it.
    class TBare : public TForm {
    public:
        explicit TBare(TComponent* owner) : TForm(owner) {}
        static const TClassInfo& StaticClassInfo() {
            static const TClassInfo info = NewClassInfo<TBare, TForm>("TDemoForm");
            return info;
        }
        const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
        static const TMessageTable& StaticMessageTable() { return TForm::StaticMessageTable(); }
        const TMessageTable& MessageTable() const override { return StaticMessageTable(); }
    };
    auto* bare = new TBare(&App());
    try {
        bare->InitializeForm();
        FAIL() << "the read should fail";
    } catch (const EReadError& e) {
        // The application already has a DemoForm, so this one is named DemoForm_1.
        EXPECT_STREQ(e.what(), "Error reading DemoForm_1.OnClose: Invalid property value");
    }
    delete bare;
}

TEST_F(FormLoadTest, ShowingMakesTheWindowsAndRaisesOnShow) {
    ShowActive();
    EXPECT_TRUE(IsWindowVisible(form->WindowHandle()));
    EXPECT_NE(std::find(form->Events.begin(), form->Events.end(), "show"), form->Events.end());
    RECT client{};
    GetClientRect(form->WindowHandle(), &client);
    EXPECT_EQ(client.right, 460);
    EXPECT_EQ(client.bottom, 330);
    ASSERT_TRUE(form->CodeEdit->HandleAllocated());
    EXPECT_TRUE(GetWindowLongW(form->CodeEdit->WindowHandle(), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongW(form->OkButton->WindowHandle(), GWL_STYLE) & BS_MULTILINE);
    EXPECT_EQ(GetParent(form->OptionsRadio->WindowHandle()), form->ModeGroup->WindowHandle());
    // Owned by the hidden application window, as every form is.
    EXPECT_EQ(GetWindow(form->WindowHandle(), GW_OWNER), App().Handle());
    EXPECT_EQ(SendMessageW(form->Commands->WindowHandle(), LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(form->Status->WindowHandle(), SB_GETPARTS, 0, 0), 2);
    wchar_t panel[32] = {};
    SendMessageW(form->Status->WindowHandle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(panel));
    EXPECT_STREQ(panel, L"Ready");
    // The layout's icon is the window's, at both sizes.
    EXPECT_NE(SendMessageW(form->WindowHandle(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(form->WindowHandle(), WM_GETICON, ICON_SMALL, 0)),
              form->Icon()->SmallHandle());
}

using CloseTest = DemoFormTest;

TEST_F(CloseTest, CloseQueryCanRefuse) {
    ShowActive();
    form->AllowClose = false;
    SendMessageW(form->WindowHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(form->WindowHandle()));
    EXPECT_EQ(form->Events.back(), "closequery");
}

TEST_F(CloseTest, ActionsHideFreeMinimizeOrKeepAForm) {
    App().SetMainForm(nullptr);  // a form that is not the main one
    ShowActive();
    form->CloseAction = caNone;
    form->Close();
    EXPECT_TRUE(IsWindowVisible(form->WindowHandle()));

    form->CloseAction = caMinimize;
    form->Close();
    EXPECT_TRUE(IsIconic(form->WindowHandle()));

    form->SetWindowState(wsNormal);
    form->CloseAction = caHide;
    form->Close();
    EXPECT_FALSE(IsWindowVisible(form->WindowHandle()));
    EXPECT_FALSE(form->Visible());

    form->CloseAction = caFree;
    TGoneWatcher watcher(form);
    form->Close();
    EXPECT_FALSE(watcher.Gone);  // freed once the queued messages are handled
    EXPECT_TRUE(AppPumpUntil([&] { return watcher.Gone; }));
}

TEST_F(CloseTest, ClosingTheMainFormEndsTheApplication) {
    ShowActive();
    ASSERT_EQ(App().MainForm(), form);
    form->Close();
    while (!App().Terminated()) {
        App().HandleMessage();
    }
    EXPECT_TRUE(App().Terminated());
}

using ModalTest = DemoFormTest;

TEST_F(ModalTest, ButtonWithModalResultEndsTheLoop) {
    App().SetMainForm(nullptr);
    form->HandleNeeded();
    PostMessageW(form->OkButton->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());
    EXPECT_NE(std::find(form->Events.begin(), form->Events.end(), "click OkButton"), form->Events.end());
}

TEST_F(ModalTest, EscapeFromTheKeyboardCancels) {
    App().SetMainForm(nullptr);
    AfterDelay(300, [] { QueueKey(VK_ESCAPE); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_NE(std::find(form->Events.begin(), form->Events.end(), "click CancelButton"), form->Events.end());
}

TEST_F(ModalTest, OtherWindowsAreDisabledWhileModal) {
    App().SetMainForm(nullptr);
    auto* other = App().CreateForm<TDemoForm>();
    other->Show();
    static HWND s_other = other->WindowHandle();
    static bool s_disabledDuring = false;
    static TDemoForm* s_form = form;
    AfterDelay(200, [] {
        s_disabledDuring = !IsWindowEnabled(s_other);
        s_form->SetModalResult(mrAbort);
    });
    EXPECT_EQ(form->ShowModal(), mrAbort);
    EXPECT_TRUE(s_disabledDuring);
    EXPECT_TRUE(IsWindowEnabled(other->WindowHandle()));
}

TEST_F(ModalTest, VisibleFormCannotBeMadeModal) {
    form->Show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

}  // namespace
}  // namespace zaprelay::test
