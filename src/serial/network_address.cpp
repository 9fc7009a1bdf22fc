#include "serial/network_address.h"

#include <arpa/inet.h>
#include <gensio/gensio_err.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Scheme {
    std::string_view prefix;
    bool rfc2217;
    bool tls;
};

constexpr std::array<Scheme, 4> kSchemes{{
    {"tcp://", false, false},
    {"rfc2217://", true, false},
    {"tcp+tls://", false, true},
    {"rfc2217+tls://", true, true},
}};

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

bool isNetworkAddress(std::string_view name) {
    const std::size_t colon = name.find("://");
    if (colon == std::string_view::npos || colon == 0) return false;
    return std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(colon),
                       [](unsigned char c) { return std::isalnum(c) || c == '+'; });
}

std::optional<NetworkAddress> parseNetworkAddress(std::string_view name) {
    const std::string text = lower(name.substr(0, name.find("://") + 3));
    for (const Scheme& scheme : kSchemes) {
        if (text != scheme.prefix) continue;
        std::string_view rest = name.substr(scheme.prefix.size());
        if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string_view::npos) return std::nullopt;
        std::string_view host = rest.substr(0, colon);
        const std::string_view port = rest.substr(colon + 1);
        if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        } else if (host.find(':') != std::string_view::npos) {
            return std::nullopt;  // an IPv6 address needs its brackets
        }
        const bool hostOk = !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
            return c == ',' || c == '(' || c == ')' || c == '/' || c == '"' ||
                   std::isspace(static_cast<unsigned char>(c));
        });
        if (!hostOk || !isDigits(port) || port.size() > 5) return std::nullopt;
        const int number = std::stoi(std::string(port));
        if (number < 1 || number > 65535) return std::nullopt;
        return NetworkAddress{scheme.rfc2217, scheme.tls, std::string(host), std::string(port)};
    }
    return std::nullopt;
}

std::string gensioStackFor(const NetworkAddress& address, const TlsOptions& tls) {
    std::string stack = address.rfc2217 ? "telnet(rfc2217)," : "";
    if (address.tls) {
        std::vector<std::string> options;
        if (!tls.caFile.empty()) options.push_back("CA=" + tls.caFile);
        if (!tls.certFile.empty()) {
            options.push_back("cert=" + tls.certFile);
            options.push_back("key=" + (tls.keyFile.empty() ? tls.certFile : tls.keyFile));
        }
        if (tls.insecure) options.push_back("allow-authfail");
        for (const std::string& option : options) {
            if (option.find_first_of(",()\"") != std::string::npos) return "";
        }
        stack += "ssl";
        for (std::size_t i = 0; i < options.size(); ++i) {
            stack += (i == 0 ? "(" : ",") + options[i];
        }
        stack += options.empty() ? "," : "),";
    }
    // Our writes are already gathered into frames; Nagle would hold each one back for the
    // acknowledgement of the one before, a whole round trip on a satellite link.
    return stack + "tcp(nodelay)," + address.host + "," + address.port;
}

bool certificateNamesHost(std::string_view certificatePem, const std::string& host) {
    BIO* bio = BIO_new_mem_buf(certificatePem.data(), static_cast<int>(certificatePem.size()));
    if (bio == nullptr) return false;
    X509* certificate = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    if (certificate == nullptr) return false;
    in6_addr ignored{};
    const bool isIp = inet_pton(AF_INET, host.c_str(), &ignored) == 1 ||
                      inet_pton(AF_INET6, host.c_str(), &ignored) == 1;
    const int match = isIp ? X509_check_ip_asc(certificate, host.c_str(), 0)
                           : X509_check_host(certificate, host.data(), host.size(),
                                             X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS, nullptr);
    X509_free(certificate);
    return match == 1;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;
using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

// Refuses every passphrase question instead of letting OpenSSL ask on the terminal.
int noPassphrase(char*, int, int, void*) {
    return 0;
}

File openOrSay(const std::string& path, const std::string& what, std::string& problem) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) problem = what + " " + path + " cannot be read: " + std::strerror(errno) + ".";
    return file;
}

