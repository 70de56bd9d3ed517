// The record store against both databases, the same cases each: the schema's versions, a known
// series of games read back as figures, last games and the leaderboard. PostgreSQL is a real
// server started for the test; if it cannot start, the PostgreSQL cases fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "server/store/RecordStore.h"
#include "server/store/Schema.h"
#include "server/platform/Utf8.h"
#include "server/store/SqliteStore.h"
#include "tests/server/store/StoreFixture.h"
#include "tests/server/store/StoreGames.h"
#include "tests/support/TestSystem.h"

namespace {

using namespace server::store;
using teststore::bot;
using teststore::gameOf;
using teststore::person;

class RecordStoreTest : public teststore::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        m_store = m_backend->makeStore();
        const StoreResult opened = m_store->open();
        ASSERT_TRUE(opened.ok()) << opened.message;
    }

    void record(const FinishedGame& game) {
        const StoreResult result = m_store->record(game);
        ASSERT_TRUE(result.ok()) << result.message;
    }

    // "0" when rating_buckets holds exactly the rated players' count by whole rating.
    std::string bucketsMismatched() {
        const std::string held = "SELECT bucket, players FROM rating_buckets WHERE players <> 0";
        const std::string counted = "SELECT CAST(floor(rating) AS BIGINT), count(*) FROM players"
                                    " WHERE rated_games > 0 GROUP BY 1";
        return m_backend->query("SELECT (SELECT count(*) FROM (" + held + " EXCEPT " + counted +
                                ") AS extra) + (SELECT count(*) FROM (" + counted + " EXCEPT " +
                                held + ") AS missing)");
    }

    std::unique_ptr<RecordStore> m_store;
};

// Names that must come back exactly: Chinese, quotes, backslashes, percent signs, underscores.
const std::string kAnn = "Ann";
const std::string kChinese = "张伟";
const std::string kXiaoming = "小明";
const std::string kQuotes = "O'Brien \"Bob\"";
const std::string kEscapes = "back\\slash 100% _x_ '; DROP TABLE players; --";

// The series: A and C against B and D twice (a win, then the other team's sweep); A and E with
// two computer players (a draw, not rated); B and D against E and A, the names changed; C with
// three computer players. The same games (and uids) every time.
void recordSeries(RecordStore& store) {
    static const FinishedGame games[] = {
        gameOf(1000, person('a', kAnn), person('b', "Bea"), person('c', kChinese),
               person('d', "Dan"), 1, {120, 80}),
        gameOf(2000, person('a', kAnn), person('b', "Bea"), person('c', kChinese),
               person('d', "Dan"), -2, {90, 110}),
        gameOf(3000, person('a', kAnn), bot("hard"), person('e', "Eve"), bot("easy"), 0,
               {100, 100}),
        gameOf(4000, person('b', kXiaoming), person('e', kQuotes), person('d', kEscapes),
               person('a', kAnn), 1, {150, 50}),
        gameOf(5000, bot("normal"), bot("easy"), person('c', kChinese), bot("hard"), -1,
               {60, 140}),
    };
    for (const FinishedGame& game : games) {
        const StoreResult result = store.record(game);
        ASSERT_TRUE(result.ok()) << result.message;
    }
}

TEST_P(RecordStoreTest, MigratesAnEmptyDatabaseAndReopens) {
    EXPECT_EQ(m_backend->query("SELECT version FROM schema_version"),
              std::to_string(kSchemaVersion));
    record(gameOf(1000, person('a', kAnn), person('b', "Bea"), person('c', kChinese),
                  person('d', "Dan"), 1, {120, 80}));
    m_store.reset();

    auto again = m_backend->makeStore();
    ASSERT_TRUE(again->open().ok());
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM schema_version"), "1");
    PlayerFigures figures;
    ASSERT_TRUE(again->figures(std::string(64, 'a'), figures).ok());
    EXPECT_EQ(figures.games, 1);
    EXPECT_EQ(figures.name, kAnn);
}

