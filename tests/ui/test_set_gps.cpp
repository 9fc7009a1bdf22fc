// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "app/timer_bank_qt.h"
#include "data/satellite_tables.h"
#include "geo/look_angles.h"
#include "link/process_state.h"
#include "pages/set_gps.h"
#include "panel/lamp.h"

namespace {

QString textOf(const QWidget* page, const char* name) {
    return page->findChild<QLabel*>(QString::fromUtf8(name))->text();
}
QLineEdit* edit(const QWidget* page, const char* name) {
    return page->findChild<QLineEdit*>(QString::fromUtf8(name));
}
QComboBox* combo(const QWidget* page, const char* name) {
    return page->findChild<QComboBox*>(QString::fromUtf8(name));
}
void press(const QWidget* page, const char* name) {
    page->findChild<QPushButton*>(QString::fromUtf8(name))->click();
}
QStringList results(const QWidget* page) {
    return {textOf(page, "azimuth"), textOf(page, "elevation"), textOf(page, "skew")};
}
void type(const QWidget* page, const char* name, const char* text) {
    QLineEdit* box = edit(page, name);
    box->clear();
    QTest::keyClicks(box, QString::fromUtf8(text));
}

}  // namespace

// The GPS page: typed positions on the page alone, then the antenna's reported position
// through the main window against the simulated ACU on a pseudo-terminal.
class TestSetGps : public QObject {
    Q_OBJECT

private slots:
    void init() { ResetProcessState(); }
    void cleanup() { ResetProcessState(); }

    void regionGpsWithUntouchedSelectorsIsWestAndSouth() {
        QWidget host;
        Set_GPS page(&host);
        type(&page, "region_longitude", "127.55");
        type(&page, "region_latitude", "37.55");
        type(&page, "satellite_longitude", "116.05");
        // The boxes hold 5, 4 and 5 characters.
        QCOMPARE(edit(&page, "region_longitude")->text(), QStringLiteral("127.5"));
        QCOMPARE(edit(&page, "region_latitude")->text(), QStringLiteral("37.5"));
        QCOMPARE(edit(&page, "satellite_longitude")->text(), QStringLiteral("116.0"));

        press(&page, "use_region_gps");
        QCOMPARE(g_CalcSiteLonHemisphere, 'W');
        QCOMPARE(g_CalcSiteLatHemisphere, 'S');
        QCOMPARE(g_CalcSatLonHemisphere, 'W');
        QCOMPARE(g_CalcSiteLatitude, -37.5);

        combo(&page, "region_longitude_hemisphere")->setCurrentIndex(0);
        combo(&page, "region_latitude_hemisphere")->setCurrentIndex(0);
        combo(&page, "satellite_longitude_hemisphere")->setCurrentIndex(0);
        type(&page, "region_longitude", "127.0");
        press(&page, "use_region_gps");
        QCOMPARE(results(&page), (QStringList{"197.7", "45.0", "-14.0"}));

        // Right below the satellite on the equator there is no direction to show.
        type(&page, "region_longitude", "116.0");
        type(&page, "region_latitude", "0");
        press(&page, "use_region_gps");
        QCOMPARE(results(&page), (QStringList{"---", "---", "---"}));
    }

    void pickingASatelliteFillsItsLongitudeAndTypingOverItWins() {
        g_RegionSatellites[0].longitude = 13.0;
        g_RegionSatellites[0].eastWest = 'E';
        g_RegionSatellites[1].longitude = 19.2;
        g_RegionSatellites[1].eastWest = 'W';
        QWidget host;
        Set_GPS page(&host);
        QComboBox* satellite = combo(&page, "satellite");
        satellite->addItems({QStringLiteral("HOTBIRD   "), QStringLiteral("WEST      ")});
        satellite->setCurrentIndex(0);
        Q_EMIT satellite->activated(1);
        QCOMPARE(edit(&page, "satellite_longitude")->text(), QStringLiteral("19.2"));
        QCOMPARE(combo(&page, "satellite_longitude_hemisphere")->currentText(),
                 QStringLiteral("W"));
        Q_EMIT satellite->activated(0);
        QCOMPARE(edit(&page, "satellite_longitude")->text(), QStringLiteral("13.0"));
        QCOMPARE(combo(&page, "satellite_longitude_hemisphere")->currentText(),
                 QStringLiteral("E"));

        type(&page, "satellite_longitude", "19.2");
        type(&page, "region_longitude", "0.0");
        type(&page, "region_latitude", "51.5");
        combo(&page, "region_longitude_hemisphere")->setCurrentIndex(0);
        combo(&page, "region_latitude_hemisphere")->setCurrentIndex(0);
        press(&page, "use_region_gps");
        QCOMPARE(results(&page), (QStringList{"156.0", "28.4", "7.7"}));
    }

