#include "cli/line.h"

#include "serial/serial_comm.h"

Line openLine(const std::string& name, CommConsumer& consumer) {
    auto comm = std::make_unique<CSerialComm>(consumer);
    Line line;
    if (comm->OpenPort(name, kLineBaudRate, 0) != 1) {
        line.error = comm->openError();
        return line;
    }
    line.queue = &comm->m_QueueRead;
    line.port = std::move(comm);
    return line;
}
