#pragma once

#include <map>
#include <optional>
#include <string>

#include "exporter/config_error.h"
#include "exporter/web_config.h"

// The PEM texts the HTTPS server is started with, read and checked at start-up.
struct TlsMaterial {
    std::string certificate;  // the exporter's certificate, then any intermediates
    std::string key;
    std::string clientCa;  // not empty: a scraper must show a certificate signed by these
};

// What --web.config.file asks of the door: TLS, users, both or neither.
struct WebSecurity {
    std::optional<TlsMaterial> tls;
    std::map<std::string, std::string> users;  // user -> bcrypt hash
};

// Reads the files a web configuration names (a relative path from folder) and checks them as
// the TLS library will use them: each holds what it should in PEM form, the certificate has
// not expired and the key belongs to it. A problem names the field that gave the file.
std::optional<TlsMaterial> loadTlsMaterial(const WebTlsConfig& tls, const std::string& folder,
                                           ConfigError& error);

// The web configuration file and the files it names; nothing, with the error written as
// the exporter says it ("FILE:LINE: FIELD: message"), when anything is wrong.
std::optional<WebSecurity> loadWebSecurity(const std::string& fileName, std::string& error);
