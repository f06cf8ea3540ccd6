// A form with the form component and every caption button, as a program of its own, for looking
// at the default frame (screenshots). "inactive" opens a second window to click on.
#include "framework/win32/application.h"
#include "framework/win32/buttons.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "skin/form/vx_skin_form.h"

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    using namespace zaprelay;
    try {
        win32::InstallWin32Graphics();
        win32::TApplication app;
        app.SetTitle(u"Form demo");
        auto* form = new win32::TForm(&app);
        app.SetMainForm(form);
        form->SetBounds(120, 100, 420, 260);
        form->SetCaption(u"Skinned form \u2014 a caption long enough to be shortened with an ellipsis");
        auto* button = new win32::TButton(form);
        button->SetParent(form);
        button->SetBounds(20, 20, 120, 28);
        button->SetCaption(u"A button");
        auto* frame = new skin::TVxSkinForm(form);
        frame->SetBorderIcons(skin::kDefaultBorderIcons | skin::BorderIconSet({skin::kbiHelp}));
        frame->AfterRead();
        form->Show();
        if (std::strstr(commandLine, "inactive") != nullptr) {
            auto* other = new win32::TForm(&app);
            other->SetBounds(600, 500, 300, 200);
            other->SetCaption(u"Another window");
            other->Show();
        }
        app.Run();
    } catch (...) {
        win32::HandleCurrentException(nullptr);
        return 1;
    }
    return 0;
}
