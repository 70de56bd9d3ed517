// The worker threads of the hard computer players: a job its desk no longer waits for (a newer
// job of that desk was queued, or its turn moved on) is dropped before it is searched, and only
// the jobs still awaited share the search time.

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <random>
#include <utility>
#include <vector>

#include "server/game/Deal.h"
#include "server/net/BotWorkers.h"

namespace {

using server::BotJob;
using Searched = std::pair<int, std::uint64_t>;  // desk, serial

BotJob jobFor(int desk, std::uint64_t serial) {
    std::mt19937_64 rng(serial * 31 + static_cast<std::uint64_t>(desk));
    return BotJob{desk, serial, 0, server::BotLevel::Hard, server::kServerSearchBudget, serial,
                  server::Round(server::dealHands(rng, 5), 0)};
}

TEST(BotWorkersTest, AStaleJobIsNeverSearched) {
    asio::io_context loop;
    auto keepRunning = asio::make_work_guard(loop);
    std::mutex mutex;
    std::vector<Searched> searched;
    std::vector<std::chrono::microseconds> budgets;
    std::promise<void> firstStarted;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::vector<Searched> answered;
    server::BotWorkers workers(
        loop, 1,
        [&answered](const BotJob& job, std::vector<int>) {
            answered.emplace_back(job.desk, job.serial);
        },
        [&](const BotJob& job) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                searched.emplace_back(job.desk, job.serial);
                budgets.push_back(job.budget.time);
            }
            if (job.desk == 0) {  // holds the one worker while the rest are queued
                firstStarted.set_value();
                released.wait();
            }
            return job.decide();
        });

    workers.submit(jobFor(0, 1));
    firstStarted.get_future().wait();
    workers.submit(jobFor(1, 1));
    workers.submit(jobFor(1, 2));  // a newer job of desk 1 supersedes the first
    workers.submit(jobFor(2, 1));
    workers.setAwaited(2, std::nullopt);  // desk 2's turn moved on: it waits for nothing
    workers.submit(jobFor(3, 1));
    workers.setAwaited(3, 1);  // still the one desk 3 waits for
    release.set_value();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (answered.size() < 3 && std::chrono::steady_clock::now() < deadline) {
        loop.run_one_for(std::chrono::milliseconds(100));
    }
    workers.stop();
    loop.poll();
    const std::vector<Searched> expected{{0, 1}, {1, 2}, {3, 1}};
    EXPECT_EQ(answered, expected);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(searched, expected);
    // Two jobs still awaited were queued behind the first: the stale ones took no share.
    ASSERT_EQ(budgets.size(), 3u);
    const server::SearchBudget full = server::kServerSearchBudget;
    EXPECT_EQ(budgets[1], server::budgetUnderLoad(full, 2, 1).time);
    EXPECT_EQ(budgets[2], full.time);
}

}  // namespace
