#include "bench/server/FaultyRelay.h"

namespace {

constexpr std::chrono::milliseconds kCutTick{100};
constexpr int kAddressesPerBlock = 250;

}  // namespace

asio::ip::address_v4 laneAddress(int index) {
    return asio::ip::make_address_v4(
        "127.1." + std::to_string(index / kAddressesPerBlock) + "." +
        std::to_string(index % kAddressesPerBlock + 1));
}

FaultyRelay::FaultyRelay(asio::io_context& io, const asio::ip::tcp::endpoint& server, int lanes,
                         const RelayShape& shape, std::uint64_t seed)
    : m_cutTimer(io), m_random(seed) {
    for (int index = 0; index < lanes; ++index) {
        auto lane = std::make_shared<RelayLane>(io, server, laneAddress(index), shape,
                                                seed + 1 + static_cast<std::uint64_t>(index));
        lane->start();
        m_lanes.push_back(std::move(lane));
    }
    scheduleCuts();
}

FaultyRelay::~FaultyRelay() = default;

asio::ip::tcp::endpoint FaultyRelay::endpoint(int lane) const {
    return m_lanes[static_cast<std::size_t>(lane)]->endpoint();
}

const LinkCuts& FaultyRelay::cuts(int lane) const {
    return m_lanes[static_cast<std::size_t>(lane)]->cuts();
}

void FaultyRelay::setCutting(bool on, double share) {
    m_cutShare = share;
    m_cutting = on;
}

void FaultyRelay::scheduleCuts() {
    m_cutTimer.expires_after(kCutTick);
    m_cutTimer.async_wait([this](const asio::error_code& error) {
        if (error) {
            return;  // stopped
        }
        if (m_cutting) {
            const double chance = m_cutShare * std::chrono::duration<double>(kCutTick).count() / 60;
            std::uniform_real_distribution<double> draw(0, 1);
            for (const auto& lane : m_lanes) {
                if (draw(m_random) < chance && lane->cut()) {
                    ++m_cutsMade;
                }
            }
        }
        scheduleCuts();
    });
}

void FaultyRelay::stop() {
    m_cutTimer.cancel();
    for (const auto& lane : m_lanes) {
        lane->stop();
    }
}
