// A form's icon in the notification area: one notify-icon record, filled once, and the shell
// calls that add, change and remove it. The tip is wide text, so a Russian title survives any
// system code page.
#pragma once

#include "framework/win32/platform.h"

#include <shellapi.h>
#include <string>

namespace zaprelay::skin {

class TTrayIcon {
public:
    // The shell entry; tests put a recorder in its place.
    using TNotify = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
    static TNotify SetNotify(TNotify notify);  // returns the previous one

    static constexpr std::size_t kTipLength = 63;  // characters; the record holds 64 with the zero

    // window: where the shell sends callbackMessage (mouse events in lParam).
    TTrayIcon(HWND window, UINT callbackMessage);
    ~TTrayIcon();  // removes the icon if it is shown
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    UINT Id() const { return m_data.uID; }
    bool Shown() const { return m_shown; }
    HICON Icon() const { return m_data.hIcon; }
    std::u16string Tip() const;

    void SetIcon(HICON icon);                // borrowed: the caller keeps it alive while shown
    void SetTip(const std::u16string& tip);  // cut to kTipLength characters

    // Each returns what the shell answered. Add on a shown icon and Remove on a hidden one do
    // nothing; Modify changes a shown icon and only the record of a hidden one.
    bool Add();
    // The shell's notification area was (re)made after the icon was added, or refused it: it
    // holds no icon of ours any more, whatever it said before.
    bool AddAgain();
    bool Modify();
    bool Remove();
    // Takes the icon off the shell and leaves the record as it is: for a process that is ending
    // from another thread while its own is stuck.
    void Withdraw() const;

private:
    NOTIFYICONDATAW m_data{};
    bool m_shown = false;
};

}  // namespace zaprelay::skin
