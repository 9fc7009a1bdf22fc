#include "exporter/fleet_config.h"

#include <optional>
#include <set>

#include "exporter/yaml_fields.h"

namespace {

bool validName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '_' && c != '.' && c != '-') return false;
    }
    return true;
}

FleetAcu readAcu(const YAML::Node& entry, const std::string& path) {
    if (!entry.IsMap()) refuseAt(entry, path, "must be a mapping with name and port");
    FleetAcu acu;
    acu.line = yamlLine(entry);
    bool tlsGiven = false;
    for (const auto& item : entry) {
        const std::string key = yamlKey(item.first, path);
        const std::string field = path + "." + key;
        const YAML::Node& value = item.second;
        if (key == "name") {
            acu.name = yamlText(value, field);
            if (!validName(acu.name)) {
                refuseAt(value, field, "'" + acu.name + "' may hold only letters, digits, _ . -");
            }
        } else if (key == "port") {
            acu.port = yamlText(value, field);
            if (isNetworkAddress(acu.port) && !parseNetworkAddress(acu.port)) {
                refuseAt(value, field,
                         "'" + acu.port +
                             "' is not an address Skyrelay reaches (tcp://HOST:PORT, "
                             "rfc2217://HOST:PORT, or either with +tls)");
            }
        } else if (key == "tls_ca") {
            acu.tls.caFile = yamlText(value, field);
            tlsGiven = true;
        } else if (key == "insecure_tls") {
            bool insecure = false;
            if (!value.IsScalar() || !YAML::convert<bool>::decode(value, insecure)) {
                refuseAt(value, field, "must be true or false");
            }
            acu.tls.insecure = insecure;
            tlsGiven = true;
        } else if (key == "tls_cert") {
            acu.tls.certFile = yamlText(value, field);
            tlsGiven = true;
        } else if (key == "tls_key") {
            acu.tls.keyFile = yamlText(value, field);
            tlsGiven = true;
        } else {
            refuseAt(item.first, field, "unknown key");
        }
    }
    if (acu.name.empty()) refuseAt(entry, path + ".name", "missing");
    if (acu.port.empty()) refuseAt(entry, path + ".port", "missing");
    const auto address = parseNetworkAddress(acu.port);
    if (tlsGiven && !(address && address->tls)) {
        refuseAt(entry, path,
                 "tls_ca, tls_cert, tls_key and insecure_tls are for a +tls address only");
    }
    return acu;
}

FleetConfig readConfig(const YAML::Node& root) {
    if (!root.IsDefined() || root.IsNull()) {
        throw ConfigRefusal{{1, "acus", "missing: the file names no ACU"}};
    }
    if (!root.IsMap()) refuseAt(root, "acus", "the file must be a mapping with the key acus");
    FleetConfig config;
    // Kept in an optional: assigning one YAML::Node to another rewrites the node it refers
    // to, inside the document being walked.
    std::optional<YAML::Node> found;
    for (const auto& item : root) {
        const std::string key = yamlKey(item.first, "acus");
        if (key != "acus") refuseAt(item.first, key, "unknown key");
        found.emplace(item.second);
    }
    if (!found) refuseAt(root, "acus", "missing");
    const YAML::Node& acus = *found;
    if (!acus.IsSequence() || acus.size() == 0)
        refuseAt(acus, "acus", "must list at least one ACU");
    std::set<std::string> names;
    for (std::size_t i = 0; i < acus.size(); ++i) {
        const std::string path = "acus[" + std::to_string(i + 1) + "]";
        FleetAcu acu = readAcu(acus[i], path);
        if (!names.insert(acu.name).second) {
            refuseAt(acus[i]["name"], path + ".name", "'" + acu.name + "' is given twice");
        }
        config.acus.push_back(std::move(acu));
    }
    return config;
}

}  // namespace

FleetConfigReading readFleetConfig(std::string_view text) {
    FleetConfigReading reading;
    reading.config = readYamlDocument(text, readConfig, reading.error);
    return reading;
}
