#include <gtest/gtest.h>

#include "broken_config.h"
#include "exporter/basic_auth.h"
#include "exporter/web_config.h"

namespace {

// Made with htpasswd -nbBC 4 prometheus 'correct horse' ($2y$) and Python's crypt ($2b$).
constexpr const char* kHashY = "$2y$04$V1CiNL8jI4g5qRQDsPOHBelVCEh1Tt.Ur06Dlm.VlBq5L12ZfPwhG";
constexpr const char* kHashB = "$2b$04$xqoCHU8OJc.dVA4Hi9kgXOHSdkekQr41J1390nbAoLLOfeyDR7DF6";

TEST(WebConfig, ReadsTlsClientCertificatesAndUsersWithTheirLines) {
    const WebConfigReading reading =
        readWebConfig(std::string("tls_server_config:\n"
                                  "  cert_file: /etc/skyrelay/web.pem\n"
                                  "  key_file: web.key\n"
                                  "  client_auth_type: RequireAndVerifyClientCert\n"
                                  "  client_ca_file: scrapers.pem\n"
                                  "basic_auth_users:\n"
                                  "  prometheus: ") +
                      kHashY + "\n  shore: '" + kHashB + "'\n");
    ASSERT_TRUE(reading.config) << reading.error.message;
    const WebConfig& config = *reading.config;
    ASSERT_TRUE(config.tls);
    EXPECT_EQ(config.tls->certFile.path, "/etc/skyrelay/web.pem");
    EXPECT_EQ(config.tls->keyFile.path, "web.key");
    EXPECT_EQ(config.tls->keyFile.field, "tls_server_config.key_file");
    EXPECT_EQ(config.tls->keyFile.line, 3);
    ASSERT_TRUE(config.tls->clientCaFile);
    EXPECT_EQ(config.tls->clientCaFile->line, 5);
    EXPECT_EQ(config.users,
              (std::map<std::string, std::string>{{"prometheus", kHashY}, {"shore", kHashB}}));
    // Nothing at all: plain HTTP, as the exporters of Prometheus read an empty file.
    EXPECT_TRUE(readWebConfig("").config);
}

class WebConfigRefuses : public testing::TestWithParam<BrokenConfig> {};

TEST_P(WebConfigRefuses, NamingLineAndField) {
    const BrokenConfig& broken = GetParam();
    const WebConfigReading reading = readWebConfig(broken.text);
    ASSERT_FALSE(reading.config);
    EXPECT_EQ(reading.error.line, broken.line);
    EXPECT_EQ(reading.error.field, broken.field);
    EXPECT_NE(reading.error.message.find(broken.says), std::string::npos) << reading.error.message;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WebConfigRefuses,
    testing::Values(
        BrokenConfig{"basic_auth_users:\n  prometheus: hunter2\n", 2, "basic_auth_users.prometheus",
               "not a bcrypt hash"},
        BrokenConfig{"basic_auth_users:\n  p: $1$abcdefgh$aaaaaaaaaaaaaaaaaaaaa.\n", 2,
               "basic_auth_users.p", "bcrypt"},
        BrokenConfig{"basic_auth_users:\n  p: "
               "$2y$03$V1CiNL8jI4g5qRQDsPOHBelVCEh1Tt.Ur06Dlm.VlBq5L12ZfPwhG\n",
               2, "basic_auth_users.p", "bcrypt"},
        BrokenConfig{"basic_auth_users:\n  \"a:b\": x\n", 2, "basic_auth_users.a:b", "':'"},
        BrokenConfig{"basic_auth_users: [prometheus]\n", 1, "basic_auth_users", "mapping"},
        BrokenConfig{"tls_server_config:\n  cert_file: a.pem\n  keyfile: a.key\n", 3,
               "tls_server_config.keyfile", "unknown key"},
        BrokenConfig{"tls_server_config:\n  cert_file: a.pem\n", 2, "tls_server_config.key_file",
               "missing"},
        BrokenConfig{"tls_server_config:\n  key_file: a.key\n  cert_file: ''\n", 3,
               "tls_server_config.cert_file", "empty"},
        BrokenConfig{"tls_server_config:\n  cert_file: a\n  key_file: b\n  min_version: TLS13\n", 4,
               "tls_server_config.min_version", "not supported"},
        BrokenConfig{"tls_server_config:\n  cert_file: a\n  key_file: b\n"
               "  client_auth_type: VerifyClientCertIfGiven\n  client_ca_file: c\n",
               4, "tls_server_config.client_auth_type", "not supported"},
        BrokenConfig{"tls_server_config:\n  cert_file: a\n  key_file: b\n  client_auth_type: Yes\n", 4,
               "tls_server_config.client_auth_type", "not a client_auth_type"},
        BrokenConfig{"tls_server_config:\n  cert_file: a\n  key_file: b\n"
               "  client_auth_type: RequireAndVerifyClientCert\n",
               4, "tls_server_config.client_ca_file", "missing"},
        BrokenConfig{"tls_server_config:\n  cert_file: a\n  key_file: b\n  client_ca_file: c\n", 2,
               "tls_server_config.client_auth_type", "RequireAndVerifyClientCert"},
        BrokenConfig{"http_server_config:\n  http2: false\n", 1, "http_server_config", "not supported"},
        BrokenConfig{"basic_auth:\n  u: p\n", 1, "basic_auth", "unknown key"},
        BrokenConfig{"- tls_server_config\n", 1, "", "mapping"},
        BrokenConfig{"tls_server_config: {cert_file: a\n", 2, "", ""}));

TEST(WebConfig, KnowsABcryptHashByItsForm) {
    EXPECT_TRUE(isBcryptHash(kHashY));
    EXPECT_TRUE(isBcryptHash(kHashB));
    EXPECT_TRUE(isBcryptHash("$2a$31$V1CiNL8jI4g5qRQDsPOHBelVCEh1Tt.Ur06Dlm.VlBq5L12ZfPwhG"));
    for (const char* notOne :
         {"$2x$04$V1CiNL8jI4g5qRQDsPOHBelVCEh1Tt.Ur06Dlm.VlBq5L12ZfPwhG",  // the flawed variant
          "$2y$32$V1CiNL8jI4g5qRQDsPOHBelVCEh1Tt.Ur06Dlm.VlBq5L12ZfPwhG",
          "$2y$04$V1CiNL8jI4g5qRQDsPOHBelVCEh1Tt.Ur06Dlm.VlBq5L12ZfPwh",
          "$2y$04$V1CiNL8jI4g5qRQDsPOHBelVCEh1Tt.Ur06Dlm.VlBq5L12ZfPwh!", "$2y$04$", ""}) {
        EXPECT_FALSE(isBcryptHash(notOne)) << notOne;
    }
}

TEST(BasicAuth, AdmitsOnlyTheRightPasswordAndRemembersItForAWhile) {
    BasicAuth auth({{"prometheus", kHashY}, {"shore", kHashB}});
    const auto t0 = BasicAuth::Clock::now();
    EXPECT_FALSE(auth.check("prometheus", "correct horsE", t0));
    EXPECT_FALSE(auth.check("prometheus", "", t0));
    EXPECT_FALSE(auth.check("nobody", "correct horse", t0));
    EXPECT_FALSE(auth.check("shore", std::string_view("correct horse\0x", 15), t0));
    EXPECT_EQ(auth.hashesComputed(), 4u) << "an unknown user costs a bcrypt too";
    EXPECT_TRUE(auth.check("shore", "correct horse", t0));
    EXPECT_TRUE(auth.check("prometheus", "correct horse", t0));
    EXPECT_EQ(auth.hashesComputed(), 6u);
    // Remembered: the next scrapes skip bcrypt, and only the same user and password match.
    EXPECT_TRUE(auth.check("prometheus", "correct horse", t0 + std::chrono::minutes{4}));
    EXPECT_FALSE(auth.check("prometheu", "scorrect horse", t0));
    EXPECT_EQ(auth.hashesComputed(), 7u);
    EXPECT_TRUE(auth.check("prometheus", "correct horse", t0 + BasicAuth::kRemembered));
    EXPECT_EQ(auth.hashesComputed(), 8u) << "forgotten after kRemembered";
    EXPECT_TRUE(BasicAuth({}).check("", "", t0)) << "no users: no door";
}

}  // namespace
