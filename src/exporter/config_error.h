#pragma once

#include <string>

// What is wrong with a configuration file, where: the line (from 1) and the field, written as
// "acus[2].name" or "tls_server_config.cert_file" (list entries counted from 1, as a person
// counts them).
struct ConfigError {
    int line = 0;
    std::string field;
    std::string message;
};

// "FILE:LINE: FIELD: message", as the exporter says it before it exits.
std::string configErrorText(const std::string& fileName, const ConfigError& error);
