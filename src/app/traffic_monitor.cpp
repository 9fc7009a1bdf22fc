#include "app/traffic_monitor.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "app/traffic_table_model.h"
#include "link/frame_text.h"

namespace {

constexpr auto kRefreshPeriod = std::chrono::milliseconds{250};
constexpr int kRowHeight = 18;
// Time, direction, code, meaning; the hex column takes the rest.
constexpr int kColumnWidths[] = {80, 62, 40, 560};

}  // namespace

TrafficMonitor::TrafficMonitor(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Traffic Monitor"));
    setObjectName(QStringLiteral("traffic_monitor"));
    resize(1000, 520);

    m_CodeFilter = new QComboBox(this);
    m_CodeFilter->setObjectName(QStringLiteral("code_filter"));
    m_CodeFilter->addItem(QStringLiteral("All codes"), TrafficTableModel::kAllCodes);
    m_CodeFilter->addItem(QStringLiteral("All but the status poll"),
                          TrafficTableModel::kAllButPolls);
    for (int code = 1; code <= cmd::Last; ++code) {
        const auto c = static_cast<std::uint8_t>(code);
        std::string name = frameName(c, false);
        if (name.empty()) name = frameName(c, true);
        if (name.empty()) continue;
        m_CodeFilter->addItem(QStringLiteral("%1 %2").arg(code).arg(QString::fromStdString(name)),
                              code);
    }
    m_DirectionFilter = new QComboBox(this);
    m_DirectionFilter->setObjectName(QStringLiteral("direction_filter"));
    m_DirectionFilter->addItems(
        {QStringLiteral("Both directions"), QStringLiteral("PC>ACU"), QStringLiteral("ACU>PC")});

    m_PauseButton = new QPushButton(QStringLiteral("Pause"), this);
    m_PauseButton->setObjectName(QStringLiteral("pause_button"));
    m_PauseButton->setCheckable(true);
    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setObjectName(QStringLiteral("clear_button"));
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName(QStringLiteral("copy_button"));
    auto* save = new QPushButton(QStringLiteral("Save…"), this);
    save->setObjectName(QStringLiteral("save_button"));

    m_Model = new TrafficTableModel(m_Recorder.ring(), this);
    m_Table = new QTableView(this);
    m_Table->setObjectName(QStringLiteral("traffic_table"));
    m_Table->setModel(m_Model);
    m_Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_Table->setWordWrap(false);
    m_Table->verticalHeader()->hide();
    m_Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_Table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_Table->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < 4; ++column) {
        m_Table->setColumnWidth(column, kColumnWidths[column]);
    }

    // A status bar, not a label: a label lays out the whole window again whenever its text
    // changes, which on an open monitor is every poll; a status bar repaints its message only.
    m_Status = new QStatusBar(this);
    m_Status->setObjectName(QStringLiteral("traffic_status"));
    m_Status->setSizeGripEnabled(false);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Code:"), this));
    controls->addWidget(m_CodeFilter);
    controls->addWidget(new QLabel(QStringLiteral("Direction:"), this));
    controls->addWidget(m_DirectionFilter);
    controls->addStretch();
    for (QPushButton* button : {m_PauseButton, clear, copy, save}) controls->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_Table);
    layout->addWidget(m_Status);

    connect(m_CodeFilter, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(m_DirectionFilter, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(m_PauseButton, &QPushButton::toggled, this, [this](bool paused) {
        m_PauseButton->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        if (!paused) refreshNow();
    });
    connect(clear, &QPushButton::clicked, this, [this] { clearRows(); });
    connect(copy, &QPushButton::clicked, this, [this] { copySelection(); });
    connect(save, &QPushButton::clicked, this, [this] { saveWithDialog(); });
    auto* copyKey = new QShortcut(QKeySequence::Copy, m_Table);
    copyKey->setContext(Qt::WidgetShortcut);
    connect(copyKey, &QShortcut::activated, this, [this] { copySelection(); });

    m_RefreshTimer = new QTimer(this);
    m_RefreshTimer->setInterval(kRefreshPeriod);
    connect(m_RefreshTimer, &QTimer::timeout, this, [this] {
        checkTrace();
        if (!isVisible()) return;
        if (m_PauseButton->isChecked()) {
            updateStatus();
        } else {
            refreshNow();
        }
    });
    m_RefreshTimer->start();
    updateStatus();
}

TrafficMonitor::~TrafficMonitor() {
    endTrace();
}

void TrafficMonitor::endTrace() {
    if (!m_Trace.isOpen()) return;
    m_Trace.close();
    if (const std::string summary = m_Trace.lossSummary(); !summary.empty()) {
        std::fprintf(stderr, "skyrelay: %s: %s\n", m_Trace.path().c_str(), summary.c_str());
    }
}

void TrafficMonitor::checkTrace() {
    if (!m_Trace.isOpen() || !m_Trace.takeDropNotice()) return;
    const QString reason = QString::fromStdString(
        m_Trace.firstError().empty() ? std::string("the writer fell behind") : m_Trace.firstError());
    emit traceDropping(QStringLiteral("The trace file %1 is losing lines (%2).\r\nTheir count is "
                                      "given when the trace ends.")
                           .arg(QString::fromStdString(m_Trace.path()), reason));
}

bool TrafficMonitor::startTrace(const QString& path, QString* error) {
    std::string reason;
    if (!m_Trace.open(path.toStdString(), reason)) {
        if (error != nullptr) *error = QString::fromStdString(reason);
        return false;
    }
    m_Recorder.setTrace(&m_Trace);
    updateStatus();
    return true;
}

void TrafficMonitor::refreshNow() {
    // Newest row kept in view unless the user scrolled up to read something.
    QScrollBar* bar = m_Table->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    if (m_Model->refresh() > 0 && following) m_Table->scrollToBottom();
    updateStatus();
}

void TrafficMonitor::applyFilter() {
    const int code = m_CodeFilter->currentData().toInt();
    const auto direction =
        static_cast<TrafficTableModel::Direction>(std::max(0, m_DirectionFilter->currentIndex()));
    m_Model->setFilter(code, direction);
    m_Table->scrollToBottom();
    updateStatus();
}

void TrafficMonitor::clearRows() {
    m_Recorder.ring().clear();
    m_Model->rebuild();
    updateStatus();
}

QString TrafficMonitor::selectedLines() const {
    QModelIndexList rows = m_Table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex& index : rows) {
        if (const TrafficEntry* entry = m_Model->entryAt(index.row())) {
            text += QString::fromStdString(trafficLine(*entry)) + QLatin1Char('\n');
        }
    }
    return text;
}

