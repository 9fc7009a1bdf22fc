#include "exporter/web_security.h"

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::optional<std::string> readWhole(const std::string& path, std::string& problem) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        problem = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

gnutls_datum_t datum(const std::string& text) {
    return {reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())),
            static_cast<unsigned>(text.size())};
}

// The certificates of a PEM text, or a reason.
std::string certificatesProblem(const std::string& pem, const std::string& path) {
    const gnutls_datum_t data = datum(pem);
    gnutls_x509_crt_t* list = nullptr;
    unsigned count = 0;
    if (gnutls_x509_crt_list_import2(&list, &count, &data, GNUTLS_X509_FMT_PEM, 0) < 0 ||
        count == 0) {
        return path + " holds no certificate in PEM form";
    }
    const std::time_t expires = gnutls_x509_crt_get_expiration_time(list[0]);
    std::string problem;
    if (expires != static_cast<std::time_t>(-1) && expires < std::time(nullptr)) {
        char date[32] = {};
        std::tm utc{};
        std::strftime(date, sizeof date, "%Y-%m-%d", gmtime_r(&expires, &utc));
        problem = path + " expired on " + date;
    }
    for (unsigned i = 0; i < count; ++i) gnutls_x509_crt_deinit(list[i]);
    gnutls_free(list);
    return problem;
}

std::string keyProblem(const std::string& pem, const std::string& path) {
    gnutls_x509_privkey_t key = nullptr;
    gnutls_x509_privkey_init(&key);
    const gnutls_datum_t data = datum(pem);
    const int status =
        gnutls_x509_privkey_import2(key, &data, GNUTLS_X509_FMT_PEM, nullptr, GNUTLS_PKCS_PLAIN);
    gnutls_x509_privkey_deinit(key);
    if (status >= 0) return "";
    return path +
           " holds no private key in PEM form, or one locked with a passphrase (unlock it with: "
           "openssl pkey -in KEY -out NEWKEY)";
}

// Whether the key belongs to the certificate: the TLS library's own pairing check.
bool keyMatches(const std::string& certificate, const std::string& key) {
    gnutls_certificate_credentials_t credentials = nullptr;
    gnutls_certificate_allocate_credentials(&credentials);
    const gnutls_datum_t certData = datum(certificate);
    const gnutls_datum_t keyData = datum(key);
    const int status = gnutls_certificate_set_x509_key_mem2(credentials, &certData, &keyData,
                                                            GNUTLS_X509_FMT_PEM, nullptr, 0);
    gnutls_certificate_free_credentials(credentials);
    return status >= 0;
}

}  // namespace

std::optional<TlsMaterial> loadTlsMaterial(const WebTlsConfig& tls, const std::string& folder,
                                           ConfigError& error) {
    const auto fail = [&error](const WebConfigFile& file, std::string message) {
        error = {file.line, file.field, std::move(message)};
        return std::nullopt;
    };
    const auto pathOf = [&folder](const WebConfigFile& file) {
        const std::filesystem::path path(file.path);
        return (path.is_absolute() ? path : std::filesystem::path(folder) / path).string();
    };
    TlsMaterial material;
    std::string problem;
    const std::string certPath = pathOf(tls.certFile);
    const auto certificate = readWhole(certPath, problem);
    if (!certificate) return fail(tls.certFile, problem);
    if (problem = certificatesProblem(*certificate, certPath); !problem.empty()) {
        return fail(tls.certFile, problem);
    }
    const std::string keyPath = pathOf(tls.keyFile);
    const auto key = readWhole(keyPath, problem);
    if (!key) return fail(tls.keyFile, problem);
    if (problem = keyProblem(*key, keyPath); !problem.empty()) return fail(tls.keyFile, problem);
    if (!keyMatches(*certificate, *key)) {
        return fail(tls.keyFile, keyPath + " does not belong to the certificate " + certPath);
    }
    material.certificate = *certificate;
    material.key = *key;
    if (tls.clientCaFile) {
        const std::string caPath = pathOf(*tls.clientCaFile);
        const auto authorities = readWhole(caPath, problem);
        if (!authorities) return fail(*tls.clientCaFile, problem);
        if (problem = certificatesProblem(*authorities, caPath); !problem.empty()) {
            return fail(*tls.clientCaFile, problem);
        }
        material.clientCa = *authorities;
    }
    return material;
}

std::optional<WebSecurity> loadWebSecurity(const std::string& fileName, std::string& error) {
    const auto text = readWhole(fileName, error);
    if (!text) return std::nullopt;
    const WebConfigReading reading = readWebConfig(*text);
    if (!reading.config) {
        error = configErrorText(fileName, reading.error);
        return std::nullopt;
    }
    WebSecurity security;
    security.users = reading.config->users;
    if (reading.config->tls) {
        ConfigError problem;
        const std::string folder = std::filesystem::path(fileName).parent_path().string();
        security.tls = loadTlsMaterial(*reading.config->tls, folder, problem);
        if (!security.tls) {
            error = configErrorText(fileName, problem);
            return std::nullopt;
        }
    }
    return security;
}
