#include "tests/e2e/zaprelay_fixture.h"

#include "framework/win32/utility_window.h"
#include "plugins/scripted/code_script.h"
#include "tests/e2e/remote_windows.h"
#include "tests/win32/tray_area.h"

#include <algorithm>
#include <shellapi.h>
#include <tlhelp32.h>

namespace zaprelay::e2e {
namespace {

constexpr DWORD kProgramDeadlineMs = 20000;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// A viewer started by the program is still running (it ends as soon as it has logged).
bool ViewerRunning(DWORD parent) {
    return !ChildProcesses(parent, L"fakeviewer.exe").empty();
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

std::vector<std::string> Tagged(const std::string& text, const std::string& prefix) {
    std::vector<std::string> values;
    for (const std::string& line : Lines(text)) {
        if (line.rfind(prefix, 0) == 0) {
            values.push_back(line.substr(prefix.size()));
        }
    }
    return values;
}

std::string IniSection(const std::string& name, const std::vector<std::string>& lines) {
    std::string text = "[" + name + "]\r\n";
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::string CommandSection(const std::string& name, const std::vector<std::string>& names) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < names.size(); ++i) {
        lines.push_back(std::to_string(i) + "=" + names[i]);
    }
    return IniSection(name, lines);
}

std::vector<std::string> NumberedNames(const std::string& prefix, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(prefix + std::to_string(i));
    }
    return names;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::vector<std::wstring> Wide(const std::vector<std::string>& texts) {
    std::vector<std::wstring> wide;
    for (const std::string& text : texts) {
        wide.push_back(Wide(text));
    }
    return wide;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        test::ProcessPendingMessages();
    }
    return true;
}

namespace {

// The desktop's notification area takes icons: the session's shell starts with the first
// test, and an icon given before it is ready is lost without a word.
bool ShellTakesIcons() {
    static bool ready = false;
    if (ready) {
        return true;
    }
    win32::TUtilityWindow probe([](TMessage& m) { m.Result = 0; }, true);
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = probe.Handle();
    data.uID = 1;
    ready = WaitFor([&] {
        if (Shell_NotifyIconW(NIM_ADD, &data) == FALSE) {
            return false;
        }
        const bool held = test::ShellHasIcon(data.hWnd, data.uID);
        Shell_NotifyIconW(NIM_DELETE, &data);
        return held;
    });
    return ready;
}

}  // namespace

HWND MainFormOf(DWORD processId) {
    const std::vector<HWND> forms = TopLevelWindows(processId, L"TFRM", true);
    return forms.empty() ? nullptr : forms.front();
}

HWND TrayWindowOf(DWORD processId) {
    // The frame component's notification window is the program's only utility window at the
    // top level (the others are message-only).
    const std::vector<HWND> windows = TopLevelWindows(processId, L"ZaprelayUtilityWindow", true);
    return windows.empty() ? nullptr : windows.front();
}

std::vector<DWORD> ChildProcesses(DWORD parent, const wchar_t* exeName) {
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return children;
    }
    win32::TKernelHandle owned(snapshot);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent && lstrcmpiW(entry.szExeFile, exeName) == 0) {
            children.push_back(entry.th32ProcessID);
        }
    }
    return children;
}

