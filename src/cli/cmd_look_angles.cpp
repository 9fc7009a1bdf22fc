// look-angles: the GPS page's calculation, without a port.

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "geo/look_angles.h"

namespace {

struct LookAngleOptions {
    std::string site;
    std::string satellite;
    bool json = false;
};

// "127.5E", "127.5 W", "-3.7" (a sign: west or south): unsigned degrees and the letter the
// page's selector would show. Nothing for anything else.
std::optional<std::pair<double, char>> readCoordinate(std::string text, char positive,
                                                      char negative) {
    text = trimmed(text);
    char hemisphere = positive;
    if (!text.empty()) {
        const char last = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
        if (last == positive || last == negative) {
            hemisphere = last;
            text = trimmed(text.substr(0, text.size() - 1));
        }
    }
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    if (value < 0) {
        if (hemisphere != positive) return std::nullopt;  // "-3W" says west twice
        return std::pair{-value, negative};
    }
    return std::pair{value, hemisphere};
}

// East and north positive, as every JSON document gives a position.
double signedOf(const std::pair<double, char>& coordinate) {
    return coordinate.second == 'W' || coordinate.second == 'S' ? -coordinate.first
                                                                : coordinate.first;
}

int lookAngles(const LookAngleOptions& options, ExitReport& out) {
    const std::size_t comma = options.site.find(',');
    const auto longitude = readCoordinate(options.site.substr(0, comma), 'E', 'W');
    // Without a comma the latitude reads "", which is refused like any text that is no number.
    const auto latitude = readCoordinate(
        comma == std::string::npos ? std::string() : options.site.substr(comma + 1), 'N', 'S');
    const auto satellite = readCoordinate(options.satellite, 'E', 'W');
    if (!longitude || !latitude) {
        return out.fail(exitcode::Usage,
                        "--site wants LON,LAT such as 127.5E,37.5N or "
                        "-3.7,40.4, not '" +
                            options.site + "'");
    }
    if (!satellite) {
        return out.fail(exitcode::Usage,
                        "--satellite wants a longitude such as 19.2E or -30, "
                        "not '" +
                            options.satellite + "'");
    }
    LookAngleInputs inputs{longitude->first, longitude->second, latitude->first,
                           latitude->second, satellite->first,  satellite->second};
    const LookAngleTexts texts = calculateLookAngles(inputs);
    if (options.json) {
        // Numbers as the page shows them; a site with no direction to turn to has none.
        const auto number = [](const std::string& text) -> nlohmann::json {
            if (text == "---") return nullptr;
            return std::strtod(text.c_str(), nullptr);
        };
        out.setResult(
            {{"site", {{"longitude", signedOf(*longitude)}, {"latitude", signedOf(*latitude)}}},
             {"satellite", {{"longitude", signedOf(*satellite)}}},
             {"azimuth", number(texts.azimuth)},
             {"elevation", number(texts.elevation)},
             {"skew", number(texts.skew)}});
    } else {
        std::cout << "AZ " << texts.azimuth << "  EL " << texts.elevation << "  Skew " << texts.skew
                  << "\n";
    }
    return exitcode::Done;
}

}  // namespace

void addLookAnglesCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<LookAngleOptions>();
    CLI::App* command =
        app.add_subcommand("look-angles",
                           "Azimuth, elevation and skew towards a satellite, as the GPS page "
                           "calculates them (no port)");
    command->add_option("--site", options->site, "LON,LAT, e.g. 127.5E,37.5N or -3.7,40.4")
        ->required();
    command
        ->add_option("--satellite", options->satellite,
                     "The satellite's longitude, e.g. "
                     "19.2E or -30")
        ->required();
    command->add_flag("--json", options->json, "One JSON document on stdout");
    command->callback([&action, options] {
        action = [options](ExitReport& out) { return lookAngles(*options, out); };
    });
}
