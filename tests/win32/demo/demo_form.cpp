#include "tests/win32/demo/demo_form.h"

#include "framework/rtl/class_registry.h"

namespace zaprelay::test {

const TClassInfo& TDemoForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TDemoForm, TForm>("TDemoForm");
        TClassBuilder<TDemoForm>(i)
            .Method<void(TObject*)>("FormCreate", &TDemoForm::FormCreate)
            .Method<void(TObject*)>("FormShow", &TDemoForm::FormShow)
            .Method<void(TObject*)>("FormDestroy", &TDemoForm::FormDestroy)
            .Method<void(TObject*, TCloseAction&)>("FormClose", &TDemoForm::FormClose)
            .Method<void(TObject*, bool&)>("FormCloseQuery", &TDemoForm::FormCloseQuery)
            .Method<void(TObject*)>("ButtonClick", &TDemoForm::ButtonClick)
            .Method<void(TObject*)>("CommandsClick", &TDemoForm::CommandsClick)
            .Method<void(TObject*)>("RadioClick", &TDemoForm::RadioClick)
            .Method<void(TObject*)>("MenuClick", &TDemoForm::MenuClick)
            .Method<void(TObject*)>("ControlEnter", &TDemoForm::ControlEnter)
            .Method<void(TObject*)>("ControlExit", &TDemoForm::ControlExit)
            .Method<void(TObject*)>("TimerTick", &TDemoForm::TimerTick);
        return i;
    }();
    return info;
}

void TDemoForm::RegisterClasses() {
    for (const TClassInfo* c :
         {&TLabel::StaticClassInfo(), &TEdit::StaticClassInfo(), &TListBox::StaticClassInfo(),
          &TGroupBox::StaticClassInfo(), &TRadioButton::StaticClassInfo(), &TCheckBox::StaticClassInfo(),
          &TButton::StaticClassInfo(), &TPopupMenu::StaticClassInfo(), &TMenuItem::StaticClassInfo(),
          &TStatusBar::StaticClassInfo(), &TTimer::StaticClassInfo(), &TOpenDialog::StaticClassInfo(),
          &TImageList::StaticClassInfo()}) {
        RegisterClass(*c);
    }
}

TDemoForm::TDemoForm(TComponent* owner) : TForm(owner) {
    InitializeForm([this] {
        Bind(NameLabel, "NameLabel");
        Bind(NameEdit, "NameEdit");
        Bind(CodeEdit, "CodeEdit");
        Bind(Commands, "Commands");
        Bind(ModeGroup, "ModeGroup");
        Bind(OptionsRadio, "OptionsRadio");
        Bind(ManageRadio, "ManageRadio");
        Bind(StayCheck, "StayCheck");
        Bind(OkButton, "OkButton");
        Bind(CancelButton, "CancelButton");
        Bind(Status, "Status");
        Bind(TrayMenu, "TrayMenu");
        Bind(ShowItem, "ShowItem");
        Bind(CloseItem, "CloseItem");
        Bind(Timer1, "Timer1");
        Bind(OD1, "OD1");
        Bind(Images, "Images");
    });
}

TDemoForm::~TDemoForm() = default;

void TDemoForm::FormCreate(TObject*) {
    Events.push_back("create");
    ReadyAtCreate = NameLabel != nullptr && NameLabel->FocusControl() == NameEdit && PopupMenu() == TrayMenu &&
                    Commands->Items()->Count() == 4;
}

void TDemoForm::FormShow(TObject*) {
    Events.push_back("show");
}

void TDemoForm::FormDestroy(TObject*) {
    std::u16string text = NameEdit->Text();
    DestroyLog.push_back("destroy " + Name() + " " + std::string(text.begin(), text.end()));
}

void TDemoForm::FormClose(TObject*, TCloseAction& action) {
    Events.push_back("close");
    action = CloseAction;
}

void TDemoForm::FormCloseQuery(TObject*, bool& canClose) {
    Events.push_back("closequery");
    canClose = AllowClose;
}

void TDemoForm::ButtonClick(TObject* sender) {
    Events.push_back("click " + static_cast<TComponent*>(sender)->Name());
}

void TDemoForm::CommandsClick(TObject*) {
    Events.push_back("list " + std::to_string(Commands->ItemIndex()));
}

void TDemoForm::RadioClick(TObject* sender) {
    Events.push_back("radio " + static_cast<TComponent*>(sender)->Name());
}

void TDemoForm::MenuClick(TObject* sender) {
    Events.push_back("menu " + static_cast<TComponent*>(sender)->Name());
}

void TDemoForm::ControlEnter(TObject* sender) {
    Events.push_back("enter " + static_cast<TComponent*>(sender)->Name());
}

void TDemoForm::TimerTick(TObject*) {
    Events.push_back("tick");
    Timer1->SetEnabled(false);
}

void TDemoForm::ControlExit(TObject* sender) {
    Events.push_back("exit " + static_cast<TComponent*>(sender)->Name());
}

}  // namespace zaprelay::test
