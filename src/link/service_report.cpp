#include "link/service_report.h"

#include "data/antenna_info.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "geo/gps_inputs.h"
#include "lcd/lcd_data.h"
#include "link/diagnosis_exchange.h"
#include "link/frame_text.h"
#include "link/link_state.h"
#include "link/session_log.h"
#include "wire/display_text.h"

namespace {

// A value of one line of the report: a tab inside would break its columns.
std::string field(std::string_view text) {
    return tabsAsSpaces(trimmed(text));
}

ReportSection antennaSection(const LinkState& state) {
    const ProductInformationTexts p = productInformationTexts(state.product);
    return {"antenna",
            "Antenna",
            {{"antenna_model", "Antenna Model", field(utf8Text(p.antennaModel))},
             {"antenna_type", "Antenna Type", field(p.antennaType)},
             {"serial_number", "Serial Number", field(utf8Text(p.serialNumber))},
             {"ant_sw_version", "Ant S/W Ver.", p.antSwVersion},
             {"acu_sw_version", "ACU S/W Ver.", p.acuSwVersion},
             {"library_version", "Library Ver.", p.libraryVersion},
             {"antenna_power", "Antenna Power", p.antennaPower},
             {"acu_power", "ACU Power", p.acuPower},
             {"receiver", "RECEIVER", p.receiver}}};
}

ReportSection regionSection(const LinkState& state) {
    const RegionRecord& region = currentRegion(state.data);
    return {"region",
            "Region",
            {{"continent", "Continent", continentName(state.data.CurContinent)},
             {"region", "Region", utf8Text(regionNameText(region))},
             {"lnb", "LNB", field(lnbInformationText(region))},
             {"diseqc", "DiSEqC", satelliteDetailsTexts(SatelliteRecord{}, region).diseqc}}};
}

ReportSection gpsSection(const LinkState& state) {
    const AntennaGpsTexts gps = antennaGpsTexts(state.data);
    const std::uint8_t gpsLink = state.antenna.GpsLinkState;
    const char* link = gpsLink == 1 ? "GPS Link" : gpsLink == 2 ? "GPS Not Link" : "Not reported";
    return {"gps",
            "Antenna GPS",
            {{"longitude", "Longitude", field(gps.longitude + " " + gps.longitudeHemisphere)},
             {"latitude", "Latitude", field(gps.latitude + " " + gps.latitudeHemisphere)},
             {"link", "GPS", link}}};
}

ReportSection parameterSection(const LinkState& state) {
    const AntennaParameterTexts p = antennaParameterTexts(state.parameters);
    return {"parameters",
            "Parameter Setting",
            {{"tracking_scale", "Tracking Scale", p.trackingScale},
             {"detect_level", "Detect Level Threshold", p.detectLevel},
             {"tracking_level", "Tracking Level Threshold", p.trackingLevel},
             {"el_adjust", "EL Adjust", p.elAdjust},
             {"skew_adjust", "Skew Adjust", p.skewAdjust},
             {"signal_lost_time", "Signal lost time", p.signalLostTime},
             {"break_time", "Antenna Break Time", p.breakTime}}};
}

ReportSection stateSection(const LinkState& state) {
    const SatelliteData& data = state.data;
    const AntennaState& antenna = state.antenna;
    std::string mode = antennaModeName(state.AntennaMode);
    std::string target;
    std::string signal;
    std::string receiver;
    if (const auto panel = targetPanelFor(data, receiverState(state))) {
        target = utf8Text(satelliteNameText(data.RegionSatellites[data.DefaultSatIndex])) +
                 panel->targetPosition;
        signal = panel->signal;
        receiver = panel->receiver;
    }
    return {"state",
            "Antenna State",
            {{"connected", "Link", state.Connected == 1 ? "Connected" : "Not connected"},
             {"state_text", "State", mode},
             {"target_satellite", "Target Satellite", target},
             {"signal_level", "Signal", signal},
             {"receiver", "Receiver", receiver},
             {"azimuth", "AZ", positionText(antenna.CurrentAz)},
             {"elevation", "EL", positionText(antenna.CurrentEl)},
             {"skew", "Skew", positionText(antenna.CurrentSkew)}}};
}

ReportTable satelliteTable(const SatelliteData& data) {
    ReportTable table{"satellites",
                      "Satellites of the Region",
                      {"No.", "Name", "Position", "Verification", "Polarization", "Tone"},
                      {},
                      "No satellites",
                      {}};
    const RegionRecord& region = currentRegion(data);
    const std::size_t count =
        std::min<std::size_t>(data.SatelliteCount, data.RegionSatellites.size());
    for (std::size_t k = 0; k < count; ++k) {
        const SatelliteRecord& satellite = data.RegionSatellites[k];
        const SatelliteDetailsTexts details = satelliteDetailsTexts(satellite, region);
        std::string number = std::to_string(k + 1);
        if (k == data.DefaultSatIndex) number += " (target)";
        table.rows.push_back({number, utf8Text(satelliteNameText(satellite)),
                              field(orbitalPositionText(satellite)), details.verification,
                              details.polarization, details.tone});
    }
    return table;
}

std::string itemResult(const LinkState& state, std::uint8_t item) {
    if (diagnosisItemSkipped(state.product, item)) return "Skipped";
    switch (state.antenna.DiagLamps >> (20u - 2u * item) & 3u) {
        case 1:
            return "Test";
        case 2:
            return "PASS";
        case 3:
            return "FAIL";
        default:
            return "Not tested";
    }
}

ReportTable selfTestTable(const LinkState& state, const SessionLog& log) {
    ReportTable table{
        "self_test", "Self Test", {"Item", "Result"}, {}, "No self test in this session", {}};
    if (!log.selfTestTime()) return table;
    table.caption = "Last result " + wallTimeText(*log.selfTestTime());
    for (std::uint8_t item = 1; item <= 10; ++item) {
        table.rows.push_back({diagnosisItemName(item), itemResult(state, item)});
    }
    return table;
}

ReportTable lcdTable(const LinkState& state, const SessionLog& log) {
    ReportTable table{
        "lcd", "ACU LCD Texts", {"Line", "Text"}, {}, "Not read or written in this session", {}};
    if (!log.lcdTransferTime()) return table;
    table.caption = (log.lcdTransferWritten() ? "Written into the ACU " : "Read from the ACU ") +
                    wallTimeText(*log.lcdTransferTime());
    for (std::size_t line = 0; line < kLcdLineCount; ++line) {
        table.rows.push_back(
            {std::to_string(line + 1), utf8Text(editorLineText(state.LcdData, line))});
    }
    return table;
}

ReportTable changeTable(const SessionLog& log) {
    ReportTable table{"changes",
                      "Changes Made",
                      {"Time", "Change", "Details", "Acknowledged"},
                      {},
                      "No changes in this session",
                      {}};
    for (const SessionChange& change : log.changes()) {
        table.rows.push_back({wallTimeText(change.at), change.what, change.details,
                              change.acknowledged ? "Yes" : "No"});
    }
    return table;
}

ReportTable faultTable(const SessionLog& log) {
    ReportTable table{"faults",
                      "Faults Seen",
                      {"First", "Last", "Fault", "Count"},
                      {},
                      "No faults in this session",
                      {}};
    for (const SessionFault& fault : log.faults()) {
        table.rows.push_back({wallTimeText(fault.first), wallTimeText(fault.last), fault.what,
                              std::to_string(fault.count)});
    }
    return table;
}

}  // namespace

ServiceReport buildServiceReport(const LinkState& state, const SessionLog& log,
                                 const std::string& note) {
    ServiceReport report;
    report.title = "Skyrelay Service Report";
    report.generated = wallTimeText(WallClock::now());
    report.note = note;
    report.sections = {antennaSection(state), regionSection(state), gpsSection(state),
                       stateSection(state), parameterSection(state)};
    report.tables = {satelliteTable(state.data), selfTestTable(state, log), lcdTable(state, log),
                     changeTable(log), faultTable(log)};
    return report;
}

std::string serviceReportNote(const std::string& site, const std::string& technician) {
    std::string note;
    if (!site.empty()) note += "Vessel or site: " + site;
    if (!technician.empty()) {
        if (!note.empty()) note += '\n';
        note += "Technician: " + technician;
    }
    return note;
}
