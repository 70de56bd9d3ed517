#pragma once
// Every flood of the soak benchmark at once: HostileClients of each kind, each kind from its own
// loopback addresses (127.0.1x.y), at the rates of a FloodPlan. A rate is per link for the
// long-lived kinds (each far under the server's 50 frames a second) and in new links a second,
// over a few clients one link at a time, for the storms. The io_context's thread only; the
// tallies may be read once that thread has ended.

#include <array>
#include <asio.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/server/HostileClient.h"

struct FloodPlan {
    int nameLinks = 12;
    double namesPerSecond = 20;
    double createsPerSecond = 10;
    double hellosPerSecond = 10;
    int wrongCodeLinks = 8;
    double joinsPerSecond = 10;
    int watchLinks = 12;
    double watchesPerSecond = 20;  // "desks" and "watch" in turn
    int autoDesks = 4;
    double togglesPerSecond = 10;
    int talkDesks = 2;
    double talksPerSecond = 10;
    int addressesPerKind = 3;
};

// The short mode's floods: every kind, fewer links at lower rates.
FloodPlan shortFloodPlan();
// Keeps only the kinds named in `names` (comma-separated: names, create, hello, codes, watch,
// auto, talk), to tell which flood costs what; false for a name it does not know.
bool keepOnly(const std::string& names, FloodPlan& plan);

class HostileFloods {
public:
    // `watchDesks`: the persons' desks are 0 .. watchDesks - 1.
    HostileFloods(asio::io_context& io, const asio::ip::tcp::endpoint& server,
                  const FloodPlan& plan, int watchDesks, std::uint64_t seed);
    void start();
    void stop();

    const HostileTally& tally(HostileKind kind) const {
        return m_tallies[static_cast<std::size_t>(kind)];
    }

private:
    void add(HostileClient::Plan plan, int index, double perSecond);
    void addDesk(HostileKind kind, int index, double perSecond);

    asio::io_context& m_io;
    asio::ip::tcp::endpoint m_server;
    FloodPlan m_plan;
    int m_watchDesks;
    std::uint64_t m_seed;
    std::array<HostileTally, kHostileKinds> m_tallies{};
    std::vector<std::shared_ptr<HostileClient>> m_clients;
    bool m_stopped = false;
};
