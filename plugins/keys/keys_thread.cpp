#include "plugins/keys/keys_thread.h"

#include "framework/win32/gdi_handles.h"
#include "plugins/kit/sent_messages.h"

#include <algorithm>
#include <cstddef>
#include <memory>

// One input path only: raw input. The message window never has the focus, so WM_KEYDOWN and
// WM_APPCOMMAND would reach it only if it had; and where they do reach a window (the program's
// own, when it is in front) raw input has already brought the same key, so a fallback on them
// could only double presses. Under Wine raw keyboard input with RIDEV_INPUTSINK arrives for
// keys pressed in any window, media keys included, so nothing else is needed there either.
// Consumer-control usages that the system also types as keys are taken from the keyboard path
// alone, for the same reason.

namespace zaprelay::keys {
namespace {

constexpr DWORD kStartTimeoutMs = 10000;
constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kKeyboardUsage = 0x06;
constexpr USHORT kConsumerPage = 0x0C;
constexpr USHORT kConsumerControlUsage = 0x01;
// A consumer report holds a few usages at once; a longer list is not a remote's.
constexpr ULONG kMaxUsagesPerReport = 32;
constexpr UINT kMaxPreparsedBytes = 1 << 16;

void DestroyWindowHandle(HWND window) {
    DestroyWindow(window);
}
using TWindowHandle = win32::TOwnedHandle<HWND, &DestroyWindowHandle>;

// HidP_GetUsages from hid.dll, looked up when first needed: the plug-in imports only what
// every Windows has loaded, and a keyboard alone never needs it.
using THidGetUsages = LONG(WINAPI*)(int reportType,
                                    USHORT usagePage,
                                    USHORT linkCollection,
                                    USHORT* usages,
                                    ULONG* usageCount,
                                    void* preparsedData,
                                    char* report,
                                    ULONG reportLength);
constexpr LONG kHidStatusSuccess = 0x00110000;
constexpr int kHidInputReport = 0;

THidGetUsages HidGetUsages() {
    // Loaded once for the process's life: a system library, cheap to keep.
    static const THidGetUsages function = []() -> THidGetUsages {
        // From the system folder only: a hid.dll beside the program is not the system's.
        wchar_t path[MAX_PATH];
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH - 9) {
            return nullptr;
        }
        lstrcatW(path, L"\\hid.dll");
        HMODULE hid = LoadLibraryW(path);
        return hid != nullptr
                   ? reinterpret_cast<THidGetUsages>(reinterpret_cast<void*>(GetProcAddress(hid, "HidP_GetUsages")))
                   : nullptr;
    }();
    return function;
}

bool Register(USHORT page, USHORT usage, DWORD flags, HWND window) {
    RAWINPUTDEVICE device{page, usage, flags, window};
    return RegisterRawInputDevices(&device, 1, sizeof device) != FALSE;
}

}  // namespace

void TKeysThread::Start(HINSTANCE module, HWND target, const TSettingsFile& file) {
    if (m_worker.Running()) {
        return;
    }
    m_module = module;
    m_file.emplace(file);
    {
        std::lock_guard<std::mutex> lock(m_settingsLock);
        m_stamp = file.Stamp();
        m_settings = file.Load();
    }
    m_repeats.Clear();
    m_consumerDevices.clear();
    m_sender.Open(target);
    // Shared with the thread: it may signal after this side stopped waiting.
    auto ready = std::make_shared<win32::TKernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!*ready || !m_worker.Start([this, ready](HANDLE stop) { Run(stop, ready->Get()); })) {
        return;
    }
    // The window's creation may ask the calling thread something: answer meanwhile.
    HANDLE wait = ready->Get();
    dcd::WaitPumpingSentMessages(&wait, 1, kStartTimeoutMs);
}

void TKeysThread::Stop() {
    if (!m_worker.Running()) {
        return;
    }
    m_sender.BeginStop();
    m_worker.Stop(INFINITE);
}

void TKeysThread::UseSettings(const TKeySettings& settings) {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    m_settings = settings;
    if (m_file) {
        m_stamp = m_file->Stamp();
    }
}

void TKeysThread::Run(HANDLE stop, HANDLE ready) {
    struct TSignal {
        HANDLE Event;
        ~TSignal() { SetEvent(Event); }
        void Now() { SetEvent(Event); }
    } signal{ready};

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TKeysThread::WindowProc;
    windowClass.hInstance = m_module;
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return;
    }
    {
        TWindowHandle window(
            CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, m_module, this));
        if (window) {
            const bool keyboard = Register(kGenericDesktopPage, kKeyboardUsage, RIDEV_INPUTSINK, window.Get());
            // Where the system hands consumer-control devices to programs; Wine may refuse.
            const bool consumer = Register(kConsumerPage, kConsumerControlUsage, RIDEV_INPUTSINK, window.Get());
            if (keyboard) {
                SetWindowTextW(window.Get(), kListeningTitle);
            }
            signal.Now();
            bool quit = false;
            while (!quit) {
                const DWORD woke = MsgWaitForMultipleObjectsEx(1, &stop, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
                if (woke != WAIT_OBJECT_0 + 1) {
                    break;  // told to stop, or the wait failed
                }
                MSG msg;
                while (!m_sender.Stopping() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    if (msg.message == WM_QUIT) {
                        quit = true;
                        break;
                    }
                    DispatchMessageW(&msg);
                }
            }
            // Registrations belong to the process: leave none behind pointing at a dead window.
            if (keyboard) {
                Register(kGenericDesktopPage, kKeyboardUsage, RIDEV_REMOVE, nullptr);
            }
            if (consumer) {
                Register(kConsumerPage, kConsumerControlUsage, RIDEV_REMOVE, nullptr);
            }
        }
    }
    UnregisterClassW(kWindowClass, m_module);
}