// A database of an older version with its games, made by taking the newer tables away: version
// 1 gets the rating buckets counted from its players (places read from them), versions 1 and 2
// an id for each game, set, distinct, NOT NULL and unique.
TEST_P(RecordStoreTest, MigratesAnOlderDatabaseWithItsGames) {
    recordSeries(*m_store);
    const std::pair<int, std::vector<std::string>> rows[] = {
        {1,
         {"DROP INDEX games_by_uid", "ALTER TABLE games DROP COLUMN uid",
          "DROP TABLE rating_buckets"}},
        {2, {"DROP INDEX games_by_uid", "ALTER TABLE games DROP COLUMN uid"}},
    };
    for (const auto& [version, undo] : rows) {
        m_store.reset();
        for (const std::string& statement : undo) {
            ASSERT_EQ(m_backend->query(statement), "") << version << ": " << statement;
        }
        ASSERT_EQ(
            m_backend->query("UPDATE schema_version SET version = " + std::to_string(version)), "");

        m_store = m_backend->makeStore();
        ASSERT_TRUE(m_store->open().ok()) << version;
        EXPECT_EQ(m_backend->query("SELECT version FROM schema_version"),
                  std::to_string(kSchemaVersion));
        EXPECT_EQ(bucketsMismatched(), "0") << version;
        EXPECT_EQ(m_backend->query("SELECT count(DISTINCT uid) FROM games WHERE length(uid) = 32"),
                  "5")
            << version;
        EXPECT_EQ(m_backend->query("UPDATE games SET uid = NULL").substr(0, 5), "error");
        EXPECT_EQ(
            m_backend->query("UPDATE games SET uid = (SELECT min(uid) FROM games)").substr(0, 5),
            "error");
        // Rated higher than Ann: Bea and Dan (tied), Chinese and Eve, each in a bucket of its own.
        const std::pair<char, int> places[] = {{'b', 1}, {'d', 1}, {'c', 3}, {'e', 4}, {'a', 5}};
        for (const auto& [letter, place] : places) {
            Leaderboard board;
            ASSERT_TRUE(m_store->leaderboard(std::string(64, letter), board).ok());
            EXPECT_EQ(board.ownPlace, place) << version << letter;
        }
    }
}

TEST_P(RecordStoreTest, RefusesANewerSchemaAndLeavesItAsItWas) {
    record(gameOf(1000, person('a', kAnn), person('b', "Bea"), person('c', kChinese),
                  person('d', "Dan"), 1, {120, 80}));
    ASSERT_EQ(m_backend->query("UPDATE schema_version SET version = 99"), "");
    m_store.reset();

    auto newer = m_backend->makeStore();
    const StoreResult opened = newer->open();
    EXPECT_EQ(opened.status, StoreStatus::refused);
    EXPECT_NE(opened.message.find("version 99, newer than this program knows (" +
                                  std::to_string(kSchemaVersion) + ")"),
              std::string::npos)
        << opened.message;
    EXPECT_EQ(m_backend->query("SELECT version FROM schema_version"), "99");
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM games"), "1");
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM players"), "4");
}

