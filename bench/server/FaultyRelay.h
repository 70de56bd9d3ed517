#pragma once
// The soak benchmark's network between its persons and the server: one RelayLane a person, each
// connecting to the server from its own loopback address (127.1.x.y, so that the persons stay
// within the server's per-address cap), and while cutting is on, cuts at random: each lane's link
// is cut with a chance of `share` a minute (1 in 10 persons a minute at 0.1), checked ten times a
// second. Everything runs on the io_context given, one thread; setCutting and the figures may be
// used from any thread.

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "bench/server/RelayLane.h"

class FaultyRelay {
public:
    FaultyRelay(asio::io_context& io, const asio::ip::tcp::endpoint& server, int lanes,
                const RelayShape& shape, std::uint64_t seed);
    ~FaultyRelay();

    // Where person `lane` connects; its cuts.
    asio::ip::tcp::endpoint endpoint(int lane) const;
    const LinkCuts& cuts(int lane) const;
    // Any thread: start or stop cutting links, at `share` of the lanes a minute.
    void setCutting(bool on, double share);
    // The relay's thread: closes every lane and its listener; the io_context then runs dry.
    void stop();

    std::uint64_t cutsMade() const { return m_cutsMade; }

private:
    void scheduleCuts();

    asio::steady_timer m_cutTimer;
    std::vector<std::shared_ptr<RelayLane>> m_lanes;
    std::mt19937_64 m_random;
    std::atomic<bool> m_cutting{false};
    std::atomic<double> m_cutShare{0};
    std::atomic<std::uint64_t> m_cutsMade{0};
};

// The source address of lane `index`: 127.1.x.y with y from 1 to 250.
asio::ip::address_v4 laneAddress(int index);
