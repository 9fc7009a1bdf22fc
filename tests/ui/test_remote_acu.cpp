// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include "app/update_progress.h"
#include "wire/display_text.h"
#include "widgets/serial_box.h"
#include "support/ser2net_server.h"

// The real main window on the simulated ACU behind a real ser2net, as a technician on shore
// reaches a unit at sea: the address given on the command line.
class TestRemoteAcu : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    std::unique_ptr<Ser2netServer> m_Ser2net;

    QComboBox* portCombo() { return child<QComboBox>(m_Window.get(), "port_combo"); }
    QWidget* popup() { return m_Window->updateProgress(); }
    QString percent() { return shown(popup(), "progress_percent"); }
    QString address() const { return QString::fromStdString(m_Ser2net->address()); }

    // The unit served through ser2net and the window on it, identified and in setup mode
    // with the sample file loaded. The frames it carries are the serial server tests' matter.
    void openReadyToUpload() {
        startSim();
        m_Ser2net = std::make_unique<Ser2netServer>(Ser2netServer::Mode::Raw);
        QVERIFY(m_Ser2net->start(simPort().toStdString()));
        makeWindow({address()});
        m_Window->setOpenFileHook(
            [] { return QStringLiteral(SKYRELAY_DATA_DIR "/all_continents.sif"); });
        m_Window->show();
        waitForPoll();
        QCOMPARE(portCombo()->currentText(), address());
        QCOMPARE(m_Window->serialBox()->text(), address());
        enterSetupMode();
        click(m_Window.get(), "load_data_button");
    }

private slots:
    void cleanup() {
        close();
        m_Ser2net.reset();
    }

    void uploadsThenReportsAServerStoppedMidUploadAndReconnects() {
        openReadyToUpload();
        screenshot(QStringLiteral("/tmp/ui_remote_acu.png"));
        click(m_Window.get(), "update_data_button");
        QTRY_VERIFY_WITH_TIMEOUT(!popup()->isVisible(), 20000);
        QCOMPARE(percent(), QStringLiteral("118"));
        QVERIFY(m_Messages.isEmpty());

        // Again with replies held back a little, so that the server is stopped half way.
        m_Server->withSimulator(
            [](AcuSimulator& acu) { acu.faults().replyDelay = std::chrono::milliseconds{100}; });
        click(m_Window.get(), "update_data_button");
        QTRY_VERIFY_WITH_TIMEOUT(percent().toInt() >= 30 && percent().toInt() < 100, 20000);
        m_Ser2net->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!popup()->isVisible(), 10000);
        QVERIFY(m_Window->isEnabled());
        QVERIFY2(percent().toInt() >= 30 && percent().toInt() < 118, qPrintable(percent()));
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 5000);
        QCOMPARE(m_Messages.first(),
                 QString::fromStdString(hangupText(m_Ser2net->address())).replace("\r\n", "\n"));
        QCOMPARE(g_Connected, std::uint8_t{0});
        QTest::qWait(2500);  // the scan finds nobody there, and says nothing more
        QCOMPARE(m_Messages.size(), 1);

        QVERIFY(m_Ser2net->start());
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 20000);
        QCOMPARE(portCombo()->currentText(), address());
        QCOMPARE(m_Messages.size(), 1);
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestRemoteAcu)

#include "test_remote_acu.moc"
