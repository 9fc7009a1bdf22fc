#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// --web.listen-address as Prometheus' exporters take it: HOST:PORT, [IPV6]:PORT, or :PORT
// for every interface. Port 0 lets the system choose (the exporter says which on stderr).
struct ListenAddress {
    std::string host;  // empty: every interface; without the brackets of an IPv6 address
    std::uint16_t port = 0;
};

std::optional<ListenAddress> parseListenAddress(std::string_view text);
