// The addresses `desk-server --print-addresses` offers friends on the player's network.

#include <gtest/gtest.h>

#include <algorithm>

#include "server/ServerOptions.h"
#include "server/platform/NetworkAddresses.h"

namespace {

using server::InterfaceAddress;

constexpr std::uint32_t ip(int a, int b, int c, int d) {
    return static_cast<std::uint32_t>((a << 24) | (b << 16) | (c << 8) | d);
}

struct FriendsCase {
    const char* what;
    std::vector<InterfaceAddress> interfaces;
    std::vector<std::string> offered;
};

TEST(NetworkAddresses, OffersOnlyAddressesFriendsCanReach) {
    const InterfaceAddress lo{"lo", ip(127, 0, 0, 1), true, true};
    const InterfaceAddress wifi{"wlan0", ip(192, 168, 1, 20), true, false};
    const InterfaceAddress cable{"eth0", ip(10, 0, 0, 5), true, false};
    const FriendsCase cases[] = {
        {"nothing but loopback", {lo}, {}},
        {"one network", {lo, wifi}, {"192.168.1.20"}},
        {"two networks in the system's order", {cable, lo, wifi}, {"10.0.0.5", "192.168.1.20"}},
        {"an interface that is down", {{"eth1", ip(192, 168, 5, 1), false, false}, wifi},
         {"192.168.1.20"}},
        {"a 127.x address on an interface not flagged loopback",
         {{"dummy0", ip(127, 0, 1, 1), true, false}}, {}},
        {"a self-assigned link-local address", {{"eth0", ip(169, 254, 3, 4), true, false}}, {}},
        {"0.0.0.0", {{"eth0", 0, true, false}}, {}},
        {"one address on two interfaces is offered once",
         {wifi, {"br0", ip(192, 168, 1, 20), true, false}}, {"192.168.1.20"}},
        {"the highest octets are written right", {{"eth0", ip(255, 254, 253, 252), true, false}},
         {"255.254.253.252"}},
    };
    for (const FriendsCase& c : cases) {
        EXPECT_EQ(server::addressesForFriends(c.interfaces), c.offered) << c.what;
    }
}

TEST(NetworkAddresses, TheTextNamesEachAddressAndThePortOrSaysWhyThereIsNone) {
    const std::string two = server::friendAddressesText({"10.0.0.5", "192.168.1.20"}, 9999);
    EXPECT_NE(two.find("  10.0.0.5\n"), std::string::npos) << two;
    EXPECT_NE(two.find("  192.168.1.20\n"), std::string::npos) << two;
    EXPECT_NE(two.find("9999"), std::string::npos) << two;
    const std::string none = server::friendAddressesText({}, 9999);
    EXPECT_NE(none.find("cannot reach"), std::string::npos) << none;
}

TEST(NetworkAddresses, ThisMachineListsItsLoopbackInterface) {
    const std::vector<InterfaceAddress> interfaces = server::interfaceAddresses();
    const bool loopbackListed =
        std::any_of(interfaces.begin(), interfaces.end(), [](const InterfaceAddress& entry) {
            return entry.loopback && entry.ipv4 == ip(127, 0, 0, 1);
        });
    EXPECT_TRUE(loopbackListed) << interfaces.size() << " addresses listed";
}

TEST(NetworkAddresses, PrintAddressesIsAnOptionThatTakesNoValue) {
    const char* args[] = {"desk-server", "--print-addresses", "--port", "4000"};
    server::ServerConfig config;
    bool help = false;
    std::string error;
    ASSERT_TRUE(server::parseServerOptions(4, args, config, help, error)) << error;
    EXPECT_TRUE(config.printAddresses);
    EXPECT_EQ(config.port, 4000);
    server::ServerConfig plain;
    const char* none[] = {"desk-server"};
    ASSERT_TRUE(server::parseServerOptions(1, none, plain, help, error)) << error;
    EXPECT_FALSE(plain.printAddresses);
}

}  // namespace
