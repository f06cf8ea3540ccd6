// The framework's own window messages: notifications between controls (CM_) and messages
// reflected from a parent window back to the control that caused them (CN_).
#pragma once

#include "framework/rtl/message.h"
#include "framework/win32/platform.h"

namespace zaprelay::win32 {

// Below the skin library's private numbers (0xB0DE and up).
inline constexpr uint32_t CM_BASE = 0xB000;
inline constexpr uint32_t CM_ACTIVATE = CM_BASE + 0;
inline constexpr uint32_t CM_DEACTIVATE = CM_BASE + 1;
inline constexpr uint32_t CM_FOCUSCHANGED = CM_BASE + 7;  // lParam: the control getting the focus
inline constexpr uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr uint32_t CM_HITTEST = CM_BASE + 10;  // lParam: client point; result non-zero = hit
inline constexpr uint32_t CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr uint32_t CM_COLORCHANGED = CM_BASE + 13;
inline constexpr uint32_t CM_FONTCHANGED = CM_BASE + 14;
inline constexpr uint32_t CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr uint32_t CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;
inline constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr uint32_t CM_MENUCHANGED = CM_BASE + 21;
inline constexpr uint32_t CM_APPKEYDOWN = CM_BASE + 22;
inline constexpr uint32_t CM_BUTTONPRESSED = CM_BASE + 24;  // wParam: group; lParam: the button
inline constexpr uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr uint32_t CM_ENTER = CM_BASE + 26;
inline constexpr uint32_t CM_EXIT = CM_BASE + 27;
inline constexpr uint32_t CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr uint32_t CM_ICONCHANGED = CM_BASE + 29;
inline constexpr uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;  // wParam: key; result non-zero = the control takes it
inline constexpr uint32_t CM_INVOKEHELP = CM_BASE + 31;
inline constexpr uint32_t CM_WINDOWHOOK = CM_BASE + 32;
inline constexpr uint32_t CM_RELEASE = CM_BASE + 33;  // posted to a form: free it
inline constexpr uint32_t CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr uint32_t CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr uint32_t CM_DIALOGKEY = CM_BASE + 38;   // wParam: virtual key; result non-zero = used
inline constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 39;  // wParam: character; result non-zero = used
inline constexpr uint32_t CM_FOCUSENTER = CM_BASE + 40;  // the control itself got the keyboard focus
inline constexpr uint32_t CM_FOCUSEXIT = CM_BASE + 41;   // the control itself lost the keyboard focus
inline constexpr uint32_t CM_RECREATEWND = CM_BASE + 42;
inline constexpr uint32_t CM_CHILDKEY = CM_BASE + 44;  // wParam: key; lParam: the control
inline constexpr uint32_t CM_SYSFONTCHANGED = CM_BASE + 45;
inline constexpr uint32_t CM_BIDIMODECHANGED = CM_BASE + 60;
inline constexpr uint32_t CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
inline constexpr uint32_t CM_PARENTSHOWHINTCHANGED = CM_BASE + 62;
inline constexpr uint32_t CM_HINTSHOW = CM_BASE + 63;
inline constexpr uint32_t CM_TABSTOPCHANGED = CM_BASE + 65;
inline constexpr uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 70;  // wParam: the control; lParam: inserted

// A notification that a child window sent its parent, handed back to the child's control.
inline constexpr uint32_t CN_BASE = 0xBC00;
inline constexpr uint32_t CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
inline constexpr uint32_t CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr uint32_t CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr uint32_t CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr uint32_t CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr uint32_t CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr uint32_t CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr uint32_t CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr uint32_t CN_NOTIFY = CN_BASE + WM_NOTIFY;
inline constexpr uint32_t CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr uint32_t CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr uint32_t CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr uint32_t CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr uint32_t CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

inline TMessage MakeMessage(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0) {
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    return m;
}

}  // namespace zaprelay::win32
