#include "exporter/web_config.h"

#include <array>

#include "exporter/yaml_fields.h"

namespace {

constexpr std::string_view kTls = "tls_server_config";
constexpr std::string_view kUsers = "basic_auth_users";
constexpr std::string_view kNoClientCert = "NoClientCert";
constexpr std::string_view kRequireAndVerify = "RequireAndVerifyClientCert";

// Parts of the exporters' format that this one leaves out: named, so that a file written for
// another exporter is refused with a reason rather than as a typing mistake.
constexpr std::array kTlsNotImplemented{
    "min_version",       "max_version",         "cipher_suites", "prefer_server_cipher_suites",
    "curve_preferences", "client_allowed_sans", "cert",          "key"};
constexpr std::array kClientAuthNotImplemented{"RequestClientCert", "RequireAnyClientCert",
                                               "VerifyClientCertIfGiven"};

template <std::size_t N>
bool among(const std::array<const char*, N>& names, const std::string& name) {
    for (const char* known : names) {
        if (name == known) return true;
    }
    return false;
}

WebConfigFile fileAt(const YAML::Node& value, const std::string& field) {
    return {yamlText(value, field), field, yamlLine(value)};
}

WebTlsConfig readTls(const YAML::Node& node) {
    const std::string path(kTls);
    if (!node.IsMap()) refuseAt(node, path, "must be a mapping with cert_file and key_file");
    WebTlsConfig tls;
    std::string clientAuth(kNoClientCert);
    // Where client_auth_type was given. Emplaced, never assigned: assigning one YAML::Node to
    // another rewrites the node it refers to, inside the document being walked.
    std::optional<YAML::Node> clientAuthNode;
    for (const auto& item : node) {
        const std::string key = yamlKey(item.first, path);
        const std::string field = path + "." + key;
        if (key == "cert_file") {
            tls.certFile = fileAt(item.second, field);
        } else if (key == "key_file") {
            tls.keyFile = fileAt(item.second, field);
        } else if (key == "client_ca_file") {
            tls.clientCaFile = fileAt(item.second, field);
        } else if (key == "client_auth_type") {
            clientAuth = yamlText(item.second, field);
            clientAuthNode.emplace(item.second);
            if (among(kClientAuthNotImplemented, clientAuth)) {
                refuseAt(item.second, field,
                         "'" + clientAuth + "' is not supported by this exporter: NoClientCert " +
                             "or RequireAndVerifyClientCert");
            }
            if (clientAuth != kNoClientCert && clientAuth != kRequireAndVerify) {
                refuseAt(item.second, field,
                         "'" + clientAuth +
                             "' is not a client_auth_type: NoClientCert or "
                             "RequireAndVerifyClientCert");
            }
        } else if (among(kTlsNotImplemented, key)) {
            refuseAt(item.first, field, "not supported by this exporter");
        } else {
            refuseAt(item.first, field, "unknown key");
        }
    }
    if (tls.certFile.path.empty()) refuseAt(node, path + ".cert_file", "missing");
    if (tls.keyFile.path.empty()) refuseAt(node, path + ".key_file", "missing");
    if (clientAuth == kRequireAndVerify && !tls.clientCaFile) {
        refuseAt(*clientAuthNode, path + ".client_ca_file",
                 "missing: RequireAndVerifyClientCert checks scrapers' certificates against it");
    }
    if (clientAuth == kNoClientCert && tls.clientCaFile) {
        refuseAt(node, path + ".client_auth_type",
                 "client_ca_file is given: set RequireAndVerifyClientCert to ask scrapers for "
                 "their certificates");
    }
    return tls;
}

std::map<std::string, std::string> readUsers(const YAML::Node& node) {
    const std::string path(kUsers);
    if (node.IsNull()) return {};
    if (!node.IsMap()) refuseAt(node, path, "must be a mapping of user: bcrypt hash");
    std::map<std::string, std::string> users;
    for (const auto& item : node) {
        const std::string user = yamlKey(item.first, path);
        const std::string field = path + "." + user;
        if (user.empty() || user.find(':') != std::string::npos) {
            refuseAt(item.first, field, "a user name must not be empty nor hold ':'");
        }
        const std::string hash = yamlText(item.second, field);
        if (!isBcryptHash(hash)) {
            refuseAt(item.second, field,
                     "not a bcrypt hash ($2a$, $2b$ or $2y$): write the hash, never the "
                     "password (htpasswd -nBC 10 " +
                         user + ")");
        }
        if (!users.emplace(user, hash).second) refuseAt(item.first, field, "given twice");
    }
    return users;
}

WebConfig readConfig(const YAML::Node& root) {
    WebConfig config;
    if (!root.IsDefined() || root.IsNull()) return config;
    if (!root.IsMap()) {
        refuseAt(root, "", "the file must be a mapping with tls_server_config, basic_auth_users");
    }
    for (const auto& item : root) {
        const std::string key = yamlKey(item.first, "");
        if (key == kTls) {
            config.tls = readTls(item.second);
        } else if (key == kUsers) {
            config.users = readUsers(item.second);
        } else if (key == "http_server_config") {
            refuseAt(item.first, key, "not supported by this exporter");
        } else {
            refuseAt(item.first, key, "unknown key");
        }
    }
    return config;
}

}  // namespace

WebConfigReading readWebConfig(std::string_view text) {
    WebConfigReading reading;
    reading.config = readYamlDocument(text, readConfig, reading.error);
    return reading;
}

bool isBcryptHash(std::string_view hash) {
    constexpr std::size_t kLength = 60;  // "$2b$10$" and 22 characters of salt, 31 of hash
    if (hash.size() != kLength || !hash.starts_with("$2") || hash[3] != '$' || hash[6] != '$') {
        return false;
    }
    if (hash[2] != 'a' && hash[2] != 'b' && hash[2] != 'y') return false;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!digit(hash[4]) || !digit(hash[5])) return false;
    const int cost = (hash[4] - '0') * 10 + (hash[5] - '0');
    if (cost < 4 || cost > 31) return false;
    for (char c : hash.substr(7)) {
        const bool alphabet =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || digit(c) || c == '.' || c == '/';
        if (!alphabet) return false;
    }
    return true;
}
