#include "framework/win32/screen.h"

#include "framework/win32/forms.h"
#include "framework/win32/gdi_handles.h"

#include <algorithm>

namespace zaprelay::win32 {
namespace {

TScreen* g_screen = nullptr;

TRect FromRECT(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TScreen* Screen() {
    return g_screen;
}

const TClassInfo& TScreen::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TScreen, TComponent>("TScreen");
    return info;
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
    g_screen = this;
}

TScreen::~TScreen() {
    if (g_screen == this) {
        g_screen = nullptr;
    }
}

void TScreen::AddForm(TCustomForm* form) {
    m_forms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
    if (m_activeForm == form) {
        m_activeForm = nullptr;
        m_activeControl = nullptr;
    }
}

void TScreen::SetActiveForm(TCustomForm* form) {
    m_activeForm = form;
    m_activeControl = form != nullptr ? form->ActiveControl() : nullptr;
}

void TScreen::SetActiveControl(TWinControl* control, TCustomForm* form) {
    m_activeForm = form;
    m_activeControl = control;
}

int TScreen::PixelsPerInch() const {
    TWindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

TRect TScreen::WorkAreaRect() {
    RECT r{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) {
        return {0, 0, Width(), Height()};
    }
    return FromRECT(r);
}

TRect TScreen::MonitorWorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
        return WorkAreaRect();
    }
    return FromRECT(info.rcWork);
}

TRect TScreen::MonitorRect(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
        return {0, 0, Width(), Height()};
    }
    return FromRECT(info.rcMonitor);
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == m_cursor) {
        return;
    }
    m_cursor = cursor;
    POINT p{};
    GetCursorPos(&p);
    // Let the window under the pointer choose again, now.
    if (HWND window = WindowFromPoint(p)) {
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), WM_MOUSEMOVE));
    }
}

HCURSOR TScreen::Cursors(TCursor cursor) const {
    const wchar_t* id = IDC_ARROW;
    switch (cursor) {
        case crNone:
            return nullptr;
        case crCross:
            id = IDC_CROSS;
            break;
        case crIBeam:
            id = IDC_IBEAM;
            break;
        case crSizeNESW:
            id = IDC_SIZENESW;
            break;
        case crSizeNS:
            id = IDC_SIZENS;
            break;
        case crSizeNWSE:
            id = IDC_SIZENWSE;
            break;
        case crSizeWE:
            id = IDC_SIZEWE;
            break;
        case crUpArrow:
            id = IDC_UPARROW;
            break;
        case crHourGlass:
            id = IDC_WAIT;
            break;
        case crNo:
            id = IDC_NO;
            break;
        case crAppStart:
            id = IDC_APPSTARTING;
            break;
        case crHelp:
            id = IDC_HELP;
            break;
        case crHandPoint:
            id = IDC_HAND;
            break;
        case crSizeAll:
            id = IDC_SIZEALL;
            break;
        default:
            break;
    }
    return LoadCursorW(nullptr, id);
}

}  // namespace zaprelay::win32
