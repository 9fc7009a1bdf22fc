#pragma once

#include <QApplication>
#include <QStringList>

#include "app/port_discovery.h"
#include "serial/network_address.h"

// The application: sets up the look every window shares, then runs the main window until
// it is closed.
class SkyrelayApp : public QApplication {
    Q_OBJECT

public:
    SkyrelayApp(int& argc, char** argv);

    // Runs the main window with these device paths (or serial server addresses) listed ahead
    // of the system's ports (or alone), and with a trace of the line's traffic appended to
    // tracePath when it is given; tls says how the certificates of serial servers behind +tls
    // addresses are checked.
    int InitInstance(const QStringList& commandLinePorts, const QString& tracePath = {},
                     PortListing listing = PortListing::GivenThenSystem,
                     const TlsOptions& tls = {});
};

// DejaVu Sans at the size the dialog-unit layout was measured with.
QFont skyrelayFont();
