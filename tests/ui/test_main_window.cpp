#include <QAbstractItemView>
#include <QButtonGroup>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>

#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "data/fixed_text.h"
#include "data/satellite_tables.h"
#include "lcd/ui/acu_lcd_display.h"
#include "link/display_text.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "panel/lamp.h"
#include "panel/serial_box.h"
#include "ui/controls.h"

// The main window without an ACU: start-up, pages, keys, the port controls, and the region
// displays filled as from a file or from the ACU.
class TestMainWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CLumidorDlg> m_Window;
    QStringList m_Messages;

    void makeWindow(const QStringList& ports = {}) {
        m_Window = std::make_unique<CLumidorDlg>(ports);
        m_Window->setMessageBoxHook(
            [this](const QString& text, MessageIcon) { m_Messages << text; });
        m_Window->show();
    }
    QWidget* main() { return m_Window.get(); }

    static SatelliteRecord record(std::uint8_t number, std::u16string_view name, double longitude) {
        SatelliteRecord sat;
        sat.number = number;
        storeFixedText(sat.name, name);
        sat.longitude = longitude;
        sat.eastWest = 'E';
        return sat;
    }
    // A region of three satellites whose third (130.0 E) is the default, as a file or the ACU
    // leaves it.
    void loadKorea() {
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
        region.diseqcMode = 2;
        QVERIFY(selectRegion(1, 4));
    }

