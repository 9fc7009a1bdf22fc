#include "cli/line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial/serial_comm.h"

namespace {

// A device path that is not there was most likely mistyped: the system's own words say so
// better than the window's, which speaks of a port that went away.
std::string missingDevice(const std::string& name) {
    if (name.find("://") != std::string::npos) return {};
    struct stat info {};
    if (stat(name.c_str(), &info) == 0) return {};
    std::string text = std::strerror(errno);
    char here[4096];
    if (name[0] != '/' && getcwd(here, sizeof here) != nullptr) {
        text += std::string(" (") + here + "/" + name + ")";
    }
    return text;
}

}  // namespace

Line openLine(const std::string& name, CommConsumer& consumer, const TlsOptions& tls) {
    auto port = std::make_unique<PortLine>(consumer, tls);
    Line line;
    if (port->OpenPort(name, kLineBaudRate, 0) != 1) {
        line.failure = missingDevice(name);
        if (line.failure.empty()) line.failure = port->openFailure();
        return line;
    }
    line.port = std::move(port);
    return line;
}
