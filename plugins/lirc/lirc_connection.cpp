#include "plugins/lirc/lirc_connection.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After the socket headers, whose types it uses.
#include <mstcpip.h>

namespace zaprelay::lirc {
namespace {

// A dead peer (a server switched off, a computer that slept) is noticed by keep-alive probes
// after about this long, even though a LIRC server sends nothing while no button is pressed.
constexpr ULONG kKeepAliveIdleMs = 15000;
constexpr ULONG kKeepAliveIntervalMs = 2000;
constexpr int kReadChunk = 4096;
constexpr int kChunksPerRead = 16;

struct TAddresses {
    addrinfo* List = nullptr;
    ~TAddresses() {
        if (List != nullptr) {
            freeaddrinfo(List);
        }
    }
};

}  // namespace

TWinsockUse::TWinsockUse() {
    WSADATA data;
    m_ready = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

TWinsockUse::~TWinsockUse() {
    if (m_ready) {
        WSACleanup();
    }
}

TConnectStatus TLircConnection::Connect(const std::string& host, uint16_t port, HANDLE stop, DWORD timeoutMs) {
    Close();
    m_splitter = TLircLineSplitter();
    if (!m_event) {
        m_event.Reset(WSACreateEvent());
        if (!m_event) {
            m_lastError = WSAGetLastError();
            return TConnectStatus::Failed;
        }
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    TAddresses addresses;
    const std::string service = std::to_string(port);
    int error = getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses.List);
    if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
        return TConnectStatus::Stopped;
    }
    if (error != 0) {
        m_lastError = error;
        return error == WSAHOST_NOT_FOUND || error == WSANO_DATA ? TConnectStatus::UnknownHost : TConnectStatus::Failed;
    }
    // The most telling failure wins: a refusal says more than a silence.
    TConnectStatus result = TConnectStatus::Failed;
    for (addrinfo* address = addresses.List; address != nullptr; address = address->ai_next) {
        TConnectStatus status = ConnectTo(address->ai_addr, static_cast<int>(address->ai_addrlen), stop, timeoutMs);
        if (status == TConnectStatus::Connected || status == TConnectStatus::Stopped) {
            return status;
        }
        if (status == TConnectStatus::Refused || result == TConnectStatus::Failed) {
            result = status;
        }
    }
    return result;
}

TConnectStatus TLircConnection::ConnectTo(const void* address, int addressLength, HANDLE stop, DWORD timeoutMs) {
    const auto* target = static_cast<const sockaddr*>(address);
    SOCKET s = socket(target->sa_family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        m_lastError = WSAGetLastError();
        return TConnectStatus::Failed;
    }
    m_socket = s;
    // The event makes the socket non-blocking: connect returns at once, the wait below also
    // watches the stop event.
    WSAResetEvent(m_event.Get());
    if (WSAEventSelect(s, m_event.Get(), FD_CONNECT | FD_READ | FD_CLOSE) != 0) {
        m_lastError = WSAGetLastError();
        Close();
        return TConnectStatus::Failed;
    }
    if (connect(s, target, addressLength) != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
        m_lastError = WSAGetLastError();
        Close();
        return m_lastError == WSAECONNREFUSED ? TConnectStatus::Refused : TConnectStatus::Failed;
    }
    HANDLE handles[2] = {stop, m_event.Get()};
    DWORD waited = WaitForMultipleObjects(2, handles, FALSE, timeoutMs);
    if (waited == WAIT_OBJECT_0) {
        Close();
        return TConnectStatus::Stopped;
    }
    if (waited != WAIT_OBJECT_0 + 1) {
        m_lastError = waited == WAIT_TIMEOUT ? WSAETIMEDOUT : static_cast<int>(GetLastError());
        Close();
        return waited == WAIT_TIMEOUT ? TConnectStatus::NoAnswer : TConnectStatus::Failed;
    }
    WSANETWORKEVENTS events{};
    if (WSAEnumNetworkEvents(s, m_event.Get(), &events) != 0) {
        m_lastError = WSAGetLastError();
        Close();
        return TConnectStatus::Failed;
    }
    if ((events.lNetworkEvents & FD_CONNECT) != 0 && events.iErrorCode[FD_CONNECT_BIT] != 0) {
        m_lastError = events.iErrorCode[FD_CONNECT_BIT];
        Close();
        switch (m_lastError) {
            case WSAECONNREFUSED:
                return TConnectStatus::Refused;
            case WSAETIMEDOUT:
            case WSAEHOSTUNREACH:
            case WSAENETUNREACH:
                return TConnectStatus::NoAnswer;
            default:
                return TConnectStatus::Failed;
        }
    }
    // Lines that came with the connection are read by the first Read: the event is set again.
    if ((events.lNetworkEvents & (FD_READ | FD_CLOSE)) != 0) {
        WSASetEvent(m_event.Get());
    }
    KeepAlive();
    return TConnectStatus::Connected;
}

void TLircConnection::KeepAlive() {
    BOOL on = TRUE;
    setsockopt(m_socket, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
    tcp_keepalive values{1, kKeepAliveIdleMs, kKeepAliveIntervalMs};
    DWORD returned = 0;
    // Where the system has no per-socket timing, its own (about two hours) must do.
    WSAIoctl(m_socket, SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned, nullptr, nullptr);
}

TReadStatus TLircConnection::Read(HANDLE stop, DWORD timeoutMs, std::vector<std::string>& lines) {
    if (m_socket == INVALID_SOCKET) {
        return TReadStatus::Closed;
    }
    HANDLE handles[2] = {stop, m_event.Get()};
    DWORD waited = WaitForMultipleObjects(2, handles, FALSE, timeoutMs);
    if (waited == WAIT_OBJECT_0) {
        return TReadStatus::Stopped;
    }
    if (waited == WAIT_TIMEOUT) {
        return TReadStatus::Idle;
    }
    if (waited != WAIT_OBJECT_0 + 1) {
        m_lastError = static_cast<int>(GetLastError());
        Close();
        return TReadStatus::Closed;
    }
    // Read until the socket has nothing more (FD_READ is signalled again only after a recv),
    // but a few chunks at most: a peer that floods us must not keep the caller from its stop
    // event or grow the lines without bound.
    WSAResetEvent(m_event.Get());
    char buffer[kReadChunk];
    for (int chunk = 0; chunk < kChunksPerRead; ++chunk) {
        int received = recv(m_socket, buffer, kReadChunk, 0);
        if (received > 0) {
            m_splitter.Feed(std::string_view(buffer, static_cast<std::size_t>(received)), lines);
            continue;
        }
        if (received < 0 && WSAGetLastError() == WSAEWOULDBLOCK) {
            return TReadStatus::Data;
        }
        m_lastError = received == 0 ? 0 : WSAGetLastError();
        Close();
        return TReadStatus::Closed;
    }
    WSASetEvent(m_event.Get());
    return TReadStatus::Data;
}

void TLircConnection::Close() {
    if (m_socket != INVALID_SOCKET) {
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

}  // namespace zaprelay::lirc
