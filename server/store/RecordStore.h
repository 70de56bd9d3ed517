#pragma once
// Where finished games and the players' figures last: the one interface the server's storage
// sits behind (SqliteStore by default, PostgresStore for servers that share one database).
//
//   function      does
//   open          connects (again, after a failure) and brings the schema to kSchemaVersion
//   record        one game in one transaction: the persons upserted by token hash (name, first
//                 and last seen), the game and its seats, each person's aggregates and rating;
//                 a game whose uid is stored already changes nothing and is answered ok
//   figures       one player's aggregates
//   lastGames     one player's latest kLastGames games, newest first
//   leaderboard   the kLeaderboardSize best rated players and the asking player's own place
//
// A store is used by one thread at a time (the writer thread, StoreWriter); nothing here
// blocks the event loop because the event loop never calls it. Every call answers a StoreResult:
// `unavailable` means try again later (no connection, the database busy, locked or full);
// `refused` means trying again will not help (a schema newer than this program, a bad game).

#include <cstdint>
#include <string>
#include <vector>

#include "server/store/FinishedGame.h"
#include "wire/GameConstants.h"

namespace server::store {

enum class StoreStatus { ok, unavailable, refused };

struct StoreResult {
    StoreStatus status = StoreStatus::ok;
    std::string message;  // what the database or the check said; "" when ok

    bool ok() const { return status == StoreStatus::ok; }
    static StoreResult unavailable(std::string why) { return {StoreStatus::unavailable, std::move(why)}; }
    static StoreResult refused(std::string why) { return {StoreStatus::refused, std::move(why)}; }
};

// ---- answers ----------------------------------------------------------------------------------

struct PlayerFigures {
    bool known = false;  // false: no game of this token hash is stored (the rest stays zero)
    std::string name;    // the name shown in the player's latest game
    std::int64_t firstSeenMs = 0;
    std::int64_t lastSeenMs = 0;
    std::int64_t games = 0;
    std::int64_t wins = 0;
    std::int64_t draws = 0;
    std::int64_t losses = 0;
    std::int64_t points = 0;      // points taken by the player's team, summed over the games
    std::int64_t ratedGames = 0;  // games among four persons
    double rating = 0.0;
};

// Someone at the table of a past game: a person's name as shown in that game, or a level.
struct TableMate {
    std::string name;      // "" for a computer player
    std::string botLevel;  // "" for a person
};

struct GameLine {
    std::int64_t finishedAtMs = 0;
    std::int64_t lengthMs = 0;
    int result = 0;       // the player's result
    int points = 0;       // points taken by the player's team
    int otherPoints = 0;  // points taken by the other team
    TableMate partner;
    TableMate opponents[2];  // the next seat, then the one after the partner
};

struct LeaderboardRow {
    int place = 0;  // 1 + the number of rated players with a higher rating (ties share a place)
    std::string name;
    double rating = 0.0;
    std::int64_t ratedGames = 0;
};

struct Leaderboard {
    std::vector<LeaderboardRow> rows;  // at most kLeaderboardSize, best first
    int ownPlace = 0;                  // the asking player's place; 0 when not rated yet
    double ownRating = 0.0;
};

// ---- the interface ----------------------------------------------------------------------------

class RecordStore {
public:
    virtual ~RecordStore() = default;

    virtual StoreResult open() = 0;
    // The game is checked first (checkGame): a bad one is refused and nothing is written. A game
    // of a uid stored already is answered ok with nothing written, so a retry is harmless.
    virtual StoreResult record(const FinishedGame& game) = 0;
    virtual StoreResult figures(const std::string& tokenHash, PlayerFigures& out) = 0;
    virtual StoreResult lastGames(const std::string& tokenHash, std::vector<GameLine>& out) = 0;
    virtual StoreResult leaderboard(const std::string& tokenHash, Leaderboard& out) = 0;
    // "SQLite /path/records.sqlite3" or "PostgreSQL host:port/db", for log lines (no password).
    virtual std::string describe() const = 0;
};

}  // namespace server::store
