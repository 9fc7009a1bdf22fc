#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// Where the "Port" list comes from: device paths given on the command line first (so the
// simulator's pseudo-terminal can be listed and found by the automatic scan), then the
// system's serial ports in the order the platform reports them.
class PortDiscovery {
public:
    explicit PortDiscovery(QStringList commandLinePorts)
        : m_CommandLinePorts(std::move(commandLinePorts)) {}

    QStringList availablePorts() const;

    // Empties combo and fills it with availablePorts(); false when none was found.
    bool fillPortList(QComboBox* combo) const;

private:
    QStringList m_CommandLinePorts;
};
