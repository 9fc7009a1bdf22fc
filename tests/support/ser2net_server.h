#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

// A real ser2net on 127.0.0.1 in front of a terminal (the simulator's pseudo-terminal), in one
// of the ways a ship's serial server offers it. Its configuration and, for TLS, a certificate
// made out to 127.0.0.1 live in a folder of its own that goes with it.
class Ser2netServer {
public:
    enum class Mode { Raw, Telnet, Tls };

    explicit Ser2netServer(Mode mode) : m_Mode(mode) {
        char pattern[] = "/tmp/skyrelay-ser2net-XXXXXX";
        m_Folder = mkdtemp(pattern) != nullptr ? pattern : "";
        m_Port = freePort();
    }
    ~Ser2netServer() {
        stop();
        if (!m_Folder.empty()) std::filesystem::remove_all(m_Folder);
    }

    // The address Skyrelay opens for this mode.
    std::string address() const {
        const char* scheme = m_Mode == Mode::Raw      ? "tcp://"
                             : m_Mode == Mode::Telnet ? "rfc2217://"
                                                      : "rfc2217+tls://";
        return scheme + std::string("127.0.0.1:") + std::to_string(m_Port);
    }
    // The certificate to trust (TLS only).
    std::string certificate() const { return m_Folder + "/server.pem"; }
    int port() const { return m_Port; }

    // Starts ser2net in front of device (the last one again when empty) and waits until it
    // listens; false when it does not within the limit.
    bool start(const std::string& device = {}) {
        if (!device.empty()) m_Device = device;
        if (m_Folder.empty() || m_Port == 0) return false;
        if (m_Mode == Mode::Tls && !std::filesystem::exists(certificate()) && !makeCertificate()) {
            return false;
        }
        const std::string config = m_Folder + "/ser2net.yaml";
        std::ofstream(config) << "connection: &acu\n  accepter: " << accepter()
                              << "\n  connector: serialdev," << m_Device
                              << ",57600n81,local\n"
                              // A connection left dead by a link that dropped without closing
                              // must not keep the next one out.
                              << "  options:\n    kickolduser: true\n";
        const std::string log = m_Folder + "/ser2net.log";
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0600);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        // -u: no UUCP lock files, so the test needs no write access to /var/lock.
        const char* argv[] = {"ser2net", "-n", "-d", "-u", "-c", config.c_str(), nullptr};
        const int failed = posix_spawnp(&m_Pid, "ser2net", &files, nullptr,
                                        const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&files);
        if (failed != 0) {
            m_Pid = -1;
            return false;
        }
        for (int tries = 0; tries < 200; ++tries) {
            if (listening()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds{50});
        }
        return false;
    }

    // Stops ser2net as a crash or a power cut on board would: its connections drop.
    void stop() {
        if (m_Pid <= 0) return;
        kill(m_Pid, SIGKILL);
        waitpid(m_Pid, nullptr, 0);
        m_Pid = -1;
    }

private:
    std::string accepter() const {
        const std::string tcp = "tcp,127.0.0.1," + std::to_string(m_Port);
        if (m_Mode == Mode::Raw) return tcp;
        const std::string tls = "ssl(key=" + m_Folder + "/server.key,cert=" + certificate() + "),";
        return "telnet(rfc2217)," + (m_Mode == Mode::Tls ? tls : "") + tcp;
    }

    bool makeCertificate() const {
        const std::string command =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
            "-addext subjectAltName=IP:127.0.0.1 -keyout " +
            m_Folder + "/server.key -out " + certificate() + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    // From the kernel's table rather than by connecting: a probe connection would make
    // ser2net open the terminal, and the test's own connection could find it still busy.
    bool listening() const {
        char wanted[16];
        std::snprintf(wanted, sizeof wanted, ":%04X", m_Port);
        std::ifstream table("/proc/net/tcp");
        std::string line;
        while (std::getline(table, line)) {
            // "  0: 0100007F:1F90 00000000:0000 0A ...": local address, remote, state (0A listen)
            if (line.find(std::string("0100007F") + wanted + " 00000000:0000 0A") !=
                std::string::npos) {
                return true;
            }
        }
        return false;
    }

    // A port nobody listens on now, from the kernel's own choice.
    static int freePort() {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        int port = 0;
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port = ntohs(address.sin_port);
        }
        close(fd);
        return port;
    }

    Mode m_Mode;
    std::string m_Device;
    std::string m_Folder;
    int m_Port = 0;
    pid_t m_Pid = -1;
};
