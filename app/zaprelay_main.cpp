// Program entry: find the receiver plug-in, make the main window, connect the two, run.
#include "app/main.h"
#include "framework/rtl/ansi_text.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "skin/form/window_skin_announcer.h"
#include "skin/form/window_skin_host.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_source.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace zaprelay;
    using namespace zaprelay::app;
    try {
        SetAnsiCodePage(GetACP());
        win32::InstallWin32Graphics();
        // The skin reader finds object kinds by their stored class names and skin files by
        // their extensions until the program ends.
        skin::InstallSkinObjectServices();
        skin::InstallWindowSkinAnnouncer();
        skin::RegisterSkinClasses();
        struct TSkinRegistries {
            ~TSkinRegistries() { skin::UnregisterSkinClasses(); }
        } skinRegistries;
        TFRM::RegisterClasses();
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
