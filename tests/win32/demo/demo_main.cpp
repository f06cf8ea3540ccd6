// Shows the demo form as a program of its own, for looking at it (screenshots).
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "tests/win32/demo/demo_form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace zaprelay;
    try {
        win32::InstallWin32Graphics();
        test::TDemoForm::RegisterClasses();
        win32::TApplication app;
        app.SetTitle(u"Demo");
        app.CreateForm<test::TDemoForm>();
        app.Run();
    } catch (...) {
        win32::HandleCurrentException(nullptr);
        return 1;
    }
    return 0;
}
