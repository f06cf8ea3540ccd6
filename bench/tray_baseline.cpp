// The least a tray program does at start: register a class, make a hidden window, add an icon
// to the notification area, then wait to be closed. program_bench times the real program's
// start against this one, measured the same way from outside.
#include "framework/win32/platform.h"

#include <shellapi.h>

namespace {

constexpr wchar_t kClassName[] = L"ZaprelayTrayBaseline";
constexpr UINT kIconId = 1;  // as the program's first icon
constexpr UINT kIconMessage = WM_APP + 1;

NOTIFYICONDATAW IconData(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE: {
            NOTIFYICONDATAW data = IconData(window);
            Shell_NotifyIconW(NIM_DELETE, &data);
            DestroyWindow(window);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kClassName, L"Tray baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    NOTIFYICONDATAW data = IconData(window);
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, L"Tray baseline", 64);
    // No retry here: the bench waits for the shell before it starts anything.
    if (!Shell_NotifyIconW(NIM_ADD, &data)) {
        DestroyWindow(window);
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
