#include "plugins/virtual_remote/remote_window.h"

#include "plugins/kit/dialog_template.h"

#include <algorithm>
#include <string>

namespace zaprelay::remote {
namespace {

using dcd::Widen;
using win32::TBitmapHandle;
using win32::TBrushHandle;
using win32::TMemoryDC;
using win32::TPenHandle;
using win32::TRegionHandle;
using win32::TSelectObject;

constexpr UINT_PTR kRepeatTimer = 1;
constexpr int kButtonCorner = 10;
constexpr int kPadCorner = 22;

constexpr COLORREF kBody = RGB(36, 38, 42);
constexpr COLORREF kBodyEdge = RGB(88, 92, 99);
constexpr COLORREF kPad = RGB(50, 53, 59);
constexpr COLORREF kTitleText = RGB(176, 180, 188);
constexpr COLORREF kDivider = RGB(58, 61, 67);
constexpr COLORREF kLabel = RGB(240, 240, 240);
constexpr COLORREF kRecordRed = RGB(232, 56, 48);
constexpr COLORREF kStatusText = RGB(128, 132, 140);
constexpr COLORREF kLedBezel = RGB(20, 21, 24);
constexpr COLORREF kLedOff = RGB(86, 28, 26);
constexpr COLORREF kLedOn = RGB(255, 72, 60);
constexpr COLORREF kLedGlint = RGB(255, 178, 168);

struct TFace {
    COLORREF Normal;
    COLORREF Hover;
    COLORREF Pressed;
};

TFace FaceOf(TButtonStyle style) {
    switch (style) {
        case TButtonStyle::Power:
            return {RGB(178, 42, 38), RGB(198, 56, 50), RGB(224, 86, 76)};
        case TButtonStyle::Confirm:
            return {RGB(44, 98, 164), RGB(58, 116, 184), RGB(86, 144, 214)};
        case TButtonStyle::Digit:
        case TButtonStyle::Media:
            return {RGB(62, 65, 72), RGB(78, 82, 90), RGB(112, 117, 128)};
        case TButtonStyle::Plain:
        case TButtonStyle::Arrow:
            break;
    }
    return {RGB(72, 76, 83), RGB(86, 90, 98), RGB(116, 121, 132)};
}

COLORREF Darker(COLORREF colour) {
    return RGB(GetRValue(colour) * 3 / 5, GetGValue(colour) * 3 / 5, GetBValue(colour) * 3 / 5);
}

RECT ToRect(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

void FillRounded(HDC dc, const TRect& r, int corner, COLORREF fill, COLORREF edge) {
    TBrushHandle brush(CreateSolidBrush(fill));
    TPenHandle pen(CreatePen(PS_SOLID, 1, edge));
    TSelectObject selectBrush(dc, brush.Get());
    TSelectObject selectPen(dc, pen.Get());
    RoundRect(dc, r.Left, r.Top, r.Right, r.Bottom, corner, corner);
}

void FillPolygon(HDC dc, std::initializer_list<POINT> points, COLORREF colour) {
    TBrushHandle brush(CreateSolidBrush(colour));
    TPenHandle pen(CreatePen(PS_SOLID, 1, colour));
    TSelectObject selectBrush(dc, brush.Get());
    TSelectObject selectPen(dc, pen.Get());
    Polygon(dc, points.begin(), static_cast<int>(points.size()));
}

void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    RECT r{left, top, right, bottom};
    TBrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.Get());
}

void FillCircle(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    TBrushHandle brush(CreateSolidBrush(colour));
    TPenHandle pen(CreatePen(PS_SOLID, 1, colour));
    TSelectObject selectBrush(dc, brush.Get());
    TSelectObject selectPen(dc, pen.Get());
    Ellipse(dc, left, top, right, bottom);
}

void DrawGlyph(HDC dc, TGlyph glyph, int cx, int cy, COLORREF colour) {
    switch (glyph) {
        case TGlyph::None:
            return;
        case TGlyph::Power: {
            TPenHandle pen(CreatePen(PS_SOLID, 2, colour));
            TSelectObject selectPen(dc, pen.Get());
            // An open ring around the bottom, the bar through its gap.
            Arc(dc, cx - 7, cy - 6, cx + 8, cy + 9, cx - 4, cy - 7, cx + 5, cy - 7);
            MoveToEx(dc, cx, cy - 9, nullptr);
            LineTo(dc, cx, cy + 1);
            return;
        }
        case TGlyph::ArrowUp:
            FillPolygon(dc, {{cx, cy - 5}, {cx - 7, cy + 4}, {cx + 7, cy + 4}}, colour);
            return;
        case TGlyph::ArrowDown:
            FillPolygon(dc, {{cx, cy + 5}, {cx - 7, cy - 4}, {cx + 7, cy - 4}}, colour);
            return;
        case TGlyph::ArrowLeft:
            FillPolygon(dc, {{cx - 5, cy}, {cx + 4, cy - 7}, {cx + 4, cy + 7}}, colour);
            return;
        case TGlyph::ArrowRight:
            FillPolygon(dc, {{cx + 5, cy}, {cx - 4, cy - 7}, {cx - 4, cy + 7}}, colour);
            return;
        case TGlyph::PlayPause:
            FillPolygon(dc, {{cx - 10, cy - 6}, {cx - 10, cy + 6}, {cx - 2, cy}}, colour);
            FillBox(dc, cx + 2, cy - 6, cx + 5, cy + 7, colour);
            FillBox(dc, cx + 7, cy - 6, cx + 10, cy + 7, colour);
            return;
        case TGlyph::Stop:
            FillBox(dc, cx - 6, cy - 6, cx + 6, cy + 6, colour);
            return;
        case TGlyph::Record:
            FillCircle(dc, cx - 6, cy - 6, cx + 7, cy + 7, kRecordRed);
            return;
        case TGlyph::FullScreen: {
            TPenHandle pen(CreatePen(PS_SOLID, 2, colour));
            TSelectObject selectPen(dc, pen.Get());
            const int w = 9, h = 6, arm = 5;
            for (int sx : {-1, 1}) {
                for (int sy : {-1, 1}) {
                    POINT corner[3] = {{cx + sx * (w - arm), cy + sy * h},
                                       {cx + sx * w, cy + sy * h},
                                       {cx + sx * w, cy + sy * (h - arm + 1)}};
                    Polyline(dc, corner, 3);
                }
            }
            return;
        }
    }
}

int32_t LowSigned(LPARAM value) {
    return static_cast<int16_t>(LOWORD(value));
}

int32_t HighSigned(LPARAM value) {
    return static_cast<int16_t>(HIWORD(value));
}

// A remembered position is used only while the title strip is still on the screen.
POINT PlaceOnScreen(std::optional<TRemotePosition> position) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (position) {
        RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
        screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
        screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
        const int grip = 48;
        if (position->Left + kRemoteWidth - grip >= screen.left && position->Left + grip <= screen.right &&
            position->Top >= screen.top && position->Top + kTitleHeight <= screen.bottom) {
            return {position->Left, position->Top};
        }
    }
    // Left of the program's window, which opens towards the middle of the screen.
    LONG top = std::max<LONG>(work.top, std::min<LONG>(work.top + 100, work.bottom - kRemoteHeight));
    return {work.left + 40, top};
}

}  // namespace

