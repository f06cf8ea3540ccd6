#include "plugins/kit/modal_dialog.h"

namespace zaprelay::dcd {

std::optional<std::string> AsciiItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    std::string out;
    for (wchar_t c : text) {
        if (c >= 0x80) {
            return std::nullopt;
        }
        out += static_cast<char>(c);
    }
    return out;
}

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

void TModalDialog::RejectItem(HWND dialog, int messageId, int itemId, const std::wstring& why) {
    SetDlgItemTextW(dialog, messageId, why.c_str());
    // Through the dialog manager, which also selects an edit box's text.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, itemId)), TRUE);
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
