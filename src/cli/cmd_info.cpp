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
        list.push_back({{"position", k + 1},
                        {"name", trimmed(latin1ToUtf8(satelliteNameText(sat)))},
                        {"longitude", signedDegrees(sat.longitude, sat.eastWest, 'W')},
                        {"is_target", k == data.DefaultSatIndex}});
    }
    return list;
}

nlohmann::json infoJson(const std::string& port, const LinkState& state) {
    const ProductInformation& p = state.product;
    const AntennaParameters& a = state.parameters;
    const ProductInformationTexts product = productInformationTexts(p);
    const RegionRecord& region = currentRegion(state.data);
    return {
        {"port", port},
        {"product",
         {{"antenna_type", trimmed(product.antennaType)},
          {"antenna_type_code", p.AntennaType},
          {"antenna_model", trimmed(latin1ToUtf8(product.antennaModel))},
          {"antenna_model_code", p.AntennaModel},
          {"serial_number", trimmed(latin1ToUtf8(product.serialNumber))},
          {"skewless", p.SkewlessFlag == 1},
          {"ant_sw_version", trimmed(product.antSwVersion)},
          {"acu_sw_version", trimmed(product.acuSwVersion)},
          {"library_version", trimmed(product.libraryVersion)},
          {"antenna_power_volts", p.AntennaPowerV},
          {"acu_power_volts", p.AcuPowerV}}},
        {"receiver",
         {{"receiver_volts", p.ReceiverV},
          {"output_18v", p.Receiver18V != 0},
          {"tone_22khz", p.Receiver22k != 0},
          {"receiver", product.receiver}}},
        {"region",
         {{"continent", continentName(state.data.CurContinent)},
          {"continent_number", state.data.CurContinent + 1},
          {"region", trimmed(latin1ToUtf8(regionNameText(region)))},
          {"region_number", state.data.CurRegion + 1},
          {"lnb", trimmed(lnbInformationText(region))},
          {"lnb_type", region.lnbType},
          {"single_local_freq_mhz", region.singleLocalFreq},
          {"universal_low_local_freq_mhz", region.universalLowLocalFreq},
          {"universal_high_local_freq_mhz", region.universalHighLocalFreq},
          {"diseqc_mode", region.diseqcMode},
          {"satellites", satellitesJson(state.data)}}},
        {"parameters", parametersJson(a)},
    };
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

int info(const CommonOptions& options, ExitReport& out) {
    Session session("info", options, &out);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    const LinkState& state = session.controller().state();
    if (options.json) {
        out.setResult(infoJson(session.portName(), state));
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
    command->callback([&action, options] {
        action = [options](ExitReport& out) { return info(*options, out); };
    });
}
