// The fixture of the end-to-end tests: zaprelay.exe copied into a scratch folder with the
// scripted plug-in and the stand-in viewer, started as a process of its own, its windows
// found, the plug-in's gates signalled and the files it leaves read back.
#pragma once

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"
#include "skin/objects/skin_messages.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::e2e {

// The main window's tray icon: the first (and only) icon of its frame component, and the
// message the shell sends about it.
inline constexpr UINT kTrayIconId = 1;
inline constexpr UINT kTrayNotify = skin::VXM_TRAYNOTIFY;

// The main window's controls, found by class and caption (or by their place in the groups).
struct MainWindow {
    HWND Form = nullptr;
    HWND List = nullptr;         // the command list
    HWND ListGroup = nullptr;    // " Command List (...)"
    HWND LearnGroup = nullptr;   // the code box with its buttons
    HWND CodeBox = nullptr;      // the learned or received code
    HWND DeleteCode = nullptr;   // "Delete DCD Code ..."
    HWND PluginSetup = nullptr;  // "DCD PlugIn settings ..."
    HWND PathBox = nullptr;      // the viewer's executable
    HWND Browse = nullptr;       // "..."
    HWND ModeGroup = nullptr;
    HWND Options = nullptr;     // b1
    HWND Management = nullptr;  // b2
    HWND ViewerGroup = nullptr;
    HWND ProgDvb = nullptr;    // b3
    HWND MyTheatre = nullptr;  // b4
};

// The values of a text's lines starting with prefix, prefix removed.
std::vector<std::string> Tagged(const std::string& text, const std::string& prefix);

class ZaprelayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string FilePath(const std::string& name) const { return m_folder.Path() + name; }
    std::string SettingsPath() const { return FilePath("Zaplink.ini"); }
    std::string ViewerPath() const { return FilePath("fakeviewer.exe"); }

    // Puts a plug-in from the build's binary folder (a path below it) beside the program;
    // an empty name leaves none there.
    void UsePlugin(const std::string& builtPlugin);
    // Puts the guard and its host beside the program, running the built receiver (a path below
    // the build's binary folder) from the folder "receiver".
    void UseGuard(const std::string& builtReceiver);
    // The guard's host process running now; 0 when none.
    DWORD HostProcessId() const;
    // The process the receiver runs in: the program's, or the guard's host.
    DWORD ReceiverProcessId() const { return m_guarded ? HostProcessId() : ProcessId(); }
    // The process whose scripted plug-in plays the script.
    DWORD GateProcessId() const { return ReceiverProcessId(); }
    // Puts another build of the program from the build's binary folder in zaprelay.exe's place.
    void UseProgram(const std::string& builtProgram);
    void WriteSettings(const std::string& text) const;
    void WriteScript(const std::string& text) const;
    std::string SettingsBytes() const { return test::ReadFile(SettingsPath()); }
    bool SettingsExist() const;
    // A value of the settings file as the program reads it; kMissing when the key is absent.
    static constexpr char kMissing[] = "<missing>";
    std::string Setting(const std::string& section, const std::string& key) const;

    // Starts the program; Start also waits until the plug-in started and the window, brought
    // back from the tray, shows.
    void Launch(DWORD creationFlags = 0);
    void Resume() { ResumeThread(m_threadHandle.Get()); }
    void Start();
    // Launches and waits until the program sits in the tray, its controls found.
    void StartToTray();
    // The window of the program's frame component that owns its tray icon; none before it exists.
    HWND TrayWindow() const;
    // Waits until the program sits in the tray: its window hidden and its icon added.
    void WaitForTray();
    // Shows the window as a double click on the tray icon does (without the mouse) and waits.
    void ShowFromTray();
    bool Running() const;
    // Waits for the program to end and returns its exit code (a failure when it does not).
    DWORD WaitForExit();
    DWORD ProcessId() const { return m_process.dwProcessId; }
    HANDLE Process() const { return m_processHandle.Get(); }

    // Whether the plug-in beside the program has started; by default, the scripted plug-in's
    // log shows Open and Start. Tests with another plug-in say how theirs shows it.
    virtual bool PluginStarted() const { return Calls().size() >= 2; }

    // The plug-in's log: the calls it received, and its whole text.
    std::vector<std::string> Calls() const;
    std::string PluginLog() const { return test::ReadFile(FilePath("DCD.log")); }
    std::string OpenCall() const;  // the Open call that names the main window
    // The codes the plug-in has delivered so far ("# sent" lines of its log).
    std::size_t SentCount() const { return Tagged(PluginLog(), "# sent ").size(); }

    // Lets the player past a gate line; WaitSent waits until it has delivered the next code.
    void Signal(const std::string& gate);
    void WaitSent();
    // Signal, WaitSent, then the command lines of the viewers started meanwhile, in order.
    std::vector<std::string> Step(const std::string& gate);
    // Waits until every viewer the program started has ended, then returns the command lines
    // not returned before.
    std::vector<std::string> NewViewerCommands();
    std::vector<std::string> ViewerExes() const;
    // What a viewer started with an empty command line sees: Wine hands it its quoted path.
    std::string QuotedViewerPath() const { return "\"" + ViewerPath() + "\""; }

    // The tray icon's middle on the screen, once it shows.
    POINT IconCenter() const;
    // A menu the program pops up, once it shows.
    bool WaitForMenu() const;

    // The middles of the caption's close and tray buttons on the screen. Plum shows only these
    // two, side by side: the tray button (23 pixels wide) left of the close button (21).
    struct CaptionButtons {
        POINT Close;
        POINT Tray;
    };
    CaptionButtons FindCaptionButtons() const;

    // Clicks the Options or Management button and waits until the list follows the mode.
    void ChooseMode(HWND button);

    // A dialog box of the program (a message box, the file dialog), or of another process (the
    // guard's host showing its receiver's settings), once one shows.
    HWND WaitForDialog(DWORD processId = 0);
    // Clicks the box's button with this id and waits until the box is gone.
    void ClickDialogButton(HWND box, int id);

    MainWindow m_ui;

