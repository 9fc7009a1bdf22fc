// The static layouts of the pages and popups: the captions and fixed items as the program
// shows them, the character limits of the edits, the progress popups' runs, and the keys
// that must not close or press anything.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/about_dialog.h"
#include "app/dialog_layout.h"
#include "app/load_progress.h"
#include "app/update_progress.h"
#include "lcd/ui/acu_lcd_display.h"
#include "lcd/ui/view_lcd_display.h"
#include "pages/administrator.h"
#include "pages/antenna_diagnosis.h"
#include "pages/antenna_information.h"
#include "pages/satellite_information.h"
#include "pages/set_gps.h"

namespace {

const QString kMissing = QStringLiteral("<missing>");

// The text a control shows, whatever its kind, so that a missing control fails the comparison
// with its name in the message rather than crashing.
QString textOf(const QWidget* window, const char* name) {
    const QObject* control = window->findChild<QObject*>(QString::fromUtf8(name));
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    return kMissing + QString::fromUtf8(name);
}

int maxLengthOf(const QWidget* window, const char* name) {
    const auto* edit = window->findChild<QLineEdit*>(QString::fromUtf8(name));
    return edit ? edit->maxLength() : -1;
}

QStringList itemsOf(const QWidget* window, const char* name) {
    const auto* combo = window->findChild<QComboBox*>(QString::fromUtf8(name));
    if (!combo) return {kMissing};
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

QColor textColourOf(const QWidget* window, const char* name) {
    const auto* label = window->findChild<QLabel*>(QString::fromUtf8(name));
    return label ? label->palette().color(QPalette::WindowText) : QColor();
}

}  // namespace

class TestPages : public QObject {
    Q_OBJECT

private slots:
    void gpsPageShowsItsCaptionsAndStartValues() {
        QWidget host;
        Set_GPS page(&host);
        QCOMPARE(textOf(&page, "antenna_longitude_label"), QString::fromUtf8("Longitude ："));
        QCOMPARE(textOf(&page, "region_latitude_label"), QString::fromUtf8("Latitude ："));
        QCOMPARE(textOf(&page, "region_longitude_degree"), QString::fromUtf8("˚"));
        QCOMPARE(textOf(&page, "calculation_label"),
                 QString::fromUtf8("Angle ＆ Skew Calculation"));
        QCOMPARE(textOf(&page, "gps_not_link_label"), QStringLiteral("GPS Not Link"));
        QCOMPARE(textOf(&page, "antenna_longitude"), QStringLiteral("0.0"));
        QCOMPARE(textOf(&page, "antenna_longitude_hemisphere"), QStringLiteral("E"));
        QCOMPARE(textOf(&page, "antenna_latitude"), QStringLiteral("0.0"));
        QCOMPARE(textOf(&page, "antenna_latitude_hemisphere"), QStringLiteral("N"));
        QCOMPARE(textOf(&page, "use_antenna_gps"), QStringLiteral("Use Antenna GPS"));
    }

    void gpsPageLimitsItsBoxesAndLeavesHemispheresUnchosen() {
        QWidget host;
        Set_GPS page(&host);
        QCOMPARE(maxLengthOf(&page, "region_longitude"), 5);
        QCOMPARE(maxLengthOf(&page, "region_latitude"), 4);
        QCOMPARE(maxLengthOf(&page, "satellite_longitude"), 5);
        QCOMPARE(itemsOf(&page, "region_longitude_hemisphere"), QStringList({"E", "W"}));
        QCOMPARE(itemsOf(&page, "region_latitude_hemisphere"), QStringList({"N", "S"}));
        QCOMPARE(itemsOf(&page, "satellite_longitude_hemisphere"), QStringList({"E", "W"}));
        // An untouched selector must read as no choice, which the calculation takes as W or S.
        for (const char* name : {"region_longitude_hemisphere", "region_latitude_hemisphere",
                                 "satellite_longitude_hemisphere"}) {
            QCOMPARE(page.findChild<QComboBox*>(QString::fromUtf8(name))->currentIndex(), -1);
        }
        auto* latitude = page.findChild<QLineEdit*>(QStringLiteral("region_latitude"));
        QTest::keyClicks(latitude, QStringLiteral("37.55"));
        QCOMPARE(latitude->text(), QStringLiteral("37.5"));
    }

    void gpsLampPlaceholderIsTenUnitsSquare() {
        QWidget host;
        Set_GPS page(&host);
        QCOMPARE(page.gpsLampRect(), dialogRect(16, 20, 10, 10));
    }

