#pragma once
// The threads that make the computer players' searching decisions, off the event loop.
//
//   function   thread       does
//   submit     event loop   queues one job; its answer is posted back to the event loop
//   stop       event loop   drops queued jobs, waits for the running ones, joins the threads
//   (workers)  worker       run BotJob::decide on their own copy of the job
//
// The workers run at a lower scheduling priority than the event loop, so persons' messages go
// first when the searches keep every core busy. When jobs queue up, each search gets a share of
// its time budget (budgetUnderLoad), so every desk's computer players keep moving. A job touches
// nothing but its own copy of the round, and its answer is handled on the event loop: no lock is
// needed beyond Asio's queues and one atomic count.

#include <asio.hpp>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "server/game/DeskOutput.h"

namespace server {

// A search's time budget when `waiting` jobs (this one included) share `threads` workers: the
// full budget while there are no more jobs than threads, then divided among them, but never
// below kLeastSearchTime. A budget without a time limit is kept as it is.
SearchBudget budgetUnderLoad(const SearchBudget& budget, int waiting, int threads);
inline constexpr std::chrono::microseconds kLeastSearchTime{2000};

class BotWorkers {
public:
    using Answer = std::function<void(const BotJob& job, std::vector<int> cards)>;

    // `threads` workers (at least one); `answer` runs on `loop` for every finished job.
    BotWorkers(asio::io_context& loop, int threads, Answer answer);
    ~BotWorkers();
    BotWorkers(const BotWorkers&) = delete;
    BotWorkers& operator=(const BotWorkers&) = delete;

    void submit(BotJob job);
    void stop();

private:
    asio::io_context& m_loop;
    Answer m_answer;
    asio::io_context m_jobs;
    asio::executor_work_guard<asio::io_context::executor_type> m_work;
    const int m_threadCount = 1;
    std::vector<std::thread> m_threads;
    std::atomic<int> m_waiting{0};  // jobs submitted and not yet started
};

}  // namespace server
