// The writer thread against both databases: games committed at once, kept and retried while
// the database is away, lookups answered off the caller's thread, an orderly stop, and (on
// PostgreSQL) two servers' writers recording into one database side by side.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "server/store/StoreWriter.h"
#include "tests/server/store/StoreFixture.h"
#include "tests/server/store/StoreGames.h"

namespace {

using namespace server::store;
using namespace std::chrono_literals;
using teststore::bot;
using teststore::gameOf;
using teststore::person;

// What the writer reported, kept for the test thread.
class Events {
public:
    StoreWriter::Report report() {
        return [this](const WriterEvent& event) {
            std::lock_guard lock(m_mutex);
            m_events.push_back(event);
            m_changed.notify_all();
        };
    }
    // The first event of `kind` whose counts satisfy `test`, waited for up to 30 s.
    template <typename Test>
    bool waitFor(WriterEvent::Kind kind, Test test, WriterEvent* found = nullptr) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 30s, [&] {
            for (const WriterEvent& event : m_events) {
                if (event.kind == kind && test(event.counts)) {
                    if (found != nullptr) {
                        *found = event;
                    }
                    return true;
                }
            }
            return false;
        });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<WriterEvent> m_events;
};

template <typename Test>
bool eventually(Test test) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!test()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

const WriterOptions kQuickRetries{4, 8, 20ms, 200ms};

FinishedGame numbered(int i) {
    return gameOf(1000 + i, person('a', "Ann"), person('b', "Bea"), person('c', "Cy"),
                  bot("easy"), i % 3 - 1, {100 + i % 3, 100 - i % 3});
}

class StoreWriterTest : public teststore::StoreFixture {
protected:
    Events m_events;
};

// Game 1 is the one whose COMMIT reached the database as the link dropped, so that the answer
// was lost (another store plays that first try): the writer's retries store it no second time.
TEST_P(StoreWriterTest, KeepsGamesWhileTheDatabaseIsAwayAndWritesThemWhenBack) {
    const FinishedGame committed = numbered(1);
    auto firstTry = m_backend->makeStore();
    ASSERT_TRUE(firstTry->open().ok() && firstTry->record(committed).ok());
    firstTry.reset();
    StoreWriter writer(m_backend->makeStore(50), m_events.report(), kQuickRetries);
    ASSERT_TRUE(m_events.waitFor(WriterEvent::Kind::opened, [](auto&) { return true; }));
    ASSERT_TRUE(writer.submit(numbered(0)));
    ASSERT_TRUE(eventually([&] { return writer.counts().written == 1; }));

    std::string error;
    ASSERT_TRUE(m_backend->takeAway(error)) << error;
    // Four are kept, the fifth and sixth dropped and counted; the failure is reported.
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(writer.submit(i == 1 ? committed : numbered(i)), i <= 4) << i;
    }
    WriterEvent failure;
    ASSERT_TRUE(m_events.waitFor(
        WriterEvent::Kind::unavailable,
        [](const WriterCounts& c) { return c.waiting == 4 && c.dropped == 2; }, &failure));
    EXPECT_NE(logLine(failure).find("store: 4 games waiting, 2 dropped (queue full), retrying in"),
              std::string::npos)
        << logLine(failure);
    // A lookup while the database is away is answered, as unavailable, without waiting for it.
    std::promise<StoreStatus> answered;
    ASSERT_TRUE(writer.askLeaderboard(std::string(64, 'a'),
                                      [&](const StoreResult& result, const Leaderboard&) {
                                          answered.set_value(result.status);
                                      }));
    auto status = answered.get_future();
    ASSERT_EQ(status.wait_for(30s), std::future_status::ready);
    EXPECT_EQ(status.get(), StoreStatus::unavailable);

    ASSERT_TRUE(m_backend->giveBack(error)) << error;
    ASSERT_TRUE(m_events.waitFor(WriterEvent::Kind::recovered, [](auto&) { return true; }));
    ASSERT_TRUE(eventually([&] { return writer.counts().written == 5; }));
    EXPECT_EQ(writer.counts().waiting, 0u);
    EXPECT_EQ(writer.counts().refused, 0u);
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM games"), "5");
    EXPECT_EQ(m_backend->query("SELECT games FROM players WHERE name = 'Ann'"), "5");
}

