// One TCP connection to a LIRC daemon or WinLIRC server: connecting and reading its lines.
// Every wait also ends when the caller's stop event is set, so the thread that owns the
// connection can always be told to finish.
#pragma once

#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"
#include "plugins/lirc/lirc_line.h"
#include "plugins/lirc/probe_report.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zaprelay::lirc {

// Winsock, for as long as the object lives (each thread that uses sockets holds one).
class TWinsockUse {
public:
    TWinsockUse();
    ~TWinsockUse();
    TWinsockUse(const TWinsockUse&) = delete;
    TWinsockUse& operator=(const TWinsockUse&) = delete;
    bool Ready() const { return m_ready; }

private:
    bool m_ready = false;
};

enum class TReadStatus { Data, Idle, Closed, Stopped };

class TLircConnection {
public:
    TLircConnection() = default;
    ~TLircConnection() { Close(); }
    TLircConnection(const TLircConnection&) = delete;
    TLircConnection& operator=(const TLircConnection&) = delete;

    // Tries each address of the host in turn, all within timeoutMs.
    TConnectStatus Connect(const std::string& host, uint16_t port, HANDLE stop, DWORD timeoutMs);
    // Waits up to timeoutMs for bytes and appends the lines they complete (Data, possibly no
    // line yet); Idle when nothing came, Closed when the peer is gone.
    TReadStatus Read(HANDLE stop, DWORD timeoutMs, std::vector<std::string>& lines);
    void Close();

    // The Winsock error of the last failure, for messages.
    int LastError() const { return m_lastError; }

private:
    TConnectStatus ConnectTo(const void* address, int addressLength, HANDLE stop, DWORD timeoutMs);
    // Closes the socket and tells what the error means.
    TConnectStatus Failure(int error);
    void KeepAlive();

    uintptr_t m_socket = ~uintptr_t{0};  // a SOCKET; INVALID_SOCKET when none
    win32::TKernelHandle m_event;
    TLircLineSplitter m_splitter;
    int m_lastError = 0;
};

}  // namespace zaprelay::lirc
