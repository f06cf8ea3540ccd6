#include "tests/win32/fake_lirc_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace zaprelay::test {
namespace {

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

}  // namespace

TFakeLircServer::TFakeLircServer() : m_listener(INVALID_SOCKET) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    Listen();
    m_thread = std::thread([this] { Serve(); });
}

TFakeLircServer::~TFakeLircServer() {
    m_ending = true;
    m_thread.join();
    CloseAll();
    WSACleanup();
}

bool TFakeLircServer::Listen() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_listener != INVALID_SOCKET) {
        return true;
    }
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address = Loopback(m_port);
    // Not blocking: a listener closed and another made between the serving thread's select and
    // its accept must not leave accept waiting with the lock held.
    u_long nonBlocking = 1;
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0 || ioctlsocket(listener, FIONBIO, &nonBlocking) != 0) {
        closesocket(listener);
        return false;
    }
    int length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_listener = listener;
    return true;
}

void TFakeLircServer::Send(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(m_lock);
    for (uintptr_t connection : m_connections) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            int n = send(connection, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
    }
}

void TFakeLircServer::GoAway() {
    CloseAll();
}

void TFakeLircServer::CloseAll() {
    std::lock_guard<std::mutex> lock(m_lock);
    for (uintptr_t connection : m_connections) {
        closesocket(connection);
    }
    m_connections.clear();
    m_clients = 0;
    if (m_listener != INVALID_SOCKET) {
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
    }
}

// Accepts clients and notices the ones that leave, looking a few times a second.
void TFakeLircServer::Serve() {
    while (!m_ending) {
        fd_set readable;
        FD_ZERO(&readable);
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_listener != INVALID_SOCKET) {
                FD_SET(m_listener, &readable);
            }
            for (uintptr_t connection : m_connections) {
                FD_SET(connection, &readable);
            }
        }
        if (readable.fd_count == 0) {
            Sleep(20);
            continue;
        }
        timeval wait{0, 20000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) {
            continue;
        }
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_listener != INVALID_SOCKET && FD_ISSET(m_listener, &readable)) {
            SOCKET client = accept(m_listener, nullptr, nullptr);
            u_long blocking = 0;
            // Sends wait for room: a test's bytes all go out.
            if (client != INVALID_SOCKET && ioctlsocket(client, FIONBIO, &blocking) == 0) {
                m_connections.push_back(client);
            } else if (client != INVALID_SOCKET) {
                closesocket(client);
            }
        }
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            char buffer[512];
            // What a client sends is read and forgotten; nothing means it has gone.
            if (FD_ISSET(*it, &readable) && recv(*it, buffer, sizeof buffer, 0) <= 0) {
                closesocket(*it);
                it = m_connections.erase(it);
            } else {
                ++it;
            }
        }
        m_clients = static_cast<int>(m_connections.size());
    }
}

}  // namespace zaprelay::test