void ZaprelayTest::SetUp() {
    ASSERT_TRUE(ShellTakesIcons()) << "the desktop's notification area is not there";
    // The stand-ins must use the files beside them, in the scratch folder.
    for (const char* name : {"ZAPRELAY_DCD_SCRIPT", "ZAPRELAY_DCD_LOG", "ZAPRELAY_VIEWER_LOG"}) {
        SetEnvironmentVariableA(name, nullptr);
    }
    const std::string bin = test::BinaryFolder();
    ASSERT_TRUE(CopyFileA((bin + "zaprelay.exe").c_str(), FilePath("zaprelay.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((bin + "fakeviewer.exe").c_str(), ViewerPath().c_str(), FALSE));
    UsePlugin("scripted\\DCD.dll");
    WriteScript("");
}

void ZaprelayTest::TearDown() {
    if (Running()) {
        TerminateProcess(Process(), 1);
        WaitForSingleObject(Process(), kProgramDeadlineMs);
    }
    if (m_process.dwProcessId != 0) {
        WaitFor([&] { return !ViewerRunning(m_process.dwProcessId); }, kProgramDeadlineMs);
    }
    // The scratch folder cannot remove a read-only file.
    SetFileAttributesA(SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

void ZaprelayTest::UsePlugin(const std::string& builtPlugin) {
    const std::string target = FilePath("DCD.dll");
    DeleteFileA(target.c_str());
    if (!builtPlugin.empty()) {
        ASSERT_TRUE(CopyFileA((test::BinaryFolder() + builtPlugin).c_str(), target.c_str(), FALSE)) << builtPlugin;
    }
}

void ZaprelayTest::UseGuard(const std::string& builtReceiver) {
    m_guarded = true;
    UsePlugin("guard\\DCD.dll");
    const std::string bin = test::BinaryFolder();
    ASSERT_TRUE(
        CopyFileA((bin + "guard\\zaprelay-receiver.exe").c_str(), FilePath("zaprelay-receiver.exe").c_str(), FALSE));
    CreateDirectoryA(FilePath("receiver").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((bin + builtReceiver).c_str(), FilePath("receiver\\DCD.dll").c_str(), FALSE))
        << builtReceiver;
    test::WriteFile(FilePath("guard.ini"), "[Guard]\r\nReceiver=receiver\\DCD.dll\r\n");
    // The scripted receiver keeps its script and log where the tests look, not beside itself.
    SetEnvironmentVariableA("ZAPRELAY_DCD_SCRIPT", FilePath("DCD.script").c_str());
    SetEnvironmentVariableA("ZAPRELAY_DCD_LOG", FilePath("DCD.log").c_str());
}

DWORD ZaprelayTest::HostProcessId() const {
    // The newest, should an ended one still be on its way out.
    DWORD newest = 0;
    ULONGLONG newestMade = 0;
    for (DWORD id : ChildProcesses(ProcessId(), L"zaprelay-receiver.exe")) {
        win32::TKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id));
        FILETIME made{}, unused[3];
        if (process && GetProcessTimes(process.Get(), &made, &unused[0], &unused[1], &unused[2])) {
            const ULONGLONG at = (ULONGLONG{made.dwHighDateTime} << 32) | made.dwLowDateTime;
            if (newest == 0 || at > newestMade) {
                newest = id;
                newestMade = at;
            }
        }
    }
    return newest;
}

void ZaprelayTest::UseProgram(const std::string& builtProgram) {
    ASSERT_TRUE(CopyFileA((test::BinaryFolder() + builtProgram).c_str(), FilePath("zaprelay.exe").c_str(), FALSE))
        << builtProgram;
}

void ZaprelayTest::WriteSettings(const std::string& text) const {
    test::WriteFile(SettingsPath(), text);
}

void ZaprelayTest::WriteScript(const std::string& text) const {
    test::WriteFile(FilePath("DCD.script"), text);
}

bool ZaprelayTest::SettingsExist() const {
    return GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ZaprelayTest::Setting(const std::string& section, const std::string& key) const {
    char value[4096];
    DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, value, sizeof value, SettingsPath().c_str());
    return std::string(value, length);
}

void ZaprelayTest::Launch(DWORD creationFlags) {
    // Each run starts with fresh logs.
    DeleteFileA(FilePath("DCD.log").c_str());
    DeleteFileA(FilePath("fakeviewer.log").c_str());
    m_sent = 0;
    m_commandsSeen = 0;
    const std::string exe = FilePath("zaprelay.exe");
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                               m_elsewhere.Path().c_str(), &startup, &m_process));
    m_processHandle.Reset(m_process.hProcess);
    m_threadHandle.Reset(m_process.hThread);
}

void ZaprelayTest::StartToTray() {
    ASSERT_NO_FATAL_FAILURE(Launch());
    // The window is hidden in the tray soon after it is made: it is looked for hidden too.
    ASSERT_TRUE(WaitFor([&] { return MainFormOf(ProcessId()) != nullptr || !Running(); }));
    ASSERT_TRUE(Running()) << "the program ended at start; plug-in log:\n" << PluginLog();
    m_ui.Form = MainFormOf(ProcessId());
    ASSERT_TRUE(WaitFor([&] { return PluginStarted(); })) << PluginLog();
    ASSERT_NO_FATAL_FAILURE(FindControls());
    ASSERT_NO_FATAL_FAILURE(WaitForTray());
}

void ZaprelayTest::Start() {
    ASSERT_NO_FATAL_FAILURE(StartToTray());
    ASSERT_NO_FATAL_FAILURE(ShowFromTray());
}

HWND ZaprelayTest::TrayWindow() const {
    return TrayWindowOf(ProcessId());
}

void ZaprelayTest::WaitForTray() {
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(m_ui.Form) && test::ShellHasIcon(TrayWindow(), kTrayIconId); }))
        << "the program did not go to the tray: window " << (IsWindowVisible(m_ui.Form) ? "visible" : "hidden")
        << ", tray window " << TrayWindow() << ", icon "
        << (test::ShellHasIcon(TrayWindow(), kTrayIconId) ? "added" : "missing");
}

