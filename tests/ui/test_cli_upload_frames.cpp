// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <mutex>

#include "app/update_progress.h"

#include "frame_log.h"

namespace {

// The frames of the upload (commands 10 to 13) in a simulator log, without the time column.
QStringList uploadFrames(const QStringList& logLines) {
    static const QRegularExpression upload(QStringLiteral("^\\s*\\S+ (PC>ACU\\s+1[0-3] .*)$"));
    QStringList frames;
    for (const QString& line : logLines) {
        const QRegularExpressionMatch match = upload.match(line);
        if (match.hasMatch()) frames << match.captured(1);
    }
    return frames;
}

}  // namespace

// The same file and selectors uploaded by the window and by skyrelay-cli: the simulator's
// log of both runs holds the same upload frames, byte for byte.
class TestCliUploadFrames : public QObject, private WindowOnSim {
    Q_OBJECT

private slots:
    void cleanup() { close(); }

    void theCommandLineSendsTheWindowsFrames() {
        // The window: Europe, BALTIC (the third region) of the all-continents sample.
        std::mutex mutex;
        QStringList windowLog;
        m_Acu = std::make_unique<AcuSimulator>();
        AcuSimulator* acu = m_Acu.get();
        m_Acu->setFrameObserver(
            [&, acu](AcuSimulator::Direction direction, std::span<const std::uint8_t> frame) {
                const std::lock_guard<std::mutex> lock(mutex);
                windowLog << QString::fromStdString(frameLogLine(acu->now(), direction, frame));
            });
        openOnSim();
        m_Window->setOpenFileHook(
            [] { return QStringLiteral(SKYRELAY_DATA_DIR "/all_continents.sif"); });
        waitForPoll();
        enterSetupMode();
        click(m_Window.get(), "load_data_button");
        auto* region = child<QComboBox>(m_Window->page(4), "region");
        QTest::keyClick(region, Qt::Key_Down);
        QTest::keyClick(region, Qt::Key_Down);
        QCOMPARE(region->currentText(), QStringLiteral("BALTIC      "));
        click(m_Window.get(), "update_data_button");
        QTRY_VERIFY_WITH_TIMEOUT(!m_Window->updateProgress()->isVisible(), 10000);
        QVERIFY(m_Messages.isEmpty());
        close();
        QStringList windowFrames;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            windowFrames = uploadFrames(windowLog);
        }
        // 10, 9 region records, 10 satellites, 13.
        QCOMPARE(windowFrames.size(), 21);

        // The command line, on a simulator of its own that writes its --log.
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("acu"));
        const QString log = dir.filePath(QStringLiteral("sim.log"));
        QProcess sim;
        sim.start(QStringLiteral(SKYRELAY_SIM), {"--link", link, "--log", log});
        QVERIFY(sim.waitForReadyRead(10000));
        QProcess cli;
        cli.start(QStringLiteral(SKYRELAY_CLI),
                  {"upload", SKYRELAY_DATA_DIR "/all_continents.sif", "--continent", "Europe",
                   "--region", "BALTIC", "--port", link});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        sim.terminate();
        QVERIFY(sim.waitForFinished(10000));
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList cliFrames =
            uploadFrames(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')));
        QCOMPARE(cliFrames, windowFrames);
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestCliUploadFrames)

#include "test_cli_upload_frames.moc"
