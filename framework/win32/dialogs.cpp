#include "framework/win32/dialogs.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/application.h"

#include <algorithm>
#include <iterator>

namespace zaprelay::win32 {

const TEnumInfo kOpenOptionNames = MakeEnumInfo<ofEnableSizing>(
    "TOpenOption",
    {"ofReadOnly",     "ofOverwritePrompt",  "ofHideReadOnly",       "ofNoChangeDir",         "ofShowHelp",
     "ofNoValidate",   "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist",       "ofFileMustExist",
     "ofCreatePrompt", "ofShareAware",       "ofNoReadOnlyReturn",   "ofNoTestFileCreate",    "ofNoNetworkButton",
     "ofNoLongNames",  "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"});

namespace {

constexpr char kFileNameTooLong[] = "File name is too long";
constexpr char kDialogFailed[] = "The file dialog failed (error %d)";

// The dialog flag of each option, by option number; ofOldStyleDialog is the absence of
// OFN_EXPLORER and has none.
constexpr DWORD kOptionFlags[] = {
    OFN_READONLY,
    OFN_OVERWRITEPROMPT,
    OFN_HIDEREADONLY,
    OFN_NOCHANGEDIR,
    OFN_SHOWHELP,
    OFN_NOVALIDATE,
    OFN_ALLOWMULTISELECT,
    OFN_EXTENSIONDIFFERENT,
    OFN_PATHMUSTEXIST,
    OFN_FILEMUSTEXIST,
    OFN_CREATEPROMPT,
    OFN_SHAREAWARE,
    OFN_NOREADONLYRETURN,
    OFN_NOTESTFILECREATE,
    OFN_NONETWORKBUTTON,
    OFN_NOLONGNAMES,
    0,
    OFN_NODEREFERENCELINKS,
    OFN_ENABLEINCLUDENOTIFY,
    OFN_ENABLESIZING,
};
static_assert(std::size(kOptionFlags) == ofEnableSizing + 1, "one flag per option");

DWORD DialogFlags(TOpenOptions options) {
    DWORD flags = 0;
    for (int i = 0; i <= ofEnableSizing; ++i) {
        if (options & OpenOption(static_cast<TOpenOption>(i))) {
            flags |= kOptionFlags[i];
        }
    }
    if (!(options & OpenOption(ofOldStyleDialog))) {
        flags |= OFN_EXPLORER;
    }
    return flags;
}

const wchar_t* OptionalText(const std::u16string& text) {
    return text.empty() ? nullptr : reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
    if (folder.empty() || folder.back() == u'\\' || folder.back() == u'/') {
        return folder + name;
    }
    return folder + u'\\' + name;
}

HWND DialogOwner() {
    HWND owner = GetActiveWindow();
    if (owner == nullptr && Application() != nullptr) {
        owner = Application()->Handle();
    }
    return owner;
}

}  // namespace

std::u16string SystemFilter(const std::u16string& filter) {
    std::vector<std::u16string> parts;
    for (std::size_t start = 0; !filter.empty();) {
        std::size_t bar = filter.find(u'|', start);
        if (bar == std::u16string::npos) {
            parts.push_back(filter.substr(start));
            break;
        }
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::u16string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::u16string& description = parts[i];
        const std::u16string& pattern = parts[i + 1];
        // An empty string would end the system's list early and hide the pairs after it.
        if (pattern.empty()) {
            continue;
        }
        result += description.empty() ? pattern : description;
        result += u'\0';
        result += pattern;
        result += u'\0';
    }
    if (!result.empty()) {
        result += u'\0';
    }
    return result;
}

std::vector<std::u16string> SplitSelectedFiles(std::u16string_view buffer, bool multiSelect, bool explorerStyle) {
    std::vector<std::u16string> items;
    if (!multiSelect || !explorerStyle) {
        // One string; an old-style multiple choice separates its (short) names by spaces.
        std::u16string_view text = buffer.substr(0, buffer.find(u'\0'));
        if (!multiSelect) {
            if (!text.empty()) {
                items.emplace_back(text);
            }
            return items;
        }
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = std::min(text.find(u' ', pos), text.size());
            if (end > pos) {
                items.emplace_back(text.substr(pos, end - pos));
            }
            pos = end + 1;
        }
    } else {
        // Zero-ended strings up to an empty one.
        std::size_t pos = 0;
        while (pos < buffer.size() && buffer[pos] != u'\0') {
            std::size_t end = std::min(buffer.find(u'\0', pos), buffer.size());
            items.emplace_back(buffer.substr(pos, end - pos));
            pos = end + 1;
        }
    }
    // Several strings are the folder, then the names in it.
    if (items.size() <= 1) {
        return items;
    }
    std::vector<std::u16string> paths;
    for (std::size_t i = 1; i < items.size(); ++i) {
        paths.push_back(JoinPath(items[0], items[i]));
    }
    return paths;
}

