#include <QAbstractItemView>
#include <QButtonGroup>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>

#include "app/main_window.h"
#include "app/update_progress.h"
#include "data/satellite_tables.h"
#include "geo/look_angles.h"
#include "link/controller.h"
#include "pages/acu_lcd_display.h"
#include "serial/port_line.h"
#include "support/replies.h"
#include "ui/controls.h"
#include "widgets/lamp.h"
#include "widgets/serial_box.h"
#include "wire/display_text.h"
#include "wire/fixed_text.h"

// The pages alone and the main window without an ACU: start-up, pages, keys, the port controls, and
// the region displays filled as from a file or from the ACU.
class TestMainWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_Window;
    QStringList m_Messages;

    void makeWindow(const QStringList& ports = {}) {
        m_Window = std::make_unique<MainWindow>(ports, nullptr, PortListing::OnlyGiven);
        m_Window->setMessageBoxHook(
            [this](const QString& text, MessageIcon) { m_Messages << text; });
        m_Window->show();
    }
    QWidget* main() { return m_Window.get(); }
    // The five pages of the list, then the LCD editor.
    QWidget* page(int entry) {
        return entry < 5 ? m_Window->page(entry) : static_cast<QWidget*>(m_Window->lcdDisplay());
    }

    const LinkState& state() { return m_Window->controller().state(); }
    // Replies in the window's receive queue, taken up as the watcher's notification would be.
    void receive(std::initializer_list<Bytes> replies) {
        for (const Bytes& payload : replies) {
            const Bytes frame = frameOf(payload);
            m_Window->comm().m_QueueRead.putChunk(frame.data(),
                                                  static_cast<std::uint32_t>(frame.size()));
        }
        m_Window->controller().OnCommRead();
    }

