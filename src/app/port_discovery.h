#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serial/port_order.h"

class QComboBox;

// Whether the platform's ports join the devices given on the command line (`--only` leaves
// them out: a PC with several adapters running one window per ACU, and the window tests, which
// must never open a device they did not create).
enum class PortListing { GivenThenSystem, OnlyGiven };

// Where the "Port" list comes from and which entry the automatic scan opens: device paths
// given on the command line first (so the simulator's pseudo-terminal can be listed and
// found), then the system's USB serial adapters, then its other serial ports.
//
// Reading the system's ports opens a great many files, so it is done again only when /dev
// or /dev/serial changes (inotify); the scan's one-second tick stays the longest a new
// adapter waits to be seen.
class PortDiscovery {
public:
    explicit PortDiscovery(QStringList commandLinePorts,
                           PortListing listing = PortListing::GivenThenSystem);

    QStringList availablePorts();

    // Brings combo in line with availablePorts(), leaving it alone when nothing changed and
    // keeping the entry the user chose while it is still listed. False when none is listed.
    bool fillPortList(QComboBox* combo);

    // The entry of the list as last filled that the automatic scan opens next, if any (see
    // pickScanPort).
    std::optional<int> nextScanEntry();
    // The port the scan opened did not answer, or could not be opened: next time the scan
    // starts after it.
    void skipPort(const QString& path);
    // The open port hung up: until it is back (the same path, or the same adapter wherever it
    // appears), the scan opens no other port, for kLostPortWait at most. A pseudo-terminal
    // named by its own number cannot come back (the number goes to another program's
    // terminal), so it leaves the list; a link to one (a simulator's --link path) stays.
    void portHungUp(const QString& path);
    // The user connected by hand or asked for the list again: the scan stops waiting.
    void userConnected() { m_Lost.reset(); }
    void userRefreshed() { m_Lost.reset(); }

    // How often the system's ports were read (the benchmark and the tests count them).
    int systemReads() const { return m_SystemReads; }

    // The named devices the scan waits for: named on the command line, none of them present.
    QStringList awaitedDevices() const;

    // Where the system's ports come from instead of the platform's list (their paths only):
    // a test's own pseudo-terminals, so that it never touches a device of the machine.
    using SystemLister = std::function<std::vector<std::string>()>;
    void setSystemLister(SystemLister lister) {
        m_SystemLister = std::move(lister);
        m_SystemStale = true;
    }

private:
    struct SystemPort {
        QString toolTip;
        QString identity;  // the by-id name, else the serial number; empty when none
    };

    void readSystemPorts();
    SystemPort systemPort(const QString& path) const;
    void watchDeviceFolders();

    QStringList m_CommandLinePorts;
    // As given, kept when a vanished pseudo-terminal leaves the list: with devices named, no
    // other port is ever opened by the scan.
    std::vector<std::string> m_Named;
    SystemLister m_SystemLister;
    bool m_OnlyGiven = false;
    QStringList m_SystemOrder;        // as the platform reports them
    QHash<QString, SystemPort> m_SystemPorts;
    QStringList m_Listed;  // what the combo shows, in its order
    QFileSystemWatcher m_Watcher;
    bool m_SystemStale = true;
    int m_SystemReads = 0;
    QString m_SilentPort;
    std::optional<LostPort> m_Lost;
    QElapsedTimer m_LostSince;
    bool m_ComboFitted = false;
};