private:
    void FindControls();

    test::ScratchFolder m_folder;
    test::ScratchFolder m_elsewhere;  // the program's working folder, apart from its own
    PROCESS_INFORMATION m_process{};
    win32::TKernelHandle m_processHandle;
    win32::TKernelHandle m_threadHandle;
    std::vector<win32::TKernelHandle> m_gates;
    bool m_guarded = false;
    int m_sent = 0;
    std::size_t m_commandsSeen = 0;
};

// A settings-file section from "key=value" lines.
std::string IniSection(const std::string& name, const std::vector<std::string>& lines);
// A command list section: key N holds names[N].
std::string CommandSection(const std::string& name, const std::vector<std::string>& names);
// Row names "<prefix>0" .. "<prefix><count-1>".
std::vector<std::string> NumberedNames(const std::string& prefix, int count);
std::vector<std::wstring> Wide(const std::vector<std::string>& texts);
std::wstring Wide(const std::string& text);

// The program's main window (hidden ones too), and the window of its frame component that owns
// the tray icon; none before they exist.
HWND MainFormOf(DWORD processId);
HWND TrayWindowOf(DWORD processId);

// The names of a receiver's tests run as the program's plug-in (false) and behind the guard.
inline std::string GuardedOrDirect(const ::testing::TestParamInfo<bool>& run) {
    return run.param ? "Guarded" : "Direct";
}

// The viewers' command lines in the stand-in viewer's log from its from-th entry on, in the
// order their processes were made (viewers started close together log in any order).
std::vector<std::string> ViewerCommandsInStartOrder(const std::string& log, std::size_t from = 0);

// The running processes started by parent from an executable of this name.
std::vector<DWORD> ChildProcesses(DWORD parent, const wchar_t* exeName);

// Waits for a condition while the test process keeps its own queue empty.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 20000);

}  // namespace zaprelay::e2e
