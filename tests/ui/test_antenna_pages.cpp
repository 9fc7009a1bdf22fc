// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QRadioButton>
#include <QTest>
#include <cmath>

#include "app/load_progress.h"
#include "data/antenna_state.h"
#include "widgets/lamp.h"
#include "wire/lamp_colors.h"

using namespace std::chrono_literals;

// The diagnosis and move page and the antenna information page in the real main window,
// against the simulated ACU on a pseudo-terminal: a self test, moves that Current Position
// follows, parameters sent and read back, and a factory default.
class TestAntennaPages : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    QString azimuth(double degrees) { return QString::asprintf("%2.2f", degrees); }
    void checkStateLamps(std::uint8_t state) {
        for (std::size_t k = 0; k < kStateLamps; ++k) {
            QCOMPARE(m_Window->stateLamps()[k]->color(), stateLampColors(state)[k]);
        }
    }

private slots:
    void init() {
        AcuSimulator::Settings settings;
        settings.diagnosis.step = 100ms;
        settings.diagnosis.failingItem = 4;
        settings.factory.step = 50ms;
        m_Acu = std::make_unique<AcuSimulator>(settings);
        openOnSim();
    }
    void cleanup() { close(); }

    void diagnosisMovesParametersAndFactoryDefault() {
        waitForPoll();
        QWidget* diagnosis = showPage(2);
        // Outside setup mode the button refuses and keeps its caption.
        click(diagnosis, "diagnosis_start_stop");
        QVERIFY(m_Messages.takeFirst().startsWith(QStringLiteral(" Not Setup mode !!!")));
        QCOMPARE(shown(diagnosis, "diagnosis_start_stop"), QStringLiteral("Diagnosis Start"));

        enterSetupMode();
        click(diagnosis, "diagnosis_start_stop");
        QCOMPARE(shown(diagnosis, "diagnosis_start_stop"), QStringLiteral("Diagnosis Stop"));
        checkStateLamps(7);
        const auto& lamps = m_Window->diagLamps();
        QTRY_VERIFY_WITH_TIMEOUT(lamps[3]->color() == LampColor::Green, 5000);
        screenshot(QStringLiteral("/tmp/ui_diagnosis_running.png"));
        QTRY_COMPARE_WITH_TIMEOUT(shown(diagnosis, "diagnosis_start_stop"),
                                  QStringLiteral("Diagnosis Start"), 10000);
        for (std::size_t k = 0; k < lamps.size(); ++k) {
            QCOMPARE(lamps[k]->color(), k == 3 ? LampColor::Red : LampColor::Blue);
        }
        checkStateLamps(6);

        // Get Antenna Information ends in the status poll, which reports the dish as it moves.
        click(m_Window.get(), "get_info_button");
        waitForPoll();
        QTRY_COMPARE_WITH_TIMEOUT(state().AntennaMode, std::uint8_t{6}, 3000);
        QCOMPARE(shown(diagnosis, "current_az"), azimuth(state().antenna.CurrentAz));
        // A quarter turn away.
        const double az = std::round(state().antenna.CurrentAz > 180.0 ? state().antenna.CurrentAz - 90.0 : state().antenna.CurrentAz + 90.0);
        typeInto(diagnosis, "go_to_az", QString::number(az));
        typeInto(diagnosis, "go_to_el", QStringLiteral("20"));
        click(diagnosis, "go_to_position");
        QTRY_COMPARE_WITH_TIMEOUT(shown(diagnosis, "current_az"), azimuth(az), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(diagnosis, "current_el"), QStringLiteral("20.00"), 5000);
        // A step starts from the reported position.
        typeInto(diagnosis, "az_step", QStringLiteral("2.5"));
        click(diagnosis, "az_step_ccw");
        QTRY_COMPARE_WITH_TIMEOUT(shown(diagnosis, "current_az"), azimuth(az - 2.5), 5000);
        // What identification brought: the product and the region.
        QWidget* information = showPage(3);
        checkShown(information, {{"antenna_model", " OCEANSAT SR-60"},
                                 {"serial_number", " SR60-2419087"},
                                 {"acu_sw_version", "2.07"},
                                 {"antenna_power", "24.10"},
                                 {"receiver", "18.3V 22kHz"},
                                 {"continent", "EUROPE"},
                                 {"region", "NW-EUROPE   "}});
        // Typed, sent, emptied, then read back from the unit as the page formats them.
        const std::tuple<const char*, const char*, const char*> parameters[] = {
            {"tracking_scale", "2.5", "2.50"}, {"detect_level", "410", "410"},
            {"tracking_level", "380", "380"},  {"el_adjust", "1.5", "1.50"},
            {"skew_adjust", "-0.5", "-0.50"},  {"signal_lost_time", "45", "45"},
            {"break_time", "9", "9"}};
        for (const auto& [name, typed, read] : parameters) {
            typeInto(information, name, QString::fromUtf8(typed));
        }
        click(information, "set_parameters");
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 3000);  // its completion
        m_Messages.clear();
        for (const auto& [name, typed, read] : parameters) typeInto(information, name, QString());
        click(m_Window.get(), "get_info_button");
        for (const auto& [name, typed, read] : parameters) {
            QTRY_COMPARE_WITH_TIMEOUT(shown(information, name), QString::fromUtf8(read), 5000);
        }
        screenshot(QStringLiteral("/tmp/ui_parameters.png"));

        // A factory default shows its progress over the page with the window disabled.
        waitForPoll();
        click(m_Window.get(), "factory_button");
        QWidget* popup = m_Window->loadProgress();
        QTRY_VERIFY_WITH_TIMEOUT(popup->isVisible(), 5000);
        QVERIFY(!m_Window->isEnabled());
        QCOMPARE(m_Window->currentPage(), popup);
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 10000);
        QVERIFY(m_Window->isEnabled());
        QCOMPARE(m_Window->currentPage(), information);
        QVERIFY(information->isVisible());
        QVERIFY(m_Messages.isEmpty());
    }

    void whatTheAcuAcknowledgedShowsOnEveryPage() {
        waitForPoll();
        enterSetupMode();
        QWidget* satellites = showPage(1);
        child<QRadioButton>(satellites, "single_band")->click();
        typeInto(satellites, "single_band_frequency", QStringLiteral("10750"));
        click(satellites, "set_local_frequency");
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 5000);
        click(satellites, "diseqc_change_satellite");
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 2, 5000);
        typeInto(satellites, "name", QStringLiteral("ABCDEFGHIJKL"));
        click(satellites, "edit_satellite");
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 3, 5000);
        QCOMPARE(m_Messages, (QStringList{QStringLiteral(" Set Local Frequency Complete !!! "),
                                          QStringLiteral(" Set DiSEqc USE Complete !!! "),
                                          QStringLiteral(" Edit Satellite Information Complete !!! ")}));
        checkShown(m_Window.get(), {{"local_freq", "10750"}, {"diseqc", "Change Satellite"}});
        QVERIFY2(shown(m_Window.get(), "target_sat").startsWith(QStringLiteral("ABCDEFGHIJ")),
                 qPrintable(shown(m_Window.get(), "target_sat")));
        QCOMPARE(shown(satellites, "name"), QStringLiteral("ABCDEFGHIJ"));
        QVERIFY2(shown(satellites, "satellite").startsWith(QStringLiteral("ABCDEFGHIJ")),
                 qPrintable(shown(satellites, "satellite")));
        QWidget* administrator = showPage(4);
        QVERIFY2(shown(administrator, "lnb_information").contains(QStringLiteral("10750 MHz")),
                 qPrintable(shown(administrator, "lnb_information")));
        screenshot(QStringLiteral("/tmp/faults-acknowledged.png"));
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestAntennaPages)

#include "test_antenna_pages.moc"
