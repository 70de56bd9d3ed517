#pragma once
// The addresses other machines on the player's network can reach this one at, for
// `desk-server --print-addresses` (hosting for friends). Reading the system's interfaces is
// platform work (getifaddrs; GetAdaptersAddresses on Windows); choosing and wording them is plain.

#include <cstdint>
#include <string>
#include <vector>

namespace server {

struct InterfaceAddress {
    std::string interfaceName;
    std::uint32_t ipv4 = 0;  // in host byte order: 192.168.1.5 is 0xC0A80105
    bool up = false;
    bool loopback = false;
};

// This machine's IPv4 addresses, one per interface address, in the system's order; empty when
// the system will not say.
std::vector<InterfaceAddress> interfaceAddresses();

// The dotted addresses friends can type: interfaces that are up, not loopback, not link-local
// (169.254.x.x, which a machine gives itself when no network gave it one), each address once.
std::vector<std::string> addressesForFriends(const std::vector<InterfaceAddress>& interfaces);

// What --print-addresses prints: the addresses and the port, or why there are none.
std::string friendAddressesText(const std::vector<std::string>& addresses, unsigned short port);

}  // namespace server
