#include <gtest/gtest.h>

#include "broken_config.h"
#include "exporter/fleet_config.h"
#include "exporter/listen_address.h"

namespace {

TEST(FleetConfig, ReadsEveryAcuWithItsPortAndTls) {
    const FleetConfigReading reading = readFleetConfig(
        "acus:\n"
        "  - name: vessel-a\n"
        "    port: rfc2217+tls://192.0.2.10:4001\n"
        "    tls_ca: /etc/skyrelay/ca.pem\n"
        "    tls_cert: /etc/skyrelay/shore.pem\n"
        "    tls_key: /etc/skyrelay/shore.key\n"
        "  - name: Test_Bench.2\n"
        "    port: /dev/ttyUSB0\n");
    ASSERT_TRUE(reading.config) << reading.error.message;
    const auto& acus = reading.config->acus;
    ASSERT_EQ(acus.size(), 2u);
    EXPECT_EQ(acus[0].name, "vessel-a");
    EXPECT_EQ(acus[0].port, "rfc2217+tls://192.0.2.10:4001");
    EXPECT_EQ(acus[0].tls.caFile, "/etc/skyrelay/ca.pem");
    EXPECT_EQ(acus[0].tls.certFile, "/etc/skyrelay/shore.pem");
    EXPECT_EQ(acus[0].tls.keyFile, "/etc/skyrelay/shore.key");
    EXPECT_EQ(acus[1].name, "Test_Bench.2");
    EXPECT_EQ(acus[1].line, 7);
}

class FleetConfigRefuses : public testing::TestWithParam<BrokenConfig> {};

TEST_P(FleetConfigRefuses, NamingLineAndField) {
    const BrokenConfig& broken = GetParam();
    const FleetConfigReading reading = readFleetConfig(broken.text);
    ASSERT_FALSE(reading.config);
    EXPECT_EQ(reading.error.line, broken.line);
    EXPECT_EQ(reading.error.field, broken.field);
    EXPECT_NE(reading.error.message.find(broken.says), std::string::npos) << reading.error.message;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FleetConfigRefuses,
    testing::Values(
        BrokenConfig{"", 1, "acus", "no ACU"}, BrokenConfig{"acus: []\n", 1, "acus", "at least one"},
        BrokenConfig{"ACUs:\n  - name: a\n", 1, "ACUs", "unknown key"},
        BrokenConfig{"acus:\n  - name: a\n    port: [x]\n", 3, "acus[1].port", "text"},
        BrokenConfig{"acus:\n  - port: /dev/ttyS0\n", 2, "acus[1].name", "missing"},
        BrokenConfig{"acus:\n  - name: a\n", 2, "acus[1].port", "missing"},
        BrokenConfig{"acus:\n  - name: vessel a\n    port: /dev/ttyS0\n", 2, "acus[1].name",
               "letters, digits"},
        BrokenConfig{"acus:\n  - name: \"a\\\"b\"\n    port: /dev/ttyS0\n", 2, "acus[1].name",
               "letters, digits"},
        BrokenConfig{"acus:\n  - name: a\n    port: /dev/ttyS0\n  - name: a\n    port: /dev/ttyS1\n", 4,
               "acus[2].name", "given twice"},
        BrokenConfig{"acus:\n  - name: a\n    port: tcp://host\n", 3, "acus[1].port", "not an address"},
        BrokenConfig{"acus:\n  - name: a\n    port: /dev/ttyS0\n    tls_ca: ca.pem\n", 2, "acus[1]",
               "+tls address only"},
        BrokenConfig{"acus:\n  - name: a\n    port: tcp+tls://h:1\n    insecure_tls: maybe\n", 4,
               "acus[1].insecure_tls", "true or false"},
        BrokenConfig{"acus:\n  - name: a\n    port: tcp://h:1\n    tls_cert: c.pem\n", 2, "acus[1]",
               "+tls address only"},
        BrokenConfig{"acus:\n  - name: a\n    prot: /dev/ttyS0\n", 3, "acus[1].prot", "unknown key"},
        BrokenConfig{"acus:\n  - name: a\n   port: /dev/ttyS0\n", 3, "", ""},
        BrokenConfig{"acus:\n  - just-a-text\n", 2, "acus[1]", "mapping"}));

TEST(FleetConfig, ErrorTextNamesFileLineAndField) {
    EXPECT_EQ(configErrorText("/etc/skyrelay/fleet.yml", {7, "acus[2].port", "missing"}),
              "/etc/skyrelay/fleet.yml:7: acus[2].port: missing");
}

struct Listen {
    const char* text;
    bool valid;
    const char* host;
    std::uint16_t port;
};

TEST(ListenAddress, TakesWhatPrometheusExportersTake) {
    const Listen table[] = {
        {":9877", true, "", 9877},
        {"127.0.0.1:0", true, "127.0.0.1", 0},
        {"[::1]:9100", true, "::1", 9100},
        {"localhost:80", true, "localhost", 80},
        {"9877", false, "", 0},
        {":65536", false, "", 0},
        {"::1:9877", false, "", 0},
        {"[::1:9877", false, "", 0},
        {"host:", false, "", 0},
        {"host:12a", false, "", 0},
    };
    for (const Listen& row : table) {
        const auto address = parseListenAddress(row.text);
        ASSERT_EQ(address.has_value(), row.valid) << row.text;
        if (!address) continue;
        EXPECT_EQ(address->host, row.host) << row.text;
        EXPECT_EQ(address->port, row.port) << row.text;
    }
}

}  // namespace
