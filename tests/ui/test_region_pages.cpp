// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QtTest>

#include "app/lumidor_app.h"

// The satellite page and the target panel through the real main window, against the simulated
// ACU on a pseudo-terminal (its region: NW-EUROPE, six satellites, HOTBIRD the target): another
// target is chosen and changed, then a satellite, the LNB and DiSEqC are edited in setup mode
// and come back with Get Antenna Information.
class TestRegionPages : public QObject, private WindowOnSim {
    Q_OBJECT

private slots:
    void init() {
        ResetProcessState();
        openOnSim();
    }
    void cleanup() { close(); }

    void targetAndSatelliteEditsReachTheAcuAndComeBack() {
        waitForPoll();
        QWidget* main = m_Window.get();
        auto* target = child<QComboBox>(main, "target_combo");
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Down);
        QTest::keyClick(target, Qt::Key_Down);
        QCOMPARE(target->currentIndex(), 3);
        QCOMPARE(shown(main, "target_longitude"), QStringLiteral(" 0.8W"));
        click(main, "target_change_button");
        QCOMPARE(shown(main, "target_sat"), QStringLiteral("THOR       0.8W"));
        QTRY_COMPARE_WITH_TIMEOUT(m_Server->withSimulator([](AcuSimulator& acu) {
            return static_cast<int>(acu.state().current.record.defaultSatellite);
        }),
                                  3, 3000);
        waitForPoll();
        QTest::qWait(1200);  // a status reply: the ACU now names THOR as its target
        QCOMPARE(shown(main, "target_sat"), QStringLiteral("THOR       0.8W"));

        QWidget* page = showPage(1);
        child<QComboBox>(page, "satellite")->setCurrentIndex(2);
        QCOMPARE(shown(page, "name"), QStringLiteral("ASTRA 2   "));
        child<QLineEdit>(page, "name")->setText(QStringLiteral("ASTRA 2F"));
        child<QLineEdit>(page, "longitude")->setText(QStringLiteral("28.5"));
        child<QLineEdit>(page, "vlow_freq")->setText(QStringLiteral("70000"));
        click(page, "edit_satellite");
        QCOMPARE(m_Messages.takeFirst(),
                 QStringLiteral(" Not Setup mode !!! \n Try again after Setup mode !!!"));
        enterSetupMode();
        // In setup mode nothing polls: a radio click alone puts nothing on the line.
        const std::uint32_t frames = framesAtAcu();
        child<QAbstractButton>(page, "pol_13v")->click();
        QTest::qWait(300);
        QCOMPARE(framesAtAcu(), frames);
        click(page, "edit_satellite");
        QCOMPARE(m_Messages.takeFirst(),
                 QStringLiteral(" Vertical LowBand Freq. must be 0 to 65535 !!! \n Nothing was "
                                "sent !!!"));
        child<QLineEdit>(page, "vlow_freq")->setText(QStringLiteral("10800"));
        click(page, "edit_satellite");
        QTRY_COMPARE_WITH_TIMEOUT(
            m_Messages.value(0), QStringLiteral(" Edit Satellite Information Complete !!! "), 3000);
        // The Administrator page shows the region data, not the edit.
        QWidget* administrator = m_Window->page(4);
        child<QListWidget>(administrator, "satellite_list")->setCurrentRow(2);
        QCOMPARE(shown(administrator, "name"), QStringLiteral("  ASTRA 2   "));

        child<QAbstractButton>(page, "single_band")->click();
        QVERIFY(child<QLineEdit>(page, "single_band_frequency")->isEnabled());
        child<QLineEdit>(page, "single_band_frequency")->setText(QStringLiteral("11300"));
        click(page, "set_local_frequency");
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.value(1),
                                  QStringLiteral(" Set Local Frequency Complete !!! "), 3000);
        click(page, "diseqc_change_satellite");
        QCOMPARE(child<QButtonGroup>(page, "diseqc_mode")->checkedId(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.value(2),
                                  QStringLiteral(" Set DiSEqc USE Complete !!! "), 3000);
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
                    {"polarization", "Only 13V"},
                    {"lnb_information", " LNB Type : Single Band\tLocal Freq.: 11300 MHz"},
                    {"diseqc", "Change Satellite"}});
        QVERIFY(m_Messages.isEmpty());
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestRegionPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_region_pages.moc"
