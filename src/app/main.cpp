#include <cstdio>
#include <cstring>

#include <QStringList>

#include "app/lumidor_app.h"
#include "serial/network_address.h"
#include "skyrelay_version.h"

namespace {

const char* const kUsage =
    "Usage: skyrelay [--trace FILE] [--tls-ca FILE] [--insecure-tls] [--only] [DEVICE...]\n"
    "\n"
    "Skyrelay drives a stabilised satellite TV antenna through its antenna control unit\n"
    "over a serial line (57600 baud, 8N1).\n"
    "\n"
    "  DEVICE      a serial device to list first in the Port list, such as /dev/ttyUSB0 or\n"
    "              the pseudo-terminal of skyrelay-acu-sim; at start-up the listed ports\n"
    "              are tried in turn, these first, until one answers; or a serial\n"
    "              server's address: tcp://HOST:PORT, rfc2217://HOST:PORT (telnet with\n"
    "              the COM port option), tcp+tls://HOST:PORT, rfc2217+tls://HOST:PORT\n"
    "  --only      list only the DEVICEs given, none of the system's serial ports\n"
    "  --trace FILE\n"
    "              append every frame sent and received to FILE, decoded, one line\n"
    "              each, flushed within 50 ms (the Traffic Monitor's line format)\n"
    "  --tls-ca FILE\n"
    "              trust the certificate authority (or self-signed server certificate)\n"
    "              in FILE for +tls addresses, instead of the system's authorities\n"
    "  --insecure-tls\n"
    "              connect to a +tls address even when its certificate fails the check:\n"
    "              the line is encrypted but the server is not proven to be yours\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            // The package's version; the main window's caption keeps its own text.
            std::printf("Skyrelay Ver %s\n", kSkyrelayVersion);
            return 0;
        }
        for (const char* option : {"--trace", "--tls-ca"}) {
            if (std::strcmp(argv[i], option) == 0 && i + 1 >= argc) {
                std::fprintf(stderr, "skyrelay: %s needs a file name (see --help)\n", option);
                return 2;
            }
        }
    }
    // Qt takes its own options (-platform, -style ...) out of argv; what is left are devices.
    CLumidorApp app(argc, argv);
    QStringList devices;
    QString tracePath;
    PortListing listing = PortListing::GivenThenSystem;
    TlsOptions tls;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0) {
            tracePath = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        if (std::strncmp(argv[i], "--trace=", 8) == 0) {
            tracePath = QString::fromLocal8Bit(argv[i] + 8);
            continue;
        }
        if (std::strcmp(argv[i], "--only") == 0) {
            listing = PortListing::OnlyGiven;
            continue;
        }
        if (std::strcmp(argv[i], "--tls-ca") == 0) {
            tls.caFile = argv[++i];
            continue;
        }
        if (std::strcmp(argv[i], "--insecure-tls") == 0) {
            tls.insecure = true;
            continue;
        }
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "skyrelay: unknown option %s (see --help)\n", argv[i]);
            return 2;
        }
        devices.append(QString::fromLocal8Bit(argv[i]));
    }
    if (listing == PortListing::OnlyGiven && devices.isEmpty()) {
        std::fputs("skyrelay: --only needs at least one DEVICE (see --help)\n", stderr);
        return 2;
    }
    return app.InitInstance(devices, tracePath, listing, tls);
}
