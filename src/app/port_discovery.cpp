#include "app/port_discovery.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QProxyStyle>
#include <QSerialPortInfo>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <string>
#include <vector>

#include "serial/network_address.h"
#include "serial/port_order.h"

namespace {

const QString kDevFolder = QStringLiteral("/dev");
const QString kSerialFolder = QStringLiteral("/dev/serial");
const QString kByIdFolder = QStringLiteral("/dev/serial/by-id");
constexpr int kListMargin = 40;  // room for the scroll bar and the item's padding

// The closed list shows the end of a long device path ("…ttyUSB0"), which tells ports apart,
// instead of cutting off its end ("/dev/tt").
class PortComboStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (element != CE_ComboBoxLabel || box == nullptr) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionComboBox shown(*box);
        const QRect field = subControlRect(CC_ComboBox, box, SC_ComboBoxEditField, widget);
        shown.currentText =
            box->fontMetrics.elidedText(box->currentText, Qt::ElideLeft, field.width() - 2);
        QProxyStyle::drawControl(element, &shown, painter, widget);
    }
};

std::vector<std::string> toStd(const QStringList& list) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(list.size()));
    for (const QString& item : list) out.push_back(item.toStdString());
    return out;
}

QString toolTipFor(const QSerialPortInfo& info, const QString& byId) {
    QStringList lines;
    const auto add = [&lines](const QString& label, const QString& value) {
        if (!value.isEmpty()) lines << label + value;
    };
    add(QStringLiteral("Description: "), info.description());
    add(QStringLiteral("Manufacturer: "), info.manufacturer());
    add(QStringLiteral("Serial number: "), info.serialNumber());
    add(QStringLiteral("By id: "), byId);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

PortDiscovery::PortDiscovery(QStringList commandLinePorts, PortListing listing)
    : m_CommandLinePorts(std::move(commandLinePorts)),
      m_Named(toStd(m_CommandLinePorts)),
      m_OnlyGiven(listing == PortListing::OnlyGiven) {
    if (m_OnlyGiven) return;
    QObject::connect(&m_Watcher, &QFileSystemWatcher::directoryChanged,
                     [this] { m_SystemStale = true; });
    watchDeviceFolders();
}

void PortDiscovery::watchDeviceFolders() {
    // /dev/serial appears with the first USB adapter and goes with the last; /dev itself
    // tells when that happens.
    for (const QString& folder : {kDevFolder, kSerialFolder, kByIdFolder}) {
        if (!m_Watcher.directories().contains(folder) && QFileInfo(folder).isDir()) {
            m_Watcher.addPath(folder);
        }
    }
}

void PortDiscovery::readSystemPorts() {
    ++m_SystemReads;
    // Without a watch on /dev nothing would say when to read again, so read every time.
    m_SystemStale = !m_Watcher.directories().contains(kDevFolder);
    watchDeviceFolders();

    QHash<QString, QString> byIdOf;
    const QFileInfoList links = QDir(kByIdFolder).entryInfoList(QDir::System | QDir::Files);
    for (const QFileInfo& link : links) byIdOf.insert(link.canonicalFilePath(), link.fileName());

    m_SystemOrder.clear();
    m_SystemPorts.clear();
    if (m_SystemLister) {
        for (const std::string& path : m_SystemLister()) {
            m_SystemOrder << QString::fromStdString(path);
            m_SystemPorts.insert(QString::fromStdString(path), {});
        }
        return;
    }
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        const QString byId = byIdOf.value(path);
        QString identity = byId;
        if (identity.isEmpty() && !info.serialNumber().isEmpty()) {
            identity = QStringLiteral("%1:%2:%3")
                           .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                           .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
                           .arg(info.serialNumber());
        }
        m_SystemOrder << path;
        m_SystemPorts.insert(path, {toolTipFor(info, byId), identity});
    }
}

