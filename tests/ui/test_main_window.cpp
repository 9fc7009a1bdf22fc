#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "app/timer_bank_qt.h"
#include "data/antenna_info.h"
#include "data/satellite_tables.h"
#include "link/antenna_state.h"
#include "link/display_text.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "panel/lamp.h"
#include "panel/serial_box.h"
#include "serial/serial_comm.h"

// The main window without an ACU: start-up, pages, keys and the port controls.
class TestMainWindow : public QObject {
    Q_OBJECT

private:
    struct Message {
        QString text;
        MessageIcon icon;
    };

    std::unique_ptr<CLumidorDlg> makeWindow(QStringList ports = {}) {
        ResetProcessState();
        auto window = std::make_unique<CLumidorDlg>(ports);
        window->setMessageBoxHook([this](const QString& text, MessageIcon icon) {
            m_Messages.push_back({text, icon});
        });
        window->show();
        return window;
    }

    template <class T>
    static T* child(QWidget* parent, const char* name) {
        return parent->findChild<T*>(QString::fromUtf8(name));
    }

    std::vector<Message> m_Messages;

private slots:
    void init() { m_Messages.clear(); }
    void cleanup() { ResetProcessState(); }

    void startsOnTheSatellitePageWithTargetChangeDisabled() {
        auto window = makeWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("LUMIDOR"));
        QCOMPARE(window->size(), QSize(840, 515));
        QCOMPARE(window->pageList()->count(), 5);
        QCOMPARE(window->pageList()->currentRow(), 1);
        QCOMPARE(window->pageList()->item(4)->text(),
                 QStringLiteral("     View Region Satellite Information"));
        QCOMPARE(window->currentPage(), window->page(1));
        QVERIFY(window->page(1)->isVisible());
        QCOMPARE(window->page(1)->geometry(), QRect(350, 90, 470, 375));
        QCOMPARE(child<QLabel>(window.get(), "version")->text(),
                 QStringLiteral("Skyrelay Ver 2.19"));
        QVERIFY(!child<QPushButton>(window.get(), "target_change_button")->isEnabled());
        QCOMPARE(child<QPushButton>(window.get(), "target_change_button")->text(),
                 QStringLiteral("  Target    Change"));
        QCOMPARE(child<QPushButton>(window.get(), "load_data_button")->text(),
                 QStringLiteral("   Load   Default Data"));
        QCOMPARE(child<QPushButton>(window.get(), "refresh_button")->text(),
                 QStringLiteral("Reflesh"));
    }

    void startUpTickPaintsTheIndicatorsGrey() {
        auto window = makeWindow();
        QTRY_COMPARE_WITH_TIMEOUT(window->connectLamp()->color(), LampColor::Grey, 2000);
        for (const Lamp* lamp : window->stateLamps()) QCOMPARE(lamp->color(), LampColor::Grey);
        QVERIFY(!window->serialBox()->connected());
        QCOMPARE(window->serialBox()->text(), QStringLiteral("COM"));
        // "COM" is drawn dark on the grey box, not white on grey.
        const QImage box = const_cast<SerialBox*>(window->serialBox())->grab().toImage();
        bool dark = false;
        for (int y = 0; y < box.height(); ++y) {
            for (int x = 0; x < box.width(); ++x) dark = dark || qGray(box.pixel(x, y)) < 100;
        }
        QVERIFY(dark);
    }

    void aRepeatedMessageUpdatesTheOpenBoxInsteadOfStackingAnother() {
        auto window = makeWindow();
        window->setMessageBoxHook(nullptr);  // the real boxes
        QStringList seen;
        // While the first hang-up's box is open: another hang-up, then a flood twice over.
        QTimer::singleShot(0, window.get(), [&] {
            window->MessageBox(hangupText("/dev/ttyUSB1"), MessageIcon::Exclamation);
            window->onCommMessage("m_QueueRead FULL!");
            window->onCommMessage("m_QueueRead FULL!");
        });
        QTimer::singleShot(200, window.get(), [&] {
            for (QMessageBox* box : window->findChildren<QMessageBox*>()) {
                if (box->isVisible()) seen << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        window->MessageBox(hangupText("/dev/ttyUSB0"), MessageIcon::Exclamation);
        QCOMPARE(seen,
                 (QStringList{QStringLiteral("/dev/ttyUSB1 was disconnected.\nCheck the cable and "
                                             "the serial adapter."),
                              QStringLiteral("m_QueueRead FULL!\n0 bytes dropped since the port "
                                             "was opened.")}));
    }

    void aboutEntryOpensFromAnyBackgroundPoint() {
        auto window = makeWindow();
        for (int entry = 0; entry < 5; ++entry) {
            window->pageList()->setCurrentRow(entry);
            QWidget* page = window->page(entry);
            const QPoint at(page->width() - 2, page->height() - 2);
            QWidget* target = page->childAt(at) != nullptr ? page->childAt(at) : page;
            QString firstEntry;
            QTimer::singleShot(0, window.get(), [&firstEntry] {
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

    void pageListShowsOnePageAtATime() {
        auto window = makeWindow();
        for (int entry : {0, 2, 3, 4, 1}) {
            window->pageList()->setCurrentRow(entry);
            QCOMPARE(window->currentPage(), window->page(entry));
            for (int other = 0; other < 5; ++other) {
                QCOMPARE(window->page(other)->isVisible(), other == entry);
            }
        }
    }

    void gpsLampsComeBackGreyWhenTheirPageIsShownAgain() {
        auto window = makeWindow();
        window->pageList()->setCurrentRow(0);
        window->DrawGpsLamps(1);
        QCOMPARE(window->gpsLamps()[0]->color(), LampColor::Blue);
        window->pageList()->setCurrentRow(3);
        window->pageList()->setCurrentRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(window->gpsLamps()[0]->color(), LampColor::Grey, 1000);
    }

    void enterAndEscapeChangeNothing() {
        auto window = makeWindow();
        for (QWidget* target : {static_cast<QWidget*>(window.get()), window->page(1)}) {
            QTest::keyClick(target, Qt::Key_Escape);
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Enter);
        }
        QVERIFY(window->isVisible());
        QVERIFY(window->page(1)->isVisible());
        QCOMPARE(window->pageList()->currentRow(), 1);
        QVERIFY(m_Messages.empty());
    }

    void connectWithNothingSelectedAsksForAPort() {
        auto window = makeWindow();
        auto* combo = child<QComboBox>(window.get(), "port_combo");
        combo->clear();
        child<QPushButton>(window.get(), "connect_button")->click();
        QCOMPARE(m_Messages.size(), std::size_t{1});
        QCOMPARE(m_Messages[0].text, QStringLiteral("Select Serial port."));
        QCOMPARE(m_Messages[0].icon, MessageIcon::None);
        QCOMPARE(g_Connected, std::uint8_t{0});
    }

    void aPortThatCannotBeOpenedIsNamed() {
        auto window = makeWindow();
        auto* combo = child<QComboBox>(window.get(), "port_combo");
        combo->clear();
        combo->addItem(QStringLiteral("/dev/skyrelay-no-such-port"));
        combo->setCurrentIndex(0);
        child<QPushButton>(window.get(), "connect_button")->click();
        QCOMPARE(m_Messages.size(), std::size_t{1});
        QCOMPARE(m_Messages[0].text,
                 QStringLiteral("/dev/skyrelay-no-such-port is not connected.\nTry to connect "
                                "another serial port.\nThe port has vanished: the device is no "
                                "longer there."));
        QCOMPARE(child<QPushButton>(window.get(), "connect_button")->text(),
                 QStringLiteral("Connect"));
        QVERIFY(combo->isEnabled());
    }

    void refillingKeepsTheChosenPortAndTheDropDownShowsWholePaths() {
        const QString first = QStringLiteral("/dev/serial/by-id/usb-skyrelay-test-adapter-0");
        const QString second = QStringLiteral("/dev/serial/by-id/usb-skyrelay-test-adapter-1");
        auto window = makeWindow({first, second});
        auto* combo = child<QComboBox>(window.get(), "port_combo");
        window->RefreshPortList();
        QCOMPARE(combo->itemText(0), first);
        QCOMPARE(combo->itemText(1), second);
        combo->setCurrentIndex(1);
        window->RefreshPortList();
        QCOMPARE(combo->currentText(), second);
        QVERIFY(combo->view()->minimumWidth() > combo->fontMetrics().horizontalAdvance(second));
        QCOMPARE(combo->toolTip(), second);
    }

    void setupModeAndFactorySettingAskFirst() {
        // The gates behind the questions are the controller's (and tested there); here the
        // buttons reach it and the questions reach the user.
        auto window = makeWindow();
        g_Connected = 1;  // no port is open: what is sent goes nowhere, the timers tell
        g_SetupMode = 1;
        QStringList questions;
        window->setConfirmHook([&](const QString& text) {
            questions << text;
            return true;
        });
        child<QPushButton>(window.get(), "setup_button")->click();
        QVERIFY(window->timers().running(16));
        child<QPushButton>(window.get(), "factory_button")->click();
        QVERIFY(window->timers().running(30));
        QCOMPARE(questions,
                 (QStringList{QStringLiteral(" Antenna Setup mode?"),
                              QStringLiteral("Do you want to factory default setting?")}));
    }

    void targetChangeIsEnabledOnlyForAnotherSatellite() {
        auto window = makeWindow();
        auto* combo = child<QComboBox>(window.get(), "target_combo");
        auto* change = child<QPushButton>(window.get(), "target_change_button");
        combo->addItems({QStringLiteral("ASTRA1"), QStringLiteral("HOTBIRD")});
        g_RegionSatellites[0].longitude = 19.2;
        g_RegionSatellites[0].eastWest = 'E';
        g_RegionSatellites[1].longitude = 13.0;
        g_RegionSatellites[1].eastWest = 'E';
        g_DefaultSatIndex = 1;
        emit combo->activated(0);
        QVERIFY(change->isEnabled());
        QCOMPARE(child<QLabel>(window.get(), "target_longitude")->text(), QStringLiteral(" 19.2E"));
        emit combo->activated(1);
        QVERIFY(!change->isEnabled());
    }

    void targetPanelShowsTheChosenTransponder() {
        auto window = makeWindow();
        child<QComboBox>(window.get(), "target_combo")->addItem(QStringLiteral("HOTBIRD"));
        SatelliteRecord& sat = g_RegionSatellites[0];
        sat.longitude = 13.0;
        sat.eastWest = 'E';
        sat.hHighFreq = 12476;
        sat.hHighSymbolRate = 29900;
        sat.hHighNid = 318;
        g_Receiver18V = 1;
        g_Receiver22k = 1;
        g_ReceiverV = 18.2;
        g_SignalLevel = 640;
        window->RefreshTargetPanel(0, 0, 0);
        QCOMPARE(child<QLabel>(window.get(), "target_sat")->text(),
                 QStringLiteral("HOTBIRD 13.0E"));
        QCOMPARE(child<QLabel>(window.get(), "transponder_heading")->text(),
                 QStringLiteral("H(L) HighBand"));
        QCOMPARE(child<QLabel>(window.get(), "transponder_freq")->text(), QStringLiteral("12476"));
        QCOMPARE(child<QLabel>(window.get(), "receiver")->text(), QStringLiteral("18V   22kHz"));
        QCOMPARE(child<QLabel>(window.get(), "signal")->text(), QStringLiteral("640"));
        QCOMPARE(window->page(3)->findChild<QLabel*>(QStringLiteral("receiver"))->text(),
                 QStringLiteral("18.2V 22kHz"));
    }

    void lampsKeepTheirStateWhenCoveredAndShownAgain() {
        auto window = makeWindow();
        window->DrawStateLamps(6);
        window->hide();
        window->show();
        QCOMPARE(window->stateLamps()[4]->color(), LampColor::Red);
        QCOMPARE(window->stateLamps()[0]->color(), LampColor::Grey);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
