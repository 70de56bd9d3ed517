#pragma once
// The threads that make the computer players' searching decisions, off the event loop.
//
//   function    thread       does
//   submit      event loop   queues one job, which its desk now waits for; its answer is posted
//                            back to the event loop
//   setAwaited  event loop   the job a desk waits for now, if any (DeskGame::awaitedJob)
//   stop        event loop   drops queued jobs, waits for the running ones, joins the threads
//   (workers)   worker       run BotJob::decide on their own copy of the job
//
// A worker searches a job only if its desk still waits for it: a job superseded by a newer one
// of the same desk, or whose turn moved on (played, taken back by the person, the game ended)
// before a worker took it up, is dropped unsearched. So a person who hands the seat over and
// takes it back many times costs at most the one search running. (A search already running is
// finished; the desk ignores its answer.)
//
// The workers run at a lower scheduling priority than the event loop, so persons' messages go
// first when the searches keep every core busy. When awaited jobs queue up, each search gets a
// share of its time budget (budgetUnderLoad), so every desk's computer players keep moving. A
// job touches nothing but its own copy of the round, and its answer is handled on the event
// loop; the one lock guards which job each desk waits for.

#include <asio.hpp>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
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
    // What a worker runs for a job it searches (the tests watch it).
    using Decide = std::function<std::vector<int>(const BotJob& job)>;

    // `threads` workers (at least one); `answer` runs on `loop` for every finished job.
    BotWorkers(asio::io_context& loop, int threads, Answer answer,
               Decide decide = &BotJob::decide);
    ~BotWorkers();
    BotWorkers(const BotWorkers&) = delete;
    BotWorkers& operator=(const BotWorkers&) = delete;

    void submit(BotJob job);
    // `desk` waits for the job numbered `serial` now, or for none: any other job of that desk
    // still queued is dropped when a worker reaches it.
    void setAwaited(int desk, std::optional<std::uint64_t> serial);
    void stop();

    // Jobs searched, and jobs dropped unsearched because their desk no longer waited for them.
    std::uint64_t searched() const { return m_searched; }
    std::uint64_t dropped() const { return m_dropped; }

private:
    struct Awaited {
        std::uint64_t serial = 0;
        bool queued = false;  // not yet taken up by a worker
    };

    // worker: whether the job is still awaited; then it leaves the queue, and `waiting` is the
    // number of awaited jobs queued with it.
    bool takeUp(const BotJob& job, int& waiting);

    asio::io_context& m_loop;
    Answer m_answer;
    Decide m_decide;
    asio::io_context m_jobs;
    asio::executor_work_guard<asio::io_context::executor_type> m_work;
    const int m_threadCount = 1;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::unordered_map<int, Awaited> m_awaited;  // by desk, under m_mutex
    int m_queued = 0;  // awaited jobs not yet taken up, under m_mutex
    std::atomic<std::uint64_t> m_searched{0};
    std::atomic<std::uint64_t> m_dropped{0};
};

}  // namespace server
