// The file dialogs driven as a person would: keys typed by xdotool on the X display into the
// dialog that Execute shows, the names in its list read back from the dialog itself.
#include "framework/win32/dialogs.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/win32/application.h"
#include "framework/win32/timer.h"
#include "tests/win32/test_support.h"
#include "tests/win32/x_keys.h"

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::win32 {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

std::u16string Wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

void CreateEmptyFile(const std::u16string& path) {
    HANDLE file = CreateFileW(WidePtr(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

BOOL CALLBACK FindFileDialog(HWND window, LPARAM found) {
    wchar_t name[16];
    if (IsWindowVisible(window) && GetClassNameW(window, name, 16) && std::wstring(name) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindListView(HWND window, LPARAM found) {
    wchar_t name[32];
    if (GetClassNameW(window, name, 32) && std::wstring(name) == WC_LISTVIEWW) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the dialog's own message loop (a timer of the thread that called Execute).
// Once the dialog shows its files and the name box has the focus, it notes the listed names,
// types the text and, when the box shows it, presses the last key. Should a key go astray,
// text that does not show is typed again and the last key pressed again while the dialog
// stays. A dialog still open half a minute after it showed is cancelled, so a failure cannot
// hang the run.
class DialogDriver {
public:
    DialogDriver(std::string text, std::string lastKey) : m_text(std::move(text)), m_lastKey(std::move(lastKey)) {
        m_timer.SetInterval(50);
        m_timer.SetOnTimer([this](TObject*) { Poll(); });
    }

    bool SawDialog() const { return m_dialog != nullptr; }
    bool Done() const { return m_done; }
    bool GaveUp() const { return m_gaveUp; }
    const std::vector<std::string>& Listed() const { return m_listed; }

private:
    enum Stage { Waiting, Typing, Finished };

    void Poll() {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindFileDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr) {
            return;
        }
        m_dialog = dialog;
        if (++m_polls > 600) {
            m_gaveUp = true;
            m_timer.SetEnabled(false);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        switch (m_stage) {
            case Waiting:
                Start(dialog);
                break;
            case Typing:
                Check();
                break;
            case Finished:
                // The dialog is still open: the key was lost while it settled.
                if (m_polls - m_keyAt > 40) {
                    Finish();
                }
                break;
        }
    }

    void Start(HWND dialog) {
        HWND list = nullptr;
        EnumChildWindows(dialog, FindListView, reinterpret_cast<LPARAM>(&list));
        int count = list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        wchar_t focusClass[16] = L"";
        HWND focus = GetFocus();
        GetClassNameW(focus, focusClass, 16);
        bool nameBoxFocused = focus != nullptr && IsChild(dialog, focus) && std::wstring(focusClass) == L"Edit";
        // A busy machine can take seconds to list the folder; keys pressed before the dialog
        // has settled can bring Wine's dialog down with the test program.
        if ((count == 0 || !nameBoxFocused) && m_polls < 200) {
            return;  // still reading the folder or placing the focus
        }
        for (int i = 0; i < count; ++i) {
            wchar_t text[MAX_PATH] = L"";
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            m_listed.push_back(Narrow(reinterpret_cast<const char16_t*>(text)));
        }
        m_nameBox = focus;
        if (m_text.empty()) {
            Finish();
        } else {
            Keys("End shift+Home BackSpace " + test::KeysFor(m_text));
            m_stage = Typing;
            m_typedAt = m_polls;
        }
    }

    void Check() {
        wchar_t shown[MAX_PATH] = L"";
        GetWindowTextW(m_nameBox, shown, MAX_PATH);
        if (Narrow(reinterpret_cast<const char16_t*>(shown)) == m_text) {
            Finish();
        } else if (m_polls - m_typedAt > 40) {
            Keys("End shift+Home BackSpace " + test::KeysFor(m_text));
            m_typedAt = m_polls;
        }
    }

    void Finish() {
        Keys(m_lastKey);
        m_keyAt = m_polls;
        m_stage = Finished;
        m_done = true;
    }

    void Keys(const std::string& keys) {
        if (!test::TypeKeys(m_dialog, keys)) {
            ADD_FAILURE() << "xdotool could not be started";
            m_polls = 600;
        }
    }

    std::string m_text;
    std::string m_lastKey;
    TTimer m_timer{nullptr};
    HWND m_dialog = nullptr;
    HWND m_nameBox = nullptr;
    Stage m_stage = Waiting;
    int m_polls = 0;
    int m_typedAt = 0;
    int m_keyAt = 0;
    bool m_done = false;
    bool m_gaveUp = false;
    std::vector<std::string> m_listed;
};

class FileDialogTest : public ::testing::Test {
protected:
    FileDialogTest() {
        app.OnException = [](TObject*, const std::exception& error) { ADD_FAILURE() << error.what(); };
        for (const char* name : {"pick.exe", "second.EXE", "other.txt"}) {
            CreateEmptyFile(folder + Wide(name));
        }
    }

    TApplication app;
    test::ScratchFolder scratch;
    std::u16string folder = Wide(scratch.Path());
};

TEST_F(FileDialogTest, TypedNameAndEnterGiveTheFullPathAndTheListHoldsOnlyFilterMatches) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(folder);
    dialog.SetFilter(u"EXE|*.EXE");
    dialog.SetOptions(dialog.Options() | OpenOption(ofFileMustExist));
    DialogDriver driver("pick.exe", "Return");

    ASSERT_TRUE(dialog.Execute());
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_EQ(Narrow(dialog.FileName()), Narrow(folder + u"pick.exe"));
    EXPECT_EQ(Narrow(dialog.Files()->Text()), Narrow(folder + u"pick.exe"));
    EXPECT_EQ(dialog.FilterIndex(), 1);
    // Both spellings of the extension match; the text file is not offered.
    EXPECT_THAT(driver.Listed(), UnorderedElementsAre("pick.exe", "second.EXE"));
}

TEST_F(FileDialogTest, EscapeCancelsAndKeepsTheFileName) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(folder);
    dialog.SetFileName(folder + u"earlier.exe");
    DialogDriver driver("", "Escape");

    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_EQ(Narrow(dialog.FileName()), Narrow(folder + u"earlier.exe"));
    EXPECT_EQ(dialog.Files()->Count(), 0);
}

TEST_F(FileDialogTest, MultiSelectFillsFilesWithFullPaths) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(folder);
    dialog.SetFilter(u"Programs|*.exe|All files|*.*");
    dialog.SetOptions(dialog.Options() | OpenOption(ofAllowMultiSelect));
    DialogDriver driver("\"pick.exe\" \"other.txt\"", "Return");

    ASSERT_TRUE(dialog.Execute());
    std::vector<std::string> files;
    for (int i = 0; i < dialog.Files()->Count(); ++i) {
        files.push_back(Narrow(dialog.Files()->Get(i)));
    }
    EXPECT_THAT(files, UnorderedElementsAre(Narrow(folder + u"pick.exe"), Narrow(folder + u"other.txt")));
    EXPECT_EQ(Narrow(dialog.FileName()), files.front());
}

TEST_F(FileDialogTest, InitialNameOutsideTheAnsiCodePageComesBackWhole) {
    const std::u16string name = folder + u"\u0444\u0430\u0439\u043b.exe";
    CreateEmptyFile(name);
    TOpenDialog dialog(nullptr);
    dialog.SetFileName(name);
    DialogDriver driver("", "Return");

    bool chosen = dialog.Execute();
    DeleteFileW(WidePtr(name));  // the scratch folder removes ANSI names only
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(dialog.FileName() == name) << Narrow(dialog.FileName());
}

TEST_F(FileDialogTest, SaveDialogAddsTheDefaultExtensionToANewName) {
    TSaveDialog dialog(nullptr);
    dialog.SetInitialDir(folder);
    dialog.SetDefaultExt(u".exe");
    dialog.SetFilter(u"EXE|*.EXE");
    DialogDriver driver("fresh", "Return");

    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Narrow(dialog.FileName()), Narrow(folder + u"fresh.exe"));
}

TEST_F(FileDialogTest, FileNameLongerThanTheBufferIsRefusedBeforeAnyDialogShows) {
    TOpenDialog dialog(nullptr);
    const std::u16string tooLong = folder + std::u16string(kFileNameBufferLength, u'a');
    dialog.SetFileName(tooLong);
    DialogDriver driver("", "Escape");

    EXPECT_THROW(dialog.Execute(), EInvalidOperation);
    EXPECT_FALSE(driver.SawDialog());
    EXPECT_TRUE(dialog.FileName() == tooLong);

    // The longest name that fits still shows the dialog.
    dialog.SetFileName(std::u16string(kFileNameBufferLength - 1, u'a'));
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(driver.SawDialog());
    EXPECT_FALSE(driver.GaveUp());
}

TEST(FileDialogFilter, PairsBecomeTheSystemListAndBrokenPairsCannotHideTheRest) {
    using namespace std::string_literals;
    EXPECT_EQ(SystemFilter(u"EXE|*.EXE|All|*.*"), u"EXE\0*.EXE\0All\0*.*\0\0"s);
    EXPECT_EQ(SystemFilter(u"|*.txt|Text|*.txt;*.log"), u"*.txt\0*.txt\0Text\0*.txt;*.log\0\0"s);
    EXPECT_EQ(SystemFilter(u"Empty||EXE|*.exe"), u"EXE\0*.exe\0\0"s);
    EXPECT_EQ(SystemFilter(u"EXE|*.exe|Dangling"), u"EXE\0*.exe\0\0"s);
    EXPECT_EQ(SystemFilter(u""), u"");
}

TEST(FileDialogResult, BufferSplitsIntoFullPathsWithinItsLength) {
    using namespace std::string_literals;
    EXPECT_THAT(SplitSelectedFiles(u"C:\\dir\\a b.exe\0\0"s, false, true), ElementsAre(u"C:\\dir\\a b.exe"));
    EXPECT_THAT(SplitSelectedFiles(u"C:\\dir\\a b.exe\0\0"s, false, false), ElementsAre(u"C:\\dir\\a b.exe"));
    EXPECT_THAT(SplitSelectedFiles(u"C:\\dir\\one.exe\0\0"s, true, true), ElementsAre(u"C:\\dir\\one.exe"));
    EXPECT_THAT(SplitSelectedFiles(u"C:\\dir\0a.exe\0b.exe\0\0"s, true, true),
                ElementsAre(u"C:\\dir\\a.exe", u"C:\\dir\\b.exe"));
    EXPECT_THAT(SplitSelectedFiles(u"C:\\\0a.exe\0\0"s, true, true), ElementsAre(u"C:\\a.exe"));
    EXPECT_THAT(SplitSelectedFiles(u"C:\\DIR A.EXE  B.EXE\0"s, true, false),
                ElementsAre(u"C:\\DIR\\A.EXE", u"C:\\DIR\\B.EXE"));
    // A buffer filled to its end without a terminator.
    EXPECT_THAT(SplitSelectedFiles(u"C:\\d\0x"s, true, true), ElementsAre(u"C:\\d\\x"));
    EXPECT_THAT(SplitSelectedFiles(u"C:\\full"s, false, true), ElementsAre(u"C:\\full"));
    EXPECT_TRUE(SplitSelectedFiles(u"\0\0"s, true, true).empty());
}

TEST(FileDialogLayout, OptionsAndTextsReadFromALayoutAndOnlyChangesAreWritten) {
    std::vector<uint8_t> layout = TextToBinary(
        "object Open1: TOpenDialog\r\n"
        "  DefaultExt = 'exe'\r\n"
        "  Filter = 'EXE|*.EXE'\r\n"
        "  FilterIndex = 2\r\n"
        "  Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]\r\n"
        "  Title = 'Choose the viewer'\r\n"
        "end\r\n");
    TOpenDialog dialog(nullptr);
    TBytesStream in(layout);
    ReadObjectStream(in, dialog);
    EXPECT_TRUE(dialog.Filter() == u"EXE|*.EXE");
    EXPECT_EQ(dialog.FilterIndex(), 2);
    EXPECT_EQ(dialog.Options(), OpenOption(ofHideReadOnly) | OpenOption(ofFileMustExist) | OpenOption(ofEnableSizing));
    EXPECT_TRUE(dialog.Title() == u"Choose the viewer");

    TOpenDialog fresh(nullptr);
    TMemoryStream out;
    WriteObjectStream(out, fresh);
    std::string text = BinaryToText(out.Bytes());
    EXPECT_EQ(text.find("Options"), std::string::npos) << text;
    EXPECT_EQ(text.find("FilterIndex"), std::string::npos) << text;
}

}  // namespace
}  // namespace zaprelay::win32