    void satellitePageShowsItsCaptionsAndLimits() {
        QWidget host;
        Satellite_Information page(&host);
        QCOMPARE(textOf(&page, "pol_band_group"), QString::fromUtf8("Pol ＆ Band"));
        QCOMPARE(textOf(&page, "verification_dvb_decode"), QStringLiteral("DVD Decode"));
        QCOMPARE(textOf(&page, "vertical_group"), QStringLiteral("Vertical / RHCP"));
        QCOMPARE(textOf(&page, "horizontal_group"), QStringLiteral("Horizontal / LHCP"));
        QCOMPARE(textOf(&page, "diseqc_group"), QStringLiteral("DiSEqc"));
        QCOMPARE(textOf(&page, "universal_lnb"), QStringLiteral("Universal LNB"));
        QCOMPARE(itemsOf(&page, "east_west"), QStringList({"E", "W"}));
        QCOMPARE(maxLengthOf(&page, "name"), 12);
        for (const char* name : {"longitude", "vlow_freq", "vhigh_symbol", "hlow_nid", "hhigh_freq",
                                 "single_band_frequency"}) {
            QCOMPARE(maxLengthOf(&page, name), 5);
        }
    }

    void satellitePageRadioGroupsDoNotUncheckEachOther() {
        QWidget host;
        Satellite_Information page(&host);
        const char* choices[] = {"pol_13v", "tone_22khz", "verification_dss_decode",
                                 "universal_lnb", "diseqc_change_band_mark"};
        for (const char* name : choices) {
            page.findChild<QRadioButton*>(QString::fromUtf8(name))->click();
        }
        for (const char* name : choices) {
            QVERIFY2(page.findChild<QRadioButton*>(QString::fromUtf8(name))->isChecked(), name);
        }
        const auto* polarization = page.findChild<QButtonGroup*>(QStringLiteral("polarization"));
        QVERIFY(polarization);
        QCOMPARE(polarization->checkedId(), 1);
    }

    void diagnosisPageListsItsItemsUnderTheFirstLamp() {
        QWidget host;
        Antenna_Diagnosis page(&host);
        QCOMPARE(textOf(&page, "diagnosis_group"), QStringLiteral("Antenna Antenna_Diagnosis"));
        QCOMPARE(textOf(&page, "diagnosis_start_stop"), QStringLiteral("Diagnosis Start"));
        const char* items[] = {"Serial Communication", "Gyro Sensor Check",  "LNB Status Check",
                               "AZ CW Limit Check",    "AZ CCW Limit Check", "EL UP Limit Check",
                               "Skew Limit Check",     "Antenna Power",      "ACU Power",
                               "Receiver Connect"};
        const QRect lamp = page.diagLampRect();
        QCOMPARE(lamp.topLeft(), QPoint(35, 73));
        for (int k = 0; k < 10; ++k) {
            const QByteArray name = "diag_item_" + QByteArray::number(k + 1);
            QCOMPARE(textOf(&page, name.constData()), QString::fromUtf8(items[k]));
            // Each label stands level with its lamp, 25 px below the one before.
            const auto* label = page.findChild<QLabel*>(QString::fromUtf8(name));
            QCOMPARE(label->geometry().center().y(), lamp.translated(0, 25 * k).center().y());
        }
        QCOMPARE(textOf(&page, "legend_test"), QStringLiteral("Test"));
        QCOMPARE(textOf(&page, "legend_pass"), QStringLiteral("PASS"));
        QCOMPARE(textOf(&page, "legend_fail"), QStringLiteral("FAIL"));
        for (const char* name : {"go_to_az", "go_to_el", "az_step", "el_step", "skew_step"}) {
            QCOMPARE(maxLengthOf(&page, name), 5);
            QCOMPARE(page.findChild<QLineEdit*>(QString::fromUtf8(name))->alignment(),
                     Qt::AlignCenter);
        }
        QCOMPARE(textOf(&page, "skew_step_minus"), QStringLiteral("-"));
        QCOMPARE(textOf(&page, "el_step_down"), QStringLiteral("DN"));
    }