LRESULT CALLBACK TKeysThread::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TKeysThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (msg == WM_INPUT && self != nullptr && !self->m_sender.Stopping()) {
            self->OnInput(reinterpret_cast<HRAWINPUT>(lParam), static_cast<uint32_t>(GetMessageTime()));
        }
    } catch (...) {
        // A key lost; the next one is read afresh.
    }
    // For WM_INPUT too: the default handling frees the input's data.
    return DefWindowProcW(window, msg, wParam, lParam);
}

void TKeysThread::OnInput(HRAWINPUT input, uint32_t timeMs) {
    UINT size = 0;
    if (GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 ||
        size < sizeof(RAWINPUTHEADER)) {
        return;
    }
    m_inputBuffer.assign((size + 7) / 8, 0);
    const UINT got = GetRawInputData(input, RID_INPUT, m_inputBuffer.data(), &size, sizeof(RAWINPUTHEADER));
    if (got == static_cast<UINT>(-1) || got < sizeof(RAWINPUTHEADER)) {
        return;
    }
    const auto* raw = reinterpret_cast<const RAWINPUT*>(m_inputBuffer.data());
    if (raw->header.dwType == RIM_TYPEKEYBOARD && got >= sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD)) {
        OnKeyboard(raw->data.keyboard, timeMs);
    } else if (raw->header.dwType == RIM_TYPEHID && got >= offsetof(RAWINPUT, data.hid.bRawData)) {
        const RAWHID& hid = raw->data.hid;
        const uint64_t end = offsetof(RAWINPUT, data.hid.bRawData) + uint64_t{hid.dwSizeHid} * hid.dwCount;
        if (end <= got) {
            OnConsumerReports(raw->header.hDevice, hid.bRawData, hid.dwSizeHid, hid.dwCount, timeMs);
        }
    }
}

void TKeysThread::OnKeyboard(const RAWKEYBOARD& keyboard, uint32_t timeMs) {
    // 0xFF marks the halves of escaped sequences (Pause, a shifted Print Screen): no key.
    if (keyboard.VKey == 0 || keyboard.VKey >= 0xFF) {
        return;
    }
    const TKey key = VirtualKey(static_cast<uint8_t>(keyboard.VKey));
    if ((keyboard.Flags & RI_KEY_BREAK) != 0) {
        m_repeats.Up(key);
        return;
    }
    KeyDown(key, timeMs);
}

void TKeysThread::OnConsumerReports(HANDLE device, const BYTE* reports, DWORD size, DWORD count, uint32_t timeMs) {
    THidGetUsages getUsages = HidGetUsages();
    if (getUsages == nullptr || size == 0 || count == 0) {
        return;
    }
    TConsumerDevice& state = m_consumerDevices[device];
    if (state.Preparsed.empty()) {
        UINT bytes = 0;
        if (GetRawInputDeviceInfoW(device, RIDI_PREPARSEDDATA, nullptr, &bytes) != 0 || bytes == 0 ||
            bytes > kMaxPreparsedBytes) {
            return;
        }
        state.Preparsed.assign((bytes + 7) / 8, 0);
        if (GetRawInputDeviceInfoW(device, RIDI_PREPARSEDDATA, state.Preparsed.data(), &bytes) ==
            static_cast<UINT>(-1)) {
            state.Preparsed.clear();
            return;
        }
    }
    std::vector<char> report(size);
    for (DWORD i = 0; i < count; ++i) {
        std::copy(reports + std::size_t{i} * size, reports + std::size_t{i + 1} * size, report.begin());
        std::vector<uint16_t> usages(kMaxUsagesPerReport);
        ULONG found = kMaxUsagesPerReport;
        // A report of another collection of the device (another report id) fails here.
        if (getUsages(kHidInputReport, kConsumerPage, 0, usages.data(), &found, state.Preparsed.data(), report.data(),
                      size) != kHidStatusSuccess) {
            continue;
        }
        usages.resize(std::min<ULONG>(found, kMaxUsagesPerReport));
        const TUsageChanges changes = ChangedUsages(state.Held, usages);
        state.Held = usages;
        for (uint16_t usage : changes.Released) {
            m_repeats.Up(ConsumerKey(usage));
        }
        for (uint16_t usage : changes.Pressed) {
            if (!TypedVirtualKey(usage)) {
                KeyDown(ConsumerKey(usage), timeMs);
            }
        }
    }
}

void TKeysThread::KeyDown(TKey key, uint32_t timeMs) {
    const int32_t repeatCount = m_repeats.Down(key, timeMs);
    if (Reports(key)) {
        Send(key, repeatCount);
    }
}

bool TKeysThread::Reports(TKey key) {
    // A hand edit of the file counts from the next key on. The file is read outside the lock,
    // which the program's thread may be waiting for; a file that cannot be read just now (an
    // editor holds it) keeps the settings in force and is tried again at the next key.
    if (m_file) {
        const TFileStamp stamp = m_file->Stamp();
        bool changed = false;
        {
            std::lock_guard<std::mutex> lock(m_settingsLock);
            changed = !(stamp == m_stamp);
        }
        if (changed) {
            if (std::optional<TKeySettings> read = m_file->TryLoad()) {
                std::lock_guard<std::mutex> lock(m_settingsLock);
                m_stamp = stamp;
                m_settings = std::move(*read);
            }
        }
    }
    std::lock_guard<std::mutex> lock(m_settingsLock);
    return m_settings.Reports(key);
}

void TKeysThread::Send(TKey key, int32_t repeatCount) {
    const std::string text = KeyCodeText(key);
    if (m_paused || text.size() >= dcd::kCodeTextSize) {
        return;
    }
    m_sender.Send(text, repeatCount);
}

}  // namespace zaprelay::keys
