// The system's file dialogs as components: a layout sets the filter, folder and options, and
// Execute shows the dialog and keeps the chosen file names.
#pragma once

#include "framework/rtl/component.h"
#include "framework/rtl/string_list.h"
#include "framework/win32/platform.h"

#include <commdlg.h>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::win32 {

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
};
using TOpenOptions = uint32_t;  // bit n = TOpenOption n
extern const TEnumInfo kOpenOptionNames;

inline constexpr TOpenOptions OpenOption(TOpenOption option) {
    return TOpenOptions{1} << option;
}

// Characters of the file-name buffer handed to the dialog, the terminating zero included:
// room for the longest path the system takes, or for many names with multi-select.
inline constexpr std::size_t kFileNameBufferLength = 32768;
inline constexpr std::size_t kMultiSelectBufferLength = 65536;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Without the leading dot ("txt"); the dialog appends it to a typed name that has none.
    const std::u16string& DefaultExt() const { return m_defaultExt; }
    void SetDefaultExt(const std::u16string& value) { m_defaultExt = value; }
    // The full path chosen by the last Execute that returned true; else the initial name.
    const std::u16string& FileName() const { return m_fileName; }
    void SetFileName(const std::u16string& value) { m_fileName = value; }
    // Pairs "description|pattern" joined by '|': "Programs|*.EXE|All files|*.*". A pattern
    // may list several masks separated by ';'.
    const std::u16string& Filter() const { return m_filter; }
    void SetFilter(const std::u16string& value) { m_filter = value; }
    // 1-based index of the filter pair shown first; Execute stores the one the user left.
    int32_t FilterIndex() const { return m_filterIndex; }
    void SetFilterIndex(int32_t value) { m_filterIndex = value; }
    const std::u16string& InitialDir() const { return m_initialDir; }
    void SetInitialDir(const std::u16string& value) { m_initialDir = value; }
    TOpenOptions Options() const { return m_options; }
    void SetOptions(TOpenOptions value) { m_options = value; }
    // The dialog's caption; empty for the system's ("Open", "Save As").
    const std::u16string& Title() const { return m_title; }
    void SetTitle(const std::u16string& value) { m_title = value; }

    // The full paths chosen by the last successful Execute (one, or several with
    // ofAllowMultiSelect); FileName is the first.
    TStrings* Files() { return &m_files; }

    // Shows the dialog, owned by the active window (or the application window), and waits.
    // OK: FileName, Files, FilterIndex and the ofReadOnly and ofExtensionDifferent options
    // take the user's choice, and the result is true. Cancel: false, and nothing changes.
    // Raises EInvalidOperation, changing nothing, when FileName does not fit the buffer
    // ("File name is too long", before any dialog shows) or the dialog itself fails ("The
    // file dialog failed (error N)", N from CommDlgExtendedError), rather than passing a
    // failure off as a cancel.
    virtual bool Execute();

protected:
    // GetOpenFileNameW here; the save dialog overrides it.
    virtual bool RunDialog(OPENFILENAMEW& ofn);

private:
    std::u16string m_defaultExt;
    std::u16string m_fileName;
    std::u16string m_filter;
    int32_t m_filterIndex = 1;
    std::u16string m_initialDir;
    TOpenOptions m_options = OpenOption(ofHideReadOnly) | OpenOption(ofEnableSizing);
    std::u16string m_title;
    TStringList m_files;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

protected:
    bool RunDialog(OPENFILENAMEW& ofn) override;
};

// The filter text in the system's form: each '|' a zero, two zeros at the end. A trailing
// description without a pattern is dropped. Empty for an empty filter.
std::u16string SystemFilter(const std::u16string& filter);

// The full paths in the buffer a dialog filled: one path, or with multi-select the folder
// followed by the names in it (zero-separated in explorer style, space-separated in the old
// style). Nothing past the buffer's end is read.
std::vector<std::u16string> SplitSelectedFiles(std::u16string_view buffer, bool multiSelect, bool explorerStyle);

}  // namespace zaprelay::win32