    void informationPageLimitsItsParametersAndShowsValuesInBlue() {
        QWidget host;
        Antenna_Information page(&host);
        QCOMPARE(textOf(&page, "ant_sw_version_label"), QStringLiteral("Ant S/W Ver."));
        QCOMPARE(textOf(&page, "signal_lost_time_label"), QStringLiteral("Signal lost time"));
        QCOMPARE(textOf(&page, "set_parameters"), QStringLiteral("Set Parameters"));
        const std::pair<const char*, int> limits[] = {
            {"tracking_scale", 4}, {"detect_level", 4},     {"tracking_level", 4}, {"el_adjust", 4},
            {"skew_adjust", 4},    {"signal_lost_time", 3}, {"break_time", 3}};
        for (const auto& [name, limit] : limits) QCOMPARE(maxLengthOf(&page, name), limit);
        QCOMPARE(textColourOf(&page, "antenna_model"), QColor(0, 0, 255));
        QCOMPARE(textColourOf(&page, "region"), QColor(0, 0, 255));
        QVERIFY(textColourOf(&page, "antenna_model_label") != QColor(0, 0, 255));
    }

    void administratorPageSetsItsTwelveFieldsLargeAndDark() {
        QWidget host;
        Administrator page(&host);
        QCOMPARE(textOf(&page, "index_label"), QString::fromUtf8("① Index"));
        QCOMPARE(textOf(&page, "verification_label"), QString::fromUtf8("⑧ Verfication"));
        QCOMPARE(textOf(&page, "diseqc_label"), QString::fromUtf8("⑪ DiSEqc"));
        QCOMPARE(textOf(&page, "lcd_display_font"), QStringLiteral("LCD Display Font"));
        for (const char* name : {"index", "name", "longitude", "ver_low_band", "ver_high_band",
                                 "hor_low_band", "hor_high_band", "verification", "polarization",
                                 "tone", "diseqc", "lnb_information"}) {
            const auto* field = page.findChild<QLabel*>(QString::fromUtf8(name));
            QVERIFY2(field, name);
            QCOMPARE(field->font().pixelSize(), 15);
            QCOMPARE(field->font().weight(), QFont::Black);
            QCOMPARE(textColourOf(&page, name), QColor(0, 0, 125));
        }
        QVERIFY(page.findChild<QWidget*>(QStringLiteral("load_factory_data"))->isHidden());
        QVERIFY(page.findChild<QWidget*>(QStringLiteral("update_factory_data"))->isHidden());
        // The LNB field shows its halves on two lines but keeps the text as it was set.
        auto* lnb = page.findChild<QLabel*>(QStringLiteral("lnb_information"));
        lnb->setText(QStringLiteral(" LNB Type : Single Band\tLocal Freq.: 11300 MHz"));
        QCOMPARE(lnb->text(), QStringLiteral(" LNB Type : Single Band\tLocal Freq.: 11300 MHz"));
    }

    void lcdEditorTakesTwentyCapitalsPerLine() {
        QWidget host;
        ACU_LCD_Display page(&host);
        QCOMPARE(textOf(&page, "view_write"), QString::fromUtf8("View ＆ Write"));
        QCOMPARE(textOf(&page, "first_main_display_label"),
                 QStringLiteral("First Main Display Font"));
        QCOMPARE(textOf(&page, "serial_display_label"), QStringLiteral("S/N LCD Display Font"));
        QCOMPARE(textOf(&page, "back"), QStringLiteral("BACK"));
        for (int line = 0; line < 14; ++line) {
            const QByteArray name = "lcd_line_" + QByteArray::number(line);
            QCOMPARE(maxLengthOf(&page, name.constData()), line == 13 ? 12 : 20);
        }
        auto* company = page.findChild<QLineEdit*>(QStringLiteral("lcd_line_0"));
        QTest::keyClicks(company, QStringLiteral("skyrelay tvro 123456789"));
        QCOMPARE(company->text(), QStringLiteral("SKYRELAY TVRO 123456"));
        auto* serial = page.findChild<QLineEdit*>(QStringLiteral("lcd_line_13"));
        QTest::keyClicks(serial, QStringLiteral("ab0123456789xyz"));
        QCOMPARE(serial->text(), QStringLiteral("AB0123456789"));
    }

    void lcdPreviewHasItsCellsAndFixedSerialText() {
        QWidget owner;
        View_LCD_Display view(&owner);
        QCOMPARE(view.windowTitle(), QStringLiteral("ACU LCD Display"));
        QCOMPARE(view.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 293);
        QCOMPARE(textOf(&view, "write"), QStringLiteral("Write"));
        QCOMPARE(textOf(&view, "dish_45_init_label"),
                 QStringLiteral("Second Main Display : Initialize / Model"));
        QCOMPARE(textOf(&view, "serial_label"), QStringLiteral("Serial Number LCD Display"));
        QString serialRow;
        for (int column = 0; column < 20; ++column) {
            serialRow += textOf(&view, ("cell_13_" + QByteArray::number(column)).constData());
        }
        QCOMPARE(serialRow, QStringLiteral("SN: EXIT"));
        QCOMPARE(textColourOf(&view, "cell_0_0"), QColor(255, 0, 0));
        QCOMPARE(textColourOf(&view, "cell_13_5"), QColor(255, 0, 0));
        QVERIFY(textColourOf(&view, "cell_13_0") != QColor(255, 0, 0));
        QVERIFY(textColourOf(&view, "cell_13_19") != QColor(255, 0, 0));
        QCOMPARE(textOf(&view, "cell_12_19"), QString());
    }

