#include "plugins/guard/pipe_channel.h"

namespace zaprelay::guard {

TPipeChannel::TPipeChannel(HANDLE pipe)
    : m_pipe(pipe == INVALID_HANDLE_VALUE ? nullptr : pipe),
      m_written(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_readDone(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

TPipeChannel::~TPipeChannel() {
    CancelRead();
}

bool TPipeChannel::Write(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(m_writing);
    std::size_t done = 0;
    while (m_pipe && m_written && done < bytes.size()) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_written.Get();
        DWORD count = 0;
        const DWORD size = static_cast<DWORD>(bytes.size() - done);
        if (!WriteFile(m_pipe.Get(), bytes.data() + done, size, &count, &overlapped) &&
            (GetLastError() != ERROR_IO_PENDING || !GetOverlappedResult(m_pipe.Get(), &overlapped, &count, TRUE))) {
            return false;
        }
        done += count;
    }
    return m_pipe && m_written && done == bytes.size();
}

bool TPipeChannel::BeginRead() {
    if (!m_pipe || !m_readDone) {
        return false;
    }
    if (m_reading) {
        return true;
    }
    m_read = OVERLAPPED{};
    m_read.hEvent = m_readDone.Get();
    ResetEvent(m_readDone.Get());
    if (!ReadFile(m_pipe.Get(), m_buffer, sizeof m_buffer, nullptr, &m_read) && GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    // Finished at once or later: the event says so either way.
    m_reading = true;
    return true;
}

bool TPipeChannel::FinishRead(std::string& bytes) {
    if (!m_reading) {
        return false;
    }
    m_reading = false;
    DWORD count = 0;
    if (!GetOverlappedResult(m_pipe.Get(), &m_read, &count, TRUE) || count == 0) {
        return false;
    }
    bytes.assign(m_buffer, count);
    return true;
}

void TPipeChannel::CancelRead() {
    if (m_reading && m_pipe) {
        CancelIo(m_pipe.Get());
        DWORD count = 0;
        GetOverlappedResult(m_pipe.Get(), &m_read, &count, TRUE);
    }
    m_reading = false;
}

}  // namespace zaprelay::guard
