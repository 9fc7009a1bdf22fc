#include "exporter/listen_address.h"

#include <charconv>

std::optional<ListenAddress> parseListenAddress(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    if (host.starts_with('[') != host.ends_with(']')) return std::nullopt;
    if (host.starts_with('[')) {
        host = host.substr(1, host.size() - 2);
        if (host.empty()) return std::nullopt;
    } else if (host.find(':') != std::string_view::npos) {
        return std::nullopt;  // an IPv6 address needs its brackets
    }
    unsigned number = 0;
    const auto [end, failure] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (port.empty() || failure != std::errc{} || end != port.data() + port.size() ||
        number > 65535) {
        return std::nullopt;
    }
    return ListenAddress{std::string(host), static_cast<std::uint16_t>(number)};
}
