// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QtTest>

#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "app/timer_bank_qt.h"
#include "link/antenna_state.h"
#include "link/lamp_colors.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "panel/lamp.h"

using namespace std::chrono_literals;

// The diagnosis and move page and the antenna information page in the real main window,
// against the simulated ACU on a pseudo-terminal: a self test, moves that Current Position
// follows, and parameters sent and read back.
class TestAntennaPages : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    QWidget* page(int entry) { return m_Window->page(entry); }
    void click(QWidget* on, const char* name) {
        auto* button = on->findChild<QPushButton*>(QString::fromUtf8(name));
        QVERIFY2(button != nullptr, name);
        button->click();
    }
    QString text(QWidget* on, const char* name) {
        return controlText(on->findChild<QObject*>(QString::fromUtf8(name)));
    }
    void type(QWidget* on, const char* name, const QString& typed) {
        auto* edit = on->findChild<QLineEdit*>(QString::fromUtf8(name));
        QVERIFY2(edit != nullptr, name);
        edit->clear();
        QTest::keyClicks(edit, typed);
    }

    // Connected, identified and in setup mode, with the status poll running again (Get Antenna
    // Information ends in it), so the position keeps coming while the dish moves.
    void setUpAndPoll() {
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        click(m_Window.get(), "setup_button");
        QTRY_COMPARE_WITH_TIMEOUT(g_SetupMode, std::uint8_t{1}, 3000);
        click(m_Window.get(), "get_info_button");
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(g_AntennaMode, std::uint8_t{6}, 3000);
    }

