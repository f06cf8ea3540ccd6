// A modal dialog from a template built in code: the dialog manager's calls reach Handle, and
// no exception from it unwinds into the dialog manager.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/kit/dialog_template.h"

namespace zaprelay::dcd {

class TModalDialog {
public:
    TModalDialog() = default;
    virtual ~TModalDialog() = default;
    TModalDialog(const TModalDialog&) = delete;
    TModalDialog& operator=(const TModalDialog&) = delete;

protected:
    // The button that ended the dialog (IDOK, IDCANCEL, ...).
    INT_PTR ShowModal(HINSTANCE module, HWND owner, const TDialogTemplate& layout);
    // A message of the dialog, WM_INITDIALOG first; as a dialog procedure answers.
    virtual INT_PTR Handle(HWND dialog, UINT msg, WPARAM wParam) = 0;

    // OK of a settings dialog: closes it when saved, else says that the settings could not be
    // saved and keeps it open.
    static void CloseIfSaved(HWND dialog, bool saved);

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace zaprelay::dcd
