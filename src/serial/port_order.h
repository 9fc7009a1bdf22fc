#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How the "Port" list is ordered and which entry the automatic scan opens. A laptop lists
// legacy UARTs (ttyS0 and up) that lead nowhere besides the USB adapter that goes to the
// unit, so the list puts what a technician most likely means first.

// ttyUSB* (FTDI, CH340, PL2303 ...) and ttyACM* (CDC ACM) devices.
bool isUsbSerialPath(std::string_view path);
// A UNIX 98 pseudo-terminal slave. Once its master closes it is gone for good, and the
// number is soon handed to some other program's terminal.
bool isPseudoTerminalPath(std::string_view path);

// Devices named on the command line first, in their order; then the USB serial adapters,
// ttyUSB before ttyACM and each by number; then every other port by name and number.
// A path is listed once, at its first place.
std::vector<std::string> orderPorts(std::span<const std::string> commandLine,
                                    std::span<const std::string> system);

// One entry of the list as the scan sees it: the path, and what identifies the adapter
// behind it (its by-id name or serial number; empty where it has none).
struct ScanCandidate {
    std::string path;
    std::string identity;
};

// The port that hung up, as the scan waits for it to come back: its path (empty when the path
// cannot come back, as a pseudo-terminal's number goes to someone else) and the identity of
// its adapter (empty when it has none).
struct LostPort {
    std::string path;
    std::string identity;
};

// After a hang-up the scan writes to no other port than the lost one for this long, unless
// the user presses "Reflesh" or "Connect": a console on ttyS0 must not receive link checks
// because an adapter was pulled.
inline constexpr auto kLostPortWait = std::chrono::minutes{5};

// What the automatic scan may open, of the ports listed (in the list's order). With devices
// named (the window's arguments, --port, a fleet configuration), those of them that are
// present and nothing else: a port nobody named may be a console, a GPS receiver or a modem,
// and a named device that is absent is waited for. A serial server's address is always
// present; whether it answers is the line's to find out. With none named, every listed port.
std::vector<std::string> portsToOpen(std::span<const std::string> named,
                                     std::span<const std::string> listed,
                                     const std::function<bool(const std::string&)>& present);

// The entry the automatic scan opens next: the one after the port that stayed silent, round
// the list (the first entry when none did). After a hang-up (lost given) only the lost port
// is taken again: the same path, or the same adapter wherever it now appears; none while
// neither is listed.
std::optional<std::size_t> pickScanPort(std::span<const ScanCandidate> ports,
                                        std::string_view silentPort,
                                        const std::optional<LostPort>& lost);

// Why opening a port failed, as the technician's next step, for errno error; "" for 0.
std::string openFailureReason(int error);