TRemoteWindow::~TRemoteWindow() {
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

bool TRemoteWindow::RegisterWindowClass(HINSTANCE module) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TRemoteWindow::Proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void TRemoteWindow::UnregisterWindowClass(HINSTANCE module) {
    // The class names this module's window procedure: it must go before the module may.
    UnregisterClassW(kClassName, module);
}

HWND TRemoteWindow::Create(HINSTANCE module, std::optional<TRemotePosition> position) {
    MakeFonts();
    POINT at = PlaceOnScreen(position);
    CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, kTitle, WS_POPUP, at.x, at.y, kRemoteWidth,
                    kRemoteHeight, nullptr, nullptr, module, this);
    if (m_window == nullptr) {
        return nullptr;
    }
    TRegionHandle shape(
        CreateRoundRectRgn(0, 0, kRemoteWidth + 1, kRemoteHeight + 1, 2 * kCornerRadius, 2 * kCornerRadius));
    if (SetWindowRgn(m_window, shape.Get(), FALSE) != 0) {
        shape.Detach();  // the window owns it now
    }
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    UpdateWindow(m_window);
    return m_window;
}

void TRemoteWindow::MakeFonts() {
    auto font = [](int height, int weight) {
        return win32::TFontHandle(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                              DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    };
    m_titleFont = font(12, FW_BOLD);
    m_labelFont = font(12, FW_BOLD);
    m_digitFont = font(15, FW_BOLD);
    m_statusFont = font(11, FW_NORMAL);
}

LRESULT CALLBACK TRemoteWindow::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<TRemoteWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->m_window = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<TRemoteWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr) {
            return DefWindowProcW(window, msg, wParam, lParam);
        }
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->m_window = nullptr;
            return DefWindowProcW(window, msg, wParam, lParam);
        }
        return self->Handle(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's frames; the press in progress is dropped.
        return msg == WM_NCCREATE ? TRUE : 0;
    }
}

