#include "exporter/yaml_fields.h"

int yamlLine(const YAML::Node& node) {
    return node.Mark().line + 1;
}

void refuseAt(const YAML::Node& at, std::string field, std::string message) {
    throw ConfigRefusal{{yamlLine(at), std::move(field), std::move(message)}};
}

std::string yamlText(const YAML::Node& value, const std::string& field) {
    if (!value.IsScalar()) refuseAt(value, field, "must be a text");
    std::string result = value.Scalar();
    if (result.empty()) refuseAt(value, field, "must not be empty");
    return result;
}

std::string yamlKey(const YAML::Node& key, const std::string& parent) {
    if (!key.IsScalar()) refuseAt(key, parent, "a key must be a text");
    return key.Scalar();
}
