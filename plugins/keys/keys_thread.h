// The keyboard remote's thread: a hidden message window that takes raw keyboard (and
// consumer-control) input from the whole session and sends each configured key press to the
// program's window. Start and Stop come from the program's thread.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/keys/key_presses.h"
#include "plugins/keys/key_settings.h"
#include "plugins/keys/settings_file.h"
#include "plugins/kit/code_sender.h"
#include "plugins/kit/worker_thread.h"

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace zaprelay::keys {

// The message window's class; its title turns to kListeningTitle once keyboard input is
// registered, which shows (to a person with a window spy, and to tests) that keys are taken.
inline constexpr wchar_t kWindowClass[] = L"ZaprelayKeyboardRemote";
inline constexpr wchar_t kListeningTitle[] = L"Keyboard remote: listening";

class TKeysThread {
public:
    TKeysThread() = default;
    ~TKeysThread() { Stop(); }
    TKeysThread(const TKeysThread&) = delete;
    TKeysThread& operator=(const TKeysThread&) = delete;

    // Returns once the window is up and registered for input (or that failed).
    void Start(HINSTANCE module, HWND target, const TSettingsFile& file);
    // Ends the thread and its input registration; nothing is sent once it returns. Safe from
    // inside the handler of one of its codes.
    void Stop();
    // The keys reported from the next key press on.
    void UseSettings(const TKeySettings& settings);
    // While the settings dialog captures keys, pressing them must not drive the program.
    void Pause(bool paused) { m_paused = paused; }

private:
    void Run(HANDLE stop, HANDLE ready);
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnInput(HRAWINPUT input, uint32_t timeMs);
    void OnKeyboard(const RAWKEYBOARD& keyboard, uint32_t timeMs);
    void OnConsumerReports(HANDLE device, const BYTE* reports, DWORD size, DWORD count, uint32_t timeMs);
    void KeyDown(TKey key, uint32_t timeMs);
    bool Reports(TKey key);
    void Send(TKey key, int32_t repeatCount);

    HINSTANCE m_module = nullptr;
    std::optional<TSettingsFile> m_file;
    dcd::TWorkerThread m_worker;
    std::atomic<bool> m_paused{false};

    std::mutex m_settingsLock;
    TKeySettings m_settings;
    TFileStamp m_stamp;

    // On the thread only.
    TRepeatCounter m_repeats;
    std::vector<uint64_t> m_inputBuffer;  // 8-byte units: RAWINPUT's alignment
    struct TConsumerDevice {
        std::vector<uint64_t> Preparsed;
        std::vector<uint16_t> Held;
    };
    std::map<HANDLE, TConsumerDevice> m_consumerDevices;

    // Outlives the thread: the handler that reads a code may stop the plug-in before it is
    // done with the code's record.
    dcd::TCodeSender m_sender;
};

}  // namespace zaprelay::keys
