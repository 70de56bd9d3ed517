#pragma once
// The tables, version by version, in the two dialects. Both run the same statements except
// for the generated ids (SQLite's INTEGER PRIMARY KEY, PostgreSQL's identity columns).
//
//   players         one row a person: token_hash (unique), name, first_seen, last_seen (Unix
//                   ms), games, wins, draws, losses, points, rated_games, rating
//   games           one row a finished game: finished_at, length_ms, desk, seed (the 64 bits
//                   as a signed BIGINT), points0, points1; for rated games the teams' ratings
//                   before it (rating0, rating1) and team 0's change (change0); (version 3) uid,
//                   the game's own id (FinishedGame::uid), NOT NULL and unique (games_by_uid),
//                   so a game recorded again is known; games stored before version 3 get the
//                   row id as 32 hex digits
//   seats           four rows a game: seat, player_id and name (a person) or bot_level, result
//   rating_buckets  (version 2) the rated players by whole rating: bucket = floor(rating), players
//                   how many rated players are in it, so a player's place sums at most a few
//                   thousand buckets and counts one bucket's players instead of every player
//                   rated higher
//   schema_version  one row: the version the tables are at
//
// A new version appends a Migration to both lists and raises kSchemaVersion; a database at a
// higher version than kSchemaVersion is refused (SqlRecordStore::open) and not touched.

#include <vector>

namespace server::store {

inline constexpr int kSchemaVersion = 3;

// Fills an empty rating_buckets from the players' rows (the migration to version 2; tests and
// benchmarks that write ratings directly run it again).
inline constexpr const char* kFillRatingBuckets =
    "INSERT INTO rating_buckets (bucket, players) SELECT CAST(floor(rating) AS BIGINT), count(*)"
    " FROM players WHERE rated_games > 0 GROUP BY 1";

struct Migration {
    int version = 0;
    std::vector<const char*> statements;
};

const std::vector<Migration>& sqliteMigrations();
const std::vector<Migration>& postgresMigrations();

}  // namespace server::store
