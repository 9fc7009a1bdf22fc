#include "cli/line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/file_bytes.h"
#include "serial/serial_comm.h"

namespace {

// A device path that is not there was most likely mistyped: the system's own words say so
// better than the window's, which speaks of a port that went away.
std::string missingDevice(const std::string& name) {
    if (isNetworkAddress(name)) return {};
    struct stat info {};
    if (stat(name.c_str(), &info) == 0) return {};
    std::string text = std::strerror(errno);
    if (wholePath(name) != name) text += " (" + wholePath(name) + ")";
    return text;
}

}  // namespace

Line openLine(const std::string& name, CommConsumer& consumer, const TlsOptions& given) {
    TlsOptions tls = given;
    for (std::string* file : {&tls.caFile, &tls.certFile, &tls.keyFile}) *file = wholePath(*file);
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
