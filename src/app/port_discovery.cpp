#include "app/port_discovery.h"

#include <QComboBox>
#include <QSerialPortInfo>

QStringList PortDiscovery::availablePorts() const {
    QStringList ports = m_CommandLinePorts;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (!ports.contains(info.systemLocation())) ports.append(info.systemLocation());
    }
    return ports;
}

bool PortDiscovery::fillPortList(QComboBox* combo) const {
    const QStringList ports = availablePorts();
    combo->clear();
    combo->addItems(ports);
    return !ports.isEmpty();
}
