#include "skin/form/tray_icon.h"

#include <algorithm>
#include <atomic>

namespace zaprelay::skin {
namespace {

TTrayIcon::TNotify g_notify = &Shell_NotifyIconW;

// Identifiers only need to differ between the icons of one window; a process-wide count makes
// them differ everywhere.
UINT NextId() {
    static std::atomic<UINT> next{1};
    return next++;
}

}  // namespace

TTrayIcon::TNotify TTrayIcon::SetNotify(TNotify notify) {
    TNotify previous = g_notify;
    g_notify = notify != nullptr ? notify : &Shell_NotifyIconW;
    return previous;
}

TTrayIcon::TTrayIcon(HWND window, UINT callbackMessage) {
    // The first record layout: every shell version takes it, and it has all this icon needs.
    m_data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    m_data.hWnd = window;
    m_data.uID = NextId();
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
}

TTrayIcon::~TTrayIcon() {
    Remove();
}

std::u16string TTrayIcon::Tip() const {
    return std::u16string(reinterpret_cast<const char16_t*>(m_data.szTip));
}

void TTrayIcon::SetIcon(HICON icon) {
    m_data.hIcon = icon;
}

void TTrayIcon::SetTip(const std::u16string& tip) {
    std::size_t length = std::min(tip.size(), kTipLength);
    std::copy_n(tip.data(), length, reinterpret_cast<char16_t*>(m_data.szTip));
    m_data.szTip[length] = L'\0';
}

bool TTrayIcon::Add() {
    if (m_shown) {
        return true;
    }
    m_shown = g_notify(NIM_ADD, &m_data) != FALSE;
    return m_shown;
}

bool TTrayIcon::AddAgain() {
    m_shown = false;
    return Add();
}

bool TTrayIcon::Modify() {
    return !m_shown || g_notify(NIM_MODIFY, &m_data) != FALSE;
}

bool TTrayIcon::Remove() {
    if (!m_shown) {
        return true;
    }
    m_shown = false;
    return g_notify(NIM_DELETE, &m_data) != FALSE;
}

void TTrayIcon::Withdraw() const {
    if (m_shown) {
        NOTIFYICONDATAW data = m_data;
        g_notify(NIM_DELETE, &data);
    }
}

}  // namespace zaprelay::skin
