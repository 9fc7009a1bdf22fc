// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/update_progress.h"
#include "wire/display_text.h"
#include "widgets/serial_box.h"
#include "support/ser2net_server.h"
#include "serial/port_line.h"

namespace {

// A loopback port that takes connections and never says a word: an RFC 2217 client waits
// there for answers to its line settings, as it would behind a black-holed ship's link.
struct MuteListener {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    std::uint16_t port = 0;
    MuteListener() {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof at;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&at), size) == 0 && ::listen(fd, 4) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size) == 0) {
            port = ntohs(at.sin_port);
        }
    }
    int client = -1;  // held open, and never written to
    ~MuteListener() {
        if (client >= 0) ::close(client);
        ::close(fd);
    }
    bool accepted() {
        if (client < 0) client = ::accept(fd, nullptr, nullptr);
        return client >= 0;
    }
};

}  // namespace

// The real main window on the simulated ACU behind a real ser2net, as a technician on shore
// reaches a unit at sea: the address given on the command line.
class TestRemoteAcu : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    std::unique_ptr<Ser2netServer> m_Ser2net;

    QComboBox* portCombo() { return child<QComboBox>(m_Window.get(), "port_combo"); }
    QWidget* popup() { return m_Window->updateProgress(); }
    QString percent() { return shown(popup(), "progress_percent"); }
    QString address() const { return QString::fromStdString(m_Ser2net->address()); }

    // The unit served through ser2net and the window on it, identified and in setup mode
    // with the sample file loaded. The frames it carries are the serial server tests' matter.
    void openReadyToUpload() {
        startSim();
        m_Ser2net = std::make_unique<Ser2netServer>(Ser2netServer::Mode::Raw);
        QVERIFY(m_Ser2net->start(simPort().toStdString()));
        makeWindow({address()});
        m_Window->setOpenFileHook(
            [] { return QStringLiteral(SKYRELAY_DATA_DIR "/all_continents.sif"); });
        m_Window->show();
        waitForPoll();
        QCOMPARE(portCombo()->currentText(), address());
        QCOMPARE(m_Window->serialBox()->text(), address());
        QCOMPARE(m_Window->serialBox()->shownText(), address());  // whole, however long
        enterSetupMode();
        click(m_Window.get(), "load_data_button");
    }

private slots:
    void cleanup() {
        close();
        m_Ser2net.reset();
    }

    // The scan opens an address off the window's thread: while the far side keeps it waiting,
    // the window's own timers go on firing.
    void keepsTheWindowLiveWhileAnAddressNeverAnswers() {
        MuteListener mute;
        QVERIFY(mute.port != 0);
        makeWindow({QStringLiteral("rfc2217://127.0.0.1:%1").arg(mute.port)});
        m_Window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->comm().opening() && mute.accepted(), 20000);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 20, 20000);
        // Still waiting for the telnet answers: a window held up by the open would have
        // counted nothing until the open gave up.
        QVERIFY(m_Window->comm().opening());
        QCOMPARE(state().Connected, std::uint8_t{0});
        QVERIFY(m_Messages.isEmpty());
    }

    void uploadsThenReportsAServerStoppedMidUploadAndReconnects() {
        openReadyToUpload();
        screenshot(QStringLiteral("/tmp/ui_remote_acu.png"));
        click(m_Window.get(), "update_data_button");
        QTRY_VERIFY_WITH_TIMEOUT(!popup()->isVisible(), 20000);
        QCOMPARE(percent(), QStringLiteral("118"));
        QVERIFY(m_Messages.isEmpty());

        // Again with replies held back a little, so that the server is stopped half way.
        m_Server->withSimulator(
            [](AcuSimulator& acu) { acu.faults().replyDelay = std::chrono::milliseconds{100}; });
        click(m_Window.get(), "update_data_button");
        QTRY_VERIFY_WITH_TIMEOUT(percent().toInt() >= 30 && percent().toInt() < 100, 20000);
        m_Ser2net->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!popup()->isVisible(), 10000);
        QVERIFY(m_Window->isEnabled());
        QVERIFY2(percent().toInt() >= 30 && percent().toInt() < 118, qPrintable(percent()));
        // In the window, not a box: the window goes on and connects again by itself.
        const QLabel* notice = m_Window->linkNotice();
        const QString said = address() + QStringLiteral(
                                             " was disconnected. Skyrelay connects again by "
                                             "itself as soon as the serial server answers; "
                                             "meanwhile check it and the link to it.");
        QTRY_COMPARE_WITH_TIMEOUT(notice->text(), said, 5000);
        QVERIFY(notice->isVisible());
        QCOMPARE(state().Connected, std::uint8_t{0});
        QTest::qWait(2500);  // the scan finds nobody there, and says nothing more
        screenshot(QStringLiteral("/tmp/ui_remote_acu_notice.png"));
        QVERIFY(m_Messages.isEmpty());

        // Back, and gone; and a second hang-up is the same one line again, never two.
        QVERIFY(m_Ser2net->start());
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 20000);
        QCOMPARE(portCombo()->currentText(), address());
        QVERIFY(!notice->isVisible());
        m_Ser2net->stop();
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 10000);
        QCOMPARE(notice->text(), said);
        QCOMPARE(m_Window->findChildren<QLabel*>(QStringLiteral("link_notice")).size(), 1);
        QVERIFY(m_Ser2net->start());
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 20000);
        QVERIFY(!notice->isVisible());
        QVERIFY(m_Messages.isEmpty());
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestRemoteAcu)

#include "test_remote_acu.moc"
