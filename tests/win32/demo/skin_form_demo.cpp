// A form with the form component and every caption button, as a program of its own, for looking
// at the frame (screenshots): the default one, or a skin's with "skin=FILE" (up to a blank).
// "inactive" opens a second window to click on, "rollup" starts rolled up.
#include "framework/win32/application.h"
#include "framework/win32/buttons.h"
#include "framework/win32/forms.h"
#include "skin/form/vx_skin_form.h"
#include "tests/win32/demo/demo_support.h"

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    using namespace zaprelay;
    try {
        demo::StartSkinLibrary();
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
        // "shadow", "blend" and "animate=N" (an effect number) show the form's effects.
        if (std::strstr(commandLine, "shadow") != nullptr) {
            frame->Shadow()->SetEnabled(true);
            frame->Shadow()->SetSize(8);
        }
        if (std::strstr(commandLine, "blend") != nullptr) {
            frame->Blending()->SetEnabled(true);
            frame->Blending()->SetValue(170);
        }
        if (const char* animate = std::strstr(commandLine, "animate=")) {
            frame->Animation()->SetEnabled(true);
            frame->Animation()->SetEffect(static_cast<skin::TkeEffect>(std::atoi(animate + 8) % 15));
            frame->Animation()->SetTime(2000);
        }
        if (skin::TVxVeneer* veneer = demo::VeneerFromCommandLine(form, commandLine)) {
            frame->SetVeneer(veneer);
        }
        frame->AfterRead();
        form->Show();
        if (std::strstr(commandLine, "rollup") != nullptr) {
            frame->Rollup();
        }
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
