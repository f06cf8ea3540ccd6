// Where an icon of the notification area is on the screen, for tests that click it for real.
// Relies on Shell_NotifyIconGetRect where the shell has it; else (Wine, where it is a stub) on
// the taskbar "Shell_TrayWnd" drawing its icons in small-icon slots packed from its right end.
#pragma once

#include "framework/win32/platform.h"

#include <optional>

namespace zaprelay::test {

// The shell holds the icon: a modify that changes nothing fails only for an icon it lacks.
bool ShellHasIcon(HWND window, UINT id);

// The centre of the icon that window added with id, in screen coordinates; nothing when the
// shell does not know the icon or does not show it where it can be told apart (under Wine,
// when the taskbar shows other icons too: their order there is not known from outside).
std::optional<POINT> TrayIconCenter(HWND window, UINT id);

// Polls TrayIconCenter, dispatching this thread's messages meanwhile, until it answers or the
// deadline passes (the shell draws a new icon a moment after it was added).
bool WaitForTrayIcon(HWND window, UINT id, DWORD timeoutMs, POINT& center);

}  // namespace zaprelay::test