// ---------------------------------------------------------------- TOpenDialog

const TClassInfo& TOpenDialog::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TOpenDialog, TComponent>("TOpenDialog");
        TClassBuilder<TOpenDialog>(i)
            .WideString("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
            .WideString("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
            .WideString("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
            .Integer("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex, 1)
            .WideString("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
            .Set("Options", kOpenOptionNames, &TOpenDialog::Options, &TOpenDialog::SetOptions,
                 OpenOption(ofHideReadOnly) | OpenOption(ofEnableSizing))
            .WideString("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle)
            .Creatable();
        return i;
    }();
    return info;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenDialog::Execute() {
    const bool multiSelect = (m_options & OpenOption(ofAllowMultiSelect)) != 0;
    const bool explorerStyle = (m_options & OpenOption(ofOldStyleDialog)) == 0;
    std::u16string buffer(multiSelect ? kMultiSelectBufferLength : kFileNameBufferLength, u'\0');
    // The last character stays zero, so the dialog always finds the end of the initial name.
    if (m_fileName.size() >= buffer.size()) {
        throw EInvalidOperation(kFileNameTooLong);
    }
    std::copy(m_fileName.begin(), m_fileName.end(), buffer.begin());

    std::u16string filter = SystemFilter(m_filter);
    std::u16string defaultExt =
        m_defaultExt.substr(std::min(m_defaultExt.find_first_not_of(u'.'), m_defaultExt.size()));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = OptionalText(filter);
    ofn.nFilterIndex = static_cast<DWORD>(std::max(m_filterIndex, 0));
    ofn.lpstrFile = reinterpret_cast<wchar_t*>(buffer.data());
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = OptionalText(m_initialDir);
    ofn.lpstrTitle = OptionalText(m_title);
    ofn.lpstrDefExt = OptionalText(defaultExt);
    ofn.Flags = DialogFlags(m_options);

    if (!RunDialog(ofn)) {
        if (DWORD error = CommDlgExtendedError(); error != 0) {
            throw EInvalidOperation(Format(kDialogFailed, {std::to_string(error)}));
        }
        return false;
    }

    std::vector<std::u16string> names = SplitSelectedFiles(buffer, multiSelect, explorerStyle);
    if (names.empty()) {
        return false;
    }
    m_files.Clear();
    for (const std::u16string& name : names) {
        m_files.Add(name);
    }
    m_fileName = names.front();
    m_filterIndex = static_cast<int32_t>(ofn.nFilterIndex);
    m_options &= ~(OpenOption(ofReadOnly) | OpenOption(ofExtensionDifferent));
    if (ofn.Flags & OFN_READONLY) {
        m_options |= OpenOption(ofReadOnly);
    }
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT) {
        m_options |= OpenOption(ofExtensionDifferent);
    }
    return true;
}

bool TOpenDialog::RunDialog(OPENFILENAMEW& ofn) {
    return GetOpenFileNameW(&ofn) != FALSE;
}

// ---------------------------------------------------------------- TSaveDialog

const TClassInfo& TSaveDialog::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TSaveDialog, TOpenDialog>("TSaveDialog");
        TClassBuilder<TSaveDialog>(i).Creatable();
        return i;
    }();
    return info;
}

TSaveDialog::TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

bool TSaveDialog::RunDialog(OPENFILENAMEW& ofn) {
    return GetSaveFileNameW(&ofn) != FALSE;
}

}  // namespace zaprelay::win32
