// The shipped installer and uninstaller, run silently as a script or an administrator would,
// in a Wine prefix of their own: what lands where, the installed program reaching the tray, an
// upgrade over learned codes and the uninstall. Also the version every shipped file names.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/screen_pictures.h"
#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/input.h"
#include "tests/win32/test_support.h"
#include "tests/win32/tray_area.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::e2e {
namespace {

constexpr DWORD kInstallerDeadlineMs = 120000;
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zaprelay";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kMissing[] = "<missing>";

std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string StagedFile(const std::string& name) {
    return WindowsPath(ZR_DIST_STAGE) + "\\" + name;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Starts a program in the folder; no process (and a failure) when it cannot be started.
PROCESS_INFORMATION Start(const std::string& commandLine, const std::string& folder) {
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        ADD_FAILURE() << "could not start " << commandLine;
        return {};
    }
    CloseHandle(process.hThread);
    return process;
}

// Runs a program to its end; its exit code, or a failure.
DWORD RunToEnd(const std::string& commandLine, const std::string& folder) {
    win32::TKernelHandle process(Start(commandLine, folder).hProcess);
    DWORD code = ~0u;
    if (!process || WaitForSingleObject(process.Get(), kInstallerDeadlineMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        ADD_FAILURE() << "did not end: " << commandLine;
    } else {
        GetExitCodeProcess(process.Get(), &code);
    }
    return code;
}

// A value of the user's registry; kMissing when the key or the value is absent.
std::string UserValue(const char* key, const char* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return kMissing;
    }
    char value[1024];
    DWORD type = 0;
    DWORD size = sizeof value;
    std::string result = kMissing;
    if (RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
        result = type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(value))
                                   : std::string(value, size > 0 && value[size - 1] == 0 ? size - 1 : size);
    }
    RegCloseKey(opened);
    return result;
}

std::string ShortcutPath() {
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\Zaprelay.lnk";
}

// The names in a folder and below it, folders ending in a separator, sorted.
std::vector<std::string> FilesBelow(const std::string& folder, const std::string& prefix = "") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            names.push_back(prefix + name + "\\");
            for (std::string& inner : FilesBelow(folder, prefix + name + "\\")) {
                names.push_back(std::move(inner));
            }
        } else {
            names.push_back(prefix + name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

class InstallTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_program.Get() != nullptr) {
            TerminateProcess(m_program.Get(), 1);
            WaitForSingleObject(m_program.Get(), 10000);
        }
        // What a failed test leaves must not meet the next one.
        if (Exists(FilePath("uninstall.exe"))) {
            Uninstall("/REMOVESETTINGS");
        }
    }

    // A folder with a blank in its name, as "Program Files" has: every path written must be quoted.
    std::string Folder() const { return m_scratch.Path() + "Remote Tools\\Zaprelay\\"; }
    std::string FilePath(const std::string& name) const { return Folder() + name; }

    DWORD Install(const std::string& options = "") {
        // /D= comes last and unquoted, whatever it holds.
        std::string folder = Folder();
        folder.pop_back();
        return RunToEnd("\"" + WindowsPath(ZR_DIST_SETUP) + "\" /S " + options + " /D=" + folder, m_scratch.Path());
    }

    // The uninstaller copies itself elsewhere and returns at once unless told where it
    // uninstalls from (_?=); run from a copy so that it can remove its own file too.
    DWORD Uninstall(const std::string& options = "") {
        const std::string copy = m_scratch.Path() + "uninstall-copy.exe";
        if (!CopyFileA(FilePath("uninstall.exe").c_str(), copy.c_str(), FALSE)) {
            ADD_FAILURE() << "no uninstaller in " << Folder();
            return ~0u;
        }
        std::string folder = Folder();
        folder.pop_back();
        const DWORD code = RunToEnd("\"" + copy + "\" /S " + options + " _?=" + folder, m_scratch.Path());
        DeleteFileA(copy.c_str());
        return code;
    }

    // Starts the installed program as the Start menu or the Run entry would, elsewhere.
    void StartProgram() {
        const PROCESS_INFORMATION process = Start("\"" + FilePath("zaprelay.exe") + "\"", m_scratch.Path());
        m_program.Reset(process.hProcess);
        m_programId = process.dwProcessId;
    }

    bool InTray() const {
        HWND form = MainFormOf(m_programId);
        return form != nullptr && !IsWindowVisible(form) && test::ShellHasIcon(TrayWindowOf(m_programId), kTrayIconId);
    }

    bool ProgramRunning() const { return WaitForSingleObject(m_program.Get(), 0) == WAIT_TIMEOUT; }

    test::ScratchFolder m_scratch;
    win32::TKernelHandle m_program;
    DWORD m_programId = 0;
};