private slots:
    void init() { m_Messages.clear(); }
    void cleanup() { m_Window.reset(); }

    void startUpPaintsTheIndicatorsGrey() {
        makeWindow();
        // The start-up tick paints every indicator grey, "COM" dark on the grey box.
        QTRY_COMPARE_WITH_TIMEOUT(m_Window->connectLamp()->color(), LampColor::Grey, 5000);
        for (const Lamp* lamp : m_Window->stateLamps()) QCOMPARE(lamp->color(), LampColor::Grey);
        QVERIFY(!m_Window->serialBox()->connected());
        QCOMPARE(m_Window->serialBox()->text(), QStringLiteral("COM"));

        // The GPS lamps start grey when their page shows.
        m_Window->pageList()->setCurrentRow(0);
        m_Window->DrawGpsLamps(1);
        QCOMPARE(m_Window->gpsLamps()[0]->color(), LampColor::Blue);
        m_Window->pageList()->setCurrentRow(3);
        m_Window->pageList()->setCurrentRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(m_Window->gpsLamps()[0]->color(), LampColor::Grey, 5000);
    }

    void aRepeatedMessageUpdatesTheOpenBoxInsteadOfStackingAnother() {
        makeWindow();
        m_Window->setMessageBoxHook(nullptr);  // the real boxes
        QStringList seen;
        // While the first hang-up's box is open: another hang-up, then a flood twice over.
        QTimer::singleShot(0, main(), [&] {
            m_Window->MessageBox(hangupText("/dev/ttyUSB1"), MessageIcon::Exclamation);
            m_Window->onCommOverflow(0);
            m_Window->onCommOverflow(0);
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

    void thePortControlsKeepTheChoiceAndNameWhatWentWrong() {
        const QString first = QStringLiteral("/dev/serial/by-id/usb-skyrelay-test-adapter-0");
        const QString second = QStringLiteral("/dev/serial/by-id/usb-skyrelay-test-adapter-1");
        makeWindow({first, second});
        auto* combo = child<QComboBox>(main(), "port_combo");
        m_Window->RefreshPortList();
        QCOMPARE(combo->itemText(1), second);
        combo->setCurrentIndex(1);
        m_Window->RefreshPortList();
        QCOMPARE(combo->currentText(), second);
        QVERIFY(combo->view()->minimumWidth() > combo->fontMetrics().horizontalAdvance(second));

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
        QCOMPARE(connect->text(), QStringLiteral("Connect"));
    }

    void regionRefreshesAfterADownload() {
        makeWindow();
        QWidget* satellite = m_Window->page(1);
        QWidget* administrator = m_Window->page(4);
        m_Window->pageList()->setCurrentRow(1);
        for (const char* name : {"continent", "region"}) {
            child<QComboBox>(administrator, name)->addItems({"a", "b", "c"});
        }
        // The ACU's region, whose target's hemisphere byte is above 127.
        Bytes target = satelliteReply(1);
        target[15] = 0xC9;  // É in Latin-1, not valid UTF-8 alone
        receive({regionReply(), satelliteReply(0), target});

        // After a download: the ACU's region alone, fixed, and the byte shown as the
        // character of that code.
        const std::pair<const char*, const char*> selectors[] = {{"continent", "Europe   "},
                                                                 {"region", "EUROPE-WEST "}};
        for (const auto& [name, entry] : selectors) {
            auto* selector = child<QComboBox>(administrator, name);
            QCOMPARE(selector->count(), 1);
            QCOMPARE(selector->currentText(), QString::fromUtf8(entry));
            QVERIFY(!selector->isEnabled());
        }
        QCOMPARE(child<QLineEdit>(satellite, "name")->text(), QStringLiteral("HOTBIRD   "));
        QCOMPARE(shown(main(), "target_sat"), QString::fromUtf8("HOTBIRD    13.0É"));
        QCOMPARE(shown(administrator, "longitude"), QString::fromUtf8(" 13.0É \r\n"));

        // A DiSEqC mark shows the mode held: "Not Use" has not been sent, so clicking it
        // leaves its mark empty and "Change Satellite" marked.
        auto* marks = child<QButtonGroup>(satellite, "diseqc_mode");
        QCOMPARE(marks->checkedId(), 2);
        auto* notUse = child<QRadioButton>(satellite, "diseqc_not_use_mark");
        QTest::mouseClick(notUse, Qt::LeftButton);
        QVERIFY(!notUse->isChecked());
        QCOMPARE(marks->checkedId(), 2);
        QCOMPARE(state().data.DiseqcMode, std::uint8_t{2});
    }

    void choicesAndTheTypedPositionBehave() {
        makeWindow();
        QWidget* gps = page(0);
        QWidget* satellite = page(1);
        // The satellite page's radio groups don't uncheck each other. (The DiSEqC marks are
        // not a choice: they show the mode held.)
        const char* choices[] = {"pol_13v", "tone_22khz", "verification_dss_decode",
                                 "universal_lnb"};
        for (const char* name : choices) child<QRadioButton>(satellite, name)->click();
        for (const char* name : choices) {
            QVERIFY2(child<QRadioButton>(satellite, name)->isChecked(), name);
        }

        // An untouched hemisphere is taken as W or S, and the selector then shows it.
        typeInto(gps, "region_longitude", QStringLiteral("127.0"));
        typeInto(gps, "region_latitude", QStringLiteral("37.5"));
        typeInto(gps, "satellite_longitude", QStringLiteral("116.0"));
        click(gps, "use_region_gps");
        QCOMPARE(state().calc.siteLonHemisphere, 'W');
        QCOMPARE(state().calc.siteLatitude, -37.5);
        QCOMPARE((QStringList{shown(gps, "region_longitude_hemisphere"),
                              shown(gps, "region_latitude_hemisphere"),
                              shown(gps, "satellite_longitude_hemisphere")}),
                 (QStringList{"W", "S", "W"}));
    }

    void progressPopupsKeepTheirBarInRangeAndIgnoreTheKeys() {
        makeWindow();
        Update_Progress& popup = *m_Window->updateProgress();
        auto* bar = child<QProgressBar>(&popup, "progress_bar");
        // Nothing announced: an empty bar, not a busy one (equal ends would make it busy).
        popup.openProgress(0);
        QVERIFY(bar->maximum() > bar->minimum());
        QCOMPARE(bar->value(), 0);

        popup.openProgress(200);
        // The owner disables itself while a popup is open; the bar must not turn grey.
        m_Window->setEnabled(false);
        QCOMPARE(bar->palette().color(QPalette::Disabled, QPalette::Highlight),
                 bar->palette().color(QPalette::Active, QPalette::Highlight));
        m_Window->setEnabled(true);
        // More steps than announced: the bar stays full, the figure goes on.
        popup.stepProgress(230, QStringLiteral("115"));
        QCOMPARE(bar->value(), 200);
        QCOMPARE(shown(&popup, "progress_percent"), QStringLiteral("115"));
        QTest::keyClick(&popup, Qt::Key_Escape);
        QTest::keyClick(&popup, Qt::Key_Return);
        QVERIFY(popup.isVisible());

        // A total past the bar's 16 bits is held at the top, and a new run never shows the last
        // run's figure over its empty bar.
        popup.openProgress(70000);
        QCOMPARE(bar->maximum(), 0xFFFF);
        QCOMPARE(shown(&popup, "progress_percent"), QStringLiteral("0"));
    }

    // Every page, the LCD editor included: Enter and Escape neither close nor press, the about
    // entry opens from a background point, and no value label reads markup (a name read from a
    // file or the ACU may begin like a tag).
    void everyPageIgnoresEnterAndEscapeOffersAboutAndShowsPlainText() {
        makeWindow();
        for (int entry = 0; entry < 6; ++entry) {
            QWidget* shownPage = page(entry);
            if (entry < 5)
                m_Window->pageList()->setCurrentRow(entry);
            else
                m_Window->showPage(shownPage);
            const char* kind = shownPage->metaObject()->className();
            QVERIFY2(!shownPage->isWindow(), kind);
            if (auto* edit = shownPage->findChild<QLineEdit*>()) {
                QTest::keyClick(edit, Qt::Key_Escape);
                QTest::keyClick(edit, Qt::Key_Return);
            }
            QTest::keyClick(shownPage, Qt::Key_Escape);
            for (QPushButton* button : shownPage->findChildren<QPushButton*>()) {
                QSignalSpy clicked(button, &QPushButton::clicked);
                QTest::keyClick(button, Qt::Key_Return);
                QTest::keyClick(button, Qt::Key_Enter);
                QVERIFY2(clicked.isEmpty(), qPrintable(button->objectName()));
            }
            QVERIFY2(shownPage->isVisible(), kind);
            for (const QLabel* label : shownPage->findChildren<QLabel*>()) {
                if (!label->text().isEmpty()) continue;  // a fixed caption, not a value
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
            }
            const QPoint at(shownPage->width() - 2, shownPage->height() - 2);
            QWidget* target = shownPage->childAt(at) ? shownPage->childAt(at) : shownPage;
            QString firstEntry;
            QTimer::singleShot(0, main(), [&firstEntry] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    firstEntry = menu->actions().value(0)->text();
                    menu->close();
                }
            });
            QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFrom(shownPage, at),
                                    shownPage->mapToGlobal(at));
            QApplication::sendEvent(target, &event);
            QCoreApplication::processEvents();
            QCOMPARE(firstEntry, QString::fromUtf8("Lumidor 정보(&A)..."));
        }
        QVERIFY(m_Messages.isEmpty());
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestMainWindow)

#include "test_main_window.moc"