void ZaprelayTest::ShowFromTray() {
    PostMessageW(TrayWindow(), kTrayNotify, kTrayIconId, WM_LBUTTONDBLCLK);
    // Shown, the icon gone and back in its place on the screen: the restore is complete.
    ASSERT_TRUE(WaitFor([&] {
        RECT r{};
        GetWindowRect(m_ui.Form, &r);
        return IsWindowVisible(m_ui.Form) && !test::ShellHasIcon(TrayWindow(), kTrayIconId) &&
               r.bottom <= GetSystemMetrics(SM_CYSCREEN);
    })) << "the window did not come back: icon "
        << (test::ShellHasIcon(TrayWindow(), kTrayIconId) ? "added" : "gone") << ", "
        << (IsIconic(m_ui.Form) ? "minimized" : "not minimized");
}

void ZaprelayTest::FindControls() {
    MainWindow& ui = m_ui;
    for (HWND window : Descendants(ui.Form)) {
        const std::wstring kind = ClassOf(window);
        const std::wstring text = TextOf(window);
        if (kind == L"TListBox") {
            ui.List = window;
        } else if (kind == L"TButton" && StartsWith(text, L"Delete DCD Code")) {
            ui.DeleteCode = window;
        } else if (kind == L"TButton" && StartsWith(text, L"DCD PlugIn settings")) {
            ui.PluginSetup = window;
        } else if (kind == L"TButton" && text == L"...") {
            ui.Browse = window;
        } else if (kind == L"TVxSkinRadioButton" &&
                   text == L"Options ( \u041d\u0430\u0441\u0442\u0440\u043e\u0439\u043a\u0430)") {
            ui.Options = window;
        } else if (kind == L"TVxSkinRadioButton" &&
                   text == L"Management (\u0423\u043f\u0440\u0430\u0432\u043b\u0435\u043d\u0438\u0435)") {
            ui.Management = window;
        } else if (kind == L"TVxSkinRadioButton" && text == L" ProgDvb") {
            ui.ProgDvb = window;
        } else if (kind == L"TVxSkinRadioButton" && text == L" MyTheatre (EzDvbXL)") {
            ui.MyTheatre = window;
        }
    }
    ASSERT_TRUE(ui.List && ui.DeleteCode && ui.PluginSetup && ui.Browse && ui.Options && ui.Management && ui.ProgDvb &&
                ui.MyTheatre)
        << "a control of the main window is missing";
    ui.ListGroup = GetParent(ui.List);
    ui.LearnGroup = GetParent(ui.DeleteCode);
    ui.ModeGroup = GetParent(ui.Options);
    ui.ViewerGroup = GetParent(ui.ProgDvb);
    for (HWND window : Descendants(ui.Form)) {
        if (ClassOf(window) == L"TEdit") {
            (GetParent(window) == ui.LearnGroup ? ui.CodeBox : ui.PathBox) = window;
        }
    }
    ASSERT_TRUE(ui.CodeBox && ui.PathBox && ui.ListGroup != ui.Form && ui.LearnGroup != ui.Form &&
                ui.ModeGroup != ui.Form && ui.ViewerGroup != ui.Form && GetParent(ui.PathBox) == ui.Form)
        << "the main window's controls are not in their groups";
}

bool ZaprelayTest::Running() const {
    return m_processHandle && WaitForSingleObject(Process(), 0) == WAIT_TIMEOUT;
}

DWORD ZaprelayTest::WaitForExit() {
    DWORD code = STILL_ACTIVE;
    if (!WaitFor([&] { return !Running(); }, kProgramDeadlineMs)) {
        ADD_FAILURE() << "the program did not end";
        return code;
    }
    GetExitCodeProcess(Process(), &code);
    return code;
}

