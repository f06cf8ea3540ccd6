#include "plugins/kit/sent_messages.h"

namespace zaprelay::dcd {

// A send already waiting does not wake a plain wait once someone has looked at the queue,
// hence the peek first and the wait for input that is merely there.
bool WaitPumpingSentMessages(const HANDLE* handles, DWORD count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs) {
                return false;
            }
            left = timeoutMs - elapsed;
        }
        DWORD result = MsgWaitForMultipleObjectsEx(count, handles, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result < WAIT_OBJECT_0 + count) {
            return true;
        }
        if (result == WAIT_TIMEOUT || result == WAIT_FAILED) {
            return false;
        }
    }
}

}  // namespace zaprelay::dcd
