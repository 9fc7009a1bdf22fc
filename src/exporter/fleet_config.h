#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exporter/config_error.h"
#include "serial/network_address.h"

// One ACU of the exporter's configuration file.
struct FleetAcu {
    std::string name;  // the label value: letters, digits, _ . -
    std::string port;  // a device or a serial server's address, as skyrelay-cli's --port
    TlsOptions tls;    // tls_ca, tls_cert, tls_key and insecure_tls
    int line = 0;      // where the entry starts in the file
};

struct FleetConfig {
    std::vector<FleetAcu> acus;
};

struct FleetConfigReading {
    std::optional<FleetConfig> config;
    ConfigError error;  // when there is no config
};

// Reads the YAML text of a configuration file:
//   acus:
//     - name: vessel-a
//       port: tcp://192.0.2.10:4001
//       tls_ca: /etc/skyrelay/ca.pem      (optional; insecure_tls: true likewise)
// Every key is checked: an unknown one is a mistake, not something to skip.
FleetConfigReading readFleetConfig(std::string_view text);
