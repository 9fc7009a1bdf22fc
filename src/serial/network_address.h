#pragma once

#include <optional>
#include <string>
#include <string_view>

// A serial server's address as the technician types it where a device path would go:
//   tcp://HOST:PORT          the server's raw TCP port: bytes as they are
//   rfc2217://HOST:PORT      telnet with the COM port option, which also sets the far line
//   tcp+tls://HOST:PORT, rfc2217+tls://HOST:PORT   the same inside TLS
// HOST is a name, an IPv4 address or an IPv6 address in brackets.
struct NetworkAddress {
    bool rfc2217 = false;
    bool tls = false;
    std::string host;  // without the brackets of an IPv6 address
    std::string port;  // 1 to 65535, digits only
};

// How a TLS address is checked: against the certificate authorities in caFile (a file of one
// or more certificates, or a hashed directory ending in "/"), the system's when empty. Only an
// explicit insecure choice lets a server through whose certificate fails the check.
struct TlsOptions {
    std::string caFile;
    bool insecure = false;
};

// True for anything written as SCHEME://...: such a name never goes to the terminal device,
// so a mistyped address is reported as an address, not as a missing device.
bool isNetworkAddress(std::string_view name);

std::optional<NetworkAddress> parseNetworkAddress(std::string_view name);

// The gensio stack that reaches the address, e.g.
// "telnet(rfc2217),tcp(nodelay),acu.example,2000".
// Empty when the CA path cannot be written into a stack (it holds a comma, a quote or a
// parenthesis).
std::string gensioStackFor(const NetworkAddress& address, const TlsOptions& tls);

// Whether the certificate (PEM) is made out to host, a name or an IP address, by the usual
// rules (subject alternative names, else the common name). TLS alone proves only that some
// trusted authority signed the certificate, not that it is this server's.
bool certificateNamesHost(std::string_view certificatePem, const std::string& host);

// Why a connection to a serial server failed, for gensio's error code; "" for 0.
std::string networkFailureReason(int gensioError);
