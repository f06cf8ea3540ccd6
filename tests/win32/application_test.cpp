// The application object and the screen: the standard error box, minimizing and restoring,
// the list of forms, hints over controls, and scrolling a form whose controls do not fit.
#include "framework/win32/screen.h"
#include "tests/win32/demo/demo_fixture.h"
#include "tests/win32/input.h"

#include <thread>

namespace zaprelay::test {
namespace {

using ApplicationTest = DemoFormTest;

// The text and title of the error box on screen, read by another thread that then closes
// it with its OK button.
struct TErrorBoxReader {
    std::wstring Title;
    std::wstring Text;
    void Start(DWORD threadId) {
        m_thread = std::thread([this, threadId] {
            for (int tries = 0; tries < 200 && Text.empty(); ++tries) {
                Sleep(25);
                EnumThreadWindows(threadId, Visit, reinterpret_cast<LPARAM>(this));
            }
        });
    }
    void Join() { m_thread.join(); }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        wchar_t cls[64] = {};
        GetClassNameW(window, cls, 64);
        if (std::wstring(cls) != L"#32770") {
            return TRUE;
        }
        auto* reader = reinterpret_cast<TErrorBoxReader*>(self);
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        reader->Title = title;
        // The message is the box's static text (id 0xFFFF).
        wchar_t text[512] = {};
        GetDlgItemTextW(window, 0xFFFF, text, 512);
        reader->Text = text;
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    std::thread m_thread;
};

TEST_F(ApplicationTest, ExceptionFromAHandlerShowsTheStandardErrorBox) {
    App().SetTitle(u"Zaprelay");
    ShowActive();
    form->OkButton->OnClick = [](TObject*) { throw EInvalidOperation("Unable to write to C:\\Zaplink.ini"); };
    TErrorBoxReader reader;
    reader.Start(GetCurrentThreadId());
    // The click arrives through the window procedure, which must not let the exception out.
    SendMessageW(form->OkButton->WindowHandle(), BM_CLICK, 0, 0);
    reader.Join();
    EXPECT_EQ(reader.Title, L"Zaprelay");
    EXPECT_EQ(reader.Text, L"Unable to write to C:\\Zaplink.ini");
    EXPECT_TRUE(IsWindowVisible(form->WindowHandle()));  // the program goes on
}

TEST_F(ApplicationTest, OnExceptionReplacesTheBox) {
    std::string seen;
    App().OnException = [&seen](TObject* sender, const std::exception& e) {
        seen = static_cast<TComponent*>(sender)->Name() + ": " + e.what();
    };
    ShowActive();
    form->OkButton->OnClick = [](TObject*) { throw EInvalidOperation("broken"); };
    SendMessageW(form->OkButton->WindowHandle(), BM_CLICK, 0, 0);
    // The button's click comes to its form's window as a command, and that window caught it.
    EXPECT_EQ(seen, "DemoForm: broken");
}

TEST_F(ApplicationTest, MinimizeAndRestoreRaiseTheirEventsOnce) {
    ShowActive();
    std::vector<std::string> seen;
    App().OnMinimize = [&seen](TObject*) { seen.push_back("minimize"); };
    App().OnRestore = [&seen](TObject*) { seen.push_back("restore"); };
    SendMessageW(form->WindowHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(App().Minimized());
    EXPECT_TRUE(IsIconic(form->WindowHandle()));
    App().Minimize();
    App().Restore();
    EXPECT_FALSE(IsIconic(form->WindowHandle()));
    EXPECT_EQ(seen, (std::vector<std::string>{"minimize", "restore"}));
}

TEST_F(ApplicationTest, ScreenListsFormsInCreationOrder) {
    auto* second = App().CreateForm<TDemoForm>();
    ASSERT_EQ(Screen()->FormCount(), 2);
    EXPECT_EQ(Screen()->Forms(0), form);
    EXPECT_EQ(Screen()->Forms(1), second);
    EXPECT_EQ(second->Name(), "DemoForm_1");
    second->Free();
    EXPECT_EQ(Screen()->FormCount(), 1);
    TRect work = Screen()->MonitorWorkArea(nullptr);
    EXPECT_GT(work.Width(), 0);
    EXPECT_LE(work.Height(), Screen()->Height());
}

TEST_F(ApplicationTest, HintShowsAfterThePauseOverAControlThatHasOne) {
    App().SetHintPause(50);
    ShowActive();
    form->StayCheck->SetHint(u"Keeps the window above the others|Long text for the status line");
    form->StayCheck->SetShowHint(true);
    POINT p = CenterOf(form->StayCheck->WindowHandle());
    MoveMouseTo(p.x, p.y);
    EXPECT_TRUE(AppPumpUntil([this] { return App().HintWindow() != nullptr; }, 3000));
    EXPECT_EQ(App().ShownHint(), u"Keeps the window above the others");
    PressKey(VK_SHIFT);
    EXPECT_EQ(App().HintWindow(), nullptr);
}

TEST_F(ApplicationTest, AutoScrollShowsScrollBarsOnlyWhileControlsStickOut) {
    ShowActive();
    form->SetAutoScroll(true);
    LONG style = GetWindowLongW(form->WindowHandle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_VSCROLL);
    form->CancelButton->SetTop(600);  // below the 330-pixel client area
    form->SetAutoScroll(false);
    form->SetAutoScroll(true);
    style = GetWindowLongW(form->WindowHandle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    int top = form->NameEdit->Top();
    SendMessageW(form->WindowHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_LT(form->NameEdit->Top(), top);  // the controls moved up
    SendMessageW(form->WindowHandle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(form->NameEdit->Top(), top);
}

}  // namespace
}  // namespace zaprelay::test
