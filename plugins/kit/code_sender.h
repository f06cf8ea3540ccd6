// Delivering codes from a plug-in's thread to the program's window, and stopping that from the
// program's thread. Either the plug-in's thread sees the stop and sends nothing, or Stop sees
// the send under way: both flags are sequentially consistent, so once Stop's wait is over no
// send starts.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/kit/code_record.h"
#include "plugins/kit/press_limiter.h"

#include <atomic>
#include <cstdint>
#include <string_view>

namespace zaprelay::dcd {

class TCodeSender {
public:
    // Codes go to target from now on.
    void Open(HWND target);

    // On the plug-in's thread: one code, delivered synchronously; nothing once stopping (or
    // without a window), nothing for a fresh press beyond a remote's pace (TPressLimiter).
    // The record stays here, so a handler that stopped the plug-in can still read it. True
    // when the code was delivered.
    bool Send(std::string_view text, int32_t repeatCount);
    // The same with a record made by the caller (a test's, which may lack the zero byte).
    bool SendRecord(const TCodeRecord& record, int32_t repeatCount);
    bool Stopping() const { return m_stopping; }
    // Fresh presses dropped for coming faster than a remote gives them.
    uint64_t DroppedPresses() const { return m_limiter.Dropped(); }

    // On the program's thread, first thing in Stop: no send starts from now on. Called from
    // inside the handler of our own code, it answers that send so the thread can go on and end.
    // (The program stops its plug-in from its own messages or from inside that handler; never
    // from a handler of another thread's send, which this would answer instead.)
    void BeginStop();
    // Waits, answering sent messages, until no send is under way: for a thread that Stop has
    // given up waiting for.
    void WaitForSendToEnd() const;

private:
    HWND m_target = nullptr;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_sending{false};
    TCodeRecord m_record{};
    TPressLimiter m_limiter;  // used on the plug-in's thread only
};

}  // namespace zaprelay::dcd
