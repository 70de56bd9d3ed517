#include "server/store/Schema.h"

namespace server::store {

namespace {

#define DESK_PLAYER_COLUMNS                                                                  \
    " token_hash TEXT NOT NULL UNIQUE, name TEXT NOT NULL, first_seen BIGINT NOT NULL,"     \
    " last_seen BIGINT NOT NULL, games BIGINT NOT NULL, wins BIGINT NOT NULL,"              \
    " draws BIGINT NOT NULL, losses BIGINT NOT NULL, points BIGINT NOT NULL,"               \
    " rated_games BIGINT NOT NULL, rating DOUBLE PRECISION NOT NULL)"
#define DESK_GAME_COLUMNS                                                                    \
    " finished_at BIGINT NOT NULL, length_ms BIGINT NOT NULL, desk INTEGER NOT NULL,"       \
    " seed BIGINT NOT NULL, points0 INTEGER NOT NULL, points1 INTEGER NOT NULL,"            \
    " rating0 DOUBLE PRECISION, rating1 DOUBLE PRECISION, change0 DOUBLE PRECISION)"

const char* const kPlayersByRating =
    "CREATE INDEX players_by_rating ON players (rating DESC, id) WHERE rated_games > 0";
const char* const kSeats =
    "CREATE TABLE seats (game_id BIGINT NOT NULL REFERENCES games (id),"
    " seat INTEGER NOT NULL CHECK (seat BETWEEN 0 AND 3),"
    " player_id BIGINT REFERENCES players (id), bot_level TEXT, name TEXT,"
    " result INTEGER NOT NULL, PRIMARY KEY (game_id, seat),"
    " CHECK ((player_id IS NULL) = (name IS NULL) AND (player_id IS NULL) <> (bot_level IS NULL)))";
const char* const kSeatsByPlayer = "CREATE INDEX seats_by_player ON seats (player_id, game_id)";
const char* const kRatingBuckets =
    "CREATE TABLE rating_buckets (bucket BIGINT PRIMARY KEY, players BIGINT NOT NULL)";
// SQLite adds a NOT NULL column only with a default; PostgreSQL drops it once the rows are set.
const char* const kAddGameUid = "ALTER TABLE games ADD COLUMN uid TEXT NOT NULL DEFAULT ''";
const char* const kGamesByUid = "CREATE UNIQUE INDEX games_by_uid ON games (uid)";

}  // namespace

const std::vector<Migration>& sqliteMigrations() {
    static const std::vector<Migration> steps = {
        {1,
         {"CREATE TABLE players (id INTEGER PRIMARY KEY," DESK_PLAYER_COLUMNS, kPlayersByRating,
          "CREATE TABLE games (id INTEGER PRIMARY KEY," DESK_GAME_COLUMNS, kSeats,
          kSeatsByPlayer}},
        {2, {kRatingBuckets, kFillRatingBuckets}},
        {3, {kAddGameUid, "UPDATE games SET uid = printf('%032x', id)", kGamesByUid}},
    };
    return steps;
}

const std::vector<Migration>& postgresMigrations() {
    static const std::vector<Migration> steps = {
        {1,
         {"CREATE TABLE players (id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
          DESK_PLAYER_COLUMNS,
          kPlayersByRating,
          "CREATE TABLE games (id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
          DESK_GAME_COLUMNS,
          kSeats, kSeatsByPlayer}},
        {2, {kRatingBuckets, kFillRatingBuckets}},
        {3,
         {kAddGameUid, "UPDATE games SET uid = lpad(to_hex(id), 32, '0')",
          "ALTER TABLE games ALTER COLUMN uid DROP DEFAULT", kGamesByUid}},
    };
    return steps;
}

#undef DESK_PLAYER_COLUMNS
#undef DESK_GAME_COLUMNS

}  // namespace server::store