private slots:
    void init() {
        ResetProcessState();
        m_Messages.clear();
        AcuSimulator::Settings settings;
        settings.diagnosis.step = 150ms;
        settings.diagnosis.failingItem = 4;
        m_Acu = std::make_unique<AcuSimulator>(settings);
        openOnSim();
    }
    void cleanup() { close(); }

    void aDiagnosisLightsEachItemAndStopsByItself() {
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        m_Window->pageList()->setCurrentRow(2);
        QWidget* diagnosis = page(2);

        // Outside setup mode the button refuses and keeps its caption.
        click(diagnosis, "diagnosis_start_stop");
        QCOMPARE(
            m_Messages,
            QStringList{QStringLiteral(" Not Setup mode !!! \n Try again after Setup mode !!!")});
        QCOMPARE(text(diagnosis, "diagnosis_start_stop"), QStringLiteral("Diagnosis Start"));
        m_Messages.clear();

        click(m_Window.get(), "setup_button");
        QTRY_COMPARE_WITH_TIMEOUT(g_SetupMode, std::uint8_t{1}, 3000);
        click(diagnosis, "diagnosis_start_stop");
        QCOMPARE(text(diagnosis, "diagnosis_start_stop"), QStringLiteral("Diagnosis Stop"));
        for (std::size_t k = 0; k < kStateLamps; ++k) {
            QCOMPARE(m_Window->stateLamps()[k]->color(), stateLampColors(7)[k]);
        }
        const auto& lamps = m_Window->diagLamps();
        QTRY_VERIFY_WITH_TIMEOUT(lamps[3]->color() == LampColor::Green, 5000);
        screenshot("/tmp/i13_diagnosis_running.png");

        QTRY_COMPARE_WITH_TIMEOUT(text(diagnosis, "diagnosis_start_stop"),
                                  QStringLiteral("Diagnosis Start"), 10000);
        QCOMPARE(g_DiagIdle, std::uint8_t{1});
        for (std::size_t k = 0; k < lamps.size(); ++k) {
            QCOMPARE(lamps[k]->color(), k == 3 ? LampColor::Red : LampColor::Blue);
        }
        for (std::size_t k = 0; k < kStateLamps; ++k) {
            QCOMPARE(m_Window->stateLamps()[k]->color(), stateLampColors(6)[k]);
        }
        screenshot("/tmp/i13_diagnosis_done.png");
        QVERIFY(m_Messages.isEmpty());
    }

    void currentPositionFollowsAMove() {
        setUpAndPoll();
        m_Window->pageList()->setCurrentRow(2);
        QWidget* diagnosis = page(2);
        QCOMPARE(text(diagnosis, "current_az"), QString::asprintf("%2.2f", g_CurrentAz));

        // Far enough from where the dish is for several reports on the way.
        const double az = g_CurrentAz > 180.0 ? 90.0 : 270.0;
        type(diagnosis, "go_to_az", QString::number(az));
        type(diagnosis, "go_to_el", QStringLiteral("20"));
        click(diagnosis, "go_to_position");
        QSet<QString> seen{text(diagnosis, "current_az")};
        const QString arrived = QString::asprintf("%2.2f", az);
        QDeadlineTimer deadline(15000);
        bool pictured = false;
        while (text(diagnosis, "current_az") != arrived && !deadline.hasExpired()) {
            QTest::qWait(50);
            seen.insert(text(diagnosis, "current_az"));
            if (!pictured && seen.size() == 3) {
                screenshot("/tmp/i13_moving.png");
                pictured = true;
            }
        }
        QCOMPARE(text(diagnosis, "current_az"), arrived);
        QVERIFY2(seen.size() >= 3, "the position was not reported on the way");
        QTRY_COMPARE_WITH_TIMEOUT(text(diagnosis, "current_el"), QStringLiteral("20.00"), 5000);

        // A step starts from the reported position.
        type(diagnosis, "az_step", QStringLiteral("2.5"));
        click(diagnosis, "az_step_ccw");
        QTRY_COMPARE_WITH_TIMEOUT(text(diagnosis, "current_az"),
                                  QString::asprintf("%2.2f", az - 2.5), 5000);

        // A target the field cannot carry is refused and the dish stays.
        type(diagnosis, "go_to_az", QStringLiteral("700"));
        click(diagnosis, "go_to_position");
        QCOMPARE(m_Messages, QStringList{QStringLiteral(
                                 " Go to Position AZ : out of range !!! \n Enter -655.35 to "
                                 "655.35 !!!")});
        QTest::qWait(1500);
        QCOMPARE(text(diagnosis, "current_az"), QString::asprintf("%2.2f", az - 2.5));
    }

    void parametersAreSentAndReadBack() {
        setUpAndPoll();
        m_Window->pageList()->setCurrentRow(3);
        QWidget* information = page(3);
        // What identification brought: the product, the region and model 2's defaults.
        QCOMPARE(text(information, "antenna_type"), QStringLiteral(" Gyro Sensor Type"));
        QCOMPARE(text(information, "acu_sw_version"), QStringLiteral("2.07"));
        QCOMPARE(text(information, "antenna_power"), QStringLiteral("24.10"));
        QVERIFY(text(information, "antenna_model").startsWith(u' '));
        QVERIFY(text(information, "antenna_model").size() > 1);
        QVERIFY(!text(information, "continent").isEmpty());
        QVERIFY(!text(information, "region").isEmpty());
        QCOMPARE(text(information, "tracking_scale"), QStringLiteral("1.80"));
        QCOMPARE(text(information, "detect_level"), QStringLiteral("320"));

        const std::pair<const char*, const char*> typed[] = {
            {"tracking_scale", "2.5"}, {"detect_level", "410"}, {"tracking_level", "380"},
            {"el_adjust", "1.5"},      {"skew_adjust", "-0.5"}, {"signal_lost_time", "45"},
            {"break_time", "9"}};
        for (const auto& [name, value] : typed) type(information, name, QString::fromUtf8(value));
        click(information, "set_parameters");
        QTRY_COMPARE_WITH_TIMEOUT(
            m_Messages, QStringList{QStringLiteral(" Set Antenna Parameter Complete !!! ")}, 3000);

        for (const auto& [name, value] : typed) type(information, name, QString());
        click(m_Window.get(), "get_info_button");
        const std::pair<const char*, const char*> readBack[] = {
            {"tracking_scale", "2.50"}, {"detect_level", "410"},  {"tracking_level", "380"},
            {"el_adjust", "1.50"},      {"skew_adjust", "-0.50"}, {"signal_lost_time", "45"},
            {"break_time", "9"}};
        for (const auto& [name, value] : readBack) {
            QTRY_COMPARE_WITH_TIMEOUT(text(information, name), QString::fromUtf8(value), 5000);
        }
        screenshot("/tmp/i13_parameters.png");
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestAntennaPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_antenna_pages.moc"