LRESULT TRemoteWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCHITTEST: {
            POINT p{LowSigned(lParam), HighSigned(lParam)};
            ScreenToClient(m_window, &p);
            // Everything that is not a button drags the remote.
            return ButtonAt(p.x, p.y) >= 0 ? HTCLIENT : HTCAPTION;
        }
        case WM_MOUSEACTIVATE:
            // Buttons leave the focus where it is; a click on the body takes it, for the keys.
            return LOWORD(lParam) == HTCLIENT ? MA_NOACTIVATE : MA_ACTIVATE;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN: {
            int button = ButtonAt(LowSigned(lParam), HighSigned(lParam));
            if (button >= 0) {
                EndPress();
                SetCapture(m_window);
                Press(button, TPressSource::Mouse);
            }
            return 0;
        }
        case WM_LBUTTONUP:
            if (m_source == TPressSource::Mouse) {
                EndPress();
            }
            return 0;
        case WM_MOUSEMOVE: {
            int button = ButtonAt(LowSigned(lParam), HighSigned(lParam));
            // Sliding off a held button lets it go, as a finger leaving it would.
            if (m_pressed >= 0 && m_source == TPressSource::Mouse && button != m_pressed) {
                EndPress();
            }
            SetHover(button);
            if (!m_trackingLeave) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_window, 0};
                m_trackingLeave = TrackMouseEvent(&track) != FALSE;
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            m_trackingLeave = false;
            SetHover(-1);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != m_window && m_source == TPressSource::Mouse) {
                EndPress();
            }
            return 0;
        case WM_KEYDOWN: {
            if ((lParam & (1 << 30)) != 0) {
                return 0;  // the keyboard's own repeat: the remote repeats on its own schedule
            }
            int button = ButtonForKey(static_cast<uint32_t>(wParam));
            if (button >= 0) {
                EndPress();
                Press(button, TPressSource::Key, wParam);
            }
            return 0;
        }
        case WM_KEYUP:
            if (m_source == TPressSource::Key && wParam == m_pressedKey) {
                EndPress();
            }
            return 0;
        case WM_KILLFOCUS:
            if (m_source == TPressSource::Key) {
                EndPress();
            }
            return 0;
        case WM_TIMER:
            if (wParam == kRepeatTimer) {
                RepeatTick();
            }
            return 0;
        case WM_EXITSIZEMOVE: {
            RECT r{};
            GetWindowRect(m_window, &r);
            m_host.Moved({r.left, r.top});
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_window, &ps);
            Paint(dc);
            EndPaint(m_window, &ps);
            return 0;
        }
        case WM_CLOSE:
            return 0;  // the remote stays until the program stops the plug-in
        case kCloseMessage:
            DestroyWindow(m_window);
            return 0;
        case WM_DESTROY:
            EndPress();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(m_window, msg, wParam, lParam);
}

void TRemoteWindow::Press(int button, TPressSource source, WPARAM key) {
    m_pressed = button;
    m_source = source;
    m_pressedKey = key;
    InvalidateButton(button);
    // Shown pressed before the program gets the code, which may keep it busy for a while.
    UpdateWindow(m_window);

    const TRemoteSettings settings = m_host.Settings();
    const DWORD pressedAt = GetTickCount();
    m_host.SendCode(static_cast<std::size_t>(button), 0);
    if (m_window == nullptr || m_pressed != button || !settings.Repeats[static_cast<std::size_t>(button)]) {
        return;
    }
    m_schedule.emplace(settings.RepeatDelayMs, settings.RepeatIntervalMs, pressedAt);
    SetTimer(m_window, kRepeatTimer, std::max<UINT>(USER_TIMER_MINIMUM, m_schedule->WaitMs(GetTickCount())), nullptr);
}

void TRemoteWindow::RepeatTick() {
    KillTimer(m_window, kRepeatTimer);
    if (m_pressed < 0 || !m_schedule) {
        return;
    }
    const int button = m_pressed;
    int32_t repeat = m_schedule->TakeDue(GetTickCount());
    if (repeat > 0) {
        m_host.SendCode(static_cast<std::size_t>(button), repeat);
    }
    if (m_window != nullptr && m_pressed == button && m_schedule) {
        SetTimer(m_window, kRepeatTimer, std::max<UINT>(USER_TIMER_MINIMUM, m_schedule->WaitMs(GetTickCount())),
                 nullptr);
    }
}

