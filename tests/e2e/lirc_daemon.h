// A real LIRC daemon (Debian's lircd) for the tests of the network receiver: started on
// loopback with simulation allowed and no hardware, driven over its TCP port the way irsend
// drives it, killed and started again. The daemon is a Linux program; the tests run under
// Wine, which starts it through the Z: drive and reaches its files there.
#pragma once

#include "framework/win32/platform.h"

#include <cstdint>
#include <string>

namespace zaprelay::e2e {

class TLircDaemon {
public:
    // Where lircd is (ZAPRELAY_LIRCD, a Unix path); empty when the build found none.
    static std::string Program();

    TLircDaemon();
    ~TLircDaemon();
    TLircDaemon(const TLircDaemon&) = delete;
    TLircDaemon& operator=(const TLircDaemon&) = delete;

    uint16_t Port() const { return m_tcpPort; }

    // Starts the daemon with its remote "tv" (KEY_VOLUMEUP, KEY_VOLUMEDOWN, KEY_1 .. KEY_3,
    // KEY_OK); true once its port takes connections. Started again, it uses the same ports.
    bool Start();
    // Ends it by its pid; true once its port refuses connections.
    bool Kill();
    // Clients on its TCP port now, as its log tells (accepted less removed since it started).
    int Clients() const;
    // As `irsend SIMULATE "<line>"`: every client is sent the line. True when it says SUCCESS.
    bool Simulate(const std::string& line);
    std::string Log() const;

private:
    // Connects and hangs up at once; true when the daemon took the connection.
    bool Accepts();
    // Waits until the daemon has logged the end of every connection of ours, so that Clients
    // counts the plug-in's alone.
    bool OwnConnectionsGone() const;

    std::string m_folder;      // Windows path, with a separator at the end
    std::string m_unixFolder;  // the same, as the daemon sees it
    uint16_t m_tcpPort = 0;
    uint16_t m_udpPort = 0;
    int m_ownConnections = 0;  // since the daemon last started
};

}  // namespace zaprelay::e2e
