// The window hooking layer under the skinned form, on real framework forms: order, consuming,
// detaching, window re-creation, foreign subclassing, and freeing either side at any time.
#include "framework/rtl/exceptions.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "skin/form/control_hook.h"
#include "skin/form/hook_list.h"
#include "skin/form/vx_hook.h"
#include "tests/win32/test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::test {
namespace {

using skin::TControlHook;
using skin::THookList;
using skin::TVxHook;
using win32::TApplication;
using win32::TForm;

constexpr uint32_t kProbe = WM_APP + 1;
constexpr uint32_t kOther = WM_APP + 2;
using TLog = std::vector<std::string>;

// A form that answers the probe itself, so its own handling shows in the log.
class TProbeForm : public TForm {
public:
    TProbeForm(TComponent* owner, TLog* log) : TForm(owner), m_log(log) {}
    static const TMessageTable& StaticMessageTable() {
        static const TMessageTable table =
            TMessageTable::For<TProbeForm, TForm>().On<&TProbeForm::Probe>(kProbe).On<&TProbeForm::Quit>(WM_QUIT);
        return table;
    }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

private:
    void Probe(TMessage& m) {
        m_log->push_back("form");
        m.Result = 7;
    }
    void Quit(TMessage&) { m_log->push_back("form quit"); }
    TLog* m_log;
};

// Logs what it sees before and after the window; told to consume, throw, stop or run OnProbe.
class TLogHook : public TVxHook {
public:
    TLogHook(TComponent* owner, TLog* log) : TVxHook(owner), m_log(log) {}
    static const TMessageTable& StaticMessageTable() {
        static const TMessageTable table =
            TMessageTable::For<TLogHook, TVxHook>().On<&TLogHook::Probe>(kProbe).On<&TLogHook::Quit>(WM_QUIT);
        return table;
    }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    void AfterWndProc(TMessage& m) override {
        if (m.Msg == kProbe || m.Msg == WM_QUIT) {
            m_log->push_back(Name() + " after " + std::to_string(m.Result));
            if (ThrowAfter) {
                throw EInvalidOperation(Name() + " failed after");
            }
            SetHandled(StopAfter);
        }
    }

    bool Consume = false;
    bool Throw = false;
    bool ThrowAfter = false;
    bool StopAfter = false;
    std::function<void()> OnProbe;  // may free anything, this hook included

protected:
    void Probe(TMessage& m) {
        m_log->push_back(Name());
        if (OnProbe) {
            OnProbe();
        } else if (Throw) {
            throw EInvalidOperation(Name() + " failed");
        } else if (Consume) {
            m.Result = 42;
            SetHandled(true);
        }
    }
    void Quit(TMessage&) { m_log->push_back(Name() + " quit"); }
    TLog* m_log;
};

// A descendant's own table: its message, and the base's through fall-through.
class TOtherHook : public TLogHook {
public:
    using TLogHook::TLogHook;
    static const TMessageTable& StaticMessageTable() {
        static const TMessageTable table = TMessageTable::For<TOtherHook, TLogHook>().On<&TOtherHook::Other>(kOther);
        return table;
    }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

private:
    void Other(TMessage& m) {
        m_log->push_back(Name() + " other");
        m.Result = 5;
        SetHandled(true);
    }
};

WNDPROC ProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

// Somebody else's subclassing on top of ours.
TLog* g_foreignLog = nullptr;
WNDPROC g_foreignNext = nullptr;
LRESULT CALLBACK ForeignProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kProbe) {
        g_foreignLog->push_back("foreign");
    }
    return CallWindowProcW(g_foreignNext, window, msg, wParam, lParam);
}

class FormHookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { win32::InstallWin32Graphics(); }

    void SetUp() override {
        m_app = std::make_unique<TApplication>();
        m_app->OnException = [this](TObject* sender, const std::exception& e) {
            errors.push_back(static_cast<TComponent*>(sender)->Name() + ": " + e.what());
        };
        form = new TProbeForm(m_app.get(), &log);
        window = form->Handle();
        original = ProcOf(window);
        ProcessPendingMessages();  // records left by earlier tests go with their posted release
        baseline = THookList::Existing() != nullptr ? THookList::Existing()->Count() : 0;
    }

    void TearDown() override {
        m_app.reset();
        ProcessPendingMessages();
    }

    // A hook on the form, owned by the application unless told otherwise.
    template <typename T = TLogHook>
    T* AddHook(const std::string& name, TComponent* owner = nullptr) {
        auto* hook = new T(owner != nullptr ? owner : m_app.get(), &log);
        hook->SetName(name);
        hook->SetTarget(form);
        return hook;
    }

    TLog Send(HWND to, uint32_t msg, intptr_t* result = nullptr) {
        log.clear();
        LRESULT r = SendMessageW(to, msg, 0, 0);
        if (result != nullptr) {
            *result = r;
        }
        return log;
    }
    TLog Probe(intptr_t* result = nullptr) { return Send(window, kProbe, result); }

    int Records() const { return THookList::Existing()->Count() - baseline; }
    bool RecordsReturnToBaseline() {
        return PumpUntil([this] { return Records() == 0; });
    }

    TLog log;
    std::vector<std::string> errors;
    TProbeForm* form = nullptr;
    HWND window = nullptr;
    WNDPROC original = nullptr;
    int baseline = 0;

