#include "plugins/keys/settings_dialog.h"

#include "plugins/kit/dialog_template.h"
#include "plugins/kit/modal_dialog.h"

#include <algorithm>
#include <imm.h>
#include <string>

namespace zaprelay::keys {
namespace {

using dcd::TDialogTemplate;
using dcd::Widen;

// The predefined list box class, which the template builder has no name for.
constexpr auto kListBoxClass = static_cast<TDialogTemplate::TControlClass>(0x0083);
constexpr wchar_t kOwnerProperty[] = L"ZaprelayKeysDialog";
constexpr wchar_t kCapturePrompt[] = L"(click here, then press a key)";

class TKeysSettingsDialog final : public dcd::TPluginSettingsDialog<TKeySettings> {
public:
    using TPluginSettingsDialog::TPluginSettingsDialog;

private:
    // Dialog units. The capture field comes first, so it has the focus when the dialog opens.
    TDialogTemplate Layout() const override {
        constexpr short kWidth = 220, kHeight = 168, kButtonsTop = kHeight - 21;
        TDialogTemplate t(kSettingsDialogTitle,
                          DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, kWidth, kHeight,
                          L"MS Shell Dlg", 8);
        t.Add(TDialogTemplate::kStatic, L"Press a key in this field to add it (Tab leaves it):", -1, SS_LEFT, 7, 7,
              kWidth - 14, 8);
        t.Add(TDialogTemplate::kEdit, kCapturePrompt, kCaptureEditId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 18,
              kWidth - 14, 14);
        t.Add(TDialogTemplate::kStatic, L"Keys reported to the program:", -1, SS_LEFT, 7, 39, 150, 8);
        t.Add(kListBoxClass, L"", kKeyListId, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
              7, 50, 150, 88);
        t.Add(TDialogTemplate::kButton, L"&Remove", kRemoveButtonId, BS_PUSHBUTTON | WS_TABSTOP, kWidth - 57, 50, 50,
              14);
        t.Add(TDialogTemplate::kButton, L"&Defaults", kDefaultsButtonId, BS_PUSHBUTTON | WS_TABSTOP, kWidth - 57, 68,
              50, 14);
        t.AddOkCancel(kWidth, kButtonsTop);
        return t;
    }

    INT_PTR Handle(HWND dialog, UINT msg, WPARAM wParam) override {
        switch (msg) {
            case WM_INITDIALOG:
                m_dialog = dialog;
                Subclass(GetDlgItem(dialog, kCaptureEditId));
                ShowWholeRows(GetDlgItem(dialog, kKeyListId));
                FillList(-1);
                return TRUE;
            case WM_COMMAND:
                switch (LOWORD(wParam)) {
                    case IDOK:
                        SaveAndClose(dialog, m_settings);
                        return TRUE;
                    case IDCANCEL:
                        EndDialog(dialog, IDCANCEL);
                        return TRUE;
                    case kRemoveButtonId:
                        RemoveSelected();
                        return TRUE;
                    case kDefaultsButtonId:
                        m_settings.Keys = DefaultKeys();
                        FillList(-1);
                        return TRUE;
                    default:
                        return FALSE;
                }
            default:
                return FALSE;
        }
    }

    // Trims the list to whole rows of the dialog's font, so no row shows cut in half. Done
    // here, not by the system's integral height, which under Wine trimmed a whole row more.
    static void ShowWholeRows(HWND list) {
        RECT outer{}, client{};
        const auto row = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        if (!GetWindowRect(list, &outer) || !GetClientRect(list, &client) || row <= 0 || client.bottom < row) {
            return;
        }
        SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top - client.bottom % row,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void FillList(int select) {
        HWND list = GetDlgItem(m_dialog, kKeyListId);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (TKey key : m_settings.Keys) {
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(KeyName(key)).c_str()));
        }
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    }

    void RemoveSelected() {
        const LRESULT selected = SendDlgItemMessageW(m_dialog, kKeyListId, LB_GETCURSEL, 0, 0);
        if (selected < 0 || static_cast<std::size_t>(selected) >= m_settings.Keys.size()) {
            return;
        }
        m_settings.Keys.erase(m_settings.Keys.begin() + selected);
        FillList(std::min<int>(static_cast<int>(selected), static_cast<int>(m_settings.Keys.size()) - 1));
    }

    void Capture(TKey key) {
        if (IsModifier(key)) {
            return;
        }
        const bool added = m_settings.Add(key);
        const auto place = std::find(m_settings.Keys.begin(), m_settings.Keys.end(), key) - m_settings.Keys.begin();
        FillList(static_cast<int>(place));
        const std::wstring name = Widen(KeyName(key));
        SetDlgItemTextW(m_dialog, kCaptureEditId, (name + (added ? L" added" : L" is listed already")).c_str());
    }

    // The capture field takes every key but Tab, and types nothing.
    void Subclass(HWND edit) {
        if (edit == nullptr) {
            return;
        }
        // No input method in the field: it would turn letters into VK_PROCESSKEY, a key no
        // press of the remote ever matches.
        ImmAssociateContext(edit, nullptr);
        SetPropW(edit, kOwnerProperty, this);
        m_editProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CaptureProc)));
    }

    static LRESULT CALLBACK CaptureProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<TKeysSettingsDialog*>(GetPropW(edit, kOwnerProperty));
        if (self == nullptr || self->m_editProc == nullptr) {
            return DefWindowProcW(edit, msg, wParam, lParam);
        }
        const WNDPROC previous = self->m_editProc;
        try {
            switch (msg) {
                case WM_GETDLGCODE: {
                    const auto* pending = reinterpret_cast<const MSG*>(lParam);
                    if (pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_TAB) {
                        break;
                    }
                    return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
                }
                case WM_KEYDOWN:
                case WM_SYSKEYDOWN:
                    if (wParam == VK_TAB) {
                        break;
                    }
                    if (wParam > 0 && wParam < 0xFF) {
                        self->Capture(VirtualKey(static_cast<uint8_t>(wParam)));
                    }
                    return 0;
                case WM_KEYUP:
                case WM_SYSKEYUP:
                case WM_CHAR:
                case WM_SYSCHAR:
                case WM_DEADCHAR:
                case WM_SYSDEADCHAR:
                    if (wParam == VK_TAB) {
                        break;
                    }
                    return 0;
                case WM_APPCOMMAND:
                    // Keys that arrive as commands only (a remote's channel buttons).
                    if (auto key = KeyForAppCommand(static_cast<uint16_t>(GET_APPCOMMAND_LPARAM(lParam)))) {
                        self->Capture(*key);
                        return TRUE;
                    }
                    break;
                case WM_NCDESTROY:
                    RemovePropW(edit, kOwnerProperty);
                    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
                    break;
                default:
                    break;
            }
        } catch (...) {
            // The key is not captured; the field goes on.
        }
        return CallWindowProcW(previous, edit, msg, wParam, lParam);
    }

    HWND m_dialog = nullptr;
    WNDPROC m_editProc = nullptr;
};

}  // namespace

bool ShowSettingsDialog(HINSTANCE module,
                        HWND owner,
                        const TKeySettings& settings,
                        const std::function<bool(const TKeySettings&)>& save) {
    TKeysSettingsDialog dialog(settings, save);
    return dialog.Show(module, owner);
}

}  // namespace zaprelay::keys
