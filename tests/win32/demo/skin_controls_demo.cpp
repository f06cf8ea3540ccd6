// The skinned controls as a program of their own, for looking at them (screenshots): skin-bound
// and default-look group boxes, check boxes and radio buttons, enabled and disabled, on a form
// with the skin's frame ("skin=FILE", up to a blank) or the default one; "dialog" shows the push
// buttons and labels instead.
#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "skin/controls/vx_button.h"
#include "skin/controls/vx_label.h"
#include "skin/controls/vx_skin_controls.h"
#include "skin/form/vx_skin_form.h"
#include "tests/win32/demo/demo_support.h"

#include <cstring>

namespace {

using namespace zaprelay;

template <typename C>
C* Add(win32::TWinControl* parent, const TRect& bounds, const char16_t* caption) {
    win32::TWinControl* form = parent;
    while (form->Parent() != nullptr) {
        form = form->Parent();
    }
    auto* c = new C(form);
    c->SetParent(parent);
    c->SetBoundsRect(bounds);
    c->SetCaption(caption);
    return c;
}

// One column: a group with two check boxes and two radio buttons, one of each disabled, and a
// group with a caption check box, unchecked, whose children are disabled by it.
template <typename Group, typename Check, typename Radio>
void Column(win32::TForm* form, int32_t left, const char16_t* title, skin::TVxVeneer* veneer) {
    const auto bind = [veneer](auto* c) {
        if constexpr (requires { c->SetVeneer(veneer); }) {
            c->SetVeneer(veneer);
        }
        return c;
    };
    auto* group = bind(Add<Group>(form, {left, 10, left + 230, 150}, title));
    bind(Add<Check>(group, {16, 24, 210, 44}, u"&Checked check box"))->SetChecked(true);
    bind(Add<Check>(group, {16, 46, 210, 66}, u"Disabled check box"))->SetEnabled(false);
    bind(Add<Radio>(group, {16, 74, 210, 94}, u"&Management"))->SetChecked(true);
    bind(Add<Radio>(group, {16, 96, 210, 116}, u"Options"));
    bind(Add<Radio>(group, {16, 118, 210, 138}, u"Disabled radio button"))->SetEnabled(false);

    auto* locked = bind(Add<Group>(form, {left, 160, left + 230, 250}, u"Remote receiver"));
    locked->SetUseCheckBox(true);
    bind(Add<Radio>(locked, {16, 30, 210, 50}, u"Network receiver"))->SetChecked(true);
    bind(Add<Radio>(locked, {16, 54, 210, 74}, u"Keyboard remote"));
    locked->SetChecked(false);
}

// "dialog": every push button kind and a custom button, over labels in each alignment and layout.
void ButtonsDialog(win32::TForm* form) {
    using namespace skin;
    form->SetBounds(120, 100, 540, 270);
    form->SetCaption(u"Skinned buttons and labels");
    const TVxButtonKind kinds[] = {bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll};
    for (int i = 0; i < 10; ++i) {
        auto* button = Add<TVxCustomButton>(form, Bounds(10 + (i % 5) * 102, 110 + (i / 5) * 34, 95, 28), u"");
        button->SetKind(kinds[i]);
        if (kinds[i] == bkRetry) {
            button->SetEnabled(false);
        }
    }
    auto* custom = Add<TVxCustomButton>(form, Bounds(10, 180, 150, 40), u"A custom button that wraps its text");
    custom->SetWordWrap(true);
    const std::pair<win32::TAlignment, const char16_t*> alignments[] = {{win32::taLeftJustify, u"Left aligned"},
                                                                        {win32::taCenter, u"Centred"},
                                                                        {win32::taRightJustify, u"Right aligned"}};
    for (int i = 0; i < 3; ++i) {
        auto* label = Add<TVxCustomLabel>(form, Bounds(10 + i * 170, 10, 160, 17), alignments[i].second);
        label->SetAutoSize(false);
        label->SetBounds(10 + i * 170, 10, 160, 17);
        label->SetAlignment(alignments[i].first);
        label->SetTransparent(false);
        label->SetColor(clWindow);
    }
    const std::pair<win32::TTextLayout, const char16_t*> layouts[] = {
        {win32::tlTop, u"Top"}, {win32::tlCenter, u"Centre"}, {win32::tlBottom, u"Bottom"}};
    for (int i = 0; i < 3; ++i) {
        auto* label = Add<TVxCustomLabel>(form, Bounds(10 + i * 170, 36, 160, 40), layouts[i].second);
        label->SetAutoSize(false);
        label->SetBounds(10 + i * 170, 36, 160, 40);
        label->SetLayout(layouts[i].first);
        label->SetTransparent(false);
        label->SetColor(clInfoBk);
    }
    Add<TVxCustomLabel>(form, Bounds(10, 84, 200, 17), u"A disabled label")->SetEnabled(false);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    try {
        demo::StartSkinLibrary();
        win32::TApplication app;
        app.SetTitle(u"Controls demo");
        auto* form = new win32::TForm(&app);
        app.SetMainForm(form);
        form->SetBounds(120, 100, 500, 300);
        form->SetCaption(u"Skinned controls");
        auto* frame = new skin::TVxSkinForm(form);
        skin::TVxVeneer* veneer = demo::VeneerFromCommandLine(form, commandLine);
        frame->SetVeneer(veneer);
        frame->AfterRead();
        using namespace skin;
        if (std::strstr(commandLine, "dialog") != nullptr) {
            ButtonsDialog(form);
        } else {
            Column<TVxSkinGroupBox, TVxSkinCheckBox, TVxSkinRadioButton>(form, 10, u"Skin-bound", veneer);
            Column<TVxCustomGroupBox, TVxCustomCheckBox, TVxCustomRadioButton>(form, 250, u"Default look", nullptr);
        }
        form->Show();
        app.Run();
    } catch (...) {
        win32::HandleCurrentException(nullptr);
        return 1;
    }
    return 0;
}
