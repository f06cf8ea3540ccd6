#include "tests/e2e/remote_windows.h"

#include "framework/win32/gdi_handles.h"
#include "tests/win32/input.h"

#include <algorithm>

namespace zaprelay::e2e {
namespace {

// Long enough for a program busy under a loaded machine; a hung one fails the test instead
// of hanging it.
constexpr UINT kAnswerTimeoutMs = 10000;

LRESULT Ask(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs, &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

struct TopLevelSearch {
    DWORD ProcessId;
    const wchar_t* ClassName;
    bool HiddenToo;
    std::vector<HWND> Found;
};

// Enumeration callbacks are entries from the system: nothing may leave them.
BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopLevelSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    try {
        if (owner == search->ProcessId && (search->HiddenToo || IsWindowVisible(window)) &&
            (search->ClassName == nullptr || ClassOf(window) == search->ClassName)) {
            search->Found.push_back(window);
        }
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    try {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

// The pixels of a screen rectangle, top-down, 32 bits each.
std::vector<uint32_t> CaptureScreen(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    win32::TWindowDC screen(nullptr);
    win32::TMemoryDC memory(CreateCompatibleDC(screen.Get()));
    win32::TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        win32::TSelectObject select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * height);
    GetDIBits(memory.Get(), bitmap.Get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

// A system icon drawn at its own size on a background of one colour, as a static shows it.
std::vector<uint32_t> DrawSystemIcon(LPCWSTR which, int width, int height, uint32_t background) {
    win32::TWindowDC screen(nullptr);
    win32::TMemoryDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win32::TBitmapHandle bitmap(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + static_cast<std::size_t>(width) * height, background);
    {
        win32::TSelectObject select(memory.Get(), bitmap.Get());
        DrawIcon(memory.Get(), 0, 0, LoadIconW(nullptr, which));
        GdiFlush();
    }
    return std::vector<uint32_t>(pixels, pixels + static_cast<std::size_t>(width) * height);
}

std::size_t SamePixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    std::size_t same = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        same += (a[i] & 0xFFFFFF) == (b[i] & 0xFFFFFF) ? 1 : 0;
    }
    return same;
}

}  // namespace

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    int length = GetClassNameW(window, name, 64);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring TextOf(HWND window) {
    LRESULT length = Ask(window, WM_GETTEXTLENGTH);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className, bool hiddenToo) {
    TopLevelSearch search{processId, className, hiddenToo, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindDescendant(HWND parent, const wchar_t* className, const wchar_t* text) {
    for (HWND window : Descendants(parent)) {
        if (ClassOf(window) == className && (text == nullptr || TextOf(window) == text)) {
            return window;
        }
    }
    return nullptr;
}

std::vector<std::wstring> ListRows(HWND list) {
    std::vector<std::wstring> rows;
    LRESULT count = Ask(list, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        LRESULT copied = Ask(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        rows.push_back(text);
    }
    return rows;
}

int ListSelection(HWND list) {
    return static_cast<int>(Ask(list, LB_GETCURSEL));
}

bool IsChecked(HWND button) {
    return Ask(button, BM_GETCHECK) == BST_CHECKED;
}

void Click(HWND window) {
    POINT centre = test::CenterOf(window);
    test::ClickAt(centre.x, centre.y);
}

void ClickRow(HWND list, int row) {
    const auto height = static_cast<int>(Ask(list, LB_GETITEMHEIGHT));
    const auto top = static_cast<int>(Ask(list, LB_GETTOPINDEX));
    POINT point{8, (row - top) * height + height / 2};
    ClientToScreen(list, &point);
    test::ClickAt(point.x, point.y);
}

std::wstring MessageOf(HWND box) {
    std::wstring message;
    for (HWND child : Descendants(box)) {
        if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            message += TextOf(child);
        }
    }
    return message;
}

bool ShowsErrorIcon(HWND box) {
    for (HWND child : Descendants(box)) {
        if (ClassOf(child) != L"Static" || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            continue;
        }
        RECT area{};
        GetWindowRect(child, &area);
        area.right = std::min<LONG>(area.right, area.left + GetSystemMetrics(SM_CXICON));
        area.bottom = std::min<LONG>(area.bottom, area.top + GetSystemMetrics(SM_CYICON));
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        if (width <= 0 || height <= 0) {
            return false;
        }
        std::vector<uint32_t> shown = CaptureScreen(area);
        // The icons are round or triangular: the top-left pixel is the background.
        const uint32_t background = shown.front();
        std::size_t error = SamePixels(shown, DrawSystemIcon(IDI_ERROR, width, height, background));
        for (LPCWSTR other : {IDI_WARNING, IDI_INFORMATION, IDI_QUESTION, IDI_APPLICATION}) {
            if (SamePixels(shown, DrawSystemIcon(other, width, height, background)) >= error) {
                return false;
            }
        }
        return error == shown.size();
    }
    return false;
}

LRESULT HitTestAt(HWND window, int x, int y) {
    DWORD_PTR hit = 0;
    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 5000, &hit);
    return static_cast<LRESULT>(hit);
}

bool FindSkinButtons(HWND window, LONG& left, LONG& right, LONG& y) {
    RECT frame{};
    GetWindowRect(window, &frame);
    LONG longest = 0;
    for (LONG row = frame.top; row < frame.top + 40 && row < frame.bottom; row += 2) {
        LONG runEnd = 0;  // the right end of the run being walked, 0 outside one
        for (LONG x = frame.right - 1; x >= frame.left - 1; --x) {
            const bool inside = x >= frame.left && HitTestAt(window, x, row) == HTBORDER;
            if (inside && runEnd == 0) {
                runEnd = x;
            } else if (!inside && runEnd != 0) {
                if (runEnd - x > longest) {
                    longest = runEnd - x;
                    left = x + 1;
                    right = runEnd;
                    y = row;
                }
                runEnd = 0;
            }
        }
    }
    return longest > 0;
}

}  // namespace zaprelay::e2e
