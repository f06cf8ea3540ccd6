// Program entry: find the receiver plug-in, make the main window, connect the two, run.
#include "app/main.h"
#include "framework/win32/application.h"
#include "skin/store/skin_source.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace zaprelay;
    using namespace zaprelay::app;
    try {
        TProgramSetup setup;
        win32::TApplication application;
        application.SetTitle(u"Zaprelay");

        ProgramFolder = win32::ExecutableFolder();
        skin::SetProgramFolder(ProgramFolder);
        TFRM::SearchDCD();
        if (!PluginLoaded) {
            MessageBoxA(nullptr, "Not Found DCD.dll", "Fatal error!", MB_OK | MB_ICONERROR);
            return 0;
        }
        application.CreateForm<TFRM>();
        FRM->dStart();
        application.Run();
    } catch (...) {
        win32::HandleCurrentException(nullptr);
        return 1;
    }
    return 0;
}