// Recorded again, as a writer sends a game whose commit's answer it lost, the series changes
// nothing: no game, figure, rating or bucket counts twice.
TEST_P(RecordStoreTest, KnownSeriesGivesKnownFiguresRecordedOnceOrTwice) {
    struct Row {
        char letter;
        std::string name;
        std::int64_t firstSeen, lastSeen, games, wins, draws, losses, points, rated;
        double rating;  // worked out by hand from the formula in server/README.md
    };
    const Row rows[] = {
        {'a', kAnn, 1000, 4000, 4, 1, 1, 2, 120 + 90 + 100 + 50, 3, 1474.5002},
        {'b', kXiaoming, 1000, 4000, 3, 2, 0, 1, 80 + 110 + 150, 3, 1525.4998},
        {'c', kChinese, 1000, 5000, 3, 1, 0, 2, 120 + 90 + 60, 2, 1489.7957},
        {'d', kEscapes, 1000, 4000, 3, 2, 0, 1, 80 + 110 + 150, 3, 1525.4998},
        {'e', kQuotes, 3000, 4000, 2, 0, 1, 1, 100 + 50, 1, 1484.7044},
    };
    for (int times = 1; times <= 2; ++times) {
        SCOPED_TRACE("the series recorded " + std::to_string(times) + " times");
        recordSeries(*m_store);
        EXPECT_EQ(m_backend->query("SELECT count(*) FROM games"), "5");
        for (const Row& row : rows) {
            PlayerFigures f;
            ASSERT_TRUE(m_store->figures(std::string(64, row.letter), f).ok());
            EXPECT_TRUE(f.known);
            EXPECT_EQ(f.name, row.name) << row.letter;
            EXPECT_EQ(f.firstSeenMs, row.firstSeen) << row.letter;
            EXPECT_EQ(f.lastSeenMs, row.lastSeen) << row.letter;
            EXPECT_EQ(f.games, row.games) << row.letter;
            EXPECT_EQ(f.wins, row.wins) << row.letter;
            EXPECT_EQ(f.draws, row.draws) << row.letter;
            EXPECT_EQ(f.losses, row.losses) << row.letter;
            EXPECT_EQ(f.points, row.points) << row.letter;
            EXPECT_EQ(f.ratedGames, row.rated) << row.letter;
            EXPECT_NEAR(f.rating, row.rating, 1e-3) << row.letter;
        }
        EXPECT_EQ(bucketsMismatched(), "0");
    }
    PlayerFigures stranger;
    ASSERT_TRUE(m_store->figures(std::string(64, 'f'), stranger).ok());
    EXPECT_FALSE(stranger.known);
    // The seed's 64 bits come back whole.
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM games WHERE seed = -81985529216486896 + 1000"),
              "1");
}

TEST_P(RecordStoreTest, RefusedGameWritesNothing) {
    FinishedGame twice = gameOf(1000, person('a', kAnn), person('b', "Bea"), person('a', kAnn),
                                person('d', "Dan"), 1, {120, 80});
    EXPECT_EQ(m_store->record(twice).status, StoreStatus::refused);
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM players"), "0");
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM games"), "0");
}

TEST_P(RecordStoreTest, LastGamesNewestFirstWithTheTable) {
    recordSeries(*m_store);
    std::vector<GameLine> lines;
    ASSERT_TRUE(m_store->lastGames(std::string(64, 'a'), lines).ok());
    struct Row {
        std::int64_t at;
        int result, points, otherPoints;
        TableMate partner, left, right;
    };
    const Row rows[] = {
        // Seat 3 at 4000: partner seat 1, opponents seat 0 then seat 2.
        {4000, -1, 50, 150, {kQuotes, ""}, {kXiaoming, ""}, {kEscapes, ""}},
        {3000, 0, 100, 100, {"Eve", ""}, {"", "hard"}, {"", "easy"}},
        {2000, -2, 90, 110, {kChinese, ""}, {"Bea", ""}, {"Dan", ""}},
        {1000, 1, 120, 80, {kChinese, ""}, {"Bea", ""}, {"Dan", ""}},
    };
    ASSERT_EQ(lines.size(), std::size(rows));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const GameLine& line = lines[i];
        const Row& row = rows[i];
        EXPECT_EQ(line.finishedAtMs, row.at);
        EXPECT_EQ(line.lengthMs, 600000);
        EXPECT_EQ(line.result, row.result) << row.at;
        EXPECT_EQ(line.points, row.points) << row.at;
        EXPECT_EQ(line.otherPoints, row.otherPoints) << row.at;
        for (auto [got, want] : {std::pair{line.partner, row.partner},
                                 std::pair{line.opponents[0], row.left},
                                 std::pair{line.opponents[1], row.right}}) {
            EXPECT_EQ(got.name, want.name) << row.at;
            EXPECT_EQ(got.botLevel, want.botLevel) << row.at;
        }
    }
}

TEST_P(RecordStoreTest, LastGamesKeepsTheLatestTwenty) {
    for (int i = 0; i < kLastGames + 5; ++i) {
        record(gameOf(1000 * (i + 1), person('a', kAnn), bot("easy"), bot("normal"), bot("hard"),
                      i % 2 == 0 ? 1 : -1, {120, 80}));
    }
    std::vector<GameLine> lines;
    ASSERT_TRUE(m_store->lastGames(std::string(64, 'a'), lines).ok());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLastGames));
    EXPECT_EQ(lines.front().finishedAtMs, 1000 * (kLastGames + 5));
    EXPECT_EQ(lines.back().finishedAtMs, 1000 * 6);
}

