// A modal dialog from a template built in code: the dialog manager's calls reach Handle, and
// no exception from it unwinds into the dialog manager.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/kit/dialog_template.h"

#include <functional>
#include <optional>
#include <string>

namespace zaprelay::dcd {

// The text of a dialog's box; nothing when it holds anything outside ASCII, which none of
// the plug-ins' values (numbers, host names) can be.
std::optional<std::string> AsciiItemText(HWND dialog, int id);

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
    // A box that holds no usable value: the message line says why and the box takes the focus
    // with its text selected, as typed, for correcting; the dialog stays open.
    static void RejectItem(HWND dialog, int messageId, int itemId, const std::wstring& why);

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
};

// A plug-in's settings dialog: shown filled from its settings; OK hands the edited ones to
// save and closes only once they are saved.
template <typename TSettings>
class TPluginSettingsDialog : public TModalDialog {
public:
    using TSave = std::function<bool(const TSettings&)>;

    TPluginSettingsDialog(const TSettings& settings, const TSave& save) : m_settings(settings), m_save(save) {}

    // True when the settings were saved, false for Cancel.
    bool Show(HINSTANCE module, HWND owner) { return ShowModal(module, owner, Layout()) == IDOK; }

protected:
    virtual TDialogTemplate Layout() const = 0;
    void SaveAndClose(HWND dialog, const TSettings& edited) const { CloseIfSaved(dialog, m_save(edited)); }

    TSettings m_settings;

private:
    const TSave& m_save;
};

}  // namespace zaprelay::dcd
