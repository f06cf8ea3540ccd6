// One end of the pipe between the guard and its receiver host, opened for overlapped use so
// that a read waiting on one thread never holds up a write from another.
#pragma once

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <mutex>
#include <string>

namespace zaprelay::guard {

class TPipeChannel {
public:
    // Takes the pipe (opened with FILE_FLAG_OVERLAPPED); false from every call when it is invalid.
    explicit TPipeChannel(HANDLE pipe);
    ~TPipeChannel();
    TPipeChannel(const TPipeChannel&) = delete;
    TPipeChannel& operator=(const TPipeChannel&) = delete;

    HANDLE Pipe() const { return m_pipe.Get(); }

    // All the bytes, waiting until they are written; false once the other end is gone. Any thread.
    bool Write(const std::string& bytes);

    // A read: Begin starts one (false when the pipe is broken), ReadDone is signalled when it has
    // finished, Finish takes what came (false when the pipe broke instead). One reading thread.
    bool BeginRead();
    HANDLE ReadDone() const { return m_readDone.Get(); }
    bool FinishRead(std::string& bytes);
    // Abandons a read under way (before the pipe is closed with the buffer still in use).
    void CancelRead();

private:
    win32::TKernelHandle m_pipe;
    std::mutex m_writing;
    win32::TKernelHandle m_written;
    win32::TKernelHandle m_readDone;
    OVERLAPPED m_read{};
    bool m_reading = false;
    char m_buffer[4096];
};

}  // namespace zaprelay::guard
