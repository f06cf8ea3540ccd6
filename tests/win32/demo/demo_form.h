// A form of every control kind, read from its layout, whose handlers record what happened:
// the Win32 tests drive it with real messages and input.
#pragma once

#include "framework/win32/buttons.h"
#include "framework/win32/dialogs.h"
#include "framework/win32/edit.h"
#include "framework/win32/forms.h"
#include "framework/win32/group_box.h"
#include "framework/win32/image_list.h"
#include "framework/win32/label.h"
#include "framework/win32/list_box.h"
#include "framework/win32/menus.h"
#include "framework/win32/status_bar.h"
#include "framework/win32/timer.h"

#include <string>
#include <vector>

namespace zaprelay::test {

using namespace zaprelay::win32;

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* owner);
    ~TDemoForm() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() { return TForm::StaticMessageTable(); }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // Registers the classes the layout names; call once before making the form.
    static void RegisterClasses();

    TLabel* NameLabel = nullptr;
    TEdit* NameEdit = nullptr;
    TEdit* CodeEdit = nullptr;
    TListBox* Commands = nullptr;
    TGroupBox* ModeGroup = nullptr;
    TRadioButton* OptionsRadio = nullptr;
    TRadioButton* ManageRadio = nullptr;
    TCheckBox* StayCheck = nullptr;
    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;
    TStatusBar* Status = nullptr;
    TPopupMenu* TrayMenu = nullptr;
    TMenuItem* ShowItem = nullptr;
    TMenuItem* CloseItem = nullptr;
    TTimer* Timer1 = nullptr;
    TOpenDialog* OD1 = nullptr;
    TImageList* Images = nullptr;

    // What the handlers saw, in order ("create", "show", "click OkButton", ...).
    std::vector<std::string> Events;
    TCloseAction CloseAction = caHide;
    bool AllowClose = true;
    // FormDestroy's record of the forms destroyed: "destroy <name> <NameEdit's text>".
    static inline std::vector<std::string> DestroyLog;
    // Set by FormCreate: the components and references the layout made were all there.
    bool ReadyAtCreate = false;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormDestroy(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void ButtonClick(TObject* sender);
    void CommandsClick(TObject* sender);
    void RadioClick(TObject* sender);
    void MenuClick(TObject* sender);
    void ControlEnter(TObject* sender);
    void ControlExit(TObject* sender);
    void TimerTick(TObject* sender);
};

}  // namespace zaprelay::test
