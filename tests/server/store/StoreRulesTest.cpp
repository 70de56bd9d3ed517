// The store's pure parts: the team rating with known numbers, which games may be stored, and
// the writer's log lines.
#include <gtest/gtest.h>

#include "server/store/Rating.h"
#include "server/store/StoreWriter.h"
#include "tests/server/store/StoreGames.h"

namespace {

using namespace server::store;
using teststore::bot;
using teststore::gameOf;
using teststore::person;

TEST(StoreRating, TeamEloByKnownNumbers) {
    struct Row {
        double team, other;
        int result;
        double change;
    };
    const Row rows[] = {
        // Equal teams: half of K for a win, nothing for a draw, the sweep weighs 1.5.
        {1500, 1500, 1, 16.0},
        {1500, 1500, -1, -16.0},
        {1500, 1500, 0, 0.0},
        {1500, 1500, 2, 24.0},
        {1500, 1500, -2, -24.0},
        // 200 points apart the favourite expects 0.7597 of the score.
        {1600, 1400, 1, 7.688098},
        {1600, 1400, -1, -24.311902},
        {1700, 1500, 0, -8.311902},
        {1400, 1600, 1, 24.311902},
        // 32 points apart after a first game, the loser's sweep.
        {1516, 1484, -2, -26.204252},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(ratingChange(row.team, row.other, row.result), row.change, 1e-5)
            << row.team << " against " << row.other << ", result " << row.result;
        // The other team's change is the negation: ratings are never made or lost.
        EXPECT_NEAR(ratingChange(row.other, row.team, -row.result),
                    -ratingChange(row.team, row.other, row.result), 1e-9);
    }
}

TEST(StoreRating, OnlyFourPersonsAreRated) {
    const SeatPlayer a = person('a', "A"), b = person('b', "B"), c = person('c', "C"),
                     d = person('d', "D");
    EXPECT_TRUE(gameOf(1, a, b, c, d, 1, {120, 80}).rated());
    EXPECT_FALSE(gameOf(1, a, b, c, bot("hard"), 1, {120, 80}).rated());
    EXPECT_FALSE(gameOf(1, bot("easy"), bot("normal"), bot("hard"), bot("hard"), 1, {0, 200})
                     .rated());
}

TEST(StoreRules, GamesTheStoreRefuses) {
    const SeatPlayer a = person('a', "A"), b = person('b', "B"), c = person('c', "C");
    struct Row {
        const char* what;
        FinishedGame game;
        const char* reason;  // a part of checkGame's answer; "" when the game is fine
    };
    FinishedGame partnersDiffer = gameOf(1, a, b, c, bot("easy"), 1, {120, 80});
    partnersDiffer.results = {1, -1, 2, -1};
    FinishedGame outOfRange = gameOf(1, a, b, c, bot("easy"), 3, {120, 80});
    FinishedGame bothKinds = gameOf(1, a, b, c, bot("easy"), 1, {120, 80});
    bothKinds.seats[3].name = "bot3";
    FinishedGame negative = gameOf(1, a, b, c, bot("easy"), 1, {-5, 205});
    FinishedGame noUid = gameOf(1, a, b, c, bot("easy"), 1, {120, 80});
    noUid.uid.clear();
    const Row rows[] = {
        {"four persons", gameOf(1, a, b, c, person('d', "D"), 1, {120, 80}), ""},
        {"persons and computers, a draw", gameOf(1, a, bot("hard"), c, bot("easy"), 0, {100, 100}), ""},
        {"one person twice", gameOf(1, a, b, a, bot("easy"), 1, {120, 80}), "seats 0 and 2"},
        {"unknown level", gameOf(1, a, b, c, bot("genius"), 1, {120, 80}), "unknown computer level"},
        {"an empty seat", gameOf(1, a, b, c, SeatPlayer{}, 1, {120, 80}), "unknown computer level"},
        {"a name too long", gameOf(1, a, b, c, person('d', std::string(kMaxNameBytes + 1, 'x')), 1, {120, 80}), "too long"},
        {"a computer with a name", bothKinds, "a person's name"},
        {"partners differ", partnersDiffer, "negation"},
        {"result out of range", outOfRange, "out of range"},
        {"negative points", negative, "negative"},
        {"no uid", noUid, "uid"},
    };
    for (const Row& row : rows) {
        const std::string why = checkGame(row.game);
        if (std::string(row.reason).empty()) {
            EXPECT_EQ(why, "") << row.what;
        } else {
            EXPECT_NE(why.find(row.reason), std::string::npos) << row.what << ": " << why;
        }
    }
}

TEST(StoreRules, WriterLogLines) {
    struct Row {
        WriterEvent event;
        const char* line;
    };
    const Row rows[] = {
        {{WriterEvent::Kind::opened, {}, {}, "SQLite /d/records.sqlite3"},
         "store: SQLite /d/records.sqlite3 open"},
        {{WriterEvent::Kind::unavailable, {12, 3, 0, 0}, std::chrono::milliseconds(3500), "locked"},
         "store: 12 games waiting, retrying in 4 s (locked)"},
        {{WriterEvent::Kind::unavailable, {1, 0, 7, 0}, std::chrono::milliseconds(500), "down"},
         "store: 1 game waiting, 7 dropped (queue full), retrying in 1 s (down)"},
        {{WriterEvent::Kind::recovered, {0, 9, 0, 0}, {}, ""}, "store: writing again, 0 games waiting"},
        {{WriterEvent::Kind::refused, {0, 0, 0, 2}, {}, "bad seat"},
         "store: a game was refused and dropped (bad seat), 2 so far"},
        {{WriterEvent::Kind::stopped, {4, 0, 1, 0}, {}, ""},
         "store: stopped, 4 games not written, 1 dropped (queue full)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(logLine(row.event), row.line);
    }
}

}  // namespace
