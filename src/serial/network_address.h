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
// certFile and keyFile prove us to a server that asks for a client certificate; keyFile
// defaults to certFile, which then holds both.
struct TlsOptions {
    std::string caFile;
    bool insecure = false;
    std::string certFile;
    std::string keyFile;
};

// True for anything written as SCHEME://...: such a name never goes to the terminal device,
// so a mistyped address is reported as an address, not as a missing device.
bool isNetworkAddress(std::string_view name);

std::optional<NetworkAddress> parseNetworkAddress(std::string_view name);

// The gensio stack that reaches the address, e.g.
// "telnet(rfc2217),tcp(nodelay),acu.example,2000".
// Empty when a file's path cannot be written into a stack (it holds a comma, a quote or a
// parenthesis).
std::string gensioStackFor(const NetworkAddress& address, const TlsOptions& tls);

// Why the files tls names cannot serve, naming the file; "" when they can (or none is named).
// gensio's own errors would not say which file, and a key locked with a passphrase would make
// OpenSSL ask for it on the terminal, which no window shows.
std::string tlsFilesProblem(const TlsOptions& tls);

// What to say when a server closes the connection as soon as TLS is set up, with nothing sent:
// the way a serial server that checks client certificates says no.
std::string tlsRefusalReason(const TlsOptions& tls);

// Whether the certificate (PEM) is made out to host, a name or an IP address, by the usual
// rules (subject alternative names, else the common name). TLS alone proves only that some
// trusted authority signed the certificate, not that it is this server's.
bool certificateNamesHost(std::string_view certificatePem, const std::string& host);

// Why a connection to a serial server failed, for gensio's error code; "" for 0.
std::string networkFailureReason(int gensioError);