TEST_F(InstallTest, SilentInstallPlacesTheFilesTheReceiverAndTheEntriesAndUninstallKeepsOnlySettings) {
    ASSERT_EQ(Install("/RECEIVER=lirc /HOST=tv-box /PORT=9000 /AUTOSTART=1"), 0u);

    EXPECT_EQ(FilesBelow(Folder()),
              (std::vector<std::string>{"DCD.dll", "LircReceiver.ini", "README.txt", "Zaplink.ini", "receivers\\",
                                        "receivers\\guard\\", "receivers\\guard\\DCD.dll", "receivers\\keys\\",
                                        "receivers\\keys\\DCD.dll", "receivers\\lirc\\", "receivers\\lirc\\DCD.dll",
                                        "receivers\\virtual\\", "receivers\\virtual\\DCD.dll", "uninstall.exe",
                                        "zaprelay-receiver.exe", "zaprelay.exe"}));
    EXPECT_EQ(test::ReadFile(FilePath("DCD.dll")), test::ReadFile(FilePath("receivers\\lirc\\DCD.dll")));
    EXPECT_EQ(test::ReadFile(FilePath("Zaplink.ini")), test::ReadFile(StagedFile("Zaplink.ini")));
    char host[64] = {}, port[16] = {};
    GetPrivateProfileStringA("LircReceiver", "Host", "", host, sizeof host, FilePath("LircReceiver.ini").c_str());
    GetPrivateProfileStringA("LircReceiver", "Port", "", port, sizeof port, FilePath("LircReceiver.ini").c_str());
    EXPECT_STREQ(host, "tv-box");
    EXPECT_STREQ(port, "9000");

    EXPECT_TRUE(Exists(ShortcutPath()));
    EXPECT_EQ(UserValue(kRunKey, "Zaprelay"), "\"" + FilePath("zaprelay.exe") + "\"");
    EXPECT_EQ(UserValue(kUninstallKey, "DisplayName"), "Zaprelay");
    EXPECT_EQ(UserValue(kUninstallKey, "DisplayVersion"), ZR_VERSION);
    EXPECT_EQ(UserValue(kUninstallKey, "QuietUninstallString"), "\"" + FilePath("uninstall.exe") + "\" /S");
    EXPECT_GT(std::stoi(UserValue(kUninstallKey, "EstimatedSize")), 500);

    ASSERT_EQ(Uninstall(), 0u);
    EXPECT_EQ(FilesBelow(Folder()), (std::vector<std::string>{"LircReceiver.ini", "Zaplink.ini"}));
    EXPECT_FALSE(Exists(ShortcutPath()));
    EXPECT_EQ(UserValue(kRunKey, "Zaprelay"), kMissing);
    EXPECT_EQ(UserValue(kUninstallKey, "DisplayName"), kMissing);

    // Asked to, the uninstaller takes the settings and the folder too.
    ASSERT_EQ(Install(), 0u);
    ASSERT_EQ(Uninstall("/REMOVESETTINGS"), 0u);
    EXPECT_FALSE(Exists(Folder()));
}

