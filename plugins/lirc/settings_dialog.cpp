#include "plugins/lirc/settings_dialog.h"

#include "plugins/kit/dialog_template.h"
#include "plugins/kit/modal_dialog.h"
#include "plugins/lirc/connection_probe.h"

#include <optional>
#include <string>

namespace zaprelay::lirc {
namespace {

using dcd::TDialogTemplate;
using dcd::Widen;

constexpr UINT kProbeChanged = WM_APP + 1;

class TLircSettingsDialog final : public dcd::TPluginSettingsDialog<TLircSettings> {
public:
    using TPluginSettingsDialog::TPluginSettingsDialog;

private:
    // Dialog units.
    TDialogTemplate Layout() const override {
        constexpr short kWidth = 250, kGroupTop = 6, kGroupHeight = 100, kButtonsTop = kGroupTop + kGroupHeight + 7;
        TDialogTemplate t(kSettingsDialogTitle,
                          DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, kWidth,
                          kButtonsTop + 21, L"MS Shell Dlg", 8);
        t.Add(TDialogTemplate::kButton, L"LIRC daemon or WinLIRC server", -1, BS_GROUPBOX, 7, kGroupTop, kWidth - 14,
              kGroupHeight);
        t.Add(TDialogTemplate::kStatic, L"&Computer (name or address):", -1, SS_LEFT, 16, kGroupTop + 16, 150, 8);
        t.Add(TDialogTemplate::kEdit, L"", kHostEditId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 16,
              kGroupTop + 27, 160, 12);
        t.Add(TDialogTemplate::kStatic, L"&Port:", -1, SS_LEFT, 184, kGroupTop + 16, 40, 8);
        t.Add(TDialogTemplate::kEdit, L"", kPortEditId, ES_NUMBER | WS_BORDER | WS_TABSTOP | WS_GROUP, 184,
              kGroupTop + 27, 50, 12);
        t.Add(TDialogTemplate::kButton, L"&Test connection", kTestButtonId, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 16,
              kGroupTop + 46, 70, 14);
        t.Add(TDialogTemplate::kStatic, L"", kResultTextId, SS_LEFT | SS_NOPREFIX, 16, kGroupTop + 65, kWidth - 32, 30);
        t.AddFooterButtons(kWidth, kButtonsTop, kDefaultsButtonId);
        return t;
    }

    INT_PTR Handle(HWND dialog, UINT msg, WPARAM wParam) override {
        switch (msg) {
            case WM_INITDIALOG:
                SendDlgItemMessageW(dialog, kHostEditId, EM_LIMITTEXT, kMaxHostLength, 0);
                SendDlgItemMessageW(dialog, kPortEditId, EM_LIMITTEXT, 5, 0);
                Fill(dialog, m_settings);
                return TRUE;
            case kProbeChanged:
                // A notice already queued when the boxes changed is about the old values.
                if (m_probing) {
                    ShowResult(dialog, ProbeReportText(m_probe.TakeReport(), m_probed.Host, m_probed.Port));
                }
                return TRUE;
            case WM_COMMAND:
                return Command(dialog, LOWORD(wParam), HIWORD(wParam));
            case WM_DESTROY:
                m_probe.Stop();
                return FALSE;
            default:
                return FALSE;
        }
    }

    INT_PTR Command(HWND dialog, int id, int code) {
        switch (id) {
            case IDOK:
                Accept(dialog);
                return TRUE;
            case IDCANCEL:
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            case kTestButtonId:
                Test(dialog);
                return TRUE;
            case kDefaultsButtonId: {
                TLircSettings defaults;
                defaults.ReleaseSuffix = m_settings.ReleaseSuffix;
                Fill(dialog, defaults);
                return TRUE;
            }
            case kHostEditId:
            case kPortEditId:
                // A result no longer about what the boxes say is taken away.
                if (code == EN_CHANGE && m_probing) {
                    m_probe.Stop();
                    m_probing = false;
                    ShowResult(dialog, "");
                }
                return TRUE;
            default:
                return FALSE;
        }
    }

    void Fill(HWND dialog, const TLircSettings& settings) {
        SetDlgItemTextW(dialog, kHostEditId, Widen(settings.Host).c_str());
        SetDlgItemInt(dialog, kPortEditId, settings.Port, FALSE);
    }

    static void ShowResult(HWND dialog, const std::string& text) {
        SetDlgItemTextW(dialog, kResultTextId, Widen(text).c_str());
    }

    // The settings the boxes hold; nothing (the reason shown, the box focused) when one is
    // not usable.
    std::optional<TLircSettings> Edited(HWND dialog) {
        TLircSettings edited = m_settings;
        std::optional<std::string> host = dcd::AsciiItemText(dialog, kHostEditId);
        std::optional<std::string> parsed = host ? ParseLircHost(*host) : std::nullopt;
        if (!parsed) {
            RejectItem(dialog, kResultTextId, kHostEditId,
                       L"Enter the name or the address of the computer that runs the server.");
            return std::nullopt;
        }
        std::optional<std::string> portText = dcd::AsciiItemText(dialog, kPortEditId);
        std::optional<uint16_t> port = portText ? ParseLircPort(*portText) : std::nullopt;
        if (!port) {
            RejectItem(dialog, kResultTextId, kPortEditId,
                       L"The port is a number from 1 to 65535 (LIRC and WinLIRC use 8765).");
            return std::nullopt;
        }
        edited.Host = *parsed;
        edited.Port = *port;
        return edited;
    }

    void Test(HWND dialog) {
        std::optional<TLircSettings> edited = Edited(dialog);
        if (!edited) {
            return;
        }
        m_probed = *edited;
        m_probing = true;
        m_probe.Start(dialog, kProbeChanged, m_probed);
        ShowResult(dialog, ProbeReportText(TProbeReport(), m_probed.Host, m_probed.Port));
    }

    void Accept(HWND dialog) {
        std::optional<TLircSettings> edited = Edited(dialog);
        if (!edited) {
            return;
        }
        SaveAndClose(dialog, *edited);
    }

    TConnectionProbe m_probe;
    TLircSettings m_probed;
    bool m_probing = false;
};

}  // namespace

bool ShowSettingsDialog(HINSTANCE module,
                        HWND owner,
                        const TLircSettings& settings,
                        const std::function<bool(const TLircSettings&)>& save) {
    TLircSettingsDialog dialog(settings, save);
    return dialog.Show(module, owner);
}

}  // namespace zaprelay::lirc
