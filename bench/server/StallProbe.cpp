#include "bench/server/StallProbe.h"

#include <algorithm>
#include <cstdlib>

#include "net/OutgoingMessages.h"
#include "tests/server/net/LoopbackClient.h"

namespace {

// An answer later than this is a failure (the link is replaced).
constexpr std::chrono::seconds kPatience{5};

}  // namespace

StallProbe::StallProbe(unsigned short port, std::chrono::milliseconds every, int links)
    : m_port(port), m_every(every), m_linkCount(links) {}

StallProbe::~StallProbe() {
    stop();
}

void StallProbe::start() {
    m_thread = std::thread([this] { run(); });
}

void StallProbe::stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

double StallProbe::takeWorstMs() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_worstMs, 0.0);
}

void StallProbe::run() {
    using Clock = std::chrono::steady_clock;
    m_links.resize(static_cast<std::size_t>(m_linkCount));
    auto next = Clock::now();
    for (std::size_t turn = 0; !m_stop; ++turn) {
        std::unique_ptr<LoopbackClient>& link = m_links[turn % m_links.size()];
        if (!link) {
            link = std::make_unique<LoopbackClient>();
            if (!link->connect(m_port)) {
                ++m_failures;
                link.reset();
                std::this_thread::sleep_for(m_every);
                continue;
            }
        }
        const auto sent = Clock::now();
        const auto answer =
            link->sendText(queryMessage())
                ? link->receive("query", std::chrono::duration_cast<std::chrono::milliseconds>(kPatience))
                : std::nullopt;
        const double delayMs =
            std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
        ++m_queries;
        if (answer) {
            m_online = std::atol(answer->online.c_str());
        } else {
            ++m_failures;
            link.reset();
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_worstMs = std::max(m_worstMs, delayMs);
        }
        next = std::max(next + m_every, Clock::now());
        std::this_thread::sleep_until(next);
    }
    m_links.clear();
}
