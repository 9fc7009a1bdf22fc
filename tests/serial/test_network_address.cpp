#include <gtest/gtest.h>

#include "serial/network_address.h"

namespace {

TEST(NetworkAddress, EachFormReadsToItsGensioStackAndAnythingElseIsRefused) {
    struct Case {
        const char* name;
        TlsOptions tls;
        const char* stack;  // "" when the name is not an address we open
    };
    const Case cases[] = {
        {"tcp://10.0.0.7:4001", {}, "tcp(nodelay),10.0.0.7,4001"},
        {"RFC2217://acu.ship.example:2000/",
         {},
         "telnet(rfc2217),tcp(nodelay),acu.ship.example,2000"},
        {"tcp+tls://[fd00::7]:4443", {}, "ssl,tcp(nodelay),fd00::7,4443"},
        {"rfc2217+tls://acu:4443",
         {"/etc/skyrelay/acu.pem", false, "", ""},
         "telnet(rfc2217),ssl(CA=/etc/skyrelay/acu.pem),tcp(nodelay),acu,4443"},
        {"tcp+tls://acu:4443", {"", true, "", ""}, "ssl(allow-authfail),tcp(nodelay),acu,4443"},
        {"tcp+tls://acu:4443",
         {"ca.pem", false, "shore.pem", "shore.key"},
         "ssl(CA=ca.pem,cert=shore.pem,key=shore.key),tcp(nodelay),acu,4443"},
        {"tcp+tls://acu:4443",  // one file with both
         {"", false, "shore.pem", ""},
         "ssl(cert=shore.pem,key=shore.pem),tcp(nodelay),acu,4443"},
        {"tcp://acu:4001", {"", false, "shore.pem", ""}, "tcp(nodelay),acu,4001"},
        // Paths that cannot be written in a stack.
        {"tcp+tls://acu:4443", {"/tmp/a,b.pem", false, "", ""}, ""},
        {"tcp+tls://acu:4443", {"", false, "shore.pem", "k(1).key"}, ""},
        {"tcp://fd00::7:4001", {}, ""},  // IPv6 without brackets
        {"tcp://acu", {}, ""},
        {"tcp://acu:0", {}, ""},
        {"tcp://acu:65536", {}, ""},
        {"tcp://acu,x:4001", {}, ""},
        {"udp://acu:4001", {}, ""},
        {"telnet://acu:23", {}, ""},
    };
    for (const Case& c : cases) {
        const auto address = parseNetworkAddress(c.name);
        EXPECT_EQ(address ? gensioStackFor(*address, c.tls) : "", c.stack) << c.name;
    }
}

TEST(NetworkAddress, OnlySchemeNamesAreTakenForAddresses) {
    EXPECT_TRUE(isNetworkAddress("tcp://acu:4001"));
    EXPECT_TRUE(isNetworkAddress("udp://acu:4001"));  // refused as an address, not as a device
    EXPECT_FALSE(isNetworkAddress("/dev/ttyUSB0"));
    EXPECT_FALSE(isNetworkAddress("/tmp/odd://name"));
    EXPECT_FALSE(isNetworkAddress("://acu"));
}

}  // namespace
