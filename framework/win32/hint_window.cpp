#include "framework/win32/hint_window.h"

#include "framework/win32/font_cache.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/screen.h"

#include <algorithm>

namespace zaprelay::win32 {
namespace {

constexpr wchar_t kClassName[] = L"ZaprelayHintWindow";

void RegisterHintClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_SAVEBITS | CS_DROPSHADOW;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_INFOBK);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    registered = true;
}

HFONT HintFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    static TFontHandle font(CreateFontIndirectW(&metrics.lfStatusFont));
    return font.Get();
}

constexpr UINT kTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;

}  // namespace

THintWindow::THintWindow() {
    RegisterHintClass(WndProc);
}

THintWindow::~THintWindow() {
    ReleaseHandle();
}

void THintWindow::ReleaseHandle() {
    if (m_window != nullptr) {
        DestroyWindow(m_window);
        m_window = nullptr;
    }
}

bool THintWindow::Showing() const {
    return m_window != nullptr && IsWindowVisible(m_window);
}

void THintWindow::ActivateHint(int x, int y, const std::u16string& text) {
    m_text = text;
    if (m_window == nullptr) {
        m_window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    TWindowDC screen(nullptr);
    TSelectObject font(screen.Get(), HintFont());
    RECT r{0, 0, 300, 0};
    DrawTextW(screen.Get(), reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &r,
              kTextFlags | DT_CALCRECT);
    int width = r.right + 8;
    int height = r.bottom + 4;
    TRect area = Screen() != nullptr ? Screen()->WorkAreaRect() : TRect{0, 0, 640, 480};
    x = std::max(area.Left, std::min(x, area.Right - width));
    y = std::max(area.Top, std::min(y, area.Bottom - height));
    SetWindowPos(m_window, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(m_window, nullptr, TRUE);
}

void THintWindow::Paint(HDC dc) {
    RECT r{};
    GetClientRect(m_window, &r);
    InflateRect(&r, -3, -1);
    TSelectObject font(dc, HintFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(m_text.c_str()), static_cast<int>(m_text.size()), &r, kTextFlags);
}

LRESULT CALLBACK THintWindow::WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<THintWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_PAINT && self != nullptr) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        self->Paint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    if (msg == WM_NCHITTEST) {
        return HTTRANSPARENT;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace zaprelay::win32
