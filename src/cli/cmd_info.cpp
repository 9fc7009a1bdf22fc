// info: the identification chain and what the antenna information page shows of it.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "data/antenna_info.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "link/controller.h"

namespace {

nlohmann::json satellitesJson(const SatelliteData& data) {
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t k = 0; k < currentRegion(data).listedSatellites(); ++k) {
        const SatelliteRecord& sat = data.RegionSatellites[k];
        list.push_back(
            {{"position", k + 1},
             {"name", trimmed(latin1ToUtf8(satelliteNameText(sat)))},
             {"longitude", sat.longitude},
             {"eastWest", latin1ToUtf8(std::string(1, sat.eastWest == 0 ? ' ' : sat.eastWest))},
             {"target", k == data.DefaultSatIndex}});
    }
    return list;
}

void printJsonInfo(const std::string& port, const LinkState& state) {
    const ProductInformation& p = state.product;
    const AntennaParameters& a = state.parameters;
    const ProductInformationTexts product = productInformationTexts(p);
    const RegionRecord& region = currentRegion(state.data);
    printJson({
        {"port", port},
        {"product",
         {{"antennaType", p.AntennaType},
          {"antennaTypeText", trimmed(product.antennaType)},
          {"antennaModel", p.AntennaModel},
          {"modelName", trimmed(latin1ToUtf8(product.antennaModel))},
          {"serialNumber", trimmed(latin1ToUtf8(product.serialNumber))},
          {"skewless", p.SkewlessFlag == 1},
          {"antSwVersion", p.AntSwVersion},
          {"acuSwVersion", p.AcuSwVersion},
          {"libraryVersion", p.LibraryVersion},
          {"antennaPowerV", p.AntennaPowerV},
          {"acuPowerV", p.AcuPowerV}}},
        {"receiver",
         {{"volts", p.ReceiverV},
          {"output18V", p.Receiver18V != 0},
          {"tone22kHz", p.Receiver22k != 0},
          {"text", product.receiver}}},
        {"region",
         {{"continent", state.data.CurContinent},
          {"continentName", continentName(state.data.CurContinent)},
          {"region", state.data.CurRegion},
          {"name", trimmed(latin1ToUtf8(regionNameText(region)))},
          {"lnbType", region.lnbType},
          {"singleLocalFreqMHz", region.singleLocalFreq},
          {"universalLowLocalFreqMHz", region.universalLowLocalFreq},
          {"universalHighLocalFreqMHz", region.universalHighLocalFreq},
          {"lnbText", trimmed(lnbInformationText(region))},
          {"diseqcMode", region.diseqcMode},
          {"satellites", satellitesJson(state.data)}}},
        {"parameters",
         {{"trackingScale", a.ParTrackingScale},
          {"detectLevel", a.ParDetectLevel},
          {"trackingLevel", a.ParTrackingLevel},
          {"elAdjust", a.ParElAdjust},
          {"skewAdjust", a.ParSkewAdjust},
          {"signalLostTime", a.ParSignalLostTime},
          {"breakTime", a.ParBreakTime}}},
    });
}

void printTextInfo(const std::string& port, const LinkState& state) {
    const ProductInformationTexts product = productInformationTexts(state.product);
    const RegionRecord& region = currentRegion(state.data);
    const AntennaParameterTexts params = antennaParameterTexts(state.parameters);
    const auto row = [](const char* label, const std::string& value) {
        std::cout << label << std::string(20 - std::string(label).size(), ' ') << value << "\n";
    };
    row("Port", port);
    row("Antenna Type", trimmed(product.antennaType));
    row("Antenna Model", trimmed(latin1ToUtf8(product.antennaModel)));
    row("Serial Number", trimmed(latin1ToUtf8(product.serialNumber)));
    row("ANT S/W Version", product.antSwVersion);
    row("ACU S/W Version", product.acuSwVersion);
    row("Library Version", product.libraryVersion);
    row("Antenna Power", product.antennaPower);
    row("ACU Power", product.acuPower);
    row("RECEIVER", product.receiver);
    row("Continent", continentName(state.data.CurContinent));
    row("Region", trimmed(latin1ToUtf8(regionNameText(region))));
    row("LNB", trimmed(lnbInformationText(region)));
    std::cout << "Satellites\n";
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        const SatelliteRecord& sat = state.data.RegionSatellites[k];
        std::cout << "  " << (k + 1 < 10 ? " " : "") << k + 1 << "  "
                  << latin1ToUtf8(satelliteNameText(sat)) << latin1ToUtf8(orbitalPositionText(sat))
                  << (k == state.data.DefaultSatIndex ? "  (target)" : "") << "\n";
    }
    std::cout << "Tracking parameters\n";
    row("  Tracking Scale", params.trackingScale);
    row("  Detect Level", params.detectLevel);
    row("  Tracking Level", params.trackingLevel);
    row("  EL Adjust", params.elAdjust);
    row("  Skew Adjust", params.skewAdjust);
    row("  Signal Lost Time", params.signalLostTime);
    row("  Break Time", params.breakTime);
}

int info(const CommonOptions& options) {
    Session session("info", options);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    const LinkState& state = session.controller().state();
    if (options.json) {
        printJsonInfo(session.portName(), state);
    } else {
        printTextInfo(session.portName(), state);
    }
    return exitcode::Done;
}

}  // namespace

void addInfoCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<CommonOptions>();
    CLI::App* command =
        app.add_subcommand("info",
                           "Identify the ACU (commands 1, 2, 3, 4): product, versions, voltages, "
                           "receiver, region with its satellites and LNB, tracking parameters");
    addCommonOptions(*command, *options);
    command->callback([&action, options] { action = [options] { return info(*options); }; });
}
