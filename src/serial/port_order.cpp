#include "serial/port_order.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "serial/network_address.h"

namespace {

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// ttyS10 after ttyS9: runs of digits compare by value, everything else by character.
bool naturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && digit(a[ei])) ++ei;
            while (ej < b.size() && digit(b[ej])) ++ej;
            std::string_view na = a.substr(i, ei - i);
            std::string_view nb = b.substr(j, ej - j);
            while (na.size() > 1 && na.front() == '0') na.remove_prefix(1);
            while (nb.size() > 1 && nb.front() == '0') nb.remove_prefix(1);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

// 0 ttyUSB, 1 ttyACM, 2 everything else.
int rank(std::string_view path) {
    const std::string_view name = baseName(path);
    if (name.starts_with("ttyUSB")) return 0;
    if (name.starts_with("ttyACM")) return 1;
    return 2;
}

}  // namespace

bool isUsbSerialPath(std::string_view path) {
    return rank(path) < 2;
}

bool isPseudoTerminalPath(std::string_view path) {
    return path.starts_with("/dev/pts/");
}

std::vector<std::string> portsToOpen(std::span<const std::string> named,
                                     std::span<const std::string> listed,
                                     const std::function<bool(const std::string&)>& present) {
    std::vector<std::string> open;
    for (const std::string& path : listed) {
        const bool isNamed = std::find(named.begin(), named.end(), path) != named.end();
        if (named.empty() || (isNamed && (isNetworkAddress(path) || present(path)))) {
            open.push_back(path);
        }
    }
    return open;
}

std::vector<std::string> orderPorts(std::span<const std::string> commandLine,
                                    std::span<const std::string> system) {
    std::vector<std::string> ordered;
    const auto listed = [&ordered](const std::string& path) {
        return std::find(ordered.begin(), ordered.end(), path) != ordered.end();
    };
    for (const std::string& path : commandLine) {
        if (!listed(path)) ordered.push_back(path);
    }
    std::vector<std::string> rest;
    for (const std::string& path : system) {
        if (!listed(path) && std::find(rest.begin(), rest.end(), path) == rest.end()) {
            rest.push_back(path);
        }
    }
    std::stable_sort(rest.begin(), rest.end(), [](const std::string& a, const std::string& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return naturalLess(a, b);
    });
    ordered.insert(ordered.end(), rest.begin(), rest.end());
    return ordered;
}

std::optional<std::size_t> pickScanPort(std::span<const ScanCandidate> ports,
                                        std::string_view silentPort,
                                        const std::optional<LostPort>& lost) {
    if (ports.empty()) return std::nullopt;
    std::size_t start = 0;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (!silentPort.empty() && ports[i].path == silentPort) start = (i + 1) % ports.size();
    }
    if (!lost) return start;
    for (std::size_t k = 0; k < ports.size(); ++k) {
        const std::size_t i = (start + k) % ports.size();
        const bool samePath = !lost->path.empty() && ports[i].path == lost->path;
        const bool sameAdapter = !lost->identity.empty() && ports[i].identity == lost->identity;
        if (samePath || sameAdapter) return i;
    }
    return std::nullopt;
}

std::string openFailureReason(int error) {
    switch (error) {
        case 0:
            return "";
        case EACCES:
        case EPERM:
            return "Permission denied: add your user to the dialout group, then log in again.";
        case EBUSY:
        case EWOULDBLOCK:
            return "The port is busy: another program holds it.";
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case EIO:
            return "The port has vanished: the device is no longer there.";
        case ENOTTY:
            return "This device is not a serial port.";
        default:
            return std::strerror(error);
    }
}
