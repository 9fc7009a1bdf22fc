#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "data/fixed_text.h"
#include "data/satellite_tables.h"
#include "lcd/ui/acu_lcd_display.h"
#include "link/process_state.h"

// The region refreshes through the main window without an ACU: a region of three satellites
// whose third (130.0 E) is the default, loaded as from a file or received from the ACU.
class TestRegionRefresh : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CLumidorDlg> m_Window;

    template <class T>
    T* on(QWidget* page, const char* name) {
        return page->findChild<T*>(QString::fromUtf8(name));
    }
    QWidget* gps() { return m_Window->page(0); }
    QWidget* satellite() { return m_Window->page(1); }
    QWidget* administrator() { return m_Window->page(4); }
    QString label(QWidget* window, const char* name) { return on<QLabel>(window, name)->text(); }

    static SatelliteRecord record(std::uint8_t number, std::u16string_view name, double longitude) {
        SatelliteRecord sat;
        sat.number = number;
        storeFixedText(sat.name, name);
        sat.longitude = longitude;
        sat.eastWest = 'E';
        return sat;
    }

private slots:
    void init() {
        ResetProcessState();
        g_SatelliteTable[0] = record(1, u"ASTRA 1", 19.2);
        g_SatelliteTable[1] = record(2, u"HOTBIRD", 13.0);
        g_SatelliteTable[2] = record(3, u"KOREASAT 5", 130.0);
        RegionRecord& region = *mutableRegionRecord(1, 4);
        storeFixedText(region.name, u"KOREA");
        region.satelliteCount = 3;
        region.defaultSatellite = 2;
        region.satelliteList = {1, 2, 3};
        region.lnbType = 1;
        region.universalLowLocalFreq = 9750;
        region.universalHighLocalFreq = 10600;
        QVERIFY(selectRegion(1, 4));
        m_Window = std::make_unique<CLumidorDlg>(QStringList{});
        m_Window->show();
    }
    void cleanup() {
        m_Window.reset();
        ResetProcessState();
    }

    void everySelectorListsTheRegionWithItsDefaultChosen() {
        m_Window->refreshRegionDisplay();
        for (QComboBox* selector :
             {on<QComboBox>(m_Window.get(), "target_combo"), on<QComboBox>(gps(), "satellite"),
              on<QComboBox>(satellite(), "satellite")}) {
            QCOMPARE(selector->count(), 3);
            QCOMPARE(selector->itemText(1), QStringLiteral("HOTBIRD   "));
            QCOMPARE(selector->currentIndex(), 2);
        }
        QCOMPARE(label(m_Window.get(), "target_longitude"), QStringLiteral(" 130.0E"));
        QCOMPARE(label(m_Window.get(), "target_sat"), QStringLiteral("KOREASAT 5 130.0E"));
        QCOMPARE(on<QLineEdit>(gps(), "satellite_longitude")->text(), QStringLiteral("130.0"));
        QCOMPARE(on<QComboBox>(gps(), "satellite_longitude_hemisphere")->currentText(),
                 QStringLiteral("E"));
        QCOMPARE(on<QLineEdit>(satellite(), "name")->text(), QStringLiteral("KOREASAT 5"));

        auto* list = on<QListWidget>(administrator(), "satellite_list");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QStringLiteral("  1 "));
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(label(administrator(), "name"), QStringLiteral("  KOREASAT 5"));
        QCOMPARE(label(administrator(), "lnb_information"),
                 QStringLiteral(" LNB Type : Universal\tLocal Freq.: 9750 / 10600 MHz"));

        // The user's choice of another target in the main window.
        auto* target = on<QComboBox>(m_Window.get(), "target_combo");
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Up);
        QCOMPARE(label(m_Window.get(), "target_longitude"), QStringLiteral(" 13.0E"));
        QVERIFY(on<QPushButton>(m_Window.get(), "target_change_button")->isEnabled());

        setDefaultSatellite(1);
        m_Window->refreshRegionDisplay();
        QCOMPARE(on<QLineEdit>(gps(), "satellite_longitude")->text(), QStringLiteral("13.0"));
        QVERIFY(!on<QPushButton>(m_Window.get(), "target_change_button")->isEnabled());
    }

    void afterADownloadTheAdministratorSelectorsHoldOnlyTheAcusRegion() {
        for (const char* name : {"continent", "region"}) {
            on<QComboBox>(administrator(), name)->addItems({"a", "b", "c"});
        }
        // What replies 3 and 4 leave: the region record and its satellites, not the edit copy.
        g_CurContinent = 1;
        g_RegionSatellites[2] = record(3, u"MEASAT 3", 91.5);
        m_Window->refreshAfterDownload();
        const std::pair<const char*, const char*> selectors[] = {{"continent", "Asia     "},
                                                                 {"region", "KOREA       "}};
        for (const auto& [name, entry] : selectors) {
            auto* selector = on<QComboBox>(administrator(), name);
            QCOMPARE(selector->count(), 1);
            QCOMPARE(selector->currentText(), QString::fromUtf8(entry));
            QVERIFY(!selector->isEnabled());
        }
        QCOMPARE(on<QLineEdit>(satellite(), "name")->text(), QStringLiteral("MEASAT 3  "));
        QCOMPARE(label(administrator(), "longitude"), QStringLiteral(" 91.5E \r\n"));
    }

    void aHemisphereByteAbove127ShowsAsTheCharacterOfThatCode() {
        g_CurContinent = 1;
        g_RegionSatellites[2] = record(3, u"MEASAT 3", 91.5);
        g_RegionSatellites[2].eastWest = '\xC9';  // É in Latin-1, not valid UTF-8 alone
        m_Window->refreshAfterDownload();
        QCOMPARE(label(m_Window.get(), "target_longitude"), QString::fromUtf8(" 91.5É"));
        QCOMPARE(label(m_Window.get(), "target_sat"), QString::fromUtf8("MEASAT 3   91.5É"));
        QCOMPARE(label(administrator(), "longitude"), QString::fromUtf8(" 91.5É \r\n"));
    }

    void anEmptyRegionEmptiesTheSatelliteFields() {
        m_Window->refreshRegionDisplay();
        mutableRegionRecord(1, 4)->satelliteCount = 0;
        m_Window->refreshRegionDisplay();
        QCOMPARE(on<QComboBox>(m_Window.get(), "target_combo")->count(), 0);
        QCOMPARE(label(m_Window.get(), "target_longitude"), QString());
        QCOMPARE(on<QLineEdit>(gps(), "satellite_longitude")->text(), QString());
        QCOMPARE(on<QLineEdit>(satellite(), "name")->text(), QString());
        QCOMPARE(on<QListWidget>(administrator(), "satellite_list")->count(), 0);
        for (const char* name : {"index", "name", "longitude", "ver_low_band", "diseqc"}) {
            QCOMPARE(label(administrator(), name), QString());
        }
        QVERIFY(!label(administrator(), "lnb_information").isEmpty());
    }

    void aDiseqcMarkClickedShowsTheModeStillHeld() {
        mutableRegionRecord(1, 4)->diseqcMode = 2;
        QVERIFY(selectRegion(1, 4));
        m_Window->pageList()->setCurrentRow(1);
        m_Window->refreshRegionDisplay();
        auto* marks = on<QButtonGroup>(satellite(), "diseqc_mode");
        QCOMPARE(marks->checkedId(), 2);
        // "Not Use" has not been sent: its mark stays empty, "Change Satellite" stays marked.
        auto* notUse = on<QRadioButton>(satellite(), "diseqc_not_use_mark");
        QTest::mouseClick(notUse, Qt::LeftButton);
        QVERIFY(!notUse->isChecked());
        QCOMPARE(marks->checkedId(), 2);
        QCOMPARE(g_DiseqcMode, std::uint8_t{2});
    }

    void lcdDisplayFontOpensTheEditor() {
        m_Window->pageList()->setCurrentRow(4);
        on<QPushButton>(administrator(), "lcd_display_font")->click();
        QCOMPARE(m_Window->currentPage(), static_cast<QWidget*>(m_Window->lcdDisplay()));
        QVERIFY(m_Window->lcdDisplay()->isVisible());
        QVERIFY(!administrator()->isVisible());
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestRegionRefresh test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_region_refresh.moc"
