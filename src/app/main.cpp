#include <cstdio>
#include <string>
#include <vector>

#include <QStringList>

#include "app/command_line.h"
#include "app/skyrelay_app.h"

namespace {

std::vector<std::string> argumentsOf(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

int finish(const WindowCommandLine& commandLine) {
    std::fputs(commandLine.text.c_str(), commandLine.exitStatus == 0 ? stdout : stderr);
    return commandLine.exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
    // Help, version and usage errors are answered before any window exists, so they work
    // without a display. An unknown option may be one of Qt's (-platform, -style ...): the
    // application takes those out of argv, and what is left is read again.
    const WindowCommandLine early = parseWindowCommandLine(argumentsOf(argc, argv));
    if (early.exit && !early.unknownOption) return finish(early);

    SkyrelayApp app(argc, argv);
    const WindowCommandLine commandLine = parseWindowCommandLine(argumentsOf(argc, argv));
    if (commandLine.exit) return finish(commandLine);
    const WindowOptions& options = commandLine.options;
    QStringList devices;
    for (const std::string& device : options.devices)
        devices.append(QString::fromLocal8Bit(device.c_str()));
    return app.InitInstance(devices, QString::fromLocal8Bit(options.tracePath.c_str()),
                            options.listing, options.tls);
}
