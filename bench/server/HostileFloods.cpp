#include "bench/server/HostileFloods.h"

#include <algorithm>
#include <chrono>
#include <string>

namespace {

// Each storm's new links come from this many clients, one link at a time each.
constexpr int kStormClients = 4;

HostileClient::Plan planOf(HostileKind kind) {
    HostileClient::Plan plan;
    plan.kind = kind;
    return plan;
}

std::chrono::microseconds interval(double perSecond) {
    return std::chrono::microseconds(static_cast<long long>(1e6 / perSecond));
}

}  // namespace

FloodPlan shortFloodPlan() {
    FloodPlan plan;
    plan.nameLinks = 4;
    plan.namesPerSecond = 10;
    plan.createsPerSecond = 3;
    plan.hellosPerSecond = 3;
    plan.wrongCodeLinks = 2;
    plan.joinsPerSecond = 5;
    plan.watchLinks = 4;
    plan.watchesPerSecond = 10;
    plan.autoDesks = 1;
    plan.togglesPerSecond = 5;
    plan.talkDesks = 1;
    plan.talksPerSecond = 5;
    plan.addressesPerKind = 2;
    return plan;
}

bool keepOnly(const std::string& names, FloodPlan& plan) {
    FloodPlan kept = plan;
    kept.nameLinks = kept.wrongCodeLinks = kept.watchLinks = kept.autoDesks = kept.talkDesks = 0;
    kept.createsPerSecond = kept.hellosPerSecond = 0;
    std::size_t at = 0;
    while (at <= names.size()) {
        const std::size_t comma = std::min(names.find(',', at), names.size());
        const std::string name = names.substr(at, comma - at);
        if (name == "names") {
            kept.nameLinks = plan.nameLinks;
        } else if (name == "create") {
            kept.createsPerSecond = plan.createsPerSecond;
        } else if (name == "hello") {
            kept.hellosPerSecond = plan.hellosPerSecond;
        } else if (name == "codes") {
            kept.wrongCodeLinks = plan.wrongCodeLinks;
        } else if (name == "watch") {
            kept.watchLinks = plan.watchLinks;
        } else if (name == "auto") {
            kept.autoDesks = plan.autoDesks;
        } else if (name == "talk") {
            kept.talkDesks = plan.talkDesks;
        } else {
            return false;
        }
        at = comma + 1;
    }
    plan = kept;
    return true;
}

HostileFloods::HostileFloods(asio::io_context& io, const asio::ip::tcp::endpoint& server,
                             const FloodPlan& plan, int watchDesks, std::uint64_t seed)
    : m_io(io), m_server(server), m_plan(plan), m_watchDesks(watchDesks), m_seed(seed) {}

void HostileFloods::start() {
    for (int i = 0; i < m_plan.nameLinks; ++i) {
        add(planOf(HostileKind::Names), i, m_plan.namesPerSecond);
    }
    for (int i = 0; i < kStormClients; ++i) {
        add(planOf(HostileKind::CreateStorm), i, m_plan.createsPerSecond / kStormClients);
        add(planOf(HostileKind::HelloStorm), i, m_plan.hellosPerSecond / kStormClients);
    }
    for (int i = 0; i < m_plan.wrongCodeLinks; ++i) {
        add(planOf(HostileKind::WrongCodes), i, m_plan.joinsPerSecond);
    }
    for (int i = 0; i < m_plan.watchLinks; ++i) {
        HostileClient::Plan watcher = planOf(HostileKind::Watch);
        watcher.watchDesks = m_watchDesks;
        add(std::move(watcher), i, m_plan.watchesPerSecond);
    }
    for (int i = 0; i < m_plan.autoDesks; ++i) {
        addDesk(HostileKind::AutoToggle, i, m_plan.togglesPerSecond);
    }
    for (int i = 0; i < m_plan.talkDesks; ++i) {
        addDesk(HostileKind::Talk, i, m_plan.talksPerSecond);
    }
}

void HostileFloods::add(HostileClient::Plan plan, int index, double perSecond) {
    if (m_stopped || perSecond <= 0) {
        return;
    }
    const int kind = static_cast<int>(plan.kind);
    plan.source = asio::ip::make_address_v4(
        "127.0." + std::to_string(10 + kind) + "." +
        std::to_string(1 + index % std::max(1, m_plan.addressesPerKind)));
    plan.every = interval(perSecond);
    plan.seed = m_seed + 7919 * m_clients.size();
    auto client = std::make_shared<HostileClient>(m_io, m_server, std::move(plan),
                                                  m_tallies[static_cast<std::size_t>(kind)]);
    m_clients.push_back(client);
    client->start();
}

void HostileFloods::addDesk(HostileKind kind, int index, double perSecond) {
    // The creator's "add" brings the code; then the other three join with it.
    HostileClient::Plan creator = planOf(kind);
    creator.onCode = [this, kind, index, perSecond](const std::string& code) {
        for (int seat = 1; seat < 4; ++seat) {
            HostileClient::Plan joiner = planOf(kind);
            joiner.joinCode = code;
            add(std::move(joiner), 4 * index + seat, perSecond);
        }
    };
    add(std::move(creator), 4 * index, perSecond);
}

void HostileFloods::stop() {
    m_stopped = true;
    for (const auto& client : m_clients) {
        client->stop();
    }
}
