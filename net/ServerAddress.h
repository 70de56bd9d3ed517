#pragma once
// A game server the player chose by hand (the settings' server address): a host name or a dotted
// IPv4 address, with an optional ":port" (the game's port when none). The configured server of
// strings.plist is read as before and never goes through here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ServerAddress {
    std::string host;  // a host name or dotted IPv4 text, as typed
    std::uint16_t port = 0;
};

// The address in `text` (white space around it ignored), or nullopt with `reason` saying what is
// wrong in words the settings panel shows. Empty text is not an address: it means the configured
// server, which the caller knows.
std::optional<ServerAddress> parseServerAddress(std::string_view text, std::string& reason);

// Dotted IPv4 text for `host`: itself when it is one, else the first IPv4 address the system's
// resolver gives; "" when there is none. May block while the resolver asks the network. Main
// thread (start-up).
std::string resolveIPv4(const std::string& host);
