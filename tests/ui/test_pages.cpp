// The pages and popups: the captions that are easy to get wrong (inner blanks, full-width
// characters, odd spellings the program always had), the character limits of the edits, the
// progress popups' runs, and the keys that must not close or press anything.

#include <QButtonGroup>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>

#include "app/load_progress.h"
#include "app/update_progress.h"
#include "geo/look_angles.h"
#include "lcd/ui/acu_lcd_display.h"
#include "link/process_state.h"
#include "pages/administrator.h"
#include "pages/antenna_diagnosis.h"
#include "pages/antenna_information.h"
#include "pages/satellite_information.h"
#include "pages/set_gps.h"
#include "ui/controls.h"

namespace {

// Every page, as the main window holds them.
struct Pages {
    QWidget host;
    Set_GPS gps{&host};
    Satellite_Information satellite{&host};
    Antenna_Diagnosis diagnosis{&host};
    Antenna_Information information{&host};
    Administrator administrator{&host};
    ACU_LCD_Display lcd{&host};
};

}  // namespace

class TestPages : public QObject {
    Q_OBJECT

private slots:
    void captionsLimitsAndPlainTextLabels() {
        const Pages p;
        const std::tuple<const QWidget*, const char*, const char*> captions[] = {
            {&p.gps, "antenna_longitude_label", "Longitude ："},
            {&p.gps, "region_longitude_degree", "˚"},
            {&p.gps, "calculation_label", "Angle ＆ Skew Calculation"},
            {&p.satellite, "pol_band_group", "Pol ＆ Band"},
            {&p.satellite, "verification_dvb_decode", "DVD Decode"},
            {&p.satellite, "vertical_group", "Vertical / RHCP"},
            {&p.diagnosis, "diagnosis_group", "Antenna Antenna_Diagnosis"},
            {&p.information, "ant_sw_version_label", "Ant S/W Ver."},
            {&p.administrator, "index_label", "① Index"},
            {&p.administrator, "verification_label", "⑧ Verfication"},
            {&p.administrator, "diseqc_label", "⑪ DiSEqc"},
            {&p.lcd, "view_write", "View ＆ Write"}};
        for (const auto& [page, name, text] : captions) {
            QCOMPARE(shown(page, name), QString::fromUtf8(text));
        }

        const std::tuple<const QWidget*, int, const char*> limits[] = {
            {&p.gps, 5, "region_longitude satellite_longitude"},
            {&p.gps, 4, "region_latitude"},
            {&p.satellite, 12, "name"},
            {&p.satellite, 5,
             "longitude vlow_freq vhigh_symbol hlow_nid hhigh_freq single_band_frequency"},
            {&p.diagnosis, 5, "go_to_az go_to_el az_step el_step skew_step"},
            {&p.information, 4, "tracking_scale detect_level tracking_level el_adjust skew_adjust"},
            {&p.information, 3, "signal_lost_time break_time"}};
        for (const auto& [page, limit, names] : limits) {
            for (const QString& name : QString::fromUtf8(names).split(u' ')) {
                const auto* edit = page->findChild<QLineEdit*>(name);
                const int actual = edit ? edit->maxLength() : -1;
                QVERIFY2(actual == limit,
                         qPrintable(name + QStringLiteral(" takes %1").arg(actual)));
            }
        }
        for (int line = 0; line < 14; ++line) {
            const QByteArray name = "lcd_line_" + QByteArray::number(line);
            QCOMPARE(child<QLineEdit>(&p.lcd, name.constData())->maxLength(), line == 13 ? 12 : 20);
        }

        // A name read from a file or the ACU may begin like a tag; no value label reads markup.
        const QWidget* const pages[] = {&p.gps,         &p.satellite,     &p.diagnosis,
                                        &p.information, &p.administrator, &p.lcd};
        for (const QWidget* page : pages) {
            for (const QLabel* label : page->findChildren<QLabel*>()) {
                if (!label->text().isEmpty()) continue;  // a fixed caption, not a value
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
            }
        }
    }

