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

// How much a failure tells the user about the server.
int Telling(TConnectStatus status) {
    switch (status) {
        case TConnectStatus::Refused:
            return 2;
        case TConnectStatus::NoAnswer:
            return 1;
        default:
            return 0;
    }
}

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
    const DWORD start = GetTickCount();
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
    // One time limit for all the host's addresses. The most telling failure is the one told
    // (a refusal says more than a silence, a silence more than an error), with its own error.
    TConnectStatus result = TConnectStatus::Failed;
    int resultError = 0;
    for (addrinfo* address = addresses.List; address != nullptr; address = address->ai_next) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            if (Telling(TConnectStatus::NoAnswer) > Telling(result)) {
                result = TConnectStatus::NoAnswer;
                resultError = WSAETIMEDOUT;
            }
            break;
        }
        TConnectStatus status =
            ConnectTo(address->ai_addr, static_cast<int>(address->ai_addrlen), stop, timeoutMs - elapsed);
        if (status == TConnectStatus::Connected || status == TConnectStatus::Stopped) {
            return status;
        }
        if (Telling(status) > Telling(result) || resultError == 0) {
            result = status;
            resultError = m_lastError;
        }
    }
    m_lastError = resultError;
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
        return Failure(WSAGetLastError());
    }
    if (connect(s, target, addressLength) != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
        return Failure(WSAGetLastError());
    }
    // Woken by the connection's outcome, or by lines or a close that come with it.
    const DWORD start = GetTickCount();
    long arrived = 0;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        HANDLE handles[2] = {stop, m_event.Get()};
        DWORD waited = WaitForMultipleObjects(2, handles, FALSE, elapsed < timeoutMs ? timeoutMs - elapsed : 0);
        if (waited == WAIT_OBJECT_0) {
            Close();
            return TConnectStatus::Stopped;
        }
        if (waited != WAIT_OBJECT_0 + 1) {
            return Failure(waited == WAIT_TIMEOUT ? WSAETIMEDOUT : static_cast<int>(GetLastError()));
        }
        WSANETWORKEVENTS events{};
        if (WSAEnumNetworkEvents(s, m_event.Get(), &events) != 0) {
            return Failure(WSAGetLastError());
        }
        arrived |= events.lNetworkEvents;
        if ((events.lNetworkEvents & FD_CONNECT) != 0) {
            if (events.iErrorCode[FD_CONNECT_BIT] != 0) {
                return Failure(events.iErrorCode[FD_CONNECT_BIT]);
            }
            break;
        }
        if ((events.lNetworkEvents & FD_CLOSE) != 0) {
            return Failure(events.iErrorCode[FD_CLOSE_BIT] != 0 ? events.iErrorCode[FD_CLOSE_BIT] : WSAECONNRESET);
        }
    }
    // Lines (or a close) that came with the connection are read by the first Read.
    if ((arrived & (FD_READ | FD_CLOSE)) != 0) {
        WSASetEvent(m_event.Get());
    }
    KeepAlive();
    return TConnectStatus::Connected;
}

TConnectStatus TLircConnection::Failure(int error) {
    m_lastError = error;
    Close();
    switch (error) {
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
