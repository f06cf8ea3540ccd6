#include "tests/win32/input.h"

#include "framework/win32/application.h"
#include "tests/win32/test_support.h"

#include <map>
#include <memory>
#include <vector>

namespace zaprelay::test {
namespace {

INPUT KeyInput(WORD key, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Lets the input reach the windows before the test looks.
void Settle() {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 60) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        if (win32::Application() != nullptr) {
            win32::Application()->ProcessMessages();
        } else {
            PumpUntil([] { return false; }, 1);
        }
    }
}

std::map<UINT_PTR, std::function<void()>>& DelayedActions() {
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK RunDelayed(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto it = DelayedActions().find(id);
    if (it != DelayedActions().end()) {
        std::function<void()> action = std::move(it->second);
        DelayedActions().erase(it);
        action();
    }
}

}  // namespace

void AfterDelay(UINT ms, std::function<void()> action) {
    UINT_PTR id = SetTimer(nullptr, 0, ms, RunDelayed);
    DelayedActions()[id] = std::move(action);
}

void WhenTrue(std::function<bool()> done, std::function<void()> action, std::function<void()> giveUp, int triesLeft) {
    AfterDelay(50,
               [done = std::move(done), action = std::move(action), giveUp = std::move(giveUp), triesLeft]() mutable {
                   if (done()) {
                       action();
                   } else if (triesLeft > 0) {
                       WhenTrue(std::move(done), std::move(action), std::move(giveUp), triesLeft - 1);
                   } else if (giveUp) {
                       giveUp();
                   }
               });
}

void WhenWindowIsUp(const wchar_t* className, const wchar_t* title, std::function<void(HWND)> action) {
    auto found = std::make_shared<HWND>(nullptr);
    WhenTrue(
        [=] {
            *found = FindWindowW(className, title);
            return *found != nullptr && IsWindowVisible(*found);
        },
        [=] { action(*found); });
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    QueueKey(key, modifiers);
    Settle();
}

void QueueKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD m : modifiers) {
        inputs.push_back(KeyInput(m, false));
    }
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto it = modifiers.end(); it != modifiers.begin();) {
        --it;
        inputs.push_back(KeyInput(*it, true));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {

INPUT MouseInput(int x, int y, DWORD buttons) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    in.mi.dy = y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return in;
}

// Sends the pointer to a point and waits until the system reports it there twice in a row
// (the display server answers a moment later, and a late answer may still move it).
void SendPointerTo(int x, int y) {
    INPUT in = MouseInput(x, y, 0);
    SendInput(1, &in, sizeof(INPUT));
    int stable = 0;
    for (int tries = 0; tries < 30 && stable < 2; ++tries) {
        Settle();
        POINT p{};
        GetCursorPos(&p);
        stable = (p.x == x && p.y == y) ? stable + 1 : 0;
    }
}

}  // namespace

void MoveMouseTo(int x, int y) {
    // A step beside the target first, so arriving there is a move even when the pointer
    // already rests on it.
    SendPointerTo(x + 3, y + 3);
    SendPointerTo(x, y);
}

void ClickAt(int x, int y, bool right) {
    MoveMouseTo(x, y);
    // The buttons carry the position too, so they land where the pointer was sent.
    INPUT in[2] = {MouseInput(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                   MouseInput(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
    SendInput(2, in, sizeof(INPUT));
    Settle();
}

void QueueClickAt(int x, int y) {
    INPUT in[3] = {MouseInput(x, y, 0), MouseInput(x, y, MOUSEEVENTF_LEFTDOWN), MouseInput(x, y, MOUSEEVENTF_LEFTUP)};
    SendInput(3, in, sizeof(INPUT));
}

void DragWithMouse(POINT from, POINT to, const std::function<void()>& beforeRelease) {
    MoveMouseTo(from.x, from.y);
    INPUT down = MouseInput(from.x, from.y, MOUSEEVENTF_LEFTDOWN);
    SendInput(1, &down, sizeof(INPUT));
    Settle();
    // In steps, as a hand moves: each one is a mouse move of its own.
    for (int step = 1; step <= 4; ++step) {
        SendPointerTo(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4);
    }
    if (beforeRelease) {
        beforeRelease();
    }
    INPUT up = MouseInput(to.x, to.y, MOUSEEVENTF_LEFTUP);
    SendInput(1, &up, sizeof(INPUT));
    Settle();
}

void DoubleClickAt(int x, int y) {
    MoveMouseTo(x, y);
    // One batch, so both clicks fall well inside the double-click time.
    INPUT in[4] = {MouseInput(x, y, MOUSEEVENTF_LEFTDOWN), MouseInput(x, y, MOUSEEVENTF_LEFTUP),
                   MouseInput(x, y, MOUSEEVENTF_LEFTDOWN), MouseInput(x, y, MOUSEEVENTF_LEFTUP)};
    SendInput(4, in, sizeof(INPUT));
    Settle();
}

POINT CenterOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace zaprelay::test
