#include "tests/win32/test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace zaprelay::test {

std::string BinaryFolder() {
    char path[MAX_PATH];
    std::string folder(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    m_path = std::string(temp) + "zaprelay-test-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++counter) + "\\";
    CreateDirectoryA(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_path + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((m_path + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(m_path.c_str());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const std::function<void()>& dispatch) {
    constexpr DWORD kPollMs = 20;
    DWORD start = GetTickCount();
    while (!done()) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        // Conditions that other threads change send no message: look again now and then.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, kPollMs), QS_ALLINPUT);
        if (dispatch) {
            dispatch();
        } else {
            ProcessPendingMessages();
        }
    }
    return true;
}

bool StartHostProgram(const std::string& commandLine) {
    std::wstring command(commandLine.begin(), commandLine.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // For a host program Wine fills the handles with whatever lies about (values like 0x22aed08
    // and 0x0001, seen in its traces), and closing those closed handles of this process, such
    // as its standard output. They are left alone: there is nothing of ours to close.
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) !=
           FALSE;
}

DWORD CountGuiObjects(DWORD kind) {
    SetLastError(0);
    DWORD counted = GetGuiResources(GetCurrentProcess(), kind);
    if (counted != 0 || GetLastError() == 0) {
        return counted;
    }
    DWORD found = 0;
    const DWORD self = GetCurrentProcessId();
    for (ULONG_PTR value = 1; value < 0x10000; ++value) {
        if (kind == GR_GDIOBJECTS) {
            found += GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0 ? 1 : 0;
        } else {
            auto window = reinterpret_cast<HWND>(value);
            DWORD owner = 0;
            found += IsWindow(window) && GetWindowThreadProcessId(window, &owner) && owner == self ? 1 : 0;
        }
    }
    return found;
}

void ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace zaprelay::test
