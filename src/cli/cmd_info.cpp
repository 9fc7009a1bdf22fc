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

namespace {

nlohmann::json satellitesJson(const RegionRecord& region) {
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        const SatelliteRecord& sat = g_RegionSatellites[k];
        list.push_back(
            {{"position", k + 1},
             {"name", trimmed(latin1ToUtf8(satelliteNameText(sat)))},
             {"longitude", sat.longitude},
             {"eastWest", latin1ToUtf8(std::string(1, sat.eastWest == 0 ? ' ' : sat.eastWest))},
             {"target", k == g_DefaultSatIndex}});
    }
    return list;
}

void printJsonInfo(const std::string& port) {
    const ProductInformationTexts product = productInformationTexts();
    const RegionRecord& region = regionRecord(g_CurContinent, g_CurRegion);
    printJson({
        {"port", port},
        {"product",
         {{"antennaType", g_AntennaType},
          {"antennaTypeText", trimmed(product.antennaType)},
          {"antennaModel", g_AntennaModel},
          {"modelName", trimmed(latin1ToUtf8(product.antennaModel))},
          {"serialNumber", trimmed(latin1ToUtf8(product.serialNumber))},
          {"skewless", g_SkewlessFlag == 1},
          {"antSwVersion", g_AntSwVersion},
          {"acuSwVersion", g_AcuSwVersion},
          {"libraryVersion", g_LibraryVersion},
          {"antennaPowerV", g_AntennaPowerV},
          {"acuPowerV", g_AcuPowerV}}},
        {"receiver",
         {{"volts", g_ReceiverV},
          {"output18V", g_Receiver18V != 0},
          {"tone22kHz", g_Receiver22k != 0},
          {"text", product.receiver}}},
        {"region",
         {{"continent", g_CurContinent},
          {"continentName", continentName(g_CurContinent)},
          {"region", g_CurRegion},
          {"name", trimmed(latin1ToUtf8(regionNameText(region)))},
          {"lnbType", region.lnbType},
          {"singleLocalFreqMHz", region.singleLocalFreq},
          {"universalLowLocalFreqMHz", region.universalLowLocalFreq},
          {"universalHighLocalFreqMHz", region.universalHighLocalFreq},
          {"lnbText", trimmed(lnbInformationText(region))},
          {"diseqcMode", region.diseqcMode},
          {"satellites", satellitesJson(region)}}},
        {"parameters",
         {{"trackingScale", g_ParTrackingScale},
          {"detectLevel", g_ParDetectLevel},
          {"trackingLevel", g_ParTrackingLevel},
          {"elAdjust", g_ParElAdjust},
          {"skewAdjust", g_ParSkewAdjust},
          {"signalLostTime", g_ParSignalLostTime},
          {"breakTime", g_ParBreakTime}}},
    });
}

void printTextInfo(const std::string& port) {
    const ProductInformationTexts product = productInformationTexts();
    const RegionRecord& region = regionRecord(g_CurContinent, g_CurRegion);
    const AntennaParameterTexts params = antennaParameterTexts();
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
    row("Continent", continentName(g_CurContinent));
    row("Region", trimmed(latin1ToUtf8(regionNameText(region))));
    row("LNB", trimmed(lnbInformationText(region)));
    std::cout << "Satellites\n";
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        const SatelliteRecord& sat = g_RegionSatellites[k];
        std::cout << "  " << (k + 1 < 10 ? " " : "") << k + 1 << "  "
                  << latin1ToUtf8(satelliteNameText(sat)) << latin1ToUtf8(orbitalPositionText(sat))
                  << (k == g_DefaultSatIndex ? "  (target)" : "") << "\n";
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
    if (options.json) {
        printJsonInfo(session.portName());
    } else {
        printTextInfo(session.portName());
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
