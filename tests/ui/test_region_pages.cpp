// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "app/timer_bank_qt.h"
#include "link/link_state.h"
#include "link/process_state.h"

// The satellite displays through the real main window, against the simulated ACU on a
// pseudo-terminal: what the identification chain brought in shows on the target panel, the
// satellite page, the GPS page's satellite choice and the Administrator page; an edited
// satellite goes to the ACU and comes back with Get Antenna Information; another target is
// chosen and changed. The simulator's region is NW-EUROPE, six satellites, HOTBIRD (13.0 E,
// position 1) the target, a universal LNB 9750 / 10600 MHz, DiSEqC not used.
class TestRegionPages : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    template <class T>
    T* on(int page, const char* name) {
        return m_Window->page(page)->findChild<T*>(QString::fromUtf8(name));
    }
    QString text(int page, const char* name) {
        return controlText(m_Window->page(page)->findChild<QObject*>(QString::fromUtf8(name)));
    }
    QString mainText(const char* name) {
        return m_Window->findChild<QLabel*>(QString::fromUtf8(name))->text();
    }
    QComboBox* targetCombo() {
        return m_Window->findChild<QComboBox*>(QStringLiteral("target_combo"));
    }
    void shoot(int page, const char* file) {
        m_Window->pageList()->setCurrentRow(page);
        QCoreApplication::processEvents();
        const QString path = QDir::temp().filePath(QString::fromUtf8(file));
        QVERIFY(m_Window->grab().save(path));
    }

