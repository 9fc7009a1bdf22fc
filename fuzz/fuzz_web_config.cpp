// The exporter's web configuration reader on any bytes: it reads or refuses, never throws or
// crashes, and what it reads asks only what the door can do: users with bcrypt hashes, TLS
// with a certificate and a key, client certificates only with their authorities.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exporter/web_config.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const WebConfigReading reading = readWebConfig(text);
    if (!reading.config) {
        require(!reading.error.message.empty());
        require(!configErrorText("web.yml", reading.error).empty());
        return 0;
    }
    for (const auto& [user, hash] : reading.config->users) {
        require(!user.empty() && user.find(':') == std::string::npos);
        require(isBcryptHash(hash));
    }
    if (const auto& tls = reading.config->tls) {
        require(!tls->certFile.path.empty() && tls->certFile.line >= 1);
        require(!tls->keyFile.path.empty() && tls->keyFile.line >= 1);
        require(!tls->clientCaFile || !tls->clientCaFile->path.empty());
    }
    return 0;
}
