// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QTemporaryDir>
#include <QTest>

#include "serial/pty_pair.h"
#include <QFile>
#include "widgets/lamp.h"
#include "widgets/serial_box.h"

// The main window against the simulated ACU on a pseudo-terminal, through the real serial
// port: the scan, identification and what it shows on every page, the GPS page, Disconnect, a
// silent port, a lost reply, a hang-up, and the region edited from the satellite page. The
// simulator's antenna is in Rotterdam; its region is NW-EUROPE, six satellites, HOTBIRD (13.0 E,
// position 1) the target, a universal LNB 9750 / 10600 MHz, DiSEqC not used.
class TestConnection : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    QComboBox* portCombo() { return child<QComboBox>(m_Window.get(), "port_combo"); }

private slots:
    void init() { openOnSim(); }
    void cleanup() { close(); }

    void identificationFillsEveryPageAndDisconnectStopsAll() {
        QTRY_COMPARE_WITH_TIMEOUT(state().Connected, std::uint8_t{1}, 3000);
        QCOMPARE(m_Window->serialBox()->text(), simPort());

        // Identification ends in the status poll, and the poll paints the antenna's state.
        waitForPoll();
        QCOMPARE(m_Window->connectLamp()->color(), LampColor::Blue);
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->stateLamps()[2]->color() == LampColor::Blue, 5000);

        // The region the ACU sent, on the target panel and every page.
        auto* target = child<QComboBox>(m_Window.get(), "target_combo");
        QCOMPARE(target->count(), 6);
        QCOMPARE(target->currentIndex(), 1);
        checkShown(m_Window.get(), {{"target_sat", "HOTBIRD    13.0E"},
                                    {"transponder_freq", "12476"}});
        QVERIFY(!child<QPushButton>(m_Window.get(), "target_change_button")->isEnabled());
        checkShown(m_Window->page(1), {{"name", "HOTBIRD   "},
                                       {"longitude", "13.0"},
                                       {"east_west", "E"},
                                       {"vlow_freq", "11034"},
                                       {"single_band_frequency", "10750"},
                                       {"universal_frequency", "9750/10600"}});
        QWidget* administrator = showPage(4);
        QCOMPARE(child<QListWidget>(administrator, "satellite_list")->currentRow(), 1);
        checkShown(administrator, {{"hor_low_band", "10971  29700    318"},
                                   {"region", "NW-EUROPE   "}});
        screenshot(QStringLiteral("/tmp/ui_administrator.png"));

        // The GPS page: the antenna's position with a fix, and a satellite picked from the region.
        QWidget* gps = showPage(0);
        QTRY_COMPARE_WITH_TIMEOUT(shown(gps, "antenna_longitude"), QStringLiteral("4.48"), 3000);
        checkShown(gps, {{"antenna_longitude_hemisphere", "E"},
                         {"antenna_latitude", "51.90"},
                         {"antenna_latitude_hemisphere", "N"}});
        QTRY_COMPARE_WITH_TIMEOUT(m_Window->gpsLamps()[0]->color(), LampColor::Blue, 3000);
        auto* satellite = child<QComboBox>(gps, "satellite");
        satellite->setFocus();
        QTest::keyClick(satellite, Qt::Key_Down);
        QTest::keyClick(satellite, Qt::Key_Down);
        checkShown(gps, {{"satellite_longitude", "0.8"}, {"satellite_longitude_hemisphere", "W"}});

        // The antenna is carried to New York and loses its fix; the page follows.
        m_Server->withSimulator([](AcuSimulator& acu) {
            acu.state().gps = GpsFix{2, 74.0, 'W', 40.7, 'N'};
        });
        QTRY_COMPARE_WITH_TIMEOUT(shown(gps, "antenna_longitude"), QStringLiteral("74.00"), 3000);
        checkShown(gps, {{"antenna_longitude_hemisphere", "W"}, {"antenna_latitude", "40.70"}});
        QTRY_COMPARE_WITH_TIMEOUT(m_Window->gpsLamps()[1]->color(), LampColor::Red, 3000);
        screenshot(QStringLiteral("/tmp/ui_gps.png"));
        QVERIFY(m_Messages.isEmpty());

        click(m_Window.get(), "connect_button");
        QCOMPARE(state().Connected, std::uint8_t{0});
        QCOMPARE(shown(m_Window.get(), "connect_button"), QStringLiteral("Connect"));
        QVERIFY(portCombo()->isEnabled());
        QCOMPARE(m_Window->serialBox()->text(), QStringLiteral("COM"));
        // No lamp goes on claiming the antenna connected or tracking.
        QCOMPARE(m_Window->connectLamp()->color(), LampColor::Grey);
        const std::uint32_t frames = framesAtAcu();
        QTest::qWait(1200);
        QCOMPARE(framesAtAcu(), frames);
    }

    // A silent port is given up for the next; there a lost reply is named, and a hang-up names
    // the port, which is never opened again.
    void theScanPassesASilentPortThenALostReplyAndAHangUpAreNamed() {
        PtyPair silent;
        QVERIFY(silent.ok());
        const QString silentPath = QString::fromStdString(silent.slavePath());
        m_Server->withSimulator([](AcuSimulator& acu) { acu.faults().ignoreNext(3); });
        makeWindow({silentPath, simPort()});
        m_Window->show();

        QTRY_COMPARE_WITH_TIMEOUT(state().Connected, std::uint8_t{1}, 3000);
        QCOMPARE(m_Window->serialBox()->text(), silentPath);  // the port being tried
        // Six unanswered link checks give it up (the controller's tests count them).
        QTRY_COMPARE_WITH_TIMEOUT(m_Window->serialBox()->text(), simPort(), 10000);
        QVERIFY(m_Window->connectLamp()->color() != LampColor::Red);  // no blame carried over
        QVERIFY(silent.pendingOnMaster() > 0);

        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 5000);
        QVERIFY(m_Messages.takeFirst().startsWith(QStringLiteral("No valid answer to command 3")));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!polling());
        click(m_Window.get(), "get_info_button");
        waitForPoll();
        QCOMPARE(m_Window->connectLamp()->color(), LampColor::Blue);

        const QString path = simPort();
        m_Server->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(state().Connected, std::uint8_t{0}, 3000);
        // Said inside the window, not in a box that would wait for an OK.
        QVERIFY(m_Messages.isEmpty());
        QVERIFY(m_Window->linkNotice()->isVisible());
        QCOMPARE(m_Window->linkNotice()->text(),
                 path + QStringLiteral(" was disconnected. Skyrelay connects again by itself as "
                                       "soon as the port is back; meanwhile check the cable and "
                                       "the serial adapter."));
        QCOMPARE(shown(m_Window.get(), "connect_button"), QStringLiteral("Connect"));

        // Another program's terminal, most likely under the number the simulator had.
        m_Server->stop();
        PtyPair other;
        QVERIFY(other.ok());
        const auto silentBytes = silent.pendingOnMaster();
        QTest::qWait(2500);  // two runs of the scan
        QCOMPARE(portCombo()->findText(path), -1);
        QVERIFY(m_Window->serialBox()->text() != path);
        QCOMPARE(other.pendingOnMaster(), 0);
        // Nor does the scan go on to a port nobody picked while it waits for the lost one.
        QCOMPARE(silent.pendingOnMaster(), silentBytes);
        QCOMPARE(state().Connected, std::uint8_t{0});
    }

    // A link the user named (a simulator's --link path) hangs up with its terminal and is
    // found again when it comes back.
    void aNamedLinkThatHungUpIsFoundAgain() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("acu"));
        QVERIFY(QFile::link(simPort(), link));
        makeWindow({link});
        m_Window->show();
        waitForPoll();
        m_Server->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(state().Connected, std::uint8_t{0}, 3000);
        QVERIFY(m_Window->linkNotice()->text().startsWith(link + QStringLiteral(" was disc")));
        m_Server->stop();
        QFile::remove(link);
        QTest::qWait(1200);  // a run of the scan with the link gone
        QCOMPARE(portCombo()->findText(link), 0);

        m_Server.reset();
        m_Acu.reset();  // the unit comes back from power-up
        startSim();
        QVERIFY(QFile::link(simPort(), link));
        QTRY_COMPARE_WITH_TIMEOUT(state().Connected, std::uint8_t{1}, 5000);
        QCOMPARE(m_Window->serialBox()->text(), link);
        QVERIFY(!m_Window->linkNotice()->isVisible());  // gone with the link back
        waitForPoll();
        QVERIFY(m_Messages.isEmpty());
    }

    void targetAndSatelliteEditsReachTheAcuAndComeBack() {
        waitForPoll();
        QWidget* main = m_Window.get();
        auto* target = child<QComboBox>(main, "target_combo");
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Down);
        QTest::keyClick(target, Qt::Key_Down);
        QCOMPARE(target->currentIndex(), 3);
        click(main, "target_change_button");
        QCOMPARE(shown(main, "target_sat"), QStringLiteral("THOR       0.8W"));
        waitForPoll();
        QTest::qWait(1200);  // a status reply: had the change not reached the ACU, HOTBIRD again
        QCOMPARE(shown(main, "target_sat"), QStringLiteral("THOR       0.8W"));

        QWidget* page = showPage(1);
        child<QComboBox>(page, "satellite")->setCurrentIndex(2);
        QCOMPARE(shown(page, "name"), QStringLiteral("ASTRA 2   "));
        child<QLineEdit>(page, "name")->setText(QStringLiteral("ASTRA 2F"));
        child<QLineEdit>(page, "longitude")->setText(QStringLiteral("28.5"));
        child<QLineEdit>(page, "vlow_freq")->setText(QStringLiteral("70000"));
        click(page, "edit_satellite");
        QVERIFY(m_Messages.takeFirst().startsWith(QStringLiteral(" Not Setup mode !!!")));
        enterSetupMode();
        // In setup mode nothing polls: a radio click alone puts nothing on the line.
        const std::uint32_t frames = framesAtAcu();
        child<QAbstractButton>(page, "pol_13v")->click();
        QTest::qWait(300);
        QCOMPARE(framesAtAcu(), frames);
        click(page, "edit_satellite");
        QVERIFY(m_Messages.takeFirst().startsWith(QStringLiteral(" Vertical LowBand Freq.")));
        child<QLineEdit>(page, "vlow_freq")->setText(QStringLiteral("10800"));
        click(page, "edit_satellite");
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 3000);  // its completion
        // Acknowledged, the edit is the region's data, which the Administrator page shows.
        QWidget* administrator = m_Window->page(4);
        child<QListWidget>(administrator, "satellite_list")->setCurrentRow(2);
        QCOMPARE(shown(administrator, "name"), QStringLiteral("  ASTRA 2F  "));

        screenshot(QStringLiteral("/tmp/ui_satellite.png"));

        m_Messages.clear();
        click(main, "get_info_button");
        waitForPoll();
        QCOMPARE(target->itemText(2), QStringLiteral("ASTRA 2F  "));
        child<QListWidget>(administrator, "satellite_list")->setCurrentRow(2);
        checkShown(administrator,
                   {{"name", "  ASTRA 2F  "},
                    {"longitude", " 28.5E \r\n"},
                    {"ver_low_band", "10800  22000      2"},
                    {"polarization", "Only 13V"}});
        QVERIFY(m_Messages.isEmpty());
    }

    // Started on a device that is not there yet, beside a port of the system that nobody
    // named: the window waits for the named one, connects once it appears, and never writes
    // to the other (here a pseudo-terminal of the test's own, which records what reaches it).
    void aNamedDeviceIsAwaitedAndNoOtherPortIsOpened() {
        close();
        PtyPair bystander;
        QVERIFY(bystander.ok());
        QTemporaryDir folder;
        const QString named = folder.filePath(QStringLiteral("acu"));
        m_Window = std::make_unique<MainWindow>(QStringList{named}, nullptr,
                                                 PortListing::GivenThenSystem);
        m_Window->discovery().setSystemLister([&] { return std::vector{bystander.slavePath()}; });
        m_Window->setMessageBoxHook([this](const QString& text, MessageIcon) { m_Messages << text; });
        m_Window->show();

        QTest::qWait(5000);
        QCOMPARE(state().Connected, std::uint8_t{0});
        QCOMPARE(m_Window->discovery().awaitedDevices(), QStringList{named});
        QCOMPARE(portCombo()->itemText(0), named);
        QVERIFY(m_Window->linkNotice()->isVisible());
        QCOMPARE(m_Window->linkNotice()->text(),
                 "Waiting for " + named + ", named at start-up: Skyrelay connects as soon as it "
                 "appears, and opens no other port.");
        screenshot(QStringLiteral("/tmp/ui_awaiting.png"));

        startSim();
        QVERIFY(QFile::link(simPort(), named));
        QTRY_COMPARE_WITH_TIMEOUT(state().Connected, std::uint8_t{1}, 5000);
        QCOMPARE(m_Window->serialBox()->text(), named);
        QTRY_VERIFY(!m_Window->linkNotice()->isVisible());
        waitForPoll();
        QCOMPARE(bystander.pendingOnMaster(), 0);
        QVERIFY(m_Messages.isEmpty());
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestConnection)

#include "test_connection.moc"