std::vector<std::string> ZaprelayTest::Calls() const {
    std::vector<std::string> calls;
    for (const std::string& line : Lines(PluginLog())) {
        if (!line.empty() && line[0] != '#') {
            calls.push_back(line);
        }
    }
    return calls;
}

std::string ZaprelayTest::OpenCall() const {
    char text[64];
    wsprintfA(text, "Open(0, 0x%08X, 0)", static_cast<unsigned>(reinterpret_cast<uintptr_t>(m_ui.Form)));
    return text;
}

void ZaprelayTest::Signal(const std::string& gate) {
    std::string name = scripted::GateEventName(GateProcessId(), gate);
    win32::TKernelHandle event(CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
    ASSERT_TRUE(event) << name;
    SetEvent(event.Get());
    // Held until the test ends: the player may not have opened the event yet.
    m_gates.push_back(std::move(event));
}

void ZaprelayTest::WaitSent() {
    const std::size_t wanted = static_cast<std::size_t>(++m_sent);
    EXPECT_TRUE(WaitFor([&] { return SentCount() >= wanted; }))
        << "code " << wanted << " was not delivered; plug-in log:\n"
        << PluginLog();
}

std::vector<std::string> ZaprelayTest::Step(const std::string& gate) {
    Signal(gate);
    WaitSent();
    return NewViewerCommands();
}

std::vector<std::string> ViewerCommandsInStartOrder(const std::string& log, std::size_t from) {
    const std::vector<std::string> commands = Tagged(log, "cmd=");
    const std::vector<std::string> made = Tagged(log, "made=");  // one per entry, as cmd=
    std::vector<std::pair<unsigned long long, std::string>> runs;
    for (std::size_t i = from; i < std::min(commands.size(), made.size()); ++i) {
        runs.emplace_back(std::stoull(made[i]), commands[i]);
    }
    std::stable_sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> ordered;
    for (const auto& run : runs) {
        ordered.push_back(run.second);
    }
    return ordered;
}

std::vector<std::string> ZaprelayTest::NewViewerCommands() {
    EXPECT_TRUE(WaitFor([&] { return !ViewerRunning(ProcessId()); })) << "a viewer did not end";
    const std::string log = test::ReadFile(FilePath("fakeviewer.log"));
    std::vector<std::string> fresh = ViewerCommandsInStartOrder(log, m_commandsSeen);
    m_commandsSeen = std::max(m_commandsSeen, Tagged(log, "cmd=").size());
    return fresh;
}

std::vector<std::string> ZaprelayTest::ViewerExes() const {
    return Tagged(test::ReadFile(FilePath("fakeviewer.log")), "exe=");
}

POINT ZaprelayTest::IconCenter() const {
    POINT center{};
    EXPECT_TRUE(test::WaitForTrayIcon(TrayWindow(), kTrayIconId, 20000, center)) << "the tray icon is not shown";
    return center;
}

bool ZaprelayTest::WaitForMenu() const {
    return WaitFor([&] {
        for (HWND window : TopLevelWindows(ProcessId(), L"#32768")) {
            if (IsWindowVisible(window)) {
                return true;
            }
        }
        return false;
    });
}

ZaprelayTest::CaptionButtons ZaprelayTest::FindCaptionButtons() const {
    constexpr LONG kClose = 21;
    constexpr LONG kTray = 23;
    LONG left = 0, right = 0, y = 0;
    EXPECT_TRUE(FindSkinButtons(m_ui.Form, left, right, y)) << "no skin buttons on the caption";
    // Any other button shown would lengthen the run.
    EXPECT_EQ(right - left + 1, kClose + kTray) << "the caption shows other buttons than close and tray";
    return {{right - kClose / 2, y}, {right - kClose - kTray / 2, y}};
}

void ZaprelayTest::ChooseMode(HWND button) {
    Click(button);
    const bool options = button == m_ui.Options;
    ASSERT_TRUE(WaitFor([&] { return (IsWindowEnabled(m_ui.ListGroup) != FALSE) == options; }));
}

HWND ZaprelayTest::WaitForDialog(DWORD processId) {
    std::vector<HWND> found;
    WaitFor([&] {
        found = TopLevelWindows(processId != 0 ? processId : ProcessId(), L"#32770");
        return !found.empty() || !Running();
    });
    return found.empty() ? nullptr : found.front();
}

void ZaprelayTest::ClickDialogButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    Click(button);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); })) << "the dialog stayed";
}

}  // namespace zaprelay::e2e
