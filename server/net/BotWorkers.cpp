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

BotWorkers::BotWorkers(asio::io_context& loop, int threads, Answer answer)
    : m_loop(loop),
      m_answer(std::move(answer)),
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
    ++m_waiting;
    asio::post(m_jobs, [this, job = std::move(job)]() mutable {
        // worker
        const int waiting = m_waiting--;
        job.budget = budgetUnderLoad(job.budget, waiting, m_threadCount);
        std::vector<int> cards = job.decide();
        asio::post(m_loop, [this, job = std::move(job), cards = std::move(cards)]() mutable {
            // event loop
            m_answer(job, std::move(cards));
        });
    });
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
