// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <mutex>

#include "app/lumidor_app.h"
#include "app/lumidor_dlg.h"
#include "app/timer_bank_qt.h"
#include "app/update_progress.h"
#include "data/fixed_text.h"
#include "data/satellite_tables.h"
#include "link/link_state.h"
#include "link/process_state.h"

namespace {

// data/all_continents.sif written out by hand: its regions as command 11 brings them and its
// satellites as command 12 does.
const ModelParams kP1[3] = {{1.5, 60, 40}, {1.75, 65, 45}, {2.0, 70, 50}};
const ModelParams kP2[3] = {{1.25, 55, 35}, {1.5, 60, 40}, {1.75, 65, 45}};

RegionRecord region(const char16_t* name, std::initializer_list<std::uint32_t> list,
                    std::uint8_t defaultSatellite, std::uint8_t lnbType, std::uint32_t single,
                    std::uint8_t diseqc, bool firstParams, double lon, char ew, double lat,
                    char ns) {
    RegionRecord r;
    storeFixedText(r.name, name);
    r.satelliteCount = static_cast<std::uint8_t>(list.size());
    r.defaultSatellite = defaultSatellite;
    std::copy(list.begin(), list.end(), r.satelliteList.begin());
    r.lnbType = lnbType;
    r.singleLocalFreq = single;
    r.universalLowLocalFreq = 9750;
    r.universalHighLocalFreq = 10600;
    r.diseqcMode = diseqc;
    std::copy(std::begin(firstParams ? kP1 : kP2), std::end(firstParams ? kP1 : kP2),
              r.modelParams.begin());
    r.elAdjust = firstParams ? -2.5 : 1.0;
    r.skewAdjust = firstParams ? 1.2 : -0.5;
    r.signalLostTime = firstParams ? 10 : 12;
    r.breakTime = firstParams ? 30 : 20;
    r.gpsLongitude = lon;
    r.gpsEastWest = ew;
    r.gpsLatitude = lat;
    r.gpsNorthSouth = ns;
    return r;
}

SatelliteRecord satellite(std::uint8_t number, const char16_t* name, double lon, char ew,
                          std::array<std::uint32_t, 12> tp, std::array<std::uint8_t, 3> modes) {
    SatelliteRecord s;
    s.number = number;
    storeFixedText(s.name, name);
    s.longitude = lon;
    s.eastWest = ew;
    s.vLowFreq = tp[0];
    s.vLowSymbolRate = tp[1];
    s.vLowNid = tp[2];
    s.vHighFreq = tp[3];
    s.vHighSymbolRate = tp[4];
    s.vHighNid = tp[5];
    s.hLowFreq = tp[6];
    s.hLowSymbolRate = tp[7];
    s.hLowNid = tp[8];
    s.hHighFreq = tp[9];
    s.hHighSymbolRate = tp[10];
    s.hHighNid = tp[11];
    s.verification = modes[0];
    s.polarization = modes[1];
    s.tone = modes[2];
    return s;
}

std::vector<RegionArrival> expectedRegions() {
    return {
        {0, 0, region(u"NORTH-SEA", {1, 2, 3}, 0, 1, 10750, 0, true, 4.12, 'E', 56.10, 'N')},
        {0, 1, region(u"MEDITERRANEA", {2, 3, 4}, 1, 1, 10750, 1, false, 14.5, 'E', 38.0, 'N')},
        {0, 2, region(u"BALTIC", {1, 3}, 1, 1, 10750, 2, true, 19.2, 'E', 58.5, 'N')},
        {1, 0, region(u"EAST-CHINA", {5, 6}, 0, 0, 11300, 0, false, 122.5, 'E', 31.0, 'N')},
        {1, 1, region(u"JAPAN-SEA", {5, 6, 7}, 2, 0, 11300, 1, true, 135.0, 'E', 40.0, 'N')},
        // Oceania, N.America and S.America hold no region: their empty region 0 goes out once.
        {2, 0, {}},
        {3, 0, {}},
        {4, 0, {}},
        {5, 0, region(u"WEST-AFRICA", {9, 10, 4}, 0, 0, 5150, 0, false, 3.5, 'W', 5.5, 'N')},
    };
}

std::vector<SatelliteRecord> expectedSatellites() {
    return {
        satellite(1, u"NORDSAT-1", 4.8, 'E',
                  {11470, 27500, 101, 12110, 27500, 101, 11390, 27500, 101, 12200, 27500, 101},
                  {1, 0, 0}),
        satellite(2, u"AQUILA-2", 13.0, 'E',
                  {11040, 27500, 318, 12590, 27500, 318, 10970, 29700, 318, 12470, 29900, 318},
                  {2, 0, 0}),
        satellite(3, u"MERIDIAN-3", 19.2, 'E',
                  {11590, 22000, 1, 12600, 22000, 1, 11490, 22000, 1, 12510, 22000, 1}, {1, 0, 0}),
        satellite(4, u"HELIOS-W", 5.0, 'W',
                  {11090, 29950, 7, 12640, 27500, 7, 11000, 29950, 7, 12540, 29950, 7}, {0, 0, 0}),
        satellite(5, u"HANBIT-2", 116.0, 'E',
                  {12250, 26000, 1, 12290, 26000, 1, 12330, 26000, 1, 12370, 26000, 1}, {1, 1, 1}),
        satellite(6, u"ORIENT-5", 128.0, 'E',
                  {12540, 21300, 2, 12600, 21300, 2, 12420, 21300, 2, 12680, 21300, 2}, {2, 0, 2}),
        satellite(7, u"SOUTHCROSS", 156.0, 'E',
                  {12400, 27800, 4, 12520, 27800, 4, 12470, 27800, 4, 12610, 27800, 4}, {1, 2, 0}),
        satellite(8, u"PACIFICA-1", 166.0, 'E',
                  {12320, 30000, 9, 12450, 30000, 9, 12280, 30000, 9, 12390, 30000, 9}, {3, 0, 1}),
        satellite(9, u"SAHELSAT", 36.0, 'E',
                  {11760, 27500, 11, 12380, 27500, 11, 11800, 27500, 11, 12420, 27500, 11},
                  {1, 0, 0}),
        satellite(10, u"ATLANTIC-7", 22.5, 'W',
                  {10980, 27500, 40, 11720, 27500, 40, 11020, 27500, 40, 11760, 27500, 40},
                  {2, 1, 2}),
    };
}

using Bytes = std::vector<std::uint8_t>;

// The first region record and an empty one, as they cross the line.
const Bytes kNorthSeaPayload = {
    0x0B, 0x00, 0x00, 'N',  'O',  'R',  'T',  'H',  '-',  'S',
    'E',  'A',  ' ',  ' ',  ' ',  0x03, 0x00, 0x01, 0x02, 0x03,  // count, default, list
    0x01, 0x29, 0xFE, 0x26, 0x16, 0x29, 0x68, 0x00,              // Universal, DiSEqC not used
    0x00, 0x96, 0x00, 0x3C, 0x00, 0x28, 0x00, 0xAF, 0x00, 0x41,
    0x00, 0x2D, 0x00, 0xC8, 0x00, 0x46, 0x00, 0x32,  // the three models
    '-',  0x00, 0xFA, '+',  0x00, 0x78, 0x00, 0x0A, 0x00, 0x1E,
    0x01, 0x9C, 'E',  0x15, 0xEA, 'N',  // 4.12 E, 56.10 N
};
const Bytes kEmptyOceaniaPayload = [] {
    Bytes empty = {0x0B, 0x02, 0x00};
    empty.resize(3 + 14 + 8 + 18, 0x00);  // name, count, default, LNB, models
    for (int adjust = 0; adjust < 2; ++adjust) empty.insert(empty.end(), {'-', 0x00, 0x00});
    empty.resize(empty.size() + 4 + 6, 0x00);  // times, GPS
    return empty;
}();

QString samplePath(const char* file) {
    return QStringLiteral(SKYRELAY_DATA_DIR "/") + QString::fromUtf8(file);
}

}  // namespace

