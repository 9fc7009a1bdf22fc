// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QLineSeries>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/load_progress.h"
#include "app/pointing_charts.h"
#include "app/signal_pointing_window.h"
#include "app/traffic_monitor.h"
#include "data/antenna_state.h"

using namespace std::chrono_literals;

// The Signal and Pointing window in the real main window against the simulated ACU: the
// charts follow the replies, a state change is a new band, the dish sent somewhere ends
// where Current Position says, and the window stays usable under a progress popup.
class TestSignalPointing : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    SignalPointingWindow* charts() const { return m_Window->signalPointing(); }
    QString last(PointingChannel channel) const {
        const QLineSeries* series = charts()->charts()->series(channel);
        if (series->count() == 0) return QStringLiteral("none");
        return QString::asprintf("%2.2f", series->at(series->count() - 1).y());
    }

private slots:
    void init() {
        AcuSimulator::Settings settings;
        settings.factory.step = 100ms;
        m_Acu = std::make_unique<AcuSimulator>(settings);
        openOnSim();
    }
    void cleanup() { close(); }

    void chartsFollowTheDish() {
        waitForPoll();
        QVERIFY(!charts()->isVisible());
        QTest::keyClick(m_Window.get(), Qt::Key_G, Qt::ControlModifier);
        QVERIFY(charts()->isVisible());
        QVERIFY(charts()->isWindow());
        QTRY_VERIFY_WITH_TIMEOUT(charts()->charts()->series(PointingChannel::Signal)->count() > 1,
                                 5000);
        const int bands = charts()->charts()->bandCount();
        QVERIFY(bands >= 1);

        // Setup mode is a state of its own: a new band.
        enterSetupMode();
        QTRY_COMPARE_WITH_TIMEOUT(charts()->charts()->bandCount(), bands + 1, 3000);

        // Polling again (in setup), the dish sent a quarter turn away ends where the
        // diagnosis page's Current Position says, and so do the charts.
        click(m_Window.get(), "get_info_button");
        waitForPoll();
        QWidget* diagnosis = showPage(2);
        const double az =
            std::round(state().antenna.CurrentAz > 180.0 ? state().antenna.CurrentAz - 90.0
                                                         : state().antenna.CurrentAz + 90.0);
        typeInto(diagnosis, "go_to_az", QString::number(az));
        typeInto(diagnosis, "go_to_el", QStringLiteral("25"));
        click(diagnosis, "go_to_position");
        QTRY_COMPARE_WITH_TIMEOUT(shown(diagnosis, "current_az"), QString::asprintf("%2.2f", az),
                                  15000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(diagnosis, "current_el"), QStringLiteral("25.00"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(last(PointingChannel::Azimuth), shown(diagnosis, "current_az"),
                                  3000);
        QCOMPARE(last(PointingChannel::Elevation), shown(diagnosis, "current_el"));
        QVERIFY(charts()
                    ->valuesAt(QDateTime::currentMSecsSinceEpoch())
                    .contains(QStringLiteral("EL 25.00°")));
        charts()->grab().save(QStringLiteral("/tmp/ui_signal_pointing.png"));

        // Under the factory default's popup the main window is disabled; the tool windows
        // are not, and still work.
        m_Window->openTrafficMonitor();
        click(m_Window.get(), "factory_button");
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->loadProgress()->isVisible(), 5000);
        QVERIFY(!m_Window->isEnabled());
        QVERIFY(charts()->isEnabled());
        QVERIFY(m_Window->trafficMonitor()->isEnabled());
        QVERIFY(child<QTableView>(m_Window->trafficMonitor(), "traffic_table")->isEnabled());
        QTest::mouseClick(child<QPushButton>(charts(), "range_all"), Qt::LeftButton);
        QVERIFY(child<QPushButton>(charts(), "range_all")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(!m_Window->loadProgress()->isVisible(), 15000);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pointing.csv"));
        charts()->setFileHook([&path](bool) { return path; });
        click(charts(), "save_csv_button");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.first(),
                 QByteArray("time,state,signal,azimuth,elevation,skew,longitude,latitude"));
        QVERIFY(lines.size() > 5);
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestSignalPointing)

#include "test_signal_pointing.moc"
