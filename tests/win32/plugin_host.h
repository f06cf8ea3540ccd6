// A receiver plug-in driven the way the program drives DCD.dll: loaded from a path, opened
// with a window of the test's and started; the codes it sends that window are kept.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/include/dcd_exports.h"

#include <string>
#include <vector>

namespace zaprelay::test {

struct TReceivedCode {
    std::string Text;
    LPARAM RepeatCount;
    bool FromOtherThread;
};

class TPluginHost {
public:
    TPluginHost();
    // Stops and closes the plug-in (if the test has not), unloads it, destroys the window.
    ~TPluginHost();
    TPluginHost(const TPluginHost&) = delete;
    TPluginHost& operator=(const TPluginHost&) = delete;

    // Loads the DLL and finds its exports; false when either fails.
    bool Load(const std::string& path);
    void OpenAndStart();

    // Pump this thread's messages until there are count codes (or more than count).
    bool WaitForCodes(std::size_t count, DWORD timeoutMs = 10000);
    bool AnotherCodeComes(std::size_t count, DWORD withinMs);

    dcd::TPluginEntries Dcd;
    HWND Window = nullptr;
    std::vector<TReceivedCode> Received;
    // Stop and Close from inside the handler of the next code, then read its record again.
    bool StopInsideHandler = false;
    std::string TextAfterStop;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnCode(const char* record, LPARAM repeatCount);

    HMODULE m_library = nullptr;
};

}  // namespace zaprelay::test
