#include "plugins/kit/modal_dialog.h"

namespace zaprelay::dcd {

INT_PTR TModalDialog::ShowModal(HINSTANCE module, HWND owner, const TDialogTemplate& layout) {
    return DialogBoxIndirectParamW(module, layout.Get(), owner, &TModalDialog::Proc, reinterpret_cast<LPARAM>(this));
}

void TModalDialog::CloseIfSaved(HWND dialog, bool saved) {
    if (!saved) {
        wchar_t title[128] = {};
        GetWindowTextW(dialog, title, 128);
        MessageBoxW(dialog, L"The settings could not be saved. Is the settings file read-only or in use?", title,
                    MB_OK | MB_ICONERROR);
        return;
    }
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK TModalDialog::Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        }
        auto* self = reinterpret_cast<TModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        return self != nullptr ? self->Handle(dialog, msg, wParam) : FALSE;
    } catch (...) {
        // The dialog closes unsaved.
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
}

}  // namespace zaprelay::dcd
