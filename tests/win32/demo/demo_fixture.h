// The application object and a demo form for each test; both go when the test ends.
#pragma once

#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "tests/win32/demo/demo_form.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <memory>

namespace zaprelay::test {

// Handles messages through the application's loop (dialog keys, shortcuts and accelerators
// are found there) until done() or the deadline; returns done().
inline bool AppPumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    return PumpUntil(done, timeoutMs, [] { win32::Application()->ProcessMessages(); });
}

class DemoFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        win32::InstallWin32Graphics();
        TDemoForm::RegisterClasses();
    }

    void SetUp() override {
        m_app = std::make_unique<TApplication>();
        form = m_app->CreateForm<TDemoForm>();
    }

    void TearDown() override { m_app.reset(); }

    // Shows the form in front and waits until it is the active window.
    void ShowActive() {
        form->Show();
        SetForegroundWindow(form->Handle());
        ASSERT_TRUE(AppPumpUntil([this] { return GetActiveWindow() == form->WindowHandle(); }));
        AppPumpUntil([] { return false; }, 50);
    }

    TApplication& App() { return *m_app; }
    // Frees the application and the forms it owns now.
    void EndApp() {
        m_app.reset();
        form = nullptr;
    }

    TDemoForm* form = nullptr;

private:
    std::unique_ptr<TApplication> m_app;
};

// Watches a component and tells whether it is gone.
class TGoneWatcher : public TComponent {
public:
    explicit TGoneWatcher(TComponent* watched) : TComponent(nullptr) { watched->FreeNotification(this); }
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove) {
            Gone = true;
        }
    }
    bool Gone = false;
};

}  // namespace zaprelay::test