private slots:
    void init() {
        ResetProcessState();
        m_Messages.clear();
    }
    void cleanup() {
        m_Window.reset();
        ResetProcessState();
    }

    void startsOnTheSatellitePageAndKeysChangeNothing() {
        makeWindow();
        QCOMPARE(m_Window->windowTitle(), QStringLiteral("LUMIDOR"));
        QCOMPARE(m_Window->pageList()->item(4)->text(),
                 QStringLiteral("     View Region Satellite Information"));
        checkShown(main(), {{"version", "Skyrelay Ver 2.19"},
                            {"target_change_button", "  Target    Change"},
                            {"load_data_button", "   Load   Default Data"},
                            {"refresh_button", "Reflesh"}});
        QVERIFY(!child<QPushButton>(main(), "target_change_button")->isEnabled());

        // The start-up tick paints every indicator grey, "COM" dark on the grey box.
        QTRY_COMPARE_WITH_TIMEOUT(m_Window->connectLamp()->color(), LampColor::Grey, 2000);
        for (const Lamp* lamp : m_Window->stateLamps()) QCOMPARE(lamp->color(), LampColor::Grey);
        QVERIFY(!m_Window->serialBox()->connected());
        QCOMPARE(m_Window->serialBox()->text(), QStringLiteral("COM"));
        const QImage box = const_cast<SerialBox*>(m_Window->serialBox())->grab().toImage();
        bool dark = false;
        for (int y = 0; y < box.height(); ++y) {
            for (int x = 0; x < box.width(); ++x) dark = dark || qGray(box.pixel(x, y)) < 100;
        }
        QVERIFY(dark);

        for (QWidget* target : {main(), m_Window->page(1)}) {
            QTest::keyClick(target, Qt::Key_Escape);
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Enter);
        }
        QVERIFY(m_Window->isVisible());
        QCOMPARE(m_Window->pageList()->currentRow(), 1);
        QVERIFY(m_Messages.isEmpty());

        // Lamps keep their state when covered; the GPS lamps start grey when their page shows.
        m_Window->DrawStateLamps(6);
        m_Window->hide();
        m_Window->show();
        QCOMPARE(m_Window->stateLamps()[4]->color(), LampColor::Red);
        QCOMPARE(m_Window->stateLamps()[0]->color(), LampColor::Grey);
        m_Window->pageList()->setCurrentRow(0);
        m_Window->DrawGpsLamps(1);
        QCOMPARE(m_Window->gpsLamps()[0]->color(), LampColor::Blue);
        m_Window->pageList()->setCurrentRow(3);
        m_Window->pageList()->setCurrentRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(m_Window->gpsLamps()[0]->color(), LampColor::Grey, 1000);
    }

    void aRepeatedMessageUpdatesTheOpenBoxInsteadOfStackingAnother() {
        makeWindow();
        m_Window->setMessageBoxHook(nullptr);  // the real boxes
        QStringList seen;
        // While the first hang-up's box is open: another hang-up, then a flood twice over.
        QTimer::singleShot(0, main(), [&] {
            m_Window->MessageBox(hangupText("/dev/ttyUSB1"), MessageIcon::Exclamation);
            m_Window->onCommMessage("m_QueueRead FULL!");
            m_Window->onCommMessage("m_QueueRead FULL!");
        });
        QTimer::singleShot(200, main(), [&] {
            for (QMessageBox* box : m_Window->findChildren<QMessageBox*>()) {
                if (box->isVisible()) seen << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        m_Window->MessageBox(hangupText("/dev/ttyUSB0"), MessageIcon::Exclamation);
        QCOMPARE(seen,
                 (QStringList{QStringLiteral("/dev/ttyUSB1 was disconnected.\nCheck the cable and "
                                             "the serial adapter."),
                              QStringLiteral("m_QueueRead FULL!\n0 bytes dropped since the port "
                                             "was opened.")}));
    }

    void aboutEntryOpensFromAnyBackgroundPoint() {
        makeWindow();
        for (int entry = 0; entry < 5; ++entry) {
            m_Window->pageList()->setCurrentRow(entry);
            QWidget* page = m_Window->page(entry);
            const QPoint at(page->width() - 2, page->height() - 2);
            QWidget* target = page->childAt(at) != nullptr ? page->childAt(at) : page;
            QString firstEntry;
            QTimer::singleShot(0, main(), [&firstEntry] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    firstEntry = menu->actions().value(0)->text();
                    menu->close();
                }
            });
            QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFrom(page, at),
                                    page->mapToGlobal(at));
            QApplication::sendEvent(target, &event);
            QCoreApplication::processEvents();
            QCOMPARE(firstEntry, QString::fromUtf8("Lumidor 정보(&A)..."));
        }
    }

    void thePortControlsKeepTheChoiceAndNameWhatWentWrong() {
        const QString first = QStringLiteral("/dev/serial/by-id/usb-skyrelay-test-adapter-0");
        const QString second = QStringLiteral("/dev/serial/by-id/usb-skyrelay-test-adapter-1");
        makeWindow({first, second});
        auto* combo = child<QComboBox>(main(), "port_combo");
        m_Window->RefreshPortList();
        QCOMPARE(combo->itemText(0), first);
        QCOMPARE(combo->itemText(1), second);
        combo->setCurrentIndex(1);
        m_Window->RefreshPortList();
        QCOMPARE(combo->currentText(), second);
        QVERIFY(combo->view()->minimumWidth() > combo->fontMetrics().horizontalAdvance(second));
        QCOMPARE(combo->toolTip(), second);

        auto* connect = child<QPushButton>(main(), "connect_button");
        combo->clear();
        connect->click();
        combo->addItem(QStringLiteral("/dev/skyrelay-no-such-port"));
        combo->setCurrentIndex(0);
        connect->click();
        QCOMPARE(m_Messages,
                 (QStringList{QStringLiteral("Select Serial port."),
                              QStringLiteral("/dev/skyrelay-no-such-port is not connected.\nTry "
                                             "to connect another serial port.\nThe port has "
                                             "vanished: the device is no longer there.")}));
        QCOMPARE(g_Connected, std::uint8_t{0});
        QCOMPARE(connect->text(), QStringLiteral("Connect"));
        QVERIFY(combo->isEnabled());
    }

    void regionRefreshesAfterADownloadAndOfAnEmptyRegion() {
        loadKorea();
        makeWindow();
        QWidget* gps = m_Window->page(0);
        QWidget* satellite = m_Window->page(1);
        QWidget* administrator = m_Window->page(4);
        m_Window->pageList()->setCurrentRow(1);
        m_Window->refreshRegionDisplay();
        // A DiSEqC mark shows the mode held: "Not Use" has not been sent, so clicking it
        // leaves its mark empty and "Change Satellite" marked.
        auto* marks = child<QButtonGroup>(satellite, "diseqc_mode");
        QCOMPARE(marks->checkedId(), 2);
        auto* notUse = child<QRadioButton>(satellite, "diseqc_not_use_mark");
        QTest::mouseClick(notUse, Qt::LeftButton);
        QVERIFY(!notUse->isChecked());
        QCOMPARE(marks->checkedId(), 2);
        QCOMPARE(g_DiseqcMode, std::uint8_t{2});

        // After a download: the ACU's region alone, fixed, and a hemisphere byte above 127
        // shown as the character of that code.
        for (const char* name : {"continent", "region"}) {
            child<QComboBox>(administrator, name)->addItems({"a", "b", "c"});
        }
        g_CurContinent = 1;
        g_RegionSatellites[2] = record(3, u"MEASAT 3", 91.5);
        g_RegionSatellites[2].eastWest = '\xC9';  // É in Latin-1, not valid UTF-8 alone
        m_Window->refreshAfterDownload();
        const std::pair<const char*, const char*> selectors[] = {{"continent", "Asia     "},
                                                                 {"region", "KOREA       "}};
        for (const auto& [name, entry] : selectors) {
            auto* selector = child<QComboBox>(administrator, name);
            QCOMPARE(selector->count(), 1);
            QCOMPARE(selector->currentText(), QString::fromUtf8(entry));
            QVERIFY(!selector->isEnabled());
        }
        QCOMPARE(child<QLineEdit>(satellite, "name")->text(), QStringLiteral("MEASAT 3  "));
        QCOMPARE(shown(main(), "target_sat"), QString::fromUtf8("MEASAT 3   91.5É"));
        QCOMPARE(shown(administrator, "longitude"), QString::fromUtf8(" 91.5É \r\n"));

        // An empty region empties every satellite field but the LNB's.
        mutableRegionRecord(1, 4)->satelliteCount = 0;
        m_Window->refreshRegionDisplay();
        QCOMPARE(child<QComboBox>(main(), "target_combo")->count(), 0);
        QCOMPARE(shown(main(), "target_longitude"), QString());
        QCOMPARE(child<QLineEdit>(gps, "satellite_longitude")->text(), QString());
        QCOMPARE(child<QLineEdit>(satellite, "name")->text(), QString());
        QCOMPARE(child<QListWidget>(administrator, "satellite_list")->count(), 0);
        for (const char* name : {"index", "name", "longitude", "ver_low_band", "diseqc"}) {
            QCOMPARE(shown(administrator, name), QString());
        }
        QCOMPARE(shown(administrator, "lnb_information"),
                 QStringLiteral(" LNB Type : Universal\tLocal Freq.: 9750 / 10600 MHz"));

        // LCD Display Font opens the editor in the page's place.
        m_Window->pageList()->setCurrentRow(4);
        child<QPushButton>(administrator, "lcd_display_font")->click();
        QCOMPARE(m_Window->currentPage(), static_cast<QWidget*>(m_Window->lcdDisplay()));
        QVERIFY(m_Window->lcdDisplay()->isVisible());
        QVERIFY(!administrator->isVisible());
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