void TRemoteWindow::EndPress() {
    if (m_pressed < 0) {
        return;
    }
    const int released = m_pressed;
    const TPressSource source = m_source;
    m_pressed = -1;
    m_pressedKey = 0;
    m_schedule.reset();
    if (m_window == nullptr) {
        return;
    }
    KillTimer(m_window, kRepeatTimer);
    InvalidateButton(released);
    if (source == TPressSource::Mouse && GetCapture() == m_window) {
        ReleaseCapture();
    }
}

void TRemoteWindow::SetHover(int button) {
    if (button == m_hover) {
        return;
    }
    InvalidateButton(m_hover);
    m_hover = button;
    InvalidateButton(m_hover);
}

void TRemoteWindow::InvalidateButton(int button) {
    if (m_window == nullptr || button < 0) {
        return;
    }
    RECT r = ToRect(RemoteButtons()[static_cast<std::size_t>(button)].Bounds);
    InflateRect(&r, 1, 1);
    InvalidateRect(m_window, &r, FALSE);
    RECT light = ToRect(kHeldLight);
    InflateRect(&light, 1, 1);
    InvalidateRect(m_window, &light, FALSE);
}

void TRemoteWindow::Paint(HDC target) {
    // Drawn off screen, then copied: a press redraws without flicker.
    TMemoryDC dc(CreateCompatibleDC(target));
    TBitmapHandle bitmap(CreateCompatibleBitmap(target, kRemoteWidth, kRemoteHeight));
    if (!dc || !bitmap) {
        return;
    }
    TSelectObject selectBitmap(dc.Get(), bitmap.Get());
    HDC d = dc.Get();
    SetBkMode(d, TRANSPARENT);

    FillRounded(d, {0, 0, kRemoteWidth, kRemoteHeight}, 2 * kCornerRadius, kBody, kBodyEdge);
    {
        TSelectObject selectFont(d, m_titleFont.Get());
        SetTextColor(d, kTitleText);
        RECT title{16, 2, kHeldLight.Left, kTitleHeight};
        DrawTextW(d, kTitle, -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    PaintHeldLight(d);
    FillBox(d, 14, kTitleHeight, kRemoteWidth - 14, kTitleHeight + 1, kDivider);
    FillRounded(d, NavigationPadBounds(), kPadCorner, kPad, kPad);

    for (std::size_t i = 0; i < kButtonCount; ++i) {
        PaintButton(d, i);
    }
    BitBlt(target, 0, 0, kRemoteWidth, kRemoteHeight, d, 0, 0, SRCCOPY);
}

void TRemoteWindow::PaintHeldLight(HDC dc) {
    const TRect& r = kHeldLight;
    FillCircle(dc, r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1, kLedBezel);
    FillCircle(dc, r.Left, r.Top, r.Right, r.Bottom, m_pressed >= 0 ? kLedOn : kLedOff);
    if (m_pressed >= 0) {
        FillBox(dc, r.Left + 2, r.Top + 2, r.Left + 4, r.Top + 4, kLedGlint);
    }
    TSelectObject selectFont(dc, m_statusFont.Get());
    SetTextColor(dc, kStatusText);
    RECT label = ToRect(kHeldLabelBounds);
    DrawTextW(dc, kHeldLabel, -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TRemoteWindow::PaintButton(HDC dc, std::size_t index) {
    const TRemoteButton& button = RemoteButtons()[index];
    const bool pressed = static_cast<int>(index) == m_pressed;
    const TFace face = FaceOf(button.Style);
    const COLORREF fill = pressed ? face.Pressed : static_cast<int>(index) == m_hover ? face.Hover : face.Normal;
    FillRounded(dc, button.Bounds, kButtonCorner, fill, Darker(face.Normal));

    // A pressed face sinks by a pixel.
    const int shift = pressed ? 1 : 0;
    if (button.Glyph != TGlyph::None) {
        DrawGlyph(dc, button.Glyph, (button.Bounds.Left + button.Bounds.Right) / 2 + shift,
                  (button.Bounds.Top + button.Bounds.Bottom) / 2 + shift, kLabel);
        return;
    }
    TSelectObject selectFont(dc, (button.Style == TButtonStyle::Digit ? m_digitFont : m_labelFont).Get());
    SetTextColor(dc, kLabel);
    RECT r = ToRect(button.Bounds);
    OffsetRect(&r, shift, shift);
    std::wstring label = Widen(button.Label);
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace zaprelay::remote
