#include "exporter/fleet_config.h"

#include <yaml-cpp/yaml.h>

#include <set>

namespace {

// A problem found at a node: thrown out of the walk below and turned into the reading's error.
struct Refusal {
    ConfigError error;
};

int lineOf(const YAML::Node& node) {
    return node.Mark().line + 1;
}

[[noreturn]] void refuse(const YAML::Node& at, std::string field, std::string message) {
    throw Refusal{{lineOf(at), std::move(field), std::move(message)}};
}

bool validName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '_' && c != '.' && c != '-') return false;
    }
    return true;
}

std::string text(const YAML::Node& value, const std::string& field) {
    if (!value.IsScalar()) refuse(value, field, "must be a text");
    const std::string result = value.Scalar();
    if (result.empty()) refuse(value, field, "must not be empty");
    return result;
}

FleetAcu readAcu(const YAML::Node& entry, const std::string& path) {
    if (!entry.IsMap()) refuse(entry, path, "must be a mapping with name and port");
    FleetAcu acu;
    acu.line = lineOf(entry);
    bool tlsGiven = false;
    for (const auto& item : entry) {
        const std::string key = item.first.Scalar();
        const std::string field = path + "." + key;
        const YAML::Node& value = item.second;
        if (key == "name") {
            acu.name = text(value, field);
            if (!validName(acu.name)) {
                refuse(value, field, "'" + acu.name + "' may hold only letters, digits, _ . -");
            }
        } else if (key == "port") {
            acu.port = text(value, field);
            if (isNetworkAddress(acu.port) && !parseNetworkAddress(acu.port)) {
                refuse(value, field,
                       "'" + acu.port +
                           "' is not an address Skyrelay reaches (tcp://HOST:PORT, "
                           "rfc2217://HOST:PORT, or either with +tls)");
            }
        } else if (key == "tls_ca") {
            acu.tls.caFile = text(value, field);
            tlsGiven = true;
        } else if (key == "insecure_tls") {
            bool insecure = false;
            if (!value.IsScalar() || !YAML::convert<bool>::decode(value, insecure)) {
                refuse(value, field, "must be true or false");
            }
            acu.tls.insecure = insecure;
            tlsGiven = true;
        } else if (key == "tls_cert") {
            acu.tls.certFile = text(value, field);
            tlsGiven = true;
        } else if (key == "tls_key") {
            acu.tls.keyFile = text(value, field);
            tlsGiven = true;
        } else {
            refuse(item.first, field, "unknown key");
        }
    }
    if (acu.name.empty()) refuse(entry, path + ".name", "missing");
    if (acu.port.empty()) refuse(entry, path + ".port", "missing");
    const auto address = parseNetworkAddress(acu.port);
    if (tlsGiven && !(address && address->tls)) {
        refuse(entry, path, "tls_ca, tls_cert, tls_key and insecure_tls are for a +tls address only");
    }
    return acu;
}

FleetConfig readConfig(const YAML::Node& root) {
    if (!root.IsDefined() || root.IsNull()) {
        throw Refusal{{1, "acus", "missing: the file names no ACU"}};
    }
    if (!root.IsMap()) refuse(root, "acus", "the file must be a mapping with the key acus");
    FleetConfig config;
    YAML::Node acus;
    for (const auto& item : root) {
        const std::string key = item.first.Scalar();
        if (key != "acus") refuse(item.first, key, "unknown key");
        acus = item.second;
    }
    if (!acus.IsDefined()) refuse(root, "acus", "missing");
    if (!acus.IsSequence() || acus.size() == 0) refuse(acus, "acus", "must list at least one ACU");
    std::set<std::string> names;
    for (std::size_t i = 0; i < acus.size(); ++i) {
        const std::string path = "acus[" + std::to_string(i + 1) + "]";
        FleetAcu acu = readAcu(acus[i], path);
        if (!names.insert(acu.name).second) {
            refuse(acus[i]["name"], path + ".name", "'" + acu.name + "' is given twice");
        }
        config.acus.push_back(std::move(acu));
    }
    return config;
}

}  // namespace

FleetConfigReading readFleetConfig(std::string_view text) {
    FleetConfigReading reading;
    try {
        reading.config = readConfig(YAML::Load(std::string(text)));
    } catch (const Refusal& refusal) {
        reading.error = refusal.error;
    } catch (const YAML::Exception& error) {
        reading.error = {error.mark.line + 1, "", error.msg};
    }
    return reading;
}

std::string configErrorText(const std::string& fileName, const ConfigError& error) {
    std::string out = fileName + ":" + std::to_string(error.line) + ": ";
    if (!error.field.empty()) out += error.field + ": ";
    return out + error.message;
}
