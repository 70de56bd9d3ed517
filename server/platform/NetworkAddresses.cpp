#include "server/platform/NetworkAddresses.h"

#include <algorithm>

#ifdef _WIN32
#include <winsock2.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#endif

namespace server {

namespace {

std::string dotted(std::uint32_t ipv4) {
    return std::to_string(ipv4 >> 24) + "." + std::to_string((ipv4 >> 16) & 0xFF) + "." +
           std::to_string((ipv4 >> 8) & 0xFF) + "." + std::to_string(ipv4 & 0xFF);
}

bool isLinkLocal(std::uint32_t ipv4) { return (ipv4 >> 16) == 0xA9FE; }  // 169.254/16
bool isLoopbackNet(std::uint32_t ipv4) { return (ipv4 >> 24) == 127; }  // 127/8

}  // namespace

#ifdef _WIN32

std::vector<InterfaceAddress> interfaceAddresses() {
    std::vector<InterfaceAddress> out;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        status = GetAdaptersAddresses(
            AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (status != NO_ERROR) {
        return out;
    }
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter;
         adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET) {
                continue;
            }
            InterfaceAddress entry;
            entry.interfaceName = adapter->AdapterName ? adapter->AdapterName : "";
            entry.ipv4 = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
            entry.up = adapter->OperStatus == IfOperStatusUp;
            entry.loopback = adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
            out.push_back(entry);
        }
    }
    return out;
}

#else

std::vector<InterfaceAddress> interfaceAddresses() {
    std::vector<InterfaceAddress> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return out;
    }
    for (const ifaddrs* item = list; item; item = item->ifa_next) {
        if (!item->ifa_addr || item->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        InterfaceAddress entry;
        entry.interfaceName = item->ifa_name ? item->ifa_name : "";
        entry.ipv4 = ntohl(reinterpret_cast<const sockaddr_in*>(item->ifa_addr)->sin_addr.s_addr);
        entry.up = (item->ifa_flags & IFF_UP) != 0;
        entry.loopback = (item->ifa_flags & IFF_LOOPBACK) != 0;
        out.push_back(entry);
    }
    freeifaddrs(list);
    return out;
}

#endif

std::vector<std::string> addressesForFriends(const std::vector<InterfaceAddress>& interfaces) {
    std::vector<std::string> out;
    for (const InterfaceAddress& entry : interfaces) {
        if (!entry.up || entry.loopback || isLoopbackNet(entry.ipv4) || isLinkLocal(entry.ipv4) ||
            entry.ipv4 == 0) {
            continue;
        }
        std::string text = dotted(entry.ipv4);
        if (std::find(out.begin(), out.end(), text) == out.end()) {
            out.push_back(std::move(text));
        }
    }
    return out;
}

std::string friendAddressesText(const std::vector<std::string>& addresses, unsigned short port) {
    if (addresses.empty()) {
        return "This machine has no network address besides its own loopback: friends cannot "
               "reach it. Join a network and try again.\n";
    }
    std::string text = "Friends on this network enter one of these server addresses (port " +
                       std::to_string(port) + "):\n";
    for (const std::string& address : addresses) {
        text += "  " + address + "\n";
    }
    return text;
}

}  // namespace server
