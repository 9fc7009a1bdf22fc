#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct crypt_data;

// The users of basic_auth_users and their bcrypt hashes, checked with the system's crypt_r.
// bcrypt is slow on purpose (tens of milliseconds and more, on the exporter's one thread), so
// a credential that passed is remembered for a while and a scraper's next requests skip it.
// What is remembered is a keyed digest of user and password, never the password: the key is
// drawn at random for each process.
class BasicAuth {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kRemembered = std::chrono::minutes{5};
    static constexpr std::size_t kRememberedMost = 64;

    explicit BasicAuth(std::map<std::string, std::string> users);
    ~BasicAuth();
    BasicAuth(const BasicAuth&) = delete;
    BasicAuth& operator=(const BasicAuth&) = delete;

    // Whether requests need a user at all.
    bool enabled() const { return !m_Users.empty(); }
    bool check(std::string_view user, std::string_view password, Clock::time_point now);
    // How many bcrypt computations check() has run: what the memory saved shows here.
    std::size_t hashesComputed() const { return m_HashesComputed; }

private:
    using Digest = std::array<std::uint8_t, 32>;
    Digest digestOf(std::string_view user, std::string_view password) const;
    bool hashMatches(const std::string& password, const std::string& hash);

    std::map<std::string, std::string, std::less<>> m_Users;
    std::array<std::uint8_t, 32> m_Key{};
    std::map<Digest, Clock::time_point> m_RememberedUntil;
    std::unique_ptr<crypt_data> m_Scratch;  // crypt_r's work area, 32 kB
    std::size_t m_HashesComputed = 0;
};
