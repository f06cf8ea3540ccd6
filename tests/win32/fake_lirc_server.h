// A stand-in for a LIRC daemon's TCP port, on loopback: it accepts clients, sends them what a
// test says (button lines, garbage), and can go away and come back on the same port.
#pragma once

#include "framework/win32/platform.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zaprelay::test {

class TFakeLircServer {
public:
    // Listens on a free loopback port.
    TFakeLircServer();
    ~TFakeLircServer();
    TFakeLircServer(const TFakeLircServer&) = delete;
    TFakeLircServer& operator=(const TFakeLircServer&) = delete;

    uint16_t Port() const { return m_port; }
    // Clients connected and not yet gone.
    int Clients() const { return m_clients; }
    // Sends the bytes to every client.
    void Send(const std::string& bytes);
    // Closes every connection and the port: connecting is refused until Listen.
    void GoAway();
    // Listens again on the same port; false when it could not.
    bool Listen();

private:
    void Serve();
    void CloseAll();

    uint16_t m_port = 0;
    uintptr_t m_listener;
    std::vector<uintptr_t> m_connections;
    std::atomic<int> m_clients{0};
    mutable std::mutex m_lock;
    std::atomic<bool> m_ending{false};
    std::thread m_thread;
};

}  // namespace zaprelay::test
