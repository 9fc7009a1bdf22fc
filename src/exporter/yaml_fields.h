#pragma once

#include <yaml-cpp/yaml.h>

#include <optional>
#include <string>
#include <string_view>

#include "exporter/config_error.h"

// What the exporter's YAML readers share: a problem found at a node is thrown out of the
// reader's walk as a ConfigRefusal and becomes the reading's error, with the node's line.
struct ConfigRefusal {
    ConfigError error;
};

int yamlLine(const YAML::Node& node);
[[noreturn]] void refuseAt(const YAML::Node& at, std::string field, std::string message);
// A scalar that is not empty.
std::string yamlText(const YAML::Node& value, const std::string& field);
// The key of a mapping entry as text; a key that is itself a list or mapping is refused.
std::string yamlKey(const YAML::Node& key, const std::string& parent);

// Runs read over the document in text: its result, or nothing with error set (a refusal, or
// the YAML parser's own complaint with its line).
template <class Read>
auto readYamlDocument(std::string_view text, Read read, ConfigError& error)
    -> std::optional<decltype(read(YAML::Node{}))> {
    try {
        return read(YAML::Load(std::string(text)));
    } catch (const ConfigRefusal& refusal) {
        error = refusal.error;
    } catch (const YAML::Exception& failure) {
        error = {failure.mark.line + 1, "", failure.msg};
    }
    return std::nullopt;
}