private:
    std::unique_ptr<TApplication> m_app;
};

TEST_F(FormHookTest, HooksSeeMessagesLastAttachedFirstBeforeAndAfterTheWindow) {
    TLogHook* a = AddHook("a");
    auto* o = AddHook<TOtherHook>("o");
    EXPECT_EQ(ProcOf(window), TControlHook::ReplacementProc());
    EXPECT_EQ(Records(), 1) << "one record per window, whatever the number of hooks";
    EXPECT_EQ(a->ControlHook(), o->ControlHook());
    intptr_t result = 0;
    EXPECT_EQ(Probe(&result), (TLog{"o", "a", "form", "o after 7", "a after 7"}));
    EXPECT_EQ(result, 7);
    // The descendant's own message, consumed there.
    EXPECT_EQ(Send(window, kOther, &result), TLog{"o other"});
    EXPECT_EQ(result, 5);
}

TEST_F(FormHookTest, ConsumingHookHidesTheMessageFromEarlierHooksAndTheWindow) {
    AddHook("a");
    TLogHook* b = AddHook("b");
    b->Consume = true;
    intptr_t result = 0;
    EXPECT_EQ(Probe(&result), TLog{"b"});
    EXPECT_EQ(result, 42);
    // Handled set after the window stops the after-handlers attached earlier.
    b->Consume = false;
    b->StopAfter = true;
    EXPECT_EQ(Probe(), (TLog{"b", "a", "form", "b after 7"}));
}

TEST_F(FormHookTest, ActiveDetachesAndAttachesOnlyOnChange) {
    TLogHook* a = AddHook("a");
    TLogHook* b = AddHook("b");
    b->SetActive(false);
    EXPECT_EQ(Probe(), (TLog{"a", "form", "a after 7"}));
    a->SetActive(false);
    EXPECT_EQ(ProcOf(window), original) << "the last hook gone, the window has its own procedure back";
    EXPECT_EQ(Probe(), TLog{"form"});
    a->SetActive(true);
    b->SetActive(true);
    b->SetActive(true);
    EXPECT_EQ(Probe(), (TLog{"b", "a", "form", "b after 7", "a after 7"}));
    a->SetActive(false);
    a->SetActive(true);  // attached last now, so first
    EXPECT_EQ(Probe(), (TLog{"a", "b", "form", "a after 7", "b after 7"}));
}

TEST_F(FormHookTest, RecreatedWindowIsHookedAgain) {
    AddHook("a");
    AddHook("b");
    form->Show();
    form->RecreateWnd();
    window = form->WindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(PumpUntil([this] { return ProcOf(window) == TControlHook::ReplacementProc(); }));
    EXPECT_EQ(Probe(), (TLog{"b", "a", "form", "b after 7", "a after 7"}));
    EXPECT_EQ(Records(), 1);
}

TEST_F(FormHookTest, ProcedureInstalledAfterOursSurvivesOurDetaching) {
    TLogHook* a = AddHook("a");
    g_foreignLog = &log;
    g_foreignNext =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    EXPECT_EQ(Probe(), (TLog{"foreign", "a", "form", "a after 7"}));
    a->SetActive(false);
    EXPECT_EQ(ProcOf(window), &ForeignProc);
    EXPECT_EQ(Probe(), (TLog{"foreign", "form"})) << "ours, left in the chain, still passes messages on";
    a->SetActive(true);
    EXPECT_EQ(ProcOf(window), &ForeignProc);
    EXPECT_EQ(Probe(), (TLog{"foreign", "a", "form", "a after 7"})) << "hooked once, not twice";
    // The other one steps out; then ours can too.
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignNext));
    a->SetActive(false);
    EXPECT_EQ(ProcOf(window), original);
    EXPECT_EQ(Probe(), TLog{"form"});
}

TEST_F(FormHookTest, QuitSentToTheWindowSkipsOnlyTheBeforeHandlers) {
    AddHook("a");
    EXPECT_EQ(Send(window, WM_QUIT), (TLog{"form quit", "a after 0"}));
}