// Load Default Data, the Administrator selectors and Update Default Data through the real
// main window, against the simulated ACU on a pseudo-terminal.
class TestDefaultData : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    QString m_ChosenFile;
    std::vector<Bytes> m_Commands;  // payloads the unit received, written on the server thread

    QPushButton* button(const char* name) { return mainButton(name); }
    QComboBox* selector(const char* name) {
        return m_Window->page(4)->findChild<QComboBox*>(QString::fromUtf8(name));
    }
    QStringList entries(QComboBox* box) {
        QStringList found;
        for (int i = 0; i < box->count(); ++i) found << box->itemText(i);
        return found;
    }
    void shoot(QWidget* widget, const char* name) {
        widget->grab().save(QStringLiteral("/tmp/i10_%1.png").arg(QString::fromUtf8(name)));
    }
    void connectAndEnterSetupMode() {
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 5000);
        enterSetupMode();
    }
    void load(const char* file) {
        m_ChosenFile = samplePath(file);
        button("load_data_button")->click();
    }

private slots:
    void init() {
        ResetProcessState();
        m_Messages.clear();
        m_Commands.clear();
        m_Acu = std::make_unique<AcuSimulator>();
        m_Acu->setFrameObserver(
            [this](AcuSimulator::Direction direction, std::span<const std::uint8_t> frame) {
                if (direction != AcuSimulator::Direction::FromProgram || frame.size() < 4) return;
                m_Commands.emplace_back(frame.begin() + 2, frame.end() - 2);
            });
        startSim();
        if (QTest::currentTestFailed()) return;
        makeWindow({simPort()});
        m_Window->setOpenFileHook([this] { return m_ChosenFile; });
        m_Window->show();
    }
    void cleanup() { close(); }

    void loadingFillsTheSelectorsByScope() {
        // Identification brings the unit's own region in; the file comes after it.
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        load("all_continents.sif");
        QVERIFY(m_Messages.isEmpty());
        QCOMPARE(g_DefaultDataLoaded, std::uint8_t{1});
        QCOMPARE(entries(selector("continent")),
                 (QStringList{"Europe   ", "Asia     ", "Oceania  ", "N.America", "S.America",
                              "Africa   "}));
        QVERIFY(selector("continent")->isEnabled());
        QCOMPARE(entries(selector("region")),
                 (QStringList{"NORTH-SEA   ", "MEDITERRANEA", "BALTIC      "}));
        QCOMPARE(selector("region")->currentIndex(), 0);
        m_Window->pageList()->setCurrentRow(4);
        shoot(m_Window.get(), "1_loaded_all_continents");

        // Another continent lists its own regions and makes its region 0 current.
        selector("continent")->setFocus();
        QTest::keyClick(selector("continent"), Qt::Key_Down);
        QCOMPARE(entries(selector("region")), (QStringList{"EAST-CHINA  ", "JAPAN-SEA   "}));
        QCOMPARE(g_CurContinent, std::uint8_t{1});
        QCOMPARE(g_CurRegion, std::uint8_t{0});
        QTest::keyClick(selector("region"), Qt::Key_Down);
        QCOMPARE(g_CurRegion, std::uint8_t{1});
        QCOMPARE(g_DefaultSatIndex, std::uint8_t{2});
        QCOMPARE(m_Window->adminContinentSelection(), 1);
        QCOMPARE(m_Window->adminRegionSelection(), 1);
        shoot(m_Window.get(), "2_asia_japan_sea");

        // One continent: only its name, fixed. One region: only that region, fixed.
        load("north_america.sif");
        QCOMPARE(entries(selector("continent")), QStringList{"N.America"});
        QVERIFY(!selector("continent")->isEnabled());
        QCOMPARE(selector("region")->count(), 4);
        QVERIFY(selector("region")->isEnabled());
        load("oceania_region7.sif");
        QCOMPARE(entries(selector("continent")), QStringList{"Oceania  "});
        QCOMPARE(entries(selector("region")), QStringList{"TASMAN-SEA  "});
        QVERIFY(!selector("region")->isEnabled());
        QCOMPARE(g_CurContinent, std::uint8_t{2});
        QCOMPARE(g_CurRegion, std::uint8_t{7});

        // A cancelled dialog and a broken file change nothing.
        m_ChosenFile.clear();
        button("load_data_button")->click();
        m_ChosenFile = samplePath("no_such_file.sif");
        button("load_data_button")->click();
        // A named pipe is refused like a missing file, without waiting for a writer.
        QTemporaryDir dir;
        m_ChosenFile = dir.filePath(QStringLiteral("pipe.sif"));
        QCOMPARE(::mkfifo(QFile::encodeName(m_ChosenFile).constData(), 0600), 0);
        button("load_data_button")->click();
        QCOMPARE(m_Messages,
                 (QStringList{" no_such_file.sif cannot be opened !!! \n Nothing was loaded. ",
                              " pipe.sif cannot be opened !!! \n Nothing was loaded. "}));
        QCOMPARE(entries(selector("region")), QStringList{"TASMAN-SEA  "});

        // The page's hidden "Load Factory Data" asks for a file once, like the main button.
        int asked = 0;
        m_Window->setOpenFileHook([&asked] {
            ++asked;
            return QString();
        });
        m_Window->page(4)->findChild<QPushButton*>(QStringLiteral("load_factory_data"))->click();
        QCOMPARE(asked, 1);
    }

    void updateSendsEveryRecordOfTheFileAndTheAcuKeepsIt() {
        // Setup mode first: it stops the status poll, whose replies would write the antenna's
        // position into the current region's GPS fields.
        connectAndEnterSetupMode();
        load("all_continents.sif");
        m_Window->pageList()->setCurrentRow(4);
        QTest::keyClick(selector("region"), Qt::Key_Down);  // Europe, MEDITERRANEA
        // Slow enough to watch the popup at work.
        m_Server->withSimulator(
            [](AcuSimulator& acu) { acu.faults().replyDelay = std::chrono::milliseconds{40}; });

        button("update_data_button")->click();
        QWidget* popup = m_Window->updateProgress();
        QVERIFY(popup->isVisible());
        QVERIFY(!m_Window->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(
            popup->findChild<QLabel*>(QStringLiteral("progress_percent"))->text().toInt() >= 50,
            5000);
        shoot(popup, "3_update_progress");
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 10000);
        QVERIFY(m_Window->isEnabled());
        // 9 region records and 10 satellites of 16 announced: three empty continents cost one
        // step each, so the figure ends at 19 * 100 / 16.
        QCOMPARE(popup->findChild<QLabel*>(QStringLiteral("progress_percent"))->text(),
                 QStringLiteral("118"));
        QVERIFY(m_Messages.isEmpty());

        m_Server->withSimulator([](AcuSimulator& acu) {
            const ReceivedDefaults& got = acu.state().upload;
            QVERIFY(got.header.has_value());
            QCOMPARE(got.header->sifHeaderNumber, std::uint16_t{1203});
            QVERIFY((got.header->regionCounts == std::array<std::uint8_t, 6>{3, 2, 0, 0, 0, 1}));
            QCOMPARE(got.header->continentSelection, std::uint8_t{0});
            QCOMPARE(got.header->regionSelection, std::uint8_t{1});
            const std::vector<RegionArrival> regions = expectedRegions();
            QCOMPARE(got.regions.size(), regions.size());
            for (std::size_t i = 0; i < regions.size(); ++i)
                QVERIFY2(got.regions[i] == regions[i], std::to_string(i).c_str());
            const std::vector<SatelliteRecord> sats = expectedSatellites();
            QCOMPARE(got.satellites.size(), sats.size());
            for (std::size_t k = 0; k < sats.size(); ++k)
                QVERIFY2(got.satellites[k] == sats[k], std::to_string(k).c_str());
            QVERIFY(got.complete);
        });
        std::vector<Bytes> commands;
        m_Server->withSimulator([&](AcuSimulator&) { commands = m_Commands; });
        std::vector<Bytes> records;
        for (const Bytes& payload : commands) {
            if (payload[0] >= 10 && payload[0] <= 13) records.push_back(payload);
        }
        QCOMPARE(records.size(), std::size_t{1 + 9 + 10 + 1});
        QCOMPARE(records[0], (Bytes{0x0A, 0x04, 0xB3, 3, 2, 0, 0, 0, 1, 0x00, 0x01}));
        QCOMPARE(records[1], kNorthSeaPayload);
        QCOMPARE(records[6], kEmptyOceaniaPayload);
        QCOMPARE(records[20], Bytes{0x0D});

        // The unit now works in the region that was selected, and says so when asked.
        shoot(m_Window.get(), "4_after_update");
        button("get_info_button")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_Window->timers().running(4) && g_BusyCursor == 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m_Window->timers().running(14), 5000);
        QCOMPARE(g_CurContinent, std::uint8_t{0});
        QCOMPARE(g_CurRegion, std::uint8_t{1});
        QCOMPARE(g_DefaultDataLoaded, std::uint8_t{0});
        // The status poll that follows writes the antenna's own position into the current
        // region whenever its reply comes: everything else must be the uploaded record.
        RegionRecord uploaded = expectedRegions()[1].record;
        const RegionRecord& current = regionRecord(0, 1);
        uploaded.gpsLongitude = current.gpsLongitude;
        uploaded.gpsEastWest = current.gpsEastWest;
        uploaded.gpsLatitude = current.gpsLatitude;
        uploaded.gpsNorthSouth = current.gpsNorthSouth;
        QVERIFY(current == uploaded);
        QVERIFY(g_RegionSatellites[0] == expectedSatellites()[1]);
        QVERIFY(g_RegionSatellites[2] == expectedSatellites()[3]);
        shoot(m_Window.get(), "5_after_get_antenna_information");
    }

    void aStalledUploadClosesThePopupAndSaysWhere() {
        connectAndEnterSetupMode();
        load("oceania_region7.sif");
        m_Server->withSimulator([](AcuSimulator& acu) { acu.faults().ignoreNext(12); });
        button("update_data_button")->click();
        QWidget* popup = m_Window->updateProgress();
        QVERIFY(popup->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 6000);
        QVERIFY(m_Window->isEnabled());
        QCOMPARE(g_BusyCursor, std::uint8_t{0});
        QCOMPARE(m_Messages, QStringList{" Update Default Data stopped !!! \n The ACU did not "
                                         "answer satellite 1 of 3 (command 12). "});
        shoot(m_Window.get(), "6_after_stall");
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CLumidorApp app(argc, argv);
    TestDefaultData test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_default_data.moc"
