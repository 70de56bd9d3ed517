#include "net/ServerAddress.h"

#include <charconv>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#endif

#include "wire/GameConstants.h"

namespace {

constexpr std::size_t kMaxHostLength = 253;  // a DNS name's longest text form
constexpr std::size_t kMaxLabelLength = 63;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Letters, digits and inner hyphens in dot-separated labels of 1 to 63 characters: a host name
// as the resolver takes it, and dotted IPv4 text too.
bool isHostName(std::string_view host) {
    if (host.empty() || host.size() > kMaxHostLength) {
        return false;
    }
    std::size_t start = 0;
    while (start <= host.size()) {
        std::size_t end = host.find('.', start);
        if (end == std::string_view::npos) {
            end = host.size();
        }
        const std::string_view label = host.substr(start, end - start);
        if (label.empty() || label.size() > kMaxLabelLength || label.front() == '-' ||
            label.back() == '-') {
            return false;
        }
        for (const char c : label) {
            if (!isAlnum(c) && c != '-') {
                return false;
            }
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

std::optional<ServerAddress> parseServerAddress(std::string_view text, std::string& reason) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    if (text.empty()) {
        reason = "没有填写服务器地址";
        return std::nullopt;
    }
    ServerAddress address;
    address.port = kGamePort;
    std::string_view host = text;
    if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        const std::string_view port = text.substr(colon + 1);
        unsigned value = 0;
        const auto [end, code] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || code != std::errc() || end != port.data() + port.size() ||
            value == 0 || value > 65535) {
            reason = "端口应是 1 到 65535 之间的数字";
            return std::nullopt;
        }
        address.port = static_cast<std::uint16_t>(value);
    }
    if (!isHostName(host)) {
        reason = "地址应是主机名或 IPv4 地址，例如 192.168.1.20:9999";
        return std::nullopt;
    }
    address.host = std::string(host);
    return address;
}

std::string resolveIPv4(const std::string& host) {
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
        return host;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::string();
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(found);
    return ok ? std::string(text) : std::string();
}
