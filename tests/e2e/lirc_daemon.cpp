#include "tests/e2e/lirc_daemon.h"

#include "tests/e2e/zaprelay_fixture.h"
#include "tests/win32/test_support.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace zaprelay::e2e {
namespace {

constexpr char kRemote[] =
    "begin remote\n"
    "  name tv\n"
    "  bits 16\n"
    "  gap 100000\n"
    "  begin codes\n"
    "    KEY_VOLUMEUP   0x0001\n"
    "    KEY_VOLUMEDOWN 0x0002\n"
    "    KEY_1          0x0011\n"
    "    KEY_2          0x0012\n"
    "    KEY_3          0x0013\n"
    "    KEY_OK         0x0020\n"
    "  end codes\n"
    "end remote\n";

// A free loopback port of this type, as the system hands one out.
uint16_t FreePort(int type) {
    SOCKET s = socket(AF_INET, type, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    uint16_t port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    closesocket(s);
    return port;
}

SOCKET ConnectTo(uint16_t port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// Runs a Linux shell command line, without waiting for it.
bool RunUnix(const std::string& shellCommand) {
    return test::StartHostProgram("/bin/sh -c \"" + shellCommand + "\"");
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

}  // namespace

std::string TLircDaemon::Program() {
    char value[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ZAPRELAY_LIRCD", value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

TLircDaemon::TLircDaemon() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    // Under /tmp: the daemon's socket path must stay short, whatever the checkout's path.
    const std::string name = "zr-lircd-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    m_unixFolder = "/tmp/" + name + "/";
    m_folder = "Z:\\tmp\\" + name + "\\";
    CreateDirectoryA(m_folder.c_str(), nullptr);
    test::WriteFile(m_folder + "lircd.conf", kRemote);
    test::WriteFile(m_folder + "options.conf", "");
}

TLircDaemon::~TLircDaemon() {
    Kill();
    RunUnix("rm -rf '" + m_unixFolder + "'");
    WSACleanup();
}

bool TLircDaemon::Start() {
    // Started again, it keeps its ports, as a service restarted on its computer does.
    if (m_tcpPort == 0) {
        m_tcpPort = FreePort(SOCK_STREAM);
        m_udpPort = FreePort(SOCK_DGRAM);
    }
    const std::string& d = m_unixFolder;
    // The time limit ends a daemon that a crashed test left behind; nothing of the test's
    // output streams is handed to it, so nothing waits for it to close them.
    const std::string command = "exec timeout 900 '" + Program() + "' -n -H udp -d " + std::to_string(m_udpPort) +
                                " -a --listen=127.0.0.1:" + std::to_string(m_tcpPort) + " -o " + d + "lircd.sock -P " +
                                d + "lircd.pid -L " + d + "lircd.log -O " + d + "options.conf " + d +
                                "lircd.conf </dev/null >/dev/null 2>&1";
    DeleteFileA((m_folder + "lircd.log").c_str());
    m_ownConnections = 0;
    return RunUnix(command) && WaitFor([&] { return Accepts(); }, 15000) && OwnConnectionsGone();
}

bool TLircDaemon::Kill() {
    const std::string pid = test::ReadFile(m_folder + "lircd.pid");
    if (pid.empty() || !Accepts()) {
        return !Accepts();
    }
    DeleteFileA((m_folder + "lircd.pid").c_str());
    return RunUnix("kill " + std::to_string(std::stoul(pid))) && WaitFor([&] { return !Accepts(); }, 15000);
}

bool TLircDaemon::Accepts() {
    SOCKET s = ConnectTo(m_tcpPort);
    if (s == INVALID_SOCKET) {
        return false;
    }
    closesocket(s);
    ++m_ownConnections;
    return true;
}

bool TLircDaemon::OwnConnectionsGone() const {
    return WaitFor([&] { return static_cast<int>(Count(Log(), "removed client")) >= m_ownConnections; }, 15000);
}

int TLircDaemon::Clients() const {
    const std::string log = Log();
    return static_cast<int>(Count(log, "accepted new client from")) - static_cast<int>(Count(log, "removed client"));
}

std::string TLircDaemon::Log() const {
    return test::ReadFile(m_folder + "lircd.log");
}

bool TLircDaemon::Simulate(const std::string& line) {
    SOCKET s = ConnectTo(m_tcpPort);
    if (s == INVALID_SOCKET) {
        return false;
    }
    ++m_ownConnections;
    const std::string command = "SIMULATE " + line + "\n";
    bool ok = send(s, command.data(), static_cast<int>(command.size()), 0) == static_cast<int>(command.size());
    // The daemon first broadcasts the line to this client too, then answers in a reply block.
    std::string reply;
    char buffer[512];
    while (ok && reply.find("\nEND\n") == std::string::npos) {
        int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    closesocket(s);
    return reply.find("\nSUCCESS\n") != std::string::npos && OwnConnectionsGone();
}

}  // namespace zaprelay::e2e