    void antennaGpsFollowsTheAcuAndFeedsTheCalculation() {
        WindowOnSim sim;
        sim.openOnSim();
        if (QTest::currentTestFailed()) return;
        {
            CLumidorDlg& window = *sim.m_Window;
            const QStringList& messages = sim.m_Messages;
            PtyServer& server = *sim.m_Server;
            window.pageList()->setCurrentRow(0);
            const QWidget* page = window.page(0);
            QTRY_VERIFY_WITH_TIMEOUT(window.timers().running(14), 8000);

            // The simulator reports its antenna in Rotterdam with a fix.
            QTRY_COMPARE_WITH_TIMEOUT(textOf(page, "antenna_longitude"), QStringLiteral("4.48"),
                                      3000);
            QCOMPARE(textOf(page, "antenna_longitude_hemisphere"), QStringLiteral("E"));
            QCOMPARE(textOf(page, "antenna_latitude"), QStringLiteral("51.90"));
            QCOMPARE(textOf(page, "antenna_latitude_hemisphere"), QStringLiteral("N"));
            QTRY_COMPARE_WITH_TIMEOUT(window.gpsLamps()[0]->color(), LampColor::Blue, 3000);
            QCOMPARE(window.gpsLamps()[1]->color(), LampColor::Grey);

            // The satellite chosen from the region the ACU sent: NW-EUROPE, six satellites,
            // filled in by the refresh after the download (never by this test).
            QComboBox* satellite = combo(page, "satellite");
            QCOMPARE(satellite->count(), 6);
            satellite->setFocus();
            satellite->setCurrentIndex(0);
            QTest::keyClick(satellite, Qt::Key_Down);
            const SatelliteRecord& chosen = g_RegionSatellites[1];
            QCOMPARE(edit(page, "satellite_longitude")->text(),
                     QString::asprintf("%3.1f", chosen.longitude));
            press(page, "use_antenna_gps");
            const LookAngleTexts expected = lookAngleTexts(ComputeLookAngles(
                {4.48, 'E', 51.90, 'N', edit(page, "satellite_longitude")->text().toDouble(),
                 chosen.eastWest == 'E' ? 'E' : 'W'}));
            QCOMPARE(results(page), (QStringList{QString::fromStdString(expected.azimuth),
                                                 QString::fromStdString(expected.elevation),
                                                 QString::fromStdString(expected.skew)}));

            // The antenna is carried to New York and loses its fix; the page follows.
            server.withSimulator([](AcuSimulator& sim) {
                sim.state().gps = GpsFix{2, 74.0, 'W', 40.7, 'N'};
            });
            QTRY_COMPARE_WITH_TIMEOUT(textOf(page, "antenna_longitude"), QStringLiteral("74.00"),
                                      3000);
            QCOMPARE(textOf(page, "antenna_longitude_hemisphere"), QStringLiteral("W"));
            QCOMPARE(textOf(page, "antenna_latitude"), QStringLiteral("40.70"));
            QTRY_COMPARE_WITH_TIMEOUT(window.gpsLamps()[1]->color(), LampColor::Red, 3000);
            QCOMPARE(window.gpsLamps()[0]->color(), LampColor::Grey);
            type(page, "satellite_longitude", "101.0");
            combo(page, "satellite_longitude_hemisphere")->setCurrentIndex(1);
            press(page, "use_antenna_gps");
            QCOMPARE(results(page), (QStringList{"218.0", "35.4", "-27.8"}));

            QVERIFY(messages.isEmpty());
            if (const QByteArray shot = qgetenv("SKYRELAY_SHOT"); !shot.isEmpty()) {
                sim.screenshot(QString::fromLocal8Bit(shot));
            }
        }
        sim.close();
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestSetGps test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_set_gps.moc"
