#include "app/system_actions.h"

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <vector>

namespace zaprelay::app {

bool RunProgram(const std::string& path, const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;  // 68
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    // The system may write into the command line, so it gets a copy of its own.
    std::vector<char> commandLine(arguments.begin(), arguments.end());
    commandLine.push_back('\0');
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    win32::TKernelHandle thread(process.hThread);
    win32::TKernelHandle child(process.hProcess);
    return true;
}

void ShutdownComputer() {
    HANDLE opened = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) {
        win32::TKernelHandle token(opened);
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        TOKEN_PRIVILEGES previous{};
        DWORD previousLength = 0;
        AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof previous, &previous, &previousLength);
    }
    ExitWindowsEx(EWX_POWEROFF | EWX_FORCEIFHUNG, 0);
}

}  // namespace zaprelay::app
