#include "exporter/config_error.h"

std::string configErrorText(const std::string& fileName, const ConfigError& error) {
    std::string out = fileName + ":" + std::to_string(error.line) + ": ";
    if (!error.field.empty()) out += error.field + ": ";
    return out + error.message;
}
