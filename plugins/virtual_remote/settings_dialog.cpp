#include "plugins/virtual_remote/settings_dialog.h"

#include "plugins/kit/dialog_template.h"
#include "plugins/kit/ini_text.h"
#include "plugins/kit/modal_dialog.h"

#include <string>
#include <vector>

namespace zaprelay::remote {
namespace {

using dcd::TDialogTemplate;
using dcd::Widen;

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

class TRemoteSettingsDialog final : public dcd::TPluginSettingsDialog<TRemoteSettings> {
public:
    using TPluginSettingsDialog::TPluginSettingsDialog;

private:
    // Dialog units: three columns of check boxes laid out like the remote, the timing below.
    TDialogTemplate Layout() const override {
        constexpr short kWidth = 262, kCheckTop = 20, kCheckPitch = 11, kColumnPitch = 80;
        constexpr short kGroupBottom = kCheckTop + kListRows * kCheckPitch + 4;
        constexpr short kTimingTop = kGroupBottom + 6;
        constexpr short kButtonsTop = kTimingTop + 54;
        TDialogTemplate t(kSettingsDialogTitle,
                          DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, kWidth,
                          kButtonsTop + 21, L"MS Shell Dlg", 8);
        t.Add(TDialogTemplate::kButton, L"Buttons that repeat while held down", -1, BS_GROUPBOX, 7, 6, kWidth - 14,
              kGroupBottom - 6);
        bool first = true;
        for (std::size_t place = 0; place < SettingsListPlaces().size(); ++place) {
            const int button = SettingsListPlaces()[place];
            if (button < 0) {
                continue;
            }
            DWORD style = BS_AUTOCHECKBOX | (first ? WS_GROUP | WS_TABSTOP : 0);
            first = false;
            t.Add(TDialogTemplate::kButton, Widen(RemoteButtons()[static_cast<std::size_t>(button)].Description),
                  kRepeatCheckId + button, style, static_cast<short>(16 + (place / kListRows) * kColumnPitch),
                  static_cast<short>(kCheckTop + (place % kListRows) * kCheckPitch), 72, 10);
        }
        t.Add(TDialogTemplate::kButton, L"Repeat timing", -1, BS_GROUPBOX | WS_GROUP, 7, kTimingTop, kWidth - 14, 46);
        const std::wstring delayRange =
            L"ms   (" + std::to_wstring(kMinRepeatDelayMs) + L" to " + std::to_wstring(kMaxRepeatDelayMs) + L")";
        const std::wstring intervalRange =
            L"ms   (" + std::to_wstring(kMinRepeatIntervalMs) + L" to " + std::to_wstring(kMaxRepeatIntervalMs) + L")";
        t.Add(TDialogTemplate::kStatic, L"First repeat after:", -1, SS_LEFT, 16, kTimingTop + 15, 90, 8);
        t.Add(TDialogTemplate::kEdit, L"", kDelayEditId, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP | WS_GROUP, 110,
              kTimingTop + 13, 36, 12);
        t.Add(TDialogTemplate::kStatic, delayRange, -1, SS_LEFT, 151, kTimingTop + 15, 100, 8);
        t.Add(TDialogTemplate::kStatic, L"Then repeat every:", -1, SS_LEFT, 16, kTimingTop + 30, 90, 8);
        t.Add(TDialogTemplate::kEdit, L"", kIntervalEditId, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP | WS_GROUP,
              110, kTimingTop + 28, 36, 12);
        t.Add(TDialogTemplate::kStatic, intervalRange, -1, SS_LEFT, 151, kTimingTop + 30, 100, 8);
        t.AddFooterButtons(kWidth, kButtonsTop, kDefaultsButtonId);
        return t;
    }

    INT_PTR Handle(HWND dialog, UINT msg, WPARAM wParam) override {
        switch (msg) {
            case WM_INITDIALOG:
                for (int id : {kDelayEditId, kIntervalEditId}) {
                    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, 6, 0);
                }
                Fill(dialog, m_settings);
                return TRUE;
            case WM_COMMAND:
                switch (LOWORD(wParam)) {
                    case IDOK:
                        Accept(dialog);
                        return TRUE;
                    case IDCANCEL:
                        EndDialog(dialog, IDCANCEL);
                        return TRUE;
                    case kDefaultsButtonId: {
                        TRemoteSettings defaults = DefaultRemoteSettings();
                        defaults.UnknownRepeating = m_settings.UnknownRepeating;
                        Fill(dialog, defaults);
                        return TRUE;
                    }
                    default:
                        return FALSE;
                }
            default:
                return FALSE;
        }
    }

    static void Fill(HWND dialog, const TRemoteSettings& settings) {
        for (std::size_t i = 0; i < kButtonCount; ++i) {
            CheckDlgButton(dialog, kRepeatCheckId + static_cast<int>(i),
                           settings.Repeats[i] ? BST_CHECKED : BST_UNCHECKED);
        }
        SetDlgItemInt(dialog, kDelayEditId, settings.RepeatDelayMs, FALSE);
        SetDlgItemInt(dialog, kIntervalEditId, settings.RepeatIntervalMs, FALSE);
    }

    // A box left empty or holding no number keeps the value it had.
    static uint32_t ReadNumber(HWND dialog, int id, uint32_t previous, uint32_t (*clamp)(int64_t)) {
        wchar_t text[32] = {};
        GetDlgItemTextW(dialog, id, text, 32);
        auto value = dcd::ParseWholeNumber(Narrow(text));
        return value ? clamp(*value) : previous;
    }

    void Accept(HWND dialog) {
        TRemoteSettings edited = m_settings;
        for (std::size_t i = 0; i < kButtonCount; ++i) {
            edited.Repeats[i] = IsDlgButtonChecked(dialog, kRepeatCheckId + static_cast<int>(i)) == BST_CHECKED;
        }
        edited.RepeatDelayMs = ReadNumber(dialog, kDelayEditId, m_settings.RepeatDelayMs, &ClampRepeatDelay);
        edited.RepeatIntervalMs =
            ReadNumber(dialog, kIntervalEditId, m_settings.RepeatIntervalMs, &ClampRepeatInterval);
        // What is kept is what the boxes show.
        SetDlgItemInt(dialog, kDelayEditId, edited.RepeatDelayMs, FALSE);
        SetDlgItemInt(dialog, kIntervalEditId, edited.RepeatIntervalMs, FALSE);
        SaveAndClose(dialog, edited);
    }
};

}  // namespace

bool ShowSettingsDialog(HINSTANCE module,
                        HWND owner,
                        const TRemoteSettings& settings,
                        const std::function<bool(const TRemoteSettings&)>& save) {
    TRemoteSettingsDialog dialog(settings, save);
    return dialog.Show(module, owner);
}

}  // namespace zaprelay::remote