TEST_P(StoreWriterTest, AnswersLookupsOnItsOwnThread) {
    StoreWriter writer(m_backend->makeStore(), m_events.report());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(writer.submit(numbered(i)));
    }
    ASSERT_TRUE(eventually([&] { return writer.counts().written == 3; }));

    std::promise<std::thread::id> figuresThread;
    PlayerFigures figures;
    std::vector<GameLine> lines;
    ASSERT_TRUE(writer.askFigures(std::string(64, 'b'), [&](const StoreResult& result,
                                                            const PlayerFigures& f,
                                                            const std::vector<GameLine>& g) {
        EXPECT_TRUE(result.ok()) << result.message;
        figures = f;
        lines = g;
        figuresThread.set_value(std::this_thread::get_id());
    }));
    auto answeredOn = figuresThread.get_future();
    ASSERT_EQ(answeredOn.wait_for(30s), std::future_status::ready);
    EXPECT_NE(answeredOn.get(), std::this_thread::get_id());
    EXPECT_EQ(figures.name, "Bea");
    EXPECT_EQ(figures.games, 3);
    EXPECT_EQ(figures.wins + figures.draws + figures.losses, 3);
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines.front().finishedAtMs, 1002);
}

TEST_P(StoreWriterTest, StopWritesWhatIsQueued) {
    auto writer = std::make_unique<StoreWriter>(m_backend->makeStore(), m_events.report());
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(writer->submit(numbered(i)));
    }
    writer->stop();
    EXPECT_EQ(writer->counts().written, 25u);
    EXPECT_FALSE(writer->submit(numbered(99)));
    writer.reset();
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM games"), "25");
}

TEST_P(StoreWriterTest, StopWithTheDatabaseAwayDoesNotWait) {
    StoreWriter writer(m_backend->makeStore(50), m_events.report(),
                       WriterOptions{100, 8, 20ms, 60s});
    ASSERT_TRUE(m_events.waitFor(WriterEvent::Kind::opened, [](auto&) { return true; }));
    std::string error;
    ASSERT_TRUE(m_backend->takeAway(error)) << error;
    ASSERT_TRUE(writer.submit(numbered(0)));
    ASSERT_TRUE(m_events.waitFor(WriterEvent::Kind::unavailable, [](auto&) { return true; }));
    ASSERT_TRUE(writer.submit(numbered(1)));
    writer.stop();
    EXPECT_TRUE(m_events.waitFor(WriterEvent::Kind::stopped,
                                 [](const WriterCounts& c) { return c.waiting == 2; }));
    ASSERT_TRUE(m_backend->giveBack(error)) << error;
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreWriterTest, testing::ValuesIn(teststore::storeNames()),
                         teststore::databaseName);

#if DESK_STORE_POSTGRES
// Two servers' writers on one PostgreSQL, recording games of the same four persons at once:
// every game is stored once and no aggregate loses an update.
TEST(StoreWriterPostgres, TwoWritersSideBySide) {
    auto backend = teststore::makeBackend("postgres");
    std::string error;
    ASSERT_TRUE(backend->start(error)) << "postgres did not start: " << error;
    constexpr int kEach = 60;
    Events events;
    {
        StoreWriter first(backend->makeStore(), events.report(), WriterOptions{1000, 8, 20ms, 200ms});
        StoreWriter second(backend->makeStore(), events.report(), WriterOptions{1000, 8, 20ms, 200ms});
        for (int i = 0; i < kEach; ++i) {
            for (StoreWriter* writer : {&first, &second}) {
                FinishedGame game = gameOf(1000 + i, person('a', "Ann"), person('b', "Bea"),
                                           person('c', "Cy"), person('d', "Dan"),
                                           i % 5 - 2, {100 + i % 3, 100 - i % 3});
                game.desk = writer == &first ? 1 : 2;
                ASSERT_TRUE(writer->submit(game));
            }
        }
        ASSERT_TRUE(eventually([&] {
            return first.counts().written + second.counts().written == 2 * kEach;
        })) << first.counts().written << " + " << second.counts().written;
    }
    EXPECT_EQ(backend->query("SELECT count(*) FROM games"), std::to_string(2 * kEach));
    EXPECT_EQ(backend->query("SELECT count(DISTINCT (desk, seed)) FROM games"),
              std::to_string(2 * kEach));
    EXPECT_EQ(backend->query("SELECT count(*) FROM players WHERE games = " +
                             std::to_string(2 * kEach) + " AND rated_games = games"
                             " AND wins + draws + losses = games"),
              "4");
    // Team 0 won i % 5 - 2 > 0 in 24 of every 60 games, drew in 12.
    EXPECT_EQ(backend->query("SELECT wins || ' ' || draws FROM players WHERE name = 'Ann'"), "48 24");
    // Every change is taken from one team and given to the other: the sum stays four starts.
    EXPECT_EQ(backend->query("SELECT round(sum(rating)::numeric, 6) FROM players"), "6000.000000");
}
#endif

}  // namespace
