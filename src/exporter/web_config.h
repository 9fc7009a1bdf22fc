#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "exporter/config_error.h"

// A file the web configuration names, with the field and line it was given at, so that a
// file found unusable later is reported where it was named.
struct WebConfigFile {
    std::string path;  // as written: a relative path is taken from the configuration's folder
    std::string field;
    int line = 0;
};

// tls_server_config: the certificate the exporter shows, and whose certificates it asks
// scrapers for.
struct WebTlsConfig {
    WebConfigFile certFile;
    WebConfigFile keyFile;
    std::optional<WebConfigFile> clientCaFile;  // given exactly with RequireAndVerifyClientCert
};

struct WebConfig {
    std::optional<WebTlsConfig> tls;
    std::map<std::string, std::string> users;  // basic_auth_users: user -> bcrypt hash
};

struct WebConfigReading {
    std::optional<WebConfig> config;
    ConfigError error;  // when there is no config
};

// Reads --web.config.file in the format Prometheus' own exporters read:
//   tls_server_config:
//     cert_file: server.pem
//     key_file: server.key
//     client_auth_type: RequireAndVerifyClientCert   (or NoClientCert, the default)
//     client_ca_file: scrapers-ca.pem
//   basic_auth_users:
//     prometheus: $2y$10$...                         (a bcrypt hash)
// An empty document serves plain HTTP to anyone, as those exporters do. Keys of that format
// this exporter does not implement are refused by name, any other key as unknown.
WebConfigReading readWebConfig(std::string_view text);

// Whether hash is a bcrypt hash: $2a$, $2b$ or $2y$, a cost of 04 to 31, then 53 characters
// of bcrypt's base-64 alphabet.
bool isBcryptHash(std::string_view hash);
