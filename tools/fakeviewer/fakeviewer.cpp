// Stand-in for a DVB viewer in tests: appends the exact command line it was given (as
// GetCommandLine returns it, leading blank included) and its own path to a log, exits 0.
//   log: %ZAPRELAY_VIEWER_LOG%, else fakeviewer.log beside the exe
// Each run appends three lines: "exe=<path>", "cmd=<command line>" and "made=<the process's
// creation time, 100 ns units>": viewers started close together may log in any order, their
// creation times tell the order the program started them in.
#include "framework/win32/platform.h"

#include <cstdint>
#include <string>

namespace {

std::string LogPath(const std::string& exePath) {
    char value[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableA("ZAPRELAY_VIEWER_LOG", value, sizeof value);
    if (length > 0 && length < sizeof value) {
        return std::string(value, length);
    }
    return exePath.substr(0, exePath.find_last_of("\\/") + 1) + "fakeviewer.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    std::string exePath(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    FILETIME made{};
    FILETIME unused[3];
    GetProcessTimes(GetCurrentProcess(), &made, &unused[0], &unused[1], &unused[2]);
    const uint64_t madeAt = (uint64_t{made.dwHighDateTime} << 32) | made.dwLowDateTime;
    std::string entry = "exe=" + exePath + "\ncmd=" + GetCommandLineA() + "\nmade=" + std::to_string(madeAt) + "\n";

    // One write per run, so entries of viewers started close together do not interleave; and
    // one viewer at a time, since Wine's appends from several processes can land at one offset
    // (an entry overwritten whole, the write still reported as done).
    HANDLE turn = CreateMutexA(nullptr, FALSE, "zaprelay-fakeviewer-log");
    if (turn != nullptr) {
        WaitForSingleObject(turn, 10000);
    }
    HANDLE log = CreateFileA(LogPath(exePath).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    BOOL ok = log != INVALID_HANDLE_VALUE &&
              WriteFile(log, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        CloseHandle(log);
    }
    if (turn != nullptr) {
        ReleaseMutex(turn);
        CloseHandle(turn);
    }
    return ok && written == entry.size() ? 0 : 1;
}