void TrafficMonitor::copySelection() {
    const QString text = selectedLines();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

bool TrafficMonitor::saveTo(const QString& path, SaveFormat format, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    if (format == SaveFormat::Csv) file.write((trafficCsvHeader() + "\n").c_str());
    for (int row = 0; row < m_Model->rowCount(); ++row) {
        const TrafficEntry* entry = m_Model->entryAt(row);
        if (entry == nullptr) continue;
        const std::string line =
            format == SaveFormat::Csv ? trafficCsvLine(*entry) : trafficLine(*entry);
        file.write((line + "\n").c_str());
    }
    if (!file.commit()) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    return true;
}

void TrafficMonitor::saveWithDialog() {
    const QString text = QStringLiteral("Text (*.txt)");
    const QString csv = QStringLiteral("CSV (*.csv)");
    QString chosen = text;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Traffic"),
                                                      QStringLiteral("skyrelay-traffic.txt"),
                                                      text + QStringLiteral(";;") + csv, &chosen);
    if (path.isEmpty()) return;
    const bool asCsv = chosen == csv || path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    QString error;
    if (!saveTo(path, asCsv ? SaveFormat::Csv : SaveFormat::Text, &error)) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Cannot write %1:\n%2").arg(path, error));
    }
}

void TrafficMonitor::updateStatus() {
    const TrafficRing& ring = m_Recorder.ring();
    QString text = QStringLiteral("%1 rows shown, %2 of %3 events kept")
                       .arg(m_Model->rowCount())
                       .arg(ring.size())
                       .arg(ring.capacity());
    if (ring.dropped() > 0) {
        text += QStringLiteral(", %1 older events dropped").arg(ring.dropped());
    }
    if (m_Trace.isOpen()) {
        text += QStringLiteral("   Trace: %1").arg(QString::fromStdString(m_Trace.path()));
        if (const std::uint64_t lost = m_Trace.lost(); lost > 0) {
            text += QStringLiteral(" (%1 lines not written: %2)")
                        .arg(lost)
                        .arg(QString::fromStdString(m_Trace.firstError().empty()
                                                        ? std::string("writer behind")
                                                        : m_Trace.firstError()));
        }
    }
    if (m_PauseButton->isChecked()) text += QStringLiteral("   Paused");
    m_Status->showMessage(text);  // the same text again paints nothing
}
