#include "plugins/virtual_remote/settings_dialog.h"

#include "plugins/kit/dialog_template.h"
#include "plugins/kit/ini_text.h"
#include "plugins/kit/modal_dialog.h"

#include <optional>
#include <string>

namespace zaprelay::remote {
namespace {

using dcd::TDialogTemplate;
using dcd::Widen;

class TRemoteSettingsDialog final : public dcd::TPluginSettingsDialog<TRemoteSettings> {
public:
    using TPluginSettingsDialog::TPluginSettingsDialog;

private:
    // Dialog units: three columns of check boxes laid out like the remote, the timing below.
    TDialogTemplate Layout() const override {
        constexpr short kWidth = 262, kCheckTop = 20, kCheckPitch = 11, kColumnPitch = 80;
        constexpr short kGroupBottom = kCheckTop + kListRows * kCheckPitch + 4;
        constexpr short kTimingTop = kGroupBottom + 6;
        constexpr short kButtonsTop = kTimingTop + 66;
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
        t.Add(TDialogTemplate::kButton, L"Repeat timing", -1, BS_GROUPBOX | WS_GROUP, 7, kTimingTop, kWidth - 14, 58);
        const std::wstring delayRange = L"ms   (" + Widen(std::to_string(kMinRepeatDelayMs)) + L" to " +
                                        Widen(std::to_string(kMaxRepeatDelayMs)) + L")";
        const std::wstring intervalRange = L"ms   (" + Widen(std::to_string(kMinRepeatIntervalMs)) + L" to " +
                                           Widen(std::to_string(kMaxRepeatIntervalMs)) + L")";
        t.Add(TDialogTemplate::kStatic, L"First repeat after:", -1, SS_LEFT, 16, kTimingTop + 15, 90, 8);
        t.Add(TDialogTemplate::kEdit, L"", kDelayEditId, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP | WS_GROUP, 110,
              kTimingTop + 13, 36, 12);
        t.Add(TDialogTemplate::kStatic, delayRange, -1, SS_LEFT, 151, kTimingTop + 15, 100, 8);
        t.Add(TDialogTemplate::kStatic, L"Then repeat every:", -1, SS_LEFT, 16, kTimingTop + 30, 90, 8);
        t.Add(TDialogTemplate::kEdit, L"", kIntervalEditId, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP | WS_GROUP,
              110, kTimingTop + 28, 36, 12);
        t.Add(TDialogTemplate::kStatic, intervalRange, -1, SS_LEFT, 151, kTimingTop + 30, 100, 8);
        t.Add(TDialogTemplate::kStatic, L"", kMessageTextId, SS_LEFT | SS_NOPREFIX, 16, kTimingTop + 44, kWidth - 32,
              8);
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
        SetDlgItemTextW(dialog, kMessageTextId, L"");
    }

    // The milliseconds in a box; nothing (the box pointed out with its range) when it holds
    // no number from low to high.
    static std::optional<uint32_t> ReadMs(HWND dialog, int id, const wchar_t* what, uint32_t low, uint32_t high) {
        std::optional<std::string> text = dcd::AsciiItemText(dialog, id);
        std::optional<int64_t> value = text ? dcd::ParseWholeNumber(*text) : std::nullopt;
        if (value && *value >= low && *value <= high) {
            return static_cast<uint32_t>(*value);
        }
        RejectItem(dialog, kMessageTextId, id,
                   std::wstring(what) + L" is a number from " + Widen(std::to_string(low)) + L" to " +
                       Widen(std::to_string(high)) + L" (ms).");
        return std::nullopt;
    }

    void Accept(HWND dialog) {
        TRemoteSettings edited = m_settings;
        for (std::size_t i = 0; i < kButtonCount; ++i) {
            edited.Repeats[i] = IsDlgButtonChecked(dialog, kRepeatCheckId + static_cast<int>(i)) == BST_CHECKED;
        }
        std::optional<uint32_t> delay =
            ReadMs(dialog, kDelayEditId, L"The first repeat's delay", kMinRepeatDelayMs, kMaxRepeatDelayMs);
        if (!delay) {
            return;
        }
        std::optional<uint32_t> interval =
            ReadMs(dialog, kIntervalEditId, L"The time between repeats", kMinRepeatIntervalMs, kMaxRepeatIntervalMs);
        if (!interval) {
            return;
        }
        edited.RepeatDelayMs = *delay;
        edited.RepeatIntervalMs = *interval;
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
