#include "exporter/basic_auth.h"

#include <crypt.h>
#include <gnutls/crypto.h>
#include <gnutls/gnutls.h>

#include <cstring>

BasicAuth::BasicAuth(std::map<std::string, std::string> users)
    : m_Scratch(std::make_unique<crypt_data>()) {
    for (auto& [user, hash] : users) m_Users.emplace(user, std::move(hash));
    gnutls_rnd(GNUTLS_RND_KEY, m_Key.data(), m_Key.size());
}

BasicAuth::~BasicAuth() = default;

BasicAuth::Digest BasicAuth::digestOf(std::string_view user, std::string_view password) const {
    // The user's length first, so that "ab" + "c" and "a" + "bc" differ.
    std::string text = std::to_string(user.size()) + ":";
    text.append(user);
    text.append(password);
    Digest digest{};
    gnutls_hmac_fast(GNUTLS_MAC_SHA256, m_Key.data(), m_Key.size(), text.data(), text.size(),
                     digest.data());
    return digest;
}

bool BasicAuth::hashMatches(const std::string& password, const std::string& hash) {
    ++m_HashesComputed;
    const char* computed = crypt_r(password.c_str(), hash.c_str(), m_Scratch.get());
    if (computed == nullptr || std::strlen(computed) != hash.size()) return false;
    // Every byte looked at, whatever the first difference: the time says nothing of where.
    unsigned char difference = 0;
    for (std::size_t i = 0; i < hash.size(); ++i) {
        difference |= static_cast<unsigned char>(computed[i] ^ hash[i]);
    }
    return difference == 0;
}

bool BasicAuth::check(std::string_view user, std::string_view password, Clock::time_point now) {
    if (m_Users.empty()) return true;
    const Digest digest = digestOf(user, password);
    if (const auto found = m_RememberedUntil.find(digest);
        found != m_RememberedUntil.end() && now < found->second) {
        return true;
    }
    // An unknown user costs the same bcrypt as a known one, so the time of a refusal does not
    // tell which users exist. A password holding a NUL byte cannot be what was hashed.
    const auto known = m_Users.find(user);
    const std::string& hash = known != m_Users.end() ? known->second : m_Users.begin()->second;
    const std::string clear(password);
    const bool matches =
        hashMatches(clear, hash) && known != m_Users.end() && clear.find('\0') == std::string::npos;
    if (!matches) return false;
    if (m_RememberedUntil.size() >= kRememberedMost) {
        std::erase_if(m_RememberedUntil, [now](const auto& entry) { return entry.second <= now; });
        if (m_RememberedUntil.size() >= kRememberedMost) m_RememberedUntil.clear();
    }
    m_RememberedUntil[digest] = now + kRemembered;
    return true;
}
