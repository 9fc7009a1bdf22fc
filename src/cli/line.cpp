#include "cli/line.h"

#include "serial/serial_comm.h"

Line openLine(const std::string& name, CommConsumer& consumer, const TlsOptions& tls) {
    auto port = std::make_unique<PortLine>(consumer, tls);
    Line line;
    if (port->OpenPort(name, kLineBaudRate, 0) != 1) {
        line.failure = port->openFailure();
        return line;
    }
    line.port = std::move(port);
    return line;
}