Certificate readCertificate(std::FILE* file) {
    return {PEM_read_X509(file, nullptr, noPassphrase, nullptr), X509_free};
}

}  // namespace

std::string tlsFilesProblem(const TlsOptions& tls) {
    std::string problem;
    if (!tls.caFile.empty() && tls.caFile.back() != '/') {
        const File file = openOrSay(tls.caFile, "The certificate authority file", problem);
        if (file && !readCertificate(file.get())) {
            problem = "The certificate authority file " + tls.caFile +
                      " holds no certificate in PEM form.";
        }
    }
    if (!problem.empty() || (tls.certFile.empty() && tls.keyFile.empty())) return problem;
    if (tls.certFile.empty()) {
        return "The client key " + tls.keyFile + " needs its certificate (--tls-cert).";
    }
    const File certFile = openOrSay(tls.certFile, "The client certificate", problem);
    if (!certFile) return problem;
    const Certificate certificate = readCertificate(certFile.get());
    if (!certificate) {
        return "The client certificate " + tls.certFile + " holds no certificate in PEM form.";
    }
    if (X509_cmp_current_time(X509_get0_notAfter(certificate.get())) < 0) {
        return "The client certificate " + tls.certFile + " has expired.";
    }
    const std::string keyPath = tls.keyFile.empty() ? tls.certFile : tls.keyFile;
    const File keyFile = openOrSay(keyPath, "The client key", problem);
    if (!keyFile) return problem;
    const Key key(PEM_read_PrivateKey(keyFile.get(), nullptr, noPassphrase, nullptr),
                  EVP_PKEY_free);
    if (!key) {
        return "The client key " + keyPath +
               " holds no private key in PEM form, or one locked with a passphrase "
               "(unlock it with: openssl pkey -in KEY -out NEWKEY).";
    }
    if (X509_check_private_key(certificate.get(), key.get()) != 1) {
        return "The client key " + keyPath + " does not belong to the certificate " + tls.certFile +
               ".";
    }
    return "";
}

std::string tlsRefusalReason(const TlsOptions& tls) {
    if (tls.certFile.empty()) {
        return "The server wants a client certificate: it closed the connection as soon as "
               "TLS was set up. Give one with --tls-cert FILE and --tls-key FILE.";
    }
    return "The server did not accept the client certificate " + tls.certFile +
           ": it closed the connection as soon as TLS was set up. Check that the server "
           "trusts the authority that signed it.";
}

std::string networkFailureReason(int gensioError) {
    switch (gensioError) {
        case GE_NOERR:
            return "";
        case GE_CONNREFUSE:
            return "Connection refused: nothing listens on that port, or the serial server "
                   "refused us.";
        case GE_HOSTDOWN:
            return "No route to the server: check the address and the ship's link.";
        case GE_TIMEDOUT:
            return "The server did not answer in time: check the address and the ship's link.";
        case GE_NOTFOUND:
        case GE_UNKNOWN_NAME_ERROR:
        case GE_NAME_ERROR:
        case GE_NAME_SERVER_FAILURE:
        case GE_NAME_INVALID:
        case GE_NAME_NET_NOT_UP:
            return "Name not found: the server's name does not resolve.";
        case GE_CERTINVALID:
        case GE_CERTREVOKED:
        case GE_CERTEXPIRED:
        case GE_CERTNOTFOUND:
        case GE_NOCERT:
        case GE_KEYINVALID:
        case GE_AUTHREJECT:
            return "Certificate rejected: the server's certificate failed the check "
                   "(--tls-ca names the authority to trust).";
        case GE_REMCLOSE:
            return "The server closed the connection: another client may be using its line.";
        case GE_INVAL:
            return "Not a serial server address: use tcp://HOST:PORT, rfc2217://HOST:PORT, "
                   "tcp+tls://HOST:PORT or rfc2217+tls://HOST:PORT.";
        default:
            return gensio_err_to_str(gensioError);
    }
}
