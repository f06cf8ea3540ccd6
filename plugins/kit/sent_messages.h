// Waiting on the program's thread for a plug-in's thread without deadlock: that thread may be
// inside SendMessage to the waiting one.
#pragma once

#include "framework/win32/platform.h"

namespace zaprelay::dcd {

// Waits for any of the handles while answering messages sent to this thread. False when the
// time ran out (or the wait failed).
bool WaitPumpingSentMessages(const HANDLE* handles, DWORD count, DWORD timeoutMs);

}  // namespace zaprelay::dcd