    void progressPopupRunsKeepTheLastFigureUntilTheFirstStep() {
        QWidget owner;
        owner.setGeometry(100, 100, 840, 515);
        owner.show();
        Load_Progress popup(&owner);
        auto* bar = popup.findChild<QProgressBar*>(QStringLiteral("progress_bar"));
        QVERIFY(bar);
        QCOMPARE(textOf(&popup, "progress_caption"), QStringLiteral("Load:"));
        QCOMPARE(textOf(&popup, "progress_percent_sign"), QStringLiteral("%"));
        QCOMPARE(bar->maximum(), 13);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(textOf(&popup, "progress_percent"), QString());
        QVERIFY(popup.isHidden());

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
        QCOMPARE(textOf(&popup, "progress_percent"), QStringLiteral("25"));
        // More steps than announced: the bar stays full, the figure goes on.
        popup.stepProgress(230, QStringLiteral("115"));
        QCOMPARE(bar->value(), 200);
        QCOMPARE(textOf(&popup, "progress_percent"), QStringLiteral("115"));
        popup.closeProgress();
        QVERIFY(popup.isHidden());

        popup.openProgress(70000);
        QCOMPARE(bar->maximum(), 0xFFFF);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(textOf(&popup, "progress_percent"), QStringLiteral("115"));
        popup.stepProgress(1, QStringLiteral("0"));
        QCOMPARE(textOf(&popup, "progress_percent"), QStringLiteral("0"));
        popup.closeProgress();
    }

    void progressPopupWithNothingAnnouncedShowsAnEmptyBar() {
        QWidget owner;
        Update_Progress popup(&owner);
        QCOMPARE(textOf(&popup, "progress_caption"), QStringLiteral("Update:"));
        popup.openProgress(0);
        auto* bar = popup.findChild<QProgressBar*>(QStringLiteral("progress_bar"));
        QVERIFY(bar->maximum() > bar->minimum());  // equal ends would make it a busy bar
        QCOMPARE(bar->value(), 0);
        popup.closeProgress();
    }

    void enterAndEscapeNeitherCloseNorPress() {
        QWidget host;
        host.resize(470, 375);
        host.show();
        Set_GPS gps(&host);
        Satellite_Information satellite(&host);
        Antenna_Diagnosis diagnosis(&host);
        Antenna_Information information(&host);
        Administrator administrator(&host);
        ACU_LCD_Display lcd(&host);
        for (QWidget* page : std::initializer_list<QWidget*>{&gps, &satellite, &diagnosis,
                                                             &information, &administrator, &lcd}) {
            QVERIFY2(!page->isWindow(), qPrintable(page->metaObject()->className()));
            page->show();
            auto* edit = page->findChild<QLineEdit*>();
            if (edit) {
                QTest::keyClick(edit, Qt::Key_Escape);
                QTest::keyClick(edit, Qt::Key_Return);
            }
            QTest::keyClick(page, Qt::Key_Escape);
            QVERIFY2(page->isVisible(), qPrintable(page->metaObject()->className()));
            for (QPushButton* button : page->findChildren<QPushButton*>()) {
                QSignalSpy clicked(button, &QPushButton::clicked);
                QTest::keyClick(button, Qt::Key_Return);
                QTest::keyClick(button, Qt::Key_Enter);
                QVERIFY2(clicked.isEmpty(), qPrintable(button->objectName()));
            }
            QVERIFY2(page->isVisible(), qPrintable(page->metaObject()->className()));
        }

        Update_Progress popup(&host);
        popup.openProgress(10);
        QTest::keyClick(&popup, Qt::Key_Escape);
        QTest::keyClick(&popup, Qt::Key_Return);
        QVERIFY(popup.isVisible());
        popup.closeProgress();
    }

    void aboutBoxNamesTheProgramAndClosesWithOk() {
        CAboutDlg about;
        QCOMPARE(textOf(&about, "program_name"), QStringLiteral("Skyrelay Ver 2.19"));
        about.show();
        QVERIFY(about.isVisible());
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
        QVERIFY(about.isHidden());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestPages)
#include "test_pages.moc"