TEST_F(InstallTest, InstalledProgramReachesTheTrayAndAnUpgradeClosesItAndKeepsLearnedCodes) {
    ASSERT_EQ(Install(), 0u);
    EXPECT_EQ(test::ReadFile(FilePath("DCD.dll")), test::ReadFile(FilePath("receivers\\virtual\\DCD.dll")));
    EXPECT_EQ(UserValue(kRunKey, "Zaprelay"), kMissing);

    // Codes learned for MyTheatre and ProgDvb, a path chosen: the user's, never the installer's.
    test::WriteFile(FilePath("Zaplink.ini"), test::ReadFile(FilePath("Zaplink.ini")) +
                                                 "\r\n[EZ]\r\n0=KEY_VOLUMEUP 0\r\n15= 20df10ef \r\n"
                                                 "[PR]\r\n3=RC5_0x1E\r\n");
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(WaitFor([&] { return InTray() || !ProgramRunning(); }))
        << "the installed program did not reach the tray";
    ASSERT_TRUE(ProgramRunning());
    // Its plug-in was found: the virtual remote shows.
    EXPECT_FALSE(TopLevelWindows(m_programId, L"ZaprelayVirtualRemote").empty());

    // This screen has 144 DPI: the window comes whole onto the screen and looks as it does at
    // 96 (nothing moved, no text cut), its path box apart (empty here). Wine gives the program
    // the system's larger frame metrics, so its window is made taller before the skin takes the
    // frame: the client area has a few more rows of background at its foot.
    POINT icon{};
    ASSERT_TRUE(test::WaitForTrayIcon(TrayWindowOf(m_programId), kTrayIconId, 20000, icon));
    test::DoubleClickAt(icon.x, icon.y);
    HWND form = MainFormOf(m_programId);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(form) != FALSE; })) << "the window did not come back";
    // Once the restore from the tray has come to rest.
    RECT frame{}, desktop{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &desktop, 0);
    EXPECT_TRUE(WaitFor([&] {
        GetWindowRect(form, &frame);
        return frame.left >= desktop.left && frame.top >= desktop.top && frame.right <= desktop.right &&
               frame.bottom <= desktop.bottom;
    }));
    test::MoveMouseTo(2, 2);
    HWND pathBox = nullptr;
    for (HWND window : Descendants(form)) {
        if (ClassOf(window) == L"TEdit" && GetParent(window) == form) {
            pathBox = window;
        }
    }
    ExpectLooksLikeWithTallerClient(form, "main-management", {pathBox});
    const std::string learned = test::ReadFile(FilePath("Zaplink.ini"));
    test::WriteFile(FilePath("README.txt"), "an older version's");

    // The upgrade closes the running program: its files could not be replaced otherwise.
    ASSERT_EQ(Install(), 0u);
    EXPECT_FALSE(ProgramRunning());
    EXPECT_EQ(test::ReadFile(FilePath("Zaplink.ini")), learned);
    EXPECT_EQ(test::ReadFile(FilePath("README.txt")), test::ReadFile(StagedFile("README.txt")));
    EXPECT_EQ(test::ReadFile(FilePath("DCD.dll")), test::ReadFile(FilePath("receivers\\virtual\\DCD.dll")));
}

// The version resource of every shipped binary, as Explorer's properties show it.
TEST(ShippedFilesTest, NameTheProductAndItsVersionAndStaySmall) {
    for (const char* name : {"zaprelay.exe", "DCD.dll", "receivers\\virtual\\DCD.dll", "receivers\\lirc\\DCD.dll",
                             "receivers\\keys\\DCD.dll", "receivers\\guard\\DCD.dll", "zaprelay-receiver.exe"}) {
        SCOPED_TRACE(name);
        const std::string path = StagedFile(name);
        WIN32_FILE_ATTRIBUTE_DATA attributes{};
        ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes));
        EXPECT_LE(attributes.nFileSizeLow, std::string_view(name).ends_with(".exe") ? 1'500'000u : 200'000u);
        DWORD ignored = 0;
        std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
        ASSERT_FALSE(info.empty());
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        auto text = [&](const char* key) {
            char* value = nullptr;
            UINT length = 0;
            const std::string query = std::string("\\StringFileInfo\\040904B0\\") + key;
            return VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && length > 0
                       ? std::string(value)
                       : std::string();
        };
        EXPECT_EQ(text("ProductName"), "Zaprelay");
        EXPECT_EQ(text("ProductVersion"), ZR_VERSION);
        EXPECT_NE(text("FileDescription"), "");
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." +
                      std::to_string(LOWORD(fixed->dwProductVersionMS)) + "." +
                      std::to_string(HIWORD(fixed->dwProductVersionLS)),
                  ZR_VERSION);
    }
}

}  // namespace
}  // namespace zaprelay::e2e