QStringList PortDiscovery::availablePorts() {
    if (m_SystemStale && !m_OnlyGiven) readSystemPorts();
    // A pseudo-terminal whose path is gone has hung up; the next one of that number belongs
    // to someone else. A link to one is the user's name for a port and stays.
    m_CommandLinePorts.removeIf([](const QString& path) {
        return isPseudoTerminalPath(path.toStdString()) && !QFileInfo::exists(path);
    });
    // A device named on the command line is not listed a second time under its own name.
    QStringList system;
    for (const QString& path : m_SystemOrder) {
        bool named = false;
        for (const QString& given : m_CommandLinePorts) {
            named = named || QFileInfo(given).canonicalFilePath() == path;
        }
        if (!named) system << path;
    }
    QStringList ports;
    for (const std::string& path : orderPorts(toStd(m_CommandLinePorts), toStd(system))) {
        ports << QString::fromStdString(path);
    }
    return ports;
}

bool PortDiscovery::fillPortList(QComboBox* combo) {
    if (!m_ComboFitted) {
        m_ComboFitted = true;
        auto* style = new PortComboStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(combo);
        combo->setStyle(style);
        // The closed box may show only the end of the path; the whole of it on hovering.
        QObject::connect(combo, &QComboBox::currentTextChanged, combo, &QWidget::setToolTip);
    }
    const QStringList ports = availablePorts();
    m_Listed = ports;
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (shown != ports) {
        const QString chosen = combo->currentText();
        combo->clear();
        int widest = 0;
        for (const QString& path : ports) {
            combo->addItem(path);
            const QString given = m_CommandLinePorts.contains(path)
                                      ? QStringLiteral("Given on the command line")
                                      : QString();
            const QString tip = systemPort(path).toolTip;
            combo->setItemData(combo->count() - 1,
                               given.isEmpty() || tip.isEmpty() ? given + tip : given + "\n" + tip,
                               Qt::ToolTipRole);
            widest = std::max(widest, combo->fontMetrics().horizontalAdvance(path));
        }
        // The drop-down list is as wide as the longest path, however narrow the box.
        combo->view()->setMinimumWidth(widest + kListMargin);
        const int keep = combo->findText(chosen);
        if (keep >= 0) combo->setCurrentIndex(keep);
    }
    return !ports.isEmpty();
}

std::optional<int> PortDiscovery::nextScanEntry() {
    const auto waited = std::chrono::milliseconds{m_LostSince.elapsed()};
    if (m_Lost && waited >= kLostPortWait) m_Lost.reset();
    const auto present = [](const std::string& path) {
        return QFileInfo::exists(QString::fromStdString(path));
    };
    std::vector<ScanCandidate> candidates;
    for (const std::string& path : portsToOpen(m_Named, toStd(m_Listed), present)) {
        candidates.push_back({path, systemPort(QString::fromStdString(path)).identity.toStdString()});
    }
    const std::optional<std::size_t> pick =
        pickScanPort(candidates, m_SilentPort.toStdString(), m_Lost);
    if (!pick) return std::nullopt;
    return static_cast<int>(m_Listed.indexOf(QString::fromStdString(candidates[*pick].path)));
}

QStringList PortDiscovery::awaitedDevices() const {
    QStringList awaited;
    for (const std::string& path : m_Named) {
        const QString name = QString::fromStdString(path);
        if (isNetworkAddress(path) || QFileInfo::exists(name)) return {};
        awaited << name;
    }
    return awaited;
}

void PortDiscovery::skipPort(const QString& path) {
    m_SilentPort = path;
}

PortDiscovery::SystemPort PortDiscovery::systemPort(const QString& path) const {
    const auto found = m_SystemPorts.constFind(path);
    if (found != m_SystemPorts.constEnd()) return *found;
    // A command-line path may be a link (/dev/serial/by-id/...) to a listed port.
    return m_SystemPorts.value(QFileInfo(path).canonicalFilePath());
}

void PortDiscovery::portHungUp(const QString& path) {
    const bool numberedTerminal = isPseudoTerminalPath(path.toStdString());
    if (numberedTerminal) m_CommandLinePorts.removeAll(path);
    m_Lost = LostPort{numberedTerminal ? std::string() : path.toStdString(),
                      systemPort(path).identity.toStdString()};
    m_LostSince.start();
}
