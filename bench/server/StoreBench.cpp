// The record store on both databases: games recorded a second (each in its own transaction, as
// the writer thread commits them), the time from submit to the writer's commit, and the
// leaderboard's answer with 100,000 rated players.
// PostgreSQL is a server of the benchmark's own, started as the store's tests start theirs.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <thread>
#include <vector>

#include "server/store/RecordStore.h"
#include "server/store/Schema.h"
#include "server/store/StoreWriter.h"
#include "tests/server/store/StoreBackends.h"
#include "tests/server/store/StoreGames.h"

namespace {

using server::store::RecordStore;
using server::store::StoreResult;

constexpr int kBoardPlayers = 100000;

// 100,000 rated players, player i rated 1000 + i / 100, written in one statement, then their
// rating buckets counted, and the statistics and (PostgreSQL) the visibility map brought up to
// date as autovacuum would.
const std::map<std::string, std::vector<std::string>> kFill = {
    {"sqlite",
     {"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
     " INSERT INTO players (token_hash, name, first_seen, last_seen, games, wins, draws, losses,"
     " points, rated_games, rating) SELECT printf('%064d', i), 'player ' || i, 0, 0, 10, 5, 0, 5,"
     " 1000, 10, 1000 + i / 100.0 FROM n",
     "DELETE FROM rating_buckets", server::store::kFillRatingBuckets, "ANALYZE"}},
    {"postgres",
     {"INSERT INTO players (token_hash, name, first_seen, last_seen, games, wins, draws, losses,"
     " points, rated_games, rating) SELECT lpad(i::text, 64, '0'), 'player ' || i, 0, 0, 10, 5,"
     " 0, 5, 1000, 10, 1000 + i / 100.0 FROM generate_series(1, 100000) AS i",
     "DELETE FROM rating_buckets", server::store::kFillRatingBuckets, "VACUUM ANALYZE players"}},
};

struct Database {
    std::unique_ptr<teststore::StoreBackend> backend;
    std::unique_ptr<RecordStore> store;
    bool filled = false;
};

// One database a kind for the whole run; null (and the benchmark skipped with the reason) when
// it cannot be had.
Database* database(const std::string& kind, benchmark::State& state) {
    static std::map<std::string, Database> databases;
    Database& db = databases[kind];
    if (!db.store) {
        db.backend = teststore::makeBackend(kind);
        std::string error;
        if (!db.backend->start(error)) {
            state.SkipWithError(("cannot start " + kind + ": " + error).c_str());
            return nullptr;
        }
        db.store = db.backend->makeStore();
        if (StoreResult opened = db.store->open(); !opened.ok()) {
            state.SkipWithError(opened.message.c_str());
            return nullptr;
        }
    }
    return &db;
}

void recordGames(benchmark::State& state, const std::string& kind) {
    Database* db = database(kind, state);
    if (db == nullptr) {
        return;
    }
    // Four persons from a pool of 400, so players are found as often as they are new.
    std::int64_t game = 0;
    for (auto _ : state) {
        char letters[4];
        server::store::FinishedGame finished = teststore::gameOf(
            game, {}, {}, {}, {}, static_cast<int>(game % 5) - 2, {120, 80});
        for (int seat = 0; seat < 4; ++seat) {
            const int person = static_cast<int>((game * 7 + seat * 101) % 400);
            std::snprintf(letters, sizeof letters, "%03d", person);
            finished.seats[seat] =
                server::store::SeatPlayer::person(std::string(61, 'e') + letters, letters);
        }
        if (StoreResult result = db->store->record(finished); !result.ok()) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        ++game;
    }
    state.counters["games/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// From submit on the caller's thread to the game committed by the writer thread: what a game
// "over" waits before a kill of the server can no longer lose it.
void writerCommit(benchmark::State& state, const std::string& kind) {
    Database* db = database(kind, state);
    if (db == nullptr) {
        return;
    }
    server::store::StoreWriter writer(db->backend->makeStore(), nullptr);
    std::int64_t game = 0;
    for (auto _ : state) {
        server::store::FinishedGame finished =
            teststore::gameOf(game, teststore::person('9', "writer"), teststore::bot("easy"),
                              teststore::bot("normal"), teststore::bot("hard"), 1, {120, 80});
        const std::uint64_t before = writer.counts().written;
        writer.submit(std::move(finished));
        while (writer.counts().written == before) {
            std::this_thread::yield();
        }
        ++game;
    }
}

void leaderboard(benchmark::State& state, const std::string& kind) {
    Database* db = database(kind, state);
    if (db == nullptr) {
        return;
    }
    if (!db->filled) {
        for (const std::string& statement : kFill.at(kind)) {
            const std::string answer = db->backend->query(statement);
            if (answer.starts_with("error")) {
                state.SkipWithError(answer.c_str());
                return;
            }
        }
        db->filled = true;
    }
    // The player in the middle: half the board counted above (place 50,001).
    char asker[65];
    std::snprintf(asker, sizeof asker, "%064d", kBoardPlayers / 2);
    server::store::Leaderboard board;
    for (auto _ : state) {
        if (StoreResult result = db->store->leaderboard(asker, board); !result.ok()) {
            state.SkipWithError(result.message.c_str());
            return;
        }
    }
    state.counters["own place"] = board.ownPlace;
}

// Each measure on each database, in real time: a database's time is mostly not this process's
// CPU.
const bool kRegistered = [] {
    using Measure = void (*)(benchmark::State&, const std::string&);
    const std::pair<const char*, Measure> measures[] = {
        {"recordGames", recordGames}, {"writerCommit", writerCommit}, {"leaderboard", leaderboard}};
    for (const char* kind : {"sqlite", "postgres"}) {
        for (const auto& [name, measure] : measures) {
            benchmark::RegisterBenchmark((std::string(name) + "/" + kind).c_str(), measure,
                                         std::string(kind))
                ->Unit(measure == leaderboard ? benchmark::kMillisecond : benchmark::kMicrosecond)
                ->UseRealTime();
        }
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
