// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/load_progress.h"
#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "app/timer_bank_qt.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "panel/lamp.h"
#include "panel/serial_box.h"
#include "serial/pty_pair.h"
#include "support/bytes.h"

// The main window against the simulated ACU on a pseudo-terminal, through the real serial
// port: the automatic scan, identification, the status poll, Disconnect and a hang-up.
class TestConnection : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    // A window whose port list starts with ports, in place of the one init() made.
    void reopenWindow(const QStringList& ports) {
        makeWindow(ports);
        m_Window->show();
    }
    static Bytes takeAll(const PtyPair& pty, Bytes taken) {
        const int pending = pty.pendingOnMaster();
        if (pending <= 0) return taken;
        const Bytes more = pty.readExactly(static_cast<std::size_t>(pending));
        taken.insert(taken.end(), more.begin(), more.end());
        return taken;
    }
    QPushButton* connectButton() { return mainButton("connect_button"); }

private slots:
    void init() {
        ResetProcessState();
        openOnSim();
    }
    void cleanup() { close(); }

    void scanConnectsIdentifiesAndPolls() {
        const QString path = QString::fromStdString(m_Server->slavePath());
        QTRY_COMPARE_WITH_TIMEOUT(g_Connected, std::uint8_t{1}, 3000);
        QCOMPARE(m_Window->serialBox()->text(), path);
        QCOMPARE(connectButton()->text(), QStringLiteral("Disconnect"));
        QVERIFY(!m_Window->findChild<QComboBox*>(QStringLiteral("port_combo"))->isEnabled());

        // Identification ends in the status poll, and the poll paints the antenna's state.
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        QCOMPARE(g_BusyCursor, std::uint8_t{0});
        QCOMPARE(m_Window->connectLamp()->color(), LampColor::Blue);
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->stateLamps()[2]->color() == LampColor::Blue, 5000);
        QVERIFY(m_Messages.isEmpty());
    }

    void theWaitCursorShowsWhileTheAcuIsIdentified() {
        QTRY_COMPARE_WITH_TIMEOUT(g_Connected, std::uint8_t{1}, 3000);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void factoryDefaultShowsItsProgressWithTheWindowDisabled() {
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        m_Window->pageList()->setCurrentRow(3);
        m_Window->findChild<QPushButton*>(QStringLiteral("setup_button"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(g_SetupMode, std::uint8_t{1}, 3000);
        m_Window->findChild<QPushButton*>(QStringLiteral("factory_button"))->click();

        QWidget* popup = m_Window->loadProgress();
        QTRY_VERIFY_WITH_TIMEOUT(popup->isVisible(), 5000);
        QVERIFY(!m_Window->isEnabled());
        QCOMPARE(m_Window->currentPage(), popup);
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 10000);
        QVERIFY(m_Window->isEnabled());
        QCOMPARE(m_Window->currentPage(), m_Window->page(3));
        QVERIFY(m_Window->page(3)->isVisible());
        QVERIFY(m_Messages.isEmpty());
    }

    void disconnectRestoresTheControlsAndStopsSending() {
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        connectButton()->click();
        QCOMPARE(g_Connected, std::uint8_t{0});
        QCOMPARE(connectButton()->text(), QStringLiteral("Connect"));
        QVERIFY(m_Window->findChild<QComboBox*>(QStringLiteral("port_combo"))->isEnabled());
        QCOMPARE(m_Window->serialBox()->text(), QStringLiteral("COM"));
        for (int id = 1; id <= 42; ++id) QVERIFY(!m_Window->timers().running(id));
        // No lamp goes on claiming the antenna connected or tracking.
        QCOMPARE(m_Window->connectLamp()->color(), LampColor::Grey);
        for (const Lamp* lamp : m_Window->stateLamps()) QCOMPARE(lamp->color(), LampColor::Grey);

        const std::uint32_t frames = framesAtAcu();
        QTest::qWait(1500);
        QCOMPARE(framesAtAcu(), frames);
    }

    void theScanGivesUpASilentPortAndConnectsToTheNext() {
        PtyPair silent;
        QVERIFY(silent.ok());
        const QString silentPath = QString::fromStdString(silent.slavePath());
        const QString acuPath = QString::fromStdString(m_Server->slavePath());
        reopenWindow({silentPath, acuPath});

        QTRY_COMPARE_WITH_TIMEOUT(g_Connected, std::uint8_t{1}, 3000);
        QCOMPARE(m_Window->serialBox()->text(), silentPath);  // the port being tried
        Bytes heard;
        for (int i = 0; i < 200 && m_Window->serialBox()->text() != acuPath; ++i) {
            heard = takeAll(silent, heard);
            QTest::qWait(50);
        }
        QCOMPARE(m_Window->serialBox()->text(), acuPath);
        QVERIFY(m_Window->connectLamp()->color() != LampColor::Red);  // no blame carried over
        heard = takeAll(silent, heard);
        const Bytes linkCheck{0x02, 0x01, 0x01, 0x02, 0x03};
        Bytes sixLinkChecks;
        for (int n = 0; n < 6; ++n) {
            sixLinkChecks.insert(sixLinkChecks.end(), linkCheck.begin(), linkCheck.end());
        }
        QCOMPARE(heard, sixLinkChecks);

        // The identification chain runs on the second port, up to the status poll.
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        QCOMPARE(m_Window->connectLamp()->color(), LampColor::Blue);
        QVERIFY(m_Messages.isEmpty());
    }

    void aPseudoTerminalThatHungUpIsNeverOpenedAgain() {
        const QString path = QString::fromStdString(m_Server->slavePath());
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        m_Server->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(g_Connected, std::uint8_t{0}, 3000);
        m_Server->stop();
        // Another program's terminal, most likely under the number the simulator had.
        PtyPair other;
        QVERIFY(other.ok());
        if (QString::fromStdString(other.slavePath()) != path) {
            qInfo("the new terminal got another number; the list is still checked");
        }
        QTest::qWait(2500);  // two runs of the scan
        auto* combo = m_Window->findChild<QComboBox*>(QStringLiteral("port_combo"));
        QCOMPARE(combo->findText(path), -1);
        QVERIFY(m_Window->serialBox()->text() != path);
        QCOMPARE(other.pendingOnMaster(), 0);
    }

    void aLostRegionReplyEndsTheWaitAndSaysWhichAnswerIsMissing() {
        m_Server->withSimulator([](AcuSimulator& acu) { acu.faults().ignoreNext(3); });
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 5000);
        QCOMPARE(m_Messages[0], QStringLiteral("No valid answer to command 3 (current region) "
                                               "came from the ACU.\nPress \"Get Antenna "
                                               "Information\" to try again."));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!m_Window->timers().running(14));
    }

    void aHangUpDisconnectsAndNamesThePort() {
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        m_Server->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(g_Connected, std::uint8_t{0}, 3000);
        QCOMPARE(m_Messages.size(), 1);
        QCOMPARE(m_Messages[0], QString::fromStdString(m_Server->slavePath()) +
                                    QStringLiteral(" was disconnected.\nCheck the cable and the "
                                                   "serial adapter."));
        QCOMPARE(connectButton()->text(), QStringLiteral("Connect"));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestConnection test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_connection.moc"
