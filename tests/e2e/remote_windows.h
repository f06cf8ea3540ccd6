// Looking at and clicking the windows of another process, the program under test: texts,
// list rows and check marks are read with messages, clicks go through the input queue.
#pragma once

#include "framework/win32/platform.h"

#include <string>
#include <vector>

namespace zaprelay::e2e {

std::wstring ClassOf(HWND window);
// The text through WM_GETTEXT: a window of another process answers from its own thread.
std::wstring TextOf(HWND window);
// The visible top-level windows of a process, with the given class when one is named.
// Visible ones only, unless hiddenToo.
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className = nullptr, bool hiddenToo = false);
// All windows below parent, at any depth, in the order the system lists them.
std::vector<HWND> Descendants(HWND parent);
// The skin's caption buttons answer HTBORDER: the longest run of it along a caption row (the
// buttons side by side), as left, right (both inside) and the row; false when there is none.
bool FindSkinButtons(HWND window, LONG& left, LONG& right, LONG& y);
// The window's WM_NCHITTEST answer at a screen point.
LRESULT HitTestAt(HWND window, int x, int y);
// The first window below parent with this class and, when given, this exact text.
HWND FindDescendant(HWND parent, const wchar_t* className, const wchar_t* text = nullptr);

std::vector<std::wstring> ListRows(HWND list);
int ListSelection(HWND list);  // -1 when no row is selected
bool IsChecked(HWND button);

// Real mouse clicks: the centre of a window, and the middle of a list row (scrolled into view
// first; every row of the program's list is visible).
void Click(HWND window);
void ClickRow(HWND list, int row);

// The static texts of a message box (its message) and whether it shows the error icon, judged
// on the screen's pixels against the system's own error icon drawn here.
std::wstring MessageOf(HWND box);
bool ShowsErrorIcon(HWND box);

}  // namespace zaprelay::e2e
