#include "server/net/BotWorkers.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace server {

namespace {

// Linux gives each thread its own nice value: searching yields to the event loop.
constexpr int kWorkerNice = 10;

void lowerThisThreadsPriority() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
}

}  // namespace

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
            lowerThisThreadsPriority();
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
