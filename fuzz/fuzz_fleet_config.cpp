// The exporter's fleet configuration reader on any bytes: it reads or refuses, never throws
// or crashes, and a configuration it reads holds only what the exporter can watch.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "exporter/fleet_config.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FleetConfigReading reading = readFleetConfig(text);
    if (!reading.config) {
        require(!reading.error.message.empty() || !reading.error.field.empty());
        require(!configErrorText("fleet.yml", reading.error).empty());
        return 0;
    }
    require(!reading.config->acus.empty());
    std::set<std::string> names;
    for (const FleetAcu& acu : reading.config->acus) {
        require(!acu.name.empty() && !acu.port.empty() && acu.line >= 1);
        require(acu.name.find_first_of(" \t\n:\"{}") == std::string::npos);
        require(names.insert(acu.name).second);
    }
    return 0;
}
