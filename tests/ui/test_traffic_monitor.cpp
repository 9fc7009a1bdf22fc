// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "frame_log.h"
#include "support/window_on_sim.h"

#include <QStatusBar>
#include <QTableView>
#include <mutex>

#include "app/traffic_monitor.h"
#include "app/traffic_table_model.h"

namespace {

// Counts the whole-window layouts asked of the monitor.
struct LayoutCounter : QObject {
    int layouts = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) ++layouts;
        return false;
    }
};

}  // namespace

// The Traffic Monitor of the real main window against the simulated ACU on a pseudo-terminal,
// next to the simulator's own --log of the same session.
class TestTrafficMonitor : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    std::mutex m_LogMutex;
    QStringList m_SimLog;

    TrafficMonitor* monitor() { return m_Window->trafficMonitor(); }
    TrafficTableModel* model() { return monitor()->model(); }
    QString cell(int row, int column) {
        return model()->data(model()->index(row, column), Qt::DisplayRole).toString();
    }
    // "PC>ACU 14": direction and code of a row, as the table shows them.
    QString rowKey(int row) {
        return cell(row, TrafficTableModel::DirectionColumn) + QLatin1Char(' ') +
               cell(row, TrafficTableModel::CodeColumn);
    }
    // Everything after the time column, which counts from each side's own start.
    static QString withoutTime(const QString& line) { return line.mid(14); }

private slots:
    void init() {
        m_SimLog.clear();
        m_Acu = std::make_unique<AcuSimulator>();
        // What skyrelay-acu-sim --log writes, line for line.
        m_Acu->setFrameObserver(
            [this](AcuSimulator::Direction direction, std::span<const std::uint8_t> frame) {
                std::lock_guard<std::mutex> lock(m_LogMutex);
                m_SimLog << QString::fromStdString(frameLogLine(m_Acu->now(), direction, frame));
            });
        openOnSim();
    }
    void cleanup() { close(); }

    void showsFiltersAndSavesWhatTheSimulatorLogs() {
        m_Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));
        QTest::keyClick(m_Window.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(monitor()->isVisible());
        waitForPoll();
        monitor()->refreshNow();
        // The rows' order and texts are compared with the simulator's own log at the end.
        monitor()->grab().save(QStringLiteral("/tmp/ui_traffic_monitor.png"));

        auto* code = child<QComboBox>(monitor(), "code_filter");
        auto* direction = child<QComboBox>(monitor(), "direction_filter");
        code->setCurrentIndex(code->findData(TrafficTableModel::kAllButPolls));
        direction->setCurrentIndex(direction->findText(QStringLiteral("ACU>PC")));
        QVERIFY(model()->rowCount() > 0);
        for (int k = 0; k < model()->rowCount(); ++k) {
            QCOMPARE(cell(k, TrafficTableModel::DirectionColumn), QStringLiteral("ACU>PC"));
            QVERIFY(cell(k, TrafficTableModel::CodeColumn) != QStringLiteral("14"));
        }
        code->setCurrentIndex(code->findData(14));
        QTRY_VERIFY_WITH_TIMEOUT(model()->rowCount() > 0, 3000);
        QCOMPARE(rowKey(0), QStringLiteral("ACU>PC 14"));
        child<QTableView>(monitor(), "traffic_table")->selectRow(0);
        QVERIFY(monitor()->selectedLines().contains(QStringLiteral(" ACU>PC  14 Status: ")));
        QTemporaryDir dir;
        const QString csvPath = dir.filePath(QStringLiteral("traffic.csv"));
        QVERIFY(monitor()->saveTo(csvPath, TrafficMonitor::SaveFormat::Csv, nullptr));
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly | QIODevice::Text));
        csv.readLine();  // the header
        QVERIFY(csv.readLine().contains(",ACU>PC,14,\"Status: target "));

        auto* pause = child<QPushButton>(monitor(), "pause_button");
        pause->click();
        const int paused = model()->rowCount();
        QTest::qWait(1200);
        QCOMPARE(model()->rowCount(), paused);
        pause->click();
        QVERIFY(model()->rowCount() > paused);
        code->setCurrentIndex(code->findData(TrafficTableModel::kAllCodes));
        direction->setCurrentIndex(0);

        // Stop right after a reply, so neither side has anything in flight.
        const TrafficRing& ring = monitor()->recorder().ring();
        QTRY_VERIFY_WITH_TIMEOUT(ring.find(ring.endSequence() - 1)->kind == TrafficKind::Received,
                                 3000);
        auto* connect = child<QPushButton>(m_Window.get(), "connect_button");
        connect->click();
        QCOMPARE(state().Connected, std::uint8_t{0});
        monitor()->refreshNow();
        const QString path = dir.filePath(QStringLiteral("traffic.txt"));
        QString error;
        QVERIFY2(monitor()->saveTo(path, TrafficMonitor::SaveFormat::Text, &error),
                 qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList saved = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        saved.removeAll(QString());
        QCOMPARE(saved.size(), model()->rowCount());
        QVERIFY(saved.takeFirst().endsWith(QStringLiteral("Link opened on ") + simPort()));
        QTest::qWait(300);
        QStringList simulator;
        {
            std::lock_guard<std::mutex> lock(m_LogMutex);
            simulator = m_SimLog;
        }
        QCOMPARE(saved.size(), simulator.size());
        for (int k = 0; k < saved.size(); ++k) {
            QCOMPARE(withoutTime(saved[k]), withoutTime(simulator[k]));
        }

        // Cleared, the table fills again from the next session.
        child<QPushButton>(monitor(), "clear_button")->click();
        QCOMPARE(model()->rowCount(), 0);
        connect->click();
        QTRY_VERIFY_WITH_TIMEOUT(model()->rowCount() > 0, 3000);
    }

    // Polls keep coming into an open monitor: rows and the status line change, and the window
    // is never laid out again for them.
    void takesRowsInWithoutLayingOutTheWindow() {
        m_Window->openTrafficMonitor();
        QVERIFY(QTest::qWaitForWindowExposed(monitor()));
        waitForPoll();
        QTest::qWait(500);
        LayoutCounter counter;
        monitor()->installEventFilter(&counter);
        const int rows = model()->rowCount();
        const QString status = child<QStatusBar>(monitor(), "traffic_status")->currentMessage();
        QTRY_VERIFY_WITH_TIMEOUT(model()->rowCount() >= rows + 4, 10000);
        QVERIFY(child<QStatusBar>(monitor(), "traffic_status")->currentMessage() != status);
        QCOMPARE(counter.layouts, 0);
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestTrafficMonitor)

#include "test_traffic_monitor.moc"