TEST_F(FormHookTest, ExceptionsGoToTheApplicationAndTheNextHookStillRuns) {
    AddHook("a");
    TLogHook* b = AddHook("b");
    b->Throw = true;
    b->ThrowAfter = true;
    EXPECT_EQ(Probe(), (TLog{"b", "a", "form", "b after 7", "a after 7"}));
    EXPECT_EQ(errors, (std::vector<std::string>{"b: b failed", "b: b failed after"}));
}

TEST_F(FormHookTest, FreeingTheTargetFirstLeavesTheHooksSafe) {
    TLogHook* a = AddHook("a");
    TLogHook* b = AddHook("b");
    form->Free();
    EXPECT_EQ(a->Target(), nullptr);
    EXPECT_EQ(b->ControlHook(), nullptr);
    EXPECT_TRUE(RecordsReturnToBaseline());
    a->SetActive(false);
    a->SetActive(true);  // no target: nothing to attach to
    EXPECT_EQ(Records(), 0);
}

TEST_F(FormHookTest, FreeingTheHookFirstGivesTheWindowBack) {
    AddHook("a")->Free();
    EXPECT_EQ(ProcOf(window), original);
    EXPECT_EQ(Probe(), TLog{"form"});
    EXPECT_TRUE(RecordsReturnToBaseline());
    // Owned by its own target, as the skinned form is: the form takes it along.
    AddHook("owned", form);
    EXPECT_EQ(Probe(), (TLog{"owned", "form", "owned after 7"}));
    form->Free();
    EXPECT_TRUE(RecordsReturnToBaseline());
}

TEST_F(FormHookTest, HandlersMayFreeTheirHookOrTheTargetMidMessage) {
    TLogHook* a = AddHook("a", form);
    TLogHook* b = AddHook("b", form);
    b->OnProbe = [b] { b->Free(); };
    EXPECT_EQ(Probe(), (TLog{"b", "a", "form", "a after 7"}));
    a->OnProbe = [f = form] { f->Free(); };  // a goes with its owner, inside its own handler
    EXPECT_EQ(Probe(), TLog{"a"});
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(RecordsReturnToBaseline());
}

TEST_F(FormHookTest, ChangingTheTargetMovesTheHookAndReleasesTheEmptyRecord) {
    TLogHook* a = AddHook("a");
    auto* other = new TProbeForm(form->Owner(), &log);
    a->SetTarget(other);
    EXPECT_EQ(ProcOf(window), original);
    EXPECT_EQ(Probe(), TLog{"form"});
    EXPECT_EQ(Send(other->WindowHandle(), kProbe), (TLog{"a", "form", "a after 7"}));
    EXPECT_TRUE(PumpUntil([this] { return THookList::Existing()->Find(form) == nullptr; }))
        << "the old window's record goes once its posted release is handled";
    EXPECT_EQ(Records(), 1);
    // An inactive hook's record is released too when the target moves on.
    a->SetActive(false);
    a->SetTarget(form);
    EXPECT_TRUE(RecordsReturnToBaseline());
}

TEST_F(FormHookTest, TargetThatCannotHaveAWindowRaisesAndLeavesTheHookDetached) {
    TLogHook* a = AddHook("a");
    auto* orphan = new win32::TWinControl(form);  // a child control without a parent window
    EXPECT_THROW(a->SetTarget(orphan), EInvalidOperation);
    EXPECT_EQ(a->ControlHook(), nullptr);
    EXPECT_EQ(ProcOf(window), original);
    EXPECT_TRUE(RecordsReturnToBaseline());
    a->SetTarget(form);
    EXPECT_EQ(Probe(), (TLog{"a", "form", "a after 7"}));
}

TEST_F(FormHookTest, RecordReleasedWhileItsWindowIsBusyGoesWhenTheMessageIsDone) {
    TLogHook* a = AddHook("a");
    auto* other = new TProbeForm(form->Owner(), &log);
    bool keptWhileBusy = false;
    a->OnProbe = [&] {
        a->SetTarget(other);
        ProcessPendingMessages();  // as a message box inside a handler would
        keptWhileBusy = THookList::Existing()->Find(form) != nullptr;
    };
    EXPECT_EQ(Probe(), (TLog{"a", "form"}));
    EXPECT_TRUE(keptWhileBusy);
    EXPECT_EQ(THookList::Existing()->Find(form), nullptr);
    EXPECT_EQ(ProcOf(window), original);
}

// The registry goes at program end, with hooks still attached to live windows.
TEST(FormHookExitTest, ProgramEndsCleanlyWithHooksStillAttached) {
    EXPECT_EXIT(
        {
            win32::InstallWin32Graphics();
            auto* app = new TApplication();
            auto* form = new TForm(app);
            (new TVxHook(nullptr))->SetTarget(form);
            HWND window = form->Handle();
            bool hooked =
                GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(TControlHook::ReplacementProc());
            std::exit(hooked ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace zaprelay::test
