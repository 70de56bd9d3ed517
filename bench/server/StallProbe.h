#pragma once
// The server's event loop, watched from outside: on a thread of its own, {"opt":"query"} every
// `every` (10 ms), one at a time, in turn over a few links of its own (each link then sends
// under the server's 50 frames a second). The time from a query to its answer is how long the
// loop took to come round to it: the worst of them is the loop's worst stall, give or take
// `every`. A link that fails is counted and replaced.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class LoopbackClient;

class StallProbe {
public:
    StallProbe(unsigned short port, std::chrono::milliseconds every, int links);
    ~StallProbe();
    StallProbe(const StallProbe&) = delete;
    StallProbe& operator=(const StallProbe&) = delete;

    void start();
    void stop();  // joins the thread; no link is left open
    // Any thread: the worst answer delay (ms) since the last call, and the open links the last
    // answer counted ("online").
    double takeWorstMs();
    long online() const { return m_online; }
    std::uint64_t queries() const { return m_queries; }
    std::uint64_t failures() const { return m_failures; }
    int links() const { return m_linkCount; }

private:
    void run();

    unsigned short m_port;
    std::chrono::milliseconds m_every;
    int m_linkCount;
    std::vector<std::unique_ptr<LoopbackClient>> m_links;  // the probe's thread only
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    double m_worstMs = 0;  // under m_mutex
    std::atomic<long> m_online{-1};
    std::atomic<std::uint64_t> m_queries{0};
    std::atomic<std::uint64_t> m_failures{0};
};