private slots:
    void init() {
        ResetProcessState();
        openOnSim();
        if (QTest::currentTestFailed()) return;
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 8000);
    }
    void cleanup() { close(); }

    void afterConnectingEveryPageShowsTheAcusRegion() {
        QComboBox* target = targetCombo();
        QCOMPARE(target->count(), 6);
        QCOMPARE(target->itemText(0), QStringLiteral("ASTRA 1   "));
        QCOMPARE(target->currentIndex(), 1);
        QCOMPARE(mainText("target_longitude"), QStringLiteral(" 13.0E"));
        QCOMPARE(mainText("target_sat"), QStringLiteral("HOTBIRD    13.0E"));
        QVERIFY(!mainButton("target_change_button")->isEnabled());

        QCOMPARE(on<QComboBox>(0, "satellite")->count(), 6);
        QCOMPARE(text(0, "satellite"), QStringLiteral("HOTBIRD   "));
        QCOMPARE(text(0, "satellite_longitude"), QStringLiteral("13.0"));
        QCOMPARE(text(0, "satellite_longitude_hemisphere"), QStringLiteral("E"));

        QCOMPARE(text(1, "satellite"), QStringLiteral("HOTBIRD   "));
        QCOMPARE(text(1, "name"), QStringLiteral("HOTBIRD   "));
        QCOMPARE(text(1, "longitude"), QStringLiteral("13.0"));
        QCOMPARE(text(1, "east_west"), QStringLiteral("E"));
        QCOMPARE(text(1, "vlow_freq"), QStringLiteral("11034"));
        QCOMPARE(text(1, "hhigh_symbol"), QStringLiteral("29900"));
        QCOMPARE(text(1, "hhigh_nid"), QStringLiteral("318"));
        QCOMPARE(on<QButtonGroup>(1, "verification")->checkedId(), 2);
        QCOMPARE(on<QButtonGroup>(1, "polarization")->checkedId(), 0);
        QCOMPARE(on<QButtonGroup>(1, "tone")->checkedId(), 0);
        QCOMPARE(on<QButtonGroup>(1, "lnb_type")->checkedId(), 1);
        QCOMPARE(on<QButtonGroup>(1, "diseqc_mode")->checkedId(), 0);
        QCOMPARE(text(1, "single_band_frequency"), QStringLiteral("10750"));
        QVERIFY(!on<QLineEdit>(1, "single_band_frequency")->isEnabled());
        QCOMPARE(text(1, "universal_frequency"), QStringLiteral("9750/10600"));

        auto* list = on<QListWidget>(4, "satellite_list");
        QCOMPARE(list->count(), 6);
        QCOMPARE(list->item(5)->text(), QStringLiteral("  6 "));
        QCOMPARE(list->currentRow(), 1);
        const std::pair<const char*, const char*> details[] = {
            {"index", "  2 "},
            {"name", "  HOTBIRD   "},
            {"longitude", " 13.0E \r\n"},
            {"ver_low_band", "11034  27500    318"},
            {"hor_low_band", "10971  29700    318"},
            {"verification", "DVB Decode"},
            {"polarization", "Pol Auto"},
            {"tone", "Tone Auto"},
            {"diseqc", "Not Use"},
            {"lnb_information", " LNB Type : Universal\tLocal Freq.: 9750 / 10600 MHz"},
            {"continent", "Europe   "},
            {"region", "NW-EUROPE   "},
        };
        for (const auto& [name, shown] : details) QCOMPARE(text(4, name), QString::fromUtf8(shown));
        for (const char* name : {"continent", "region"}) {
            QCOMPARE(on<QComboBox>(4, name)->count(), 1);
            QVERIFY(!on<QComboBox>(4, name)->isEnabled());
        }
        QVERIFY(m_Messages.isEmpty());

        shoot(0, "i11_gps.png");
        shoot(1, "i11_satellite.png");
        shoot(4, "i11_administrator.png");
        // The list of the Administrator page follows the user's choice.
        list->setCurrentRow(4);
        QCOMPARE(text(4, "name"), QStringLiteral("  EUTEL 5WA "));
        QCOMPARE(text(4, "longitude"), QStringLiteral(" 5.0W \r\n"));
        QCOMPARE(text(4, "verification"), QStringLiteral("AGC Level"));
    }

    void anEditedSatelliteIsSentAndReadBack() {
        on<QComboBox>(1, "satellite")->setCurrentIndex(2);
        QCOMPARE(text(1, "name"), QStringLiteral("ASTRA 2   "));
        on<QLineEdit>(1, "name")->setText(QStringLiteral("ASTRA 2F"));
        on<QLineEdit>(1, "longitude")->setText(QStringLiteral("28.5"));
        on<QLineEdit>(1, "vlow_freq")->setText(QStringLiteral("70000"));
        auto* edit = on<QPushButton>(1, "edit_satellite");

        edit->click();  // not in setup mode
        QCOMPARE(m_Messages.takeFirst(),
                 QStringLiteral(" Not Setup mode !!! \n Try again after Setup mode !!!"));
        enterSetupMode();
        // In setup mode nothing polls: a radio click alone puts nothing on the line.
        const std::uint32_t frames = framesAtAcu();
        on<QAbstractButton>(1, "pol_13v")->click();
        QTest::qWait(300);
        QCOMPARE(framesAtAcu(), frames);
        edit->click();
        QCOMPARE(m_Messages.takeFirst(),
                 QStringLiteral(" Vertical LowBand Freq. must be 0 to 65535 !!! \n Nothing was "
                                "sent !!!"));
        on<QLineEdit>(1, "vlow_freq")->setText(QStringLiteral("10800"));
        edit->click();
        QTRY_COMPARE_WITH_TIMEOUT(
            m_Messages.value(0), QStringLiteral(" Edit Satellite Information Complete !!! "), 3000);
        m_Messages.clear();
        // The Administrator page shows the region data, not the edit.
        QCOMPARE(text(4, "name"), QStringLiteral("  HOTBIRD   "));

        mainButton("get_info_button")->click();
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 8000);
        QCOMPARE(targetCombo()->itemText(2), QStringLiteral("ASTRA 2F  "));
        on<QListWidget>(4, "satellite_list")->setCurrentRow(2);
        QCOMPARE(text(4, "name"), QStringLiteral("  ASTRA 2F  "));
        QCOMPARE(text(4, "longitude"), QStringLiteral(" 28.5E \r\n"));
        QCOMPARE(text(4, "ver_low_band"), QStringLiteral("10800  22000      2"));
        QCOMPARE(text(4, "polarization"), QStringLiteral("Only 13V"));
        QVERIFY(m_Messages.isEmpty());
    }

    void theLnbAndDiseqcAreSet() {
        enterSetupMode();
        on<QAbstractButton>(1, "single_band")->click();
        QVERIFY(on<QLineEdit>(1, "single_band_frequency")->isEnabled());
        on<QLineEdit>(1, "single_band_frequency")->setText(QStringLiteral("11300"));
        on<QPushButton>(1, "set_local_frequency")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.value(0),
                                  QStringLiteral(" Set Local Frequency Complete !!! "), 3000);
        on<QPushButton>(1, "diseqc_change_satellite")->click();
        QCOMPARE(on<QButtonGroup>(1, "diseqc_mode")->checkedId(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.value(1),
                                  QStringLiteral(" Set DiSEqc USE Complete !!! "), 3000);

        mainButton("get_info_button")->click();
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 8000);
        QCOMPARE(text(4, "lnb_information"),
                 QStringLiteral(" LNB Type : Single Band\tLocal Freq.: 11300 MHz"));
        QCOMPARE(text(4, "diseqc"), QStringLiteral("Change Satellite"));
    }

    void anotherTargetIsChosenAndChanged() {
        QComboBox* target = targetCombo();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Down);
        QTest::keyClick(target, Qt::Key_Down);
        QCOMPARE(target->currentIndex(), 3);
        QCOMPARE(mainText("target_longitude"), QStringLiteral(" 0.8W"));
        QVERIFY(mainButton("target_change_button")->isEnabled());
        mainButton("target_change_button")->click();
        QCOMPARE(mainText("target_sat"), QStringLiteral("THOR       0.8W"));
        QTRY_COMPARE_WITH_TIMEOUT(m_Server->withSimulator([](AcuSimulator& acu) {
            return static_cast<int>(acu.state().current.record.defaultSatellite);
        }),
                                  3, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 3000);
        QTest::qWait(1500);  // a status reply or two: the ACU now names THOR as its target
        QCOMPARE(mainText("target_sat"), QStringLiteral("THOR       0.8W"));
        shoot(1, "i11_target_changed.png");
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