TEST_P(RecordStoreTest, LeaderboardOrderAndOwnPlace) {
    // 60 rated persons (15 games of four), then their ratings set to known values: person k
    // has 2000 - 10 k, except that persons 3 and 4 tie.
    auto hash = [](int k) { return std::string(62, 'c') + char('a' + k / 26) + char('a' + k % 26); };
    for (int g = 0; g < 15; ++g) {
        const int k = g * 4;
        record(gameOf(1000 + g, SeatPlayer::person(hash(k), "p" + std::to_string(k)),
                      SeatPlayer::person(hash(k + 1), "p" + std::to_string(k + 1)),
                      SeatPlayer::person(hash(k + 2), "p" + std::to_string(k + 2)),
                      SeatPlayer::person(hash(k + 3), "p" + std::to_string(k + 3)), 1, {120, 80}));
    }
    for (int k = 0; k < 60; ++k) {
        const int rating = k == 4 ? 1970 : 2000 - 10 * k;
        ASSERT_EQ(m_backend->query("UPDATE players SET rating = " + std::to_string(rating) +
                                   " WHERE token_hash = '" + hash(k) + "'"),
                  "");
    }
    ASSERT_EQ(m_backend->query("DELETE FROM rating_buckets"), "");
    ASSERT_EQ(m_backend->query(kFillRatingBuckets), "");
    // An unrated person (a game with computer players only).
    record(gameOf(9000, person('f', "Fay"), bot("easy"), bot("easy"), bot("easy"), 1, {120, 80}));

    struct Row {
        std::string asker;
        int ownPlace;
        double ownRating;
    };
    const Row rows[] = {
        {hash(0), 1, 2000}, {hash(4), 4, 1970}, {hash(3), 4, 1970}, {hash(5), 6, 1950},
        {hash(57), 58, 1430}, {std::string(64, 'f'), 0, 0}, {std::string(64, '0'), 0, 0},
    };
    for (const Row& row : rows) {
        Leaderboard board;
        ASSERT_TRUE(m_store->leaderboard(row.asker, board).ok());
        EXPECT_EQ(board.ownPlace, row.ownPlace) << row.asker;
        EXPECT_EQ(board.ownRating, row.ownRating) << row.asker;
        ASSERT_EQ(board.rows.size(), static_cast<std::size_t>(kLeaderboardSize));
        const int places[] = {1, 2, 3, 4, 4, 6};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(board.rows[i].place, places[i]) << i;
        }
        // The tie keeps the earlier player first.
        EXPECT_EQ(board.rows[3].name, "p3");
        EXPECT_EQ(board.rows[4].name, "p4");
        EXPECT_EQ(board.rows.back().name, "p49");
        EXPECT_EQ(board.rows.back().place, 50);
        EXPECT_EQ(board.rows.back().rating, 1510);
        EXPECT_EQ(board.rows.back().ratedGames, 1);
    }
}

// A file in the data folder that is not a database is refused, says so, and is left as it was.
TEST(SqliteStoreFile, NotADatabaseIsRefusedAndLeftAlone) {
    const std::filesystem::path folder =
        server::pathFromUtf8(testsys::makeTempDir("desk-sqlite"));
    const std::string garbage(4096, 'x');
    std::ofstream(folder / kSqliteFileName, std::ios::binary) << garbage;

    {
        SqliteStore store(folder);
        const StoreResult opened = store.open();
        EXPECT_EQ(opened.status, StoreStatus::refused);
        EXPECT_NE(opened.message.find("not a database"), std::string::npos) << opened.message;
    }
    {
        std::ifstream in(folder / kSqliteFileName, std::ios::binary);
        const std::string after((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        EXPECT_EQ(after, garbage);
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);  // Windows keeps an open file: none is open now
    EXPECT_FALSE(error) << error.message();
}

INSTANTIATE_TEST_SUITE_P(Stores, RecordStoreTest, testing::ValuesIn(teststore::storeNames()),
                         teststore::databaseName);

}  // namespace
