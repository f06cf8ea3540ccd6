// Real input for the window tests: key strokes and mouse moves through the system's input
// queue (SendInput), so they take the same path as a user's.
#pragma once

#include "framework/win32/platform.h"

#include <functional>
#include <initializer_list>

namespace zaprelay::test {

// Presses and releases the keys in order, holding the modifiers given before the key.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// The same without waiting: for a modal loop (a menu's, a dialog's) that must read the keys
// itself.
void QueueKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Moves the pointer to a screen point.
void MoveMouseTo(int x, int y);
// Moves the pointer to a screen point and clicks a button there (left or right).
void ClickAt(int x, int y, bool right = false);
// ClickAt (left button) without waiting: for a menu's modal loop, which must read it itself.
void QueueClickAt(int x, int y);
// Moves the pointer to a screen point and clicks the left button there twice in a row.
void DoubleClickAt(int x, int y);
// Presses the left button at from, moves to `to` in a few steps, runs beforeRelease (to look
// at the screen mid-drag) and releases there.
void DragWithMouse(POINT from, POINT to, const std::function<void()>& beforeRelease = {});
// Runs action once on this thread after ms, from a timer: it also runs inside modal loops
// (a menu's, a dialog's) that the test has entered in the meantime.
void AfterDelay(UINT ms, std::function<void()> action);
// Looks every 50 ms, from such a timer, whether done() holds and then runs action once; gives
// up after about ten seconds and runs giveUp instead (which ends the modal loop the test is
// in, say), so what never comes fails the test instead of hanging it.
void WhenTrue(std::function<bool()> done,
              std::function<void()> action,
              std::function<void()> giveUp = {},
              int triesLeft = 200);
// WhenTrue for a visible top-level window of this class and title (a dialog box: "#32770").
void WhenWindowIsUp(const wchar_t* className, const wchar_t* title, std::function<void(HWND)> action);
// The centre of a window on the screen.
POINT CenterOf(HWND window);

}  // namespace zaprelay::test
