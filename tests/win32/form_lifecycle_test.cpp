// A form made and freed many times leaves no window or GDI object behind, and a form read
// from its layout writes the same layout back.
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/win32/layout_resource.h"
#include "tests/win32/demo/demo_fixture.h"

namespace zaprelay::test {
namespace {

using FormLifecycleTest = DemoFormTest;

DWORD UserObjects() {
    return CountGuiObjects(GR_USEROBJECTS);
}
DWORD GdiObjects() {
    return CountGuiObjects(GR_GDIOBJECTS);
}

TEST_F(FormLifecycleTest, ThousandFormsLeaveNoHandlesBehind) {
    auto cycle = [this] {
        auto* f = new TDemoForm(&App());
        f->HandleNeeded();  // every window of the form
        f->Commands->SetItemIndex(1);
        f->Commands->Font()->SetColor(clRed);
        f->Invalidate();
        f->Update();
        f->Free();
    };
    for (int i = 0; i < 10; ++i) {
        cycle();  // fonts and classes are made once, here
    }
    App().ProcessMessages();
    DWORD users = UserObjects();
    DWORD gdis = GdiObjects();
    for (int i = 0; i < 1000; ++i) {
        cycle();
    }
    App().ProcessMessages();
    EXPECT_LE(UserObjects(), users + 2) << "USER objects before: " << users;
    EXPECT_LE(GdiObjects(), gdis + 2) << "GDI objects before: " << gdis;
}

std::string TextOf(const std::vector<uint8_t>& binary) {
    TBytesStream source(binary);
    TMemoryStream text;
    StreamBinaryToText(source, text);
    return std::string(text.Bytes().begin(), text.Bytes().end());
}

TEST_F(FormLifecycleTest, FormWritesBackTheLayoutItWasReadFrom) {
    std::vector<uint8_t> layout = win32::LoadLayoutResource(nullptr, "TDemoForm");
    TMemoryStream written;
    WriteObjectStream(written, *form);
    // The same properties, values, children and order. The bytes differ only in one tag: a
    // text of letters above 127 alone ("Готово") is stored by the text converter with the
    // wide-string tag (its UTF-8 is no shorter) and by the writer with the UTF-8 tag.
    std::string writtenText = TextOf(written.Bytes());
    EXPECT_EQ(writtenText, TextOf(layout));
    TMemoryStream again;
    std::vector<uint8_t> textBytes(writtenText.begin(), writtenText.end());
    TBytesStream text(textBytes);
    StreamTextToBinary(text, again);
    EXPECT_TRUE(again.Bytes() == layout) << "the written form's text converts to the layout's bytes";
}

TEST_F(FormLifecycleTest, DestroyingAShownFormWithFocusLeavesTheOthersWorking) {
    auto* other = App().CreateForm<TDemoForm>();
    other->Show();
    other->NameEdit->SetFocus();
    other->Free();
    App().ProcessMessages();
    ShowActive();
    EXPECT_EQ(form->ActiveControl(), form->NameEdit);
}

TEST_F(FormLifecycleTest, OnDestroyRunsOnceWhileTheFormIsWhole) {
    TDemoForm::DestroyLog.clear();
    auto* other = App().CreateForm<TDemoForm>();
    other->NameEdit->SetText(u"kept");
    other->Free();
    EXPECT_EQ(TDemoForm::DestroyLog, (std::vector<std::string>{"destroy DemoForm_1 kept"}));
    // The application frees the forms it owns the same way.
    EndApp();
    EXPECT_EQ(TDemoForm::DestroyLog.size(), 2u);
    EXPECT_EQ(TDemoForm::DestroyLog.back(), "destroy DemoForm C:\\");
}

TEST_F(FormLifecycleTest, OnShowRunsOnEveryShowingAlsoByOtherCodeThanVisible) {
    int shows = 0;
    form->OnShow = [&](TObject*) { ++shows; };
    form->Show();
    EXPECT_EQ(shows, 1);
    // As a frame component takes the window to the tray and brings it back.
    HWND window = form->WindowHandle();
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(shows, 2);
    ShowWindow(window, SW_HIDE);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(shows, 3);
    form->Hide();
    form->Show();
    EXPECT_EQ(shows, 4);
}

}  // namespace
}  // namespace zaprelay::test
