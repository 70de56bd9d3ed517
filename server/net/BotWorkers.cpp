#include "server/net/BotWorkers.h"

#include <algorithm>

#include "server/platform/ProcessControl.h"

namespace server {

SearchBudget budgetUnderLoad(const SearchBudget& budget, int waiting, int threads) {
    if (budget.time.count() == 0 || waiting <= threads) {
        return budget;
    }
    SearchBudget shared = budget;
    shared.time = std::max(kLeastSearchTime, budget.time * threads / waiting);
    return shared;
}

BotWorkers::BotWorkers(asio::io_context& loop, int threads, Answer answer, Decide decide)
    : m_loop(loop),
      m_answer(std::move(answer)),
      m_decide(std::move(decide)),
      m_work(asio::make_work_guard(m_jobs)),
      m_threadCount(std::max(1, threads)) {
    for (int i = 0; i < m_threadCount; ++i) {
        m_threads.emplace_back([this] {
            lowerThisThreadsPriority();  // searching yields to the event loop
            m_jobs.run();
        });
    }
}

BotWorkers::~BotWorkers() {
    stop();
}

// event loop
void BotWorkers::submit(BotJob job) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Awaited& awaited = m_awaited[job.desk];
        if (!awaited.queued) {
            ++m_queued;  // else it takes the place of the desk's older job
        }
        awaited = Awaited{job.serial, true};
    }
    asio::post(m_jobs, [this, job = std::move(job)]() mutable {
        // worker
        int waiting = 0;
        if (!takeUp(job, waiting)) {
            ++m_dropped;
            return;
        }
        ++m_searched;
        job.budget = budgetUnderLoad(job.budget, waiting, m_threadCount);
        std::vector<int> cards = m_decide(job);
        asio::post(m_loop, [this, job = std::move(job), cards = std::move(cards)]() mutable {
            // event loop
            m_answer(job, std::move(cards));
        });
    });
}

// event loop
void BotWorkers::setAwaited(int desk, std::optional<std::uint64_t> serial) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_awaited.find(desk);
    if (found == m_awaited.end() || (serial && found->second.serial == *serial)) {
        return;
    }
    if (found->second.queued) {
        --m_queued;
    }
    m_awaited.erase(found);
}

// worker
bool BotWorkers::takeUp(const BotJob& job, int& waiting) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_awaited.find(job.desk);
    if (found == m_awaited.end() || found->second.serial != job.serial ||
        !found->second.queued) {
        return false;
    }
    found->second.queued = false;
    waiting = m_queued--;
    return true;
}

// event loop
void BotWorkers::stop() {
    m_work.reset();
    m_jobs.stop();
    for (std::thread& thread : m_threads) {
        if (thread.joinable()) {
            thread.join();
        }
    }
    m_threads.clear();
}

}  // namespace server
