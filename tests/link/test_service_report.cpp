// The service report against a session on the in-memory simulator: what the session changed,
// whether the unit acknowledged it, the self test and the faults, in the pages' texts.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "link/controller.h"
#include "link/service_report.h"
#include "memory_link.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"

namespace {

using Row = std::vector<std::string>;

class ServiceReportOnSim : public ::testing::Test {
protected:
    void SetUp() override {
        view.state = &controller.state();
        link.setOnData([this] { controller.OnCommRead(); });
    }

    // Ten-millisecond steps for the program's timers and the unit alike.
    void run(int milliseconds) {
        for (int t = 0; t < milliseconds; t += 10) {
            timers.advance(std::chrono::milliseconds{10},
                           [this](int id) { controller.OnTimer(id); });
            link.advance(std::chrono::milliseconds{10});
        }
    }
    void loadSif(const std::string& file) {
        std::ifstream in(std::string(SKYRELAY_DATA_DIR) + "/" + file, std::ios::binary);
        const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        ASSERT_EQ(controller.loadDefaultData(bytes, file), std::nullopt);
    }
    static const ReportTable& table(const ServiceReport& report, const std::string& key) {
        for (const ReportTable& t : report.tables) {
            if (t.key == key) return t;
        }
        throw std::runtime_error("no table " + key);
    }
    static std::string field(const ServiceReport& report, const std::string& section,
                             const std::string& key) {
        for (const ReportSection& s : report.sections) {
            for (const ReportField& f : s.fields) {
                if (s.key == section && f.key == key) return f.value;
            }
        }
        return "(missing)";
    }
    // Rows without their first (time) column.
    static std::vector<Row> untimed(const ReportTable& t) {
        std::vector<Row> rows;
        for (const Row& row : t.rows) rows.emplace_back(row.begin() + 1, row.end());
        return rows;
    }

    AcuSimulator acu;
    CommQueue queue;
    MemoryLink link{acu, queue};
    RecorderView view;
    ManualTimers timers;
    AcuController controller{link, queue, view, timers};
};

TEST_F(ServiceReportOnSim, HoldsTheSessionsChangesSelfTestAndFaultsInThePagesTexts) {
    controller.StartConnection();
    run(3000);
    controller.OnSetupMode();
    run(500);
    ASSERT_EQ(controller.state().SetupMode, 1);

    controller.OnSetParameters(
        readAntennaParameters({u"1.75", u"310", u"260", u"0.25", u"-1.5", u"40", u"12"}));
    run(500);
    loadSif("oceania_region7.sif");
    controller.updateDefaultData(0, 0);
    run(5000);
    acu.settings().diagnosis.failingItem = 3;
    controller.OnDiagnosisStartStop();
    run(15000);
    // The unit never answers the local frequency: the command is re-sent each second.
    acu.faults().ignoreNext(cmd::SetLocalFrequency, SimFaults::kEvery);
    controller.sendLocalFrequency(u"10750");
    run(3500);

    const ServiceReport report =
        buildServiceReport(controller.state(), controller.sessionLog(), "MV Nordic Star");
    // As the unit reported itself (its factory state) and as the pages show it.
    EXPECT_EQ(field(report, "antenna", "antenna_model"), "OCEANSAT SR-60");
    EXPECT_EQ(field(report, "antenna", "serial_number"), "SR60-2419087");
    EXPECT_EQ(field(report, "antenna", "acu_sw_version"), "2.07");
    EXPECT_EQ(field(report, "region", "region"), "NW-EUROPE");
    EXPECT_EQ(field(report, "parameters", "tracking_scale"), "1.75");
    EXPECT_EQ(field(report, "parameters", "skew_adjust"), "-1.50");

    const std::vector<Row> changes = {
        {"Set Parameters",
         "Tracking Scale 1.75, Detect Level Threshold 310, Tracking Level Threshold 260, "
         "EL Adjust 0.25, Skew Adjust -1.50, Signal lost time 40, Antenna Break Time 12",
         "Yes"},
        {"Update Default Data", "file oceania_region7.sif, OCEANIA TASMAN-SEA, selectors 0 / 0",
         "Yes"},
        // The LNB radios were not touched: the universal LNB of the ACU's region.
        {"Set Local Frequency", "LNB Type : Universal Local Freq.: 9750 / 10600 MHz", "No"},
    };
    EXPECT_EQ(untimed(table(report, "changes")), changes);

    const ReportTable& selfTest = table(report, "self_test");
    ASSERT_EQ(selfTest.rows.size(), 10u);
    EXPECT_EQ(selfTest.rows[0], (Row{"Serial Communication", "PASS"}));
    EXPECT_EQ(selfTest.rows[2], (Row{"LNB Status Check", "FAIL"}));

    // The first send and three re-sends went unanswered; the fourth re-send is still waiting.
    const ReportTable& faults = table(report, "faults");
    ASSERT_EQ(faults.rows.size(), 1u);
    EXPECT_EQ(faults.rows[0][2], "No answer to Set local frequency (command 19)");
    EXPECT_EQ(faults.rows[0][3], "3");
}

TEST_F(ServiceReportOnSim, RenderersEscapeTheNoteAndNameTheColumns) {
    controller.sessionLog().hungUp("/dev/ttyUSB0");
    const ServiceReport report =
        buildServiceReport(controller.state(), controller.sessionLog(), "Site <A&B>");
    const std::string html = renderReportHtml(report);
    EXPECT_NE(html.find("Site &lt;A&amp;B&gt;"), std::string::npos);
    EXPECT_NE(html.find("No changes in this session"), std::string::npos);

    const auto json = nlohmann::json::parse(renderReportJson(report));
    EXPECT_EQ(json["note"], "Site <A&B>");
    EXPECT_EQ(json["faults"][0]["fault"], "Line hung up on /dev/ttyUSB0");
    EXPECT_EQ(json["faults"][0]["count"], "1");
    EXPECT_EQ(json["changes"], nlohmann::json::array());
}

}  // namespace
