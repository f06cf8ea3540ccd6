// Helpers for the tests of the skinned form on real windows: a recorder for the tray icon's
// shell calls, window points as message coordinates, DIB surfaces to paint into and read
// back, and the lines of a showing menu.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <shellapi.h>
#include <string>
#include <vector>

namespace zaprelay::test {

// The tray icon's shell calls, recorded in place of the shell (TTrayIcon::SetNotify).
struct TShellCall {
    DWORD Message;
    NOTIFYICONDATAW Data;
};
inline std::vector<TShellCall> g_shell;
inline int g_refusedAdds = 0;  // this many NIM_ADD calls fail first, as with a busy shell

inline BOOL WINAPI RecordShell(DWORD message, PNOTIFYICONDATAW data) {
    g_shell.push_back({message, *data});
    if (message == NIM_ADD && g_refusedAdds > 0) {
        --g_refusedAdds;
        return FALSE;
    }
    return TRUE;
}

inline TPoint Centre(const TRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

inline TRect WindowBounds(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// A window point as the screen coordinates the non-client messages carry.
inline LPARAM ScreenParam(HWND window, TPoint point) {
    const TRect bounds = WindowBounds(window);
    return MAKELPARAM(static_cast<WORD>(bounds.Left + point.X), static_cast<WORD>(bounds.Top + point.Y));
}

// A top-down 32-bit DIB with its own context, filled with `fill`.
class TSurface {
public:
    explicit TSurface(TPoint size, uint32_t fill)
        : m_count(static_cast<std::size_t>(size.X) * static_cast<std::size_t>(size.Y)) {
        BITMAPINFO info = win32::TopDownDibInfo(size.X, size.Y);
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0));
        m_dc.Reset(CreateCompatibleDC(nullptr));
        m_select = std::make_unique<win32::TSelectObject>(m_dc.Get(), m_bitmap.Get());
        std::fill(Bits(), Bits() + m_count, fill);
    }
    HDC DC() const { return m_dc.Get(); }
    std::vector<uint32_t> Pixels() const {
        GdiFlush();
        std::vector<uint32_t> out(Bits(), Bits() + m_count);
        for (uint32_t& p : out) {
            p &= 0xFFFFFF;
        }
        return out;
    }

private:
    uint32_t* Bits() const { return static_cast<uint32_t*>(m_bits); }
    std::size_t m_count;
    void* m_bits = nullptr;
    win32::TBitmapHandle m_bitmap;
    win32::TMemoryDC m_dc;
    std::unique_ptr<win32::TSelectObject> m_select;
};

// Icons the shell holds now, by the recorded calls.
inline int IconsShown() {
    int shown = 0;
    for (const TShellCall& call : g_shell) {
        shown += call.Message == NIM_ADD ? 1 : call.Message == NIM_DELETE ? -1 : 0;
    }
    return shown;
}

// The showing menu's lines: "-" for a separator, else the item's text.
inline std::vector<std::wstring> MenuLines(HMENU menu) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) {
            lines.emplace_back(L"-");
            continue;
        }
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        lines.emplace_back(text);
    }
    return lines;
}

}  // namespace zaprelay::test
