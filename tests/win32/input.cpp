#include "tests/win32/input.h"

#include "framework/win32/application.h"
#include "tests/win32/test_support.h"

#include <map>
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

void MoveMouseTo(int x, int y) {
    SetCursorPos(x, y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    in.mi.dy = y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(INPUT));
    // The pointer is moved through the display server, which answers a moment later.
    for (int tries = 0; tries < 20; ++tries) {
        Settle();
        POINT p{};
        GetCursorPos(&p);
        if (p.x == x && p.y == y) {
            break;
        }
    }
    Settle();
}

void ClickAt(int x, int y, bool right) {
    MoveMouseTo(x, y);
    INPUT in[2]{};
    in[0].type = INPUT_MOUSE;
    in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Settle();
}

POINT CenterOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace zaprelay::test
