#include "plugins/guard/guard_dialog.h"

#include "plugins/kit/dialog_template.h"
#include "plugins/kit/modal_dialog.h"

#include <commdlg.h>
#include <cwchar>

namespace zaprelay::guard {
namespace {

using dcd::TDialogTemplate;

constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 500;

std::wstring ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

class TGuardDialog final : public dcd::TModalDialog {
public:
    TGuardDialog(const std::string& receiver, const std::string& folder, const TGuardDialogCalls& calls)
        : m_receiver(receiver), m_folder(folder), m_calls(calls) {}

    void Show(HINSTANCE module, HWND owner) { ShowModal(module, owner, Layout()); }

private:
    // Dialog units.
    static TDialogTemplate Layout() {
        constexpr short kWidth = 280, kButtonsTop = 132;
        TDialogTemplate t(kGuardDialogTitle,
                          DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, kWidth,
                          kButtonsTop + 21, L"MS Shell Dlg", 8);
        t.Add(TDialogTemplate::kStatic,
              L"&Receiver plug-in (a DCD.dll, relative to the program's folder, or a full path):", -1, SS_LEFT, 7, 7,
              kWidth - 14, 8);
        t.Add(TDialogTemplate::kEdit, L"", kReceiverEditId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 7, 18,
              kWidth - 40, 12);
        t.Add(TDialogTemplate::kButton, L"...", kBrowseButtonId, BS_PUSHBUTTON | WS_TABSTOP, kWidth - 30, 17, 23, 14);
        t.Add(TDialogTemplate::kButton, L"State", -1, BS_GROUPBOX, 7, 38, kWidth - 14, 74);
        t.Add(TDialogTemplate::kStatic, L"", kStateTextId, SS_LEFT | SS_NOPREFIX, 14, 50, kWidth - 28, 40);
        t.Add(TDialogTemplate::kButton, L"&Start again", kStartOverButtonId, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 14,
              93, 60, 14);
        t.Add(TDialogTemplate::kStatic, L"", kMessageTextId, SS_LEFT | SS_NOPREFIX, 7, 116, kWidth - 14, 12);
        t.AddOkCancel(kWidth, kButtonsTop);
        return t;
    }

    INT_PTR Handle(HWND dialog, UINT msg, WPARAM wParam) override {
        switch (msg) {
            case WM_INITDIALOG:
                SetDlgItemTextW(dialog, kReceiverEditId, dcd::WideFromAnsi(m_receiver).c_str());
                Refresh(dialog);
                SetTimer(dialog, kRefreshTimer, kRefreshMs, nullptr);
                return TRUE;
            case WM_TIMER:
                Refresh(dialog);
                return TRUE;
            case WM_COMMAND:
                switch (LOWORD(wParam)) {
                    case IDOK:
                        if (Save(dialog)) {
                            EndDialog(dialog, IDOK);
                        }
                        return TRUE;
                    case IDCANCEL:
                        EndDialog(dialog, IDCANCEL);
                        return TRUE;
                    case kBrowseButtonId:
                        Browse(dialog);
                        return TRUE;
                    case kStartOverButtonId:
                        if (Save(dialog)) {
                            m_calls.StartOver(m_receiver);
                            Refresh(dialog);
                        }
                        return TRUE;
                    default:
                        return FALSE;
                }
            case WM_DESTROY:
                KillTimer(dialog, kRefreshTimer);
                return FALSE;
            default:
                return FALSE;
        }
    }

    void Refresh(HWND dialog) const {
        const std::wstring state = m_calls.StateText();
        if (ItemText(dialog, kStateTextId) != state) {
            SetDlgItemTextW(dialog, kStateTextId, state.c_str());
        }
    }

    // The typed receiver saved; a new one runs at once.
    bool Save(HWND dialog) {
        std::string typed = dcd::AnsiFromWide(ItemText(dialog, kReceiverEditId));
        while (!typed.empty() && typed.back() == ' ') {
            typed.pop_back();
        }
        if (typed.empty()) {
            RejectItem(dialog, kMessageTextId, kReceiverEditId, L"Choose the receiver plug-in the guard runs.");
            return false;
        }
        if (!m_calls.Save(typed)) {
            SetDlgItemTextW(dialog, kMessageTextId, L"The guard's settings could not be saved.");
            return false;
        }
        const bool changed = typed != m_receiver;
        m_receiver = typed;
        if (changed) {
            m_calls.StartOver(m_receiver);
        }
        return true;
    }

    void Browse(HWND dialog) {
        std::wstring file(MAX_PATH, L'\0');
        const std::wstring folder = dcd::WideFromAnsi(m_folder);
        OPENFILENAMEW open{};
        open.lStructSize = sizeof open;
        open.hwndOwner = dialog;
        open.lpstrFilter = L"Receiver plug-ins (*.dll)\0*.dll\0";
        open.lpstrFile = file.data();
        open.nMaxFile = static_cast<DWORD>(file.size());
        open.lpstrInitialDir = folder.c_str();
        open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&open)) {
            return;
        }
        file.resize(wcslen(file.c_str()));
        // Below the guard's folder: kept relative, so the folder can move.
        if (file.size() > folder.size() && _wcsnicmp(file.c_str(), folder.c_str(), folder.size()) == 0) {
            file.erase(0, folder.size());
        }
        SetDlgItemTextW(dialog, kReceiverEditId, file.c_str());
    }

    std::string m_receiver;
    std::string m_folder;
    const TGuardDialogCalls& m_calls;
};

}  // namespace

void ShowGuardDialog(HINSTANCE module,
                     HWND owner,
                     const std::string& receiver,
                     const std::string& folder,
                     const TGuardDialogCalls& calls) {
    TGuardDialog dialog(receiver, folder, calls);
    dialog.Show(module, owner);
}

}  // namespace zaprelay::guard
