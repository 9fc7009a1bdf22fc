// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <sys/stat.h>

#include <QTemporaryDir>

#include "app/update_progress.h"
#include "data/satellite_tables.h"

namespace {

QString samplePath(const char* file) {
    return QStringLiteral(SKYRELAY_DATA_DIR "/") + QString::fromUtf8(file);
}

QStringList entries(const QComboBox* box) {
    QStringList found;
    for (int i = 0; i < box->count(); ++i) found << box->itemText(i);
    return found;
}

}  // namespace

// Load Default Data, the Administrator selectors and Update Default Data through the real
// main window, against the simulated ACU on a pseudo-terminal.
class TestDefaultData : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    QString m_ChosenFile;

    QComboBox* selector(const char* name) { return child<QComboBox>(m_Window->page(4), name); }
    void load(const char* file) {
        m_ChosenFile = samplePath(file);
        click(m_Window.get(), "load_data_button");
    }
    QString percent(const QWidget* popup) { return shown(popup, "progress_percent"); }

private slots:
    void init() {
        openOnSim();
        if (m_Window) m_Window->setOpenFileHook([this] { return m_ChosenFile; });
    }
    void cleanup() { close(); }

    void loadFillsTheSelectorsAndUpdateSendsTheFileToTheAcu() {
        // Identification brings the unit's own region in; the file comes after it.
        waitForPoll();
        load("all_continents.sif");
        QVERIFY(m_Messages.isEmpty());
        QCOMPARE(state().data.DefaultDataLoaded, std::uint8_t{1});
        QCOMPARE(entries(selector("continent")),
                 (QStringList{"Europe   ", "Asia     ", "Oceania  ", "N.America", "S.America",
                              "Africa   "}));
        QVERIFY(selector("continent")->isEnabled());
        QCOMPARE(entries(selector("region")),
                 (QStringList{"NORTH-SEA   ", "MEDITERRANEA", "BALTIC      "}));
        QCOMPARE(selector("region")->currentIndex(), 0);
        showPage(4);
        screenshot(QStringLiteral("/tmp/ui_loaded_all_continents.png"));

        // Another continent lists its own regions and makes its region 0 current.
        selector("continent")->setFocus();
        QTest::keyClick(selector("continent"), Qt::Key_Down);
        QCOMPARE(entries(selector("region")), (QStringList{"EAST-CHINA  ", "JAPAN-SEA   "}));
        QCOMPARE(state().data.CurContinent, std::uint8_t{1});
        QCOMPARE(state().data.CurRegion, std::uint8_t{0});
        QTest::keyClick(selector("region"), Qt::Key_Down);
        QCOMPARE(state().data.CurRegion, std::uint8_t{1});

        // One region of one continent: only their names, fixed.
        load("oceania_region7.sif");
        QCOMPARE(entries(selector("continent")), QStringList{"Oceania  "});
        QVERIFY(!selector("continent")->isEnabled());
        QCOMPARE(entries(selector("region")), QStringList{"TASMAN-SEA  "});
        QVERIFY(!selector("region")->isEnabled());
        QCOMPARE(state().data.CurContinent, std::uint8_t{2});
        QCOMPARE(state().data.CurRegion, std::uint8_t{7});

        // A cancelled dialog changes nothing; a named pipe is refused like a missing file,
        // without waiting for a writer.
        m_ChosenFile.clear();
        click(m_Window.get(), "load_data_button");
        QTemporaryDir dir;
        m_ChosenFile = dir.filePath(QStringLiteral("pipe.sif"));
        QCOMPARE(::mkfifo(QFile::encodeName(m_ChosenFile).constData(), 0600), 0);
        click(m_Window.get(), "load_data_button");
        QCOMPARE(m_Messages.takeFirst(),
                 QStringLiteral(" pipe.sif cannot be opened !!! \n Nothing was loaded. "));
        QCOMPARE(entries(selector("region")), QStringList{"TASMAN-SEA  "});
        // The page's hidden "Load Factory Data" asks for a file, like the main button.
        int asked = 0;
        m_Window->setOpenFileHook([&asked] {
            ++asked;
            return QString();
        });
        click(m_Window->page(4), "load_factory_data");
        QCOMPARE(asked, 1);
        m_Window->setOpenFileHook([this] { return m_ChosenFile; });

        enterSetupMode();
        load("all_continents.sif");
        QTest::keyClick(selector("region"), Qt::Key_Down);  // Europe, MEDITERRANEA
        // Slow enough to watch the popup at work.
        m_Server->withSimulator(
            [](AcuSimulator& acu) { acu.faults().replyDelay = std::chrono::milliseconds{40}; });
        click(m_Window.get(), "update_data_button");
        QWidget* popup = m_Window->updateProgress();
        QVERIFY(popup->isVisible());
        QVERIFY(!m_Window->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(percent(popup).toInt() >= 50, 5000);
        popup->grab().save(QStringLiteral("/tmp/ui_update_progress.png"));
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 10000);
        QVERIFY(m_Window->isEnabled());
        // 9 region records and 10 satellites of 16 announced: three empty continents cost one
        // step each, so the figure ends at 19 * 100 / 16.
        QCOMPARE(percent(popup), QStringLiteral("118"));
        QVERIFY(m_Messages.isEmpty());

        // The bytes are the core tests' matter; the header carries the selectors' choice.
        m_Server->withSimulator([](AcuSimulator& acu) {
            QVERIFY(acu.state().upload.complete);
            QCOMPARE(acu.state().upload.header->regionSelection, std::uint8_t{1});
        });
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestDefaultData)

#include "test_default_data.moc"
