#include "tests/win32/tray_area.h"

#include "framework/win32/dib_storage.h"
#include "framework/win32/gdi_handles.h"
#include "tests/win32/test_support.h"

#include <algorithm>
#include <shellapi.h>
#include <vector>

namespace zaprelay::test {
namespace {

// Shell_NotifyIconGetRect's argument; the headers hide it below Windows 7.
struct TNotifyIconIdentifier {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    GUID guidItem;
};

// The margin Wine's taskbar leaves around each icon in its slot.
constexpr int kIconBorder = 2;

std::optional<RECT> ShellIconRect(HWND window, UINT id) {
    using TGetRect = HRESULT(WINAPI*)(const TNotifyIconIdentifier*, RECT*);
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    if (shell == nullptr) {
        return std::nullopt;
    }
    auto getRect =
        reinterpret_cast<TGetRect>(reinterpret_cast<void*>(GetProcAddress(shell, "Shell_NotifyIconGetRect")));
    if (getRect == nullptr) {
        return std::nullopt;
    }
    TNotifyIconIdentifier identifier{};
    identifier.cbSize = sizeof(identifier);
    identifier.hWnd = window;
    identifier.uID = id;
    RECT rect{};
    if (getRect(&identifier, &rect) != S_OK || IsRectEmpty(&rect)) {
        return std::nullopt;  // Wine answers E_NOTIMPL
    }
    return rect;
}

// The screen's pixels in a rectangle, top-down rows of 0x00RRGGBB.
std::vector<DWORD> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0) {
        return pixels;
    }
    BITMAPINFO info = win32::TopDownDibInfo(width, height);
    win32::TWindowDC screen(nullptr);
    void* bits = nullptr;
    win32::TBitmapHandle bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win32::TMemoryDC memory(CreateCompatibleDC(screen.Get()));
    if (!bitmap || !memory || bits == nullptr) {
        return pixels;
    }
    HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
    BOOL copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    SelectObject(memory.Get(), old);
    if (copied) {
        GdiFlush();
        const DWORD* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + static_cast<std::size_t>(width) * height);
    }
    return pixels;
}

// Wine's taskbar: the shown icons fill slots from the right end of the bar, the first shown
// rightmost, with nothing else there. A slot holds an icon when its inside differs from its
// border.
std::optional<POINT> WineTaskbarIcon() {
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (tray == nullptr || !IsWindowVisible(tray)) {
        return std::nullopt;
    }
    RECT bar{};
    GetClientRect(tray, &bar);
    MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&bar), 2);
    const int slotWidth = GetSystemMetrics(SM_CXSMICON) + 2 * kIconBorder;
    const int slotHeight = GetSystemMetrics(SM_CYSMICON) + 2 * kIconBorder;
    const int width = bar.right - bar.left;
    if (width < slotWidth || bar.bottom - bar.top < slotHeight) {
        return std::nullopt;
    }
    RECT strip{bar.left, bar.top + (bar.bottom - bar.top - slotHeight) / 2, bar.right, 0};
    strip.bottom = strip.top + slotHeight;
    std::vector<DWORD> pixels = ScreenPixels(strip);
    if (pixels.empty()) {
        return std::nullopt;
    }
    auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; };
    int shown = 0;
    for (int left = width - slotWidth; left >= 0; left -= slotWidth) {
        const DWORD background = at(left, 0);
        bool drawn = false;
        for (int y = kIconBorder; y < slotHeight - kIconBorder && !drawn; ++y) {
            for (int x = left + kIconBorder; x < left + slotWidth - kIconBorder && !drawn; ++x) {
                drawn = at(x, y) != background;
            }
        }
        if (!drawn) {
            break;
        }
        ++shown;
    }
    if (shown != 1) {
        return std::nullopt;  // none drawn yet, or several whose order is unknown here
    }
    return POINT{strip.right - slotWidth / 2, strip.top + slotHeight / 2};
}

}  // namespace

bool ShellHasIcon(HWND window, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    return window != nullptr && Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::optional<POINT> TrayIconCenter(HWND window, UINT id) {
    if (window == nullptr || !IsWindow(window) || !ShellHasIcon(window, id)) {
        return std::nullopt;
    }
    if (std::optional<RECT> rect = ShellIconRect(window, id)) {
        return POINT{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
    }
    return WineTaskbarIcon();
}

bool WaitForTrayIcon(HWND window, UINT id, DWORD timeoutMs, POINT& center) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (std::optional<POINT> found = TrayIconCenter(window, id)) {
            center = *found;
            return true;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        // The shell draws in another process: no message of ours says when, so look again
        // after a short wait that still lets this thread's messages through.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 20), QS_ALLINPUT);
        ProcessPendingMessages();
    }
}

}  // namespace zaprelay::test
