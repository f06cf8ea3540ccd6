// The multiple-document forms as a program of their own, to look at: a skinned parent with
// three skinned children ("skin=FILE" for a skin, up to a blank; "maximized" maximizes the
// last child). A right click on the parent's empty client area opens the window menu.
#include "framework/win32/application.h"
#include "tests/win32/demo/demo_support.h"
#include "tests/win32/demo/mdi_forms.h"

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    using namespace zaprelay;
    try {
        demo::StartSkinLibrary();
        test::TMdiParentForm::RegisterClasses();
        win32::TApplication app;
        app.SetTitle(u"MDI demo");
        auto* parent = app.CreateForm<test::TMdiParentForm>();
        parent->SetVeneer(demo::VeneerFromCommandLine(parent, commandLine));
        parent->Show();
        test::TMdiChildForm* last = nullptr;
        for (const char16_t* caption : {u"Channels", u"Remote codes", u"Viewer log"}) {
            last = parent->NewChild(caption);
        }
        if (std::strstr(commandLine, "maximized") != nullptr) {
            last->Frame->Maximize();
        }
        app.Run();
    } catch (...) {
        win32::HandleCurrentException(nullptr);
        return 1;
    }
    return 0;
}