    void choicesAndTheTypedPositionBehave() {
        Pages p;
        // The satellite page's radio groups don't uncheck each other. (The DiSEqC marks are
        // not a choice: they show the mode held.)
        const char* choices[] = {"pol_13v", "tone_22khz", "verification_dss_decode",
                                 "universal_lnb"};
        for (const char* name : choices) child<QRadioButton>(&p.satellite, name)->click();
        for (const char* name : choices) {
            QVERIFY2(child<QRadioButton>(&p.satellite, name)->isChecked(), name);
        }
        QCOMPARE(child<QButtonGroup>(&p.satellite, "polarization")->checkedId(), 1);

        // An untouched hemisphere reads as no choice, which the calculation takes as W or S.
        typeInto(&p.gps, "region_longitude", QStringLiteral("127.0"));
        typeInto(&p.gps, "region_latitude", QStringLiteral("37.5"));
        typeInto(&p.gps, "satellite_longitude", QStringLiteral("116.0"));
        click(&p.gps, "use_region_gps");
        QCOMPARE(g_CalcSiteLonHemisphere, 'W');
        QCOMPARE(g_CalcSiteLatHemisphere, 'S');
        QCOMPARE(g_CalcSatLonHemisphere, 'W');
        QCOMPARE(g_CalcSiteLatitude, -37.5);
        for (const char* name : {"region_longitude_hemisphere", "region_latitude_hemisphere",
                                 "satellite_longitude_hemisphere"}) {
            child<QComboBox>(&p.gps, name)->setCurrentIndex(0);
        }
        click(&p.gps, "use_region_gps");
        const QStringList results = {shown(&p.gps, "azimuth"), shown(&p.gps, "elevation"),
                                     shown(&p.gps, "skew")};
        QCOMPARE(results, (QStringList{"197.7", "45.0", "-14.0"}));
        ResetProcessState();
    }

    void progressPopupRunsStartFromZeroAndHoldTheBarInRange() {
        QWidget owner;
        owner.setGeometry(100, 100, 840, 515);
        owner.show();
        Load_Progress popup(&owner);
        auto* bar = child<QProgressBar>(&popup, "progress_bar");
        QCOMPARE(shown(&popup, "progress_caption"), QStringLiteral("Load:"));

        popup.openProgress(200);
        QVERIFY(popup.isVisible());
        // The owner disables itself while a popup is open; the bar must not turn grey.
        owner.setEnabled(false);
        QCOMPARE(bar->palette().color(QPalette::Disabled, QPalette::Highlight),
                 bar->palette().color(QPalette::Active, QPalette::Highlight));
        owner.setEnabled(true);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 200);
        QCOMPARE(bar->value(), 0);
        QVERIFY((popup.geometry().center() - owner.geometry().center()).manhattanLength() <= 2);
        popup.stepProgress(50, QStringLiteral("25"));
        QCOMPARE(bar->value(), 50);
        QCOMPARE(shown(&popup, "progress_percent"), QStringLiteral("25"));
        // More steps than announced: the bar stays full, the figure goes on.
        popup.stepProgress(230, QStringLiteral("115"));
        QCOMPARE(bar->value(), 200);
        QCOMPARE(shown(&popup, "progress_percent"), QStringLiteral("115"));
        popup.closeProgress();
        QVERIFY(popup.isHidden());

        popup.openProgress(70000);
        QCOMPARE(bar->maximum(), 0xFFFF);
        QCOMPARE(bar->value(), 0);
        // A new run never shows the last run's figure over its empty bar.
        QCOMPARE(shown(&popup, "progress_percent"), QStringLiteral("0"));
        popup.closeProgress();

        // Nothing announced: an empty bar, not a busy one (equal ends would make it busy).
        Update_Progress update(&owner);
        QCOMPARE(shown(&update, "progress_caption"), QStringLiteral("Update:"));
        update.openProgress(0);
        bar = child<QProgressBar>(&update, "progress_bar");
        QVERIFY(bar->maximum() > bar->minimum());
        QCOMPARE(bar->value(), 0);
        update.closeProgress();
    }

    void enterAndEscapeNeitherCloseNorPress() {
        Pages p;
        p.host.resize(470, 375);
        p.host.show();
        for (QWidget* page : std::initializer_list<QWidget*>{
                 &p.gps, &p.satellite, &p.diagnosis, &p.information, &p.administrator, &p.lcd}) {
            const char* kind = page->metaObject()->className();
            QVERIFY2(!page->isWindow(), kind);
            page->show();
            if (auto* edit = page->findChild<QLineEdit*>()) {
                QTest::keyClick(edit, Qt::Key_Escape);
                QTest::keyClick(edit, Qt::Key_Return);
            }
            QTest::keyClick(page, Qt::Key_Escape);
            for (QPushButton* button : page->findChildren<QPushButton*>()) {
                QSignalSpy clicked(button, &QPushButton::clicked);
                QTest::keyClick(button, Qt::Key_Return);
                QTest::keyClick(button, Qt::Key_Enter);
                QVERIFY2(clicked.isEmpty(), qPrintable(button->objectName()));
            }
            QVERIFY2(page->isVisible(), kind);
        }

        Update_Progress popup(&p.host);
        popup.openProgress(10);
        QTest::keyClick(&popup, Qt::Key_Escape);
        QTest::keyClick(&popup, Qt::Key_Return);
        QVERIFY(popup.isVisible());
        popup.closeProgress();
    }
};

QTEST_MAIN(TestPages)
#include "test_pages.moc"
