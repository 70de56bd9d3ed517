#include "server/store/SqlRecordStore.h"

#include <algorithm>
#include <bit>
#include <charconv>

#include "server/game/Scoring.h"
#include "server/store/Rating.h"

namespace server::store {

// ---- the statements -----------------------------------------------------------------------------

namespace {

const char* const kCreateVersionTable =
    "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)";
const char* const kReadVersion = "SELECT max(version) FROM schema_version";
const char* const kClearVersion = "DELETE FROM schema_version";
const char* const kWriteVersion = "INSERT INTO schema_version (version) VALUES ($1)";

// A person seen in a game: the name and last seen move only forward in time, so a game written
// late (after an outage) does not bring back an older name.
const char* const kUpsertPlayer =
    "INSERT INTO players (token_hash, name, first_seen, last_seen, games, wins, draws, losses,"
    " points, rated_games, rating) VALUES ($1, $2, $3, $3, 0, 0, 0, 0, 0, 0, $4)"
    " ON CONFLICT (token_hash) DO UPDATE SET"
    " name = CASE WHEN excluded.last_seen >= players.last_seen"
    " THEN excluded.name ELSE players.name END,"
    " first_seen = CASE WHEN excluded.first_seen < players.first_seen"
    " THEN excluded.first_seen ELSE players.first_seen END,"
    " last_seen = CASE WHEN excluded.last_seen > players.last_seen"
    " THEN excluded.last_seen ELSE players.last_seen END"
    " RETURNING id";

// The teams' ratings before the game (the mean of the partners'; NULL when not rated), read
// while this transaction holds the four persons' rows. No row comes back when a game of this
// uid is stored already (a transaction of it still running elsewhere is waited for first).
const char* const kInsertGame =
    "INSERT INTO games (uid, finished_at, length_ms, desk, seed, points0, points1, rating0,"
    " rating1) VALUES ($1, $2, $3, $4, $5, $6, $7,"
    " (SELECT avg(rating) FROM players WHERE id IN ($8, $9)),"
    " (SELECT avg(rating) FROM players WHERE id IN ($10, $11)))"
    " ON CONFLICT (uid) DO NOTHING RETURNING id";

const char* const kInsertSeats =
    "INSERT INTO seats (game_id, seat, player_id, bot_level, name, result) VALUES"
    " ($1, 0, $2, $3, $4, $5), ($1, 1, $6, $7, $8, $9),"
    " ($1, 2, $10, $11, $12, $13), ($1, 3, $14, $15, $16, $17)";

// Team 0's rating change (Rating.h): $2 = K * M, $3 = team 0's actual score.
const char* const kRateGame =
    "UPDATE games SET change0 = CAST($2 AS DOUBLE PRECISION) * (CAST($3 AS DOUBLE PRECISION)"
    " - 1.0 / (1.0 + power(10.0, (rating1 - rating0) / 400.0))) WHERE id = $1";

// A rated game moves its four persons between rating buckets: out of the bucket of the rating
// before (when they had one), into that of the rating after, computed by the very expression
// kAddToPlayers stores, so the buckets agree with the ratings to the last bit. Buckets are
// written in ascending order, so servers writing side by side take their locks in one order.
const char* const kMoveRatingBuckets =
    "INSERT INTO rating_buckets (bucket, players) SELECT bucket, sum(step) FROM ("
    " SELECT CAST(floor(p.rating) AS BIGINT) AS bucket, -1 AS step"
    " FROM seats s JOIN players p ON p.id = s.player_id"
    " WHERE s.game_id = $1 AND p.rated_games > 0"
    " UNION ALL SELECT CAST(floor(p.rating"
    " + CASE WHEN s.seat % 2 = 0 THEN g.change0 ELSE -g.change0 END) AS BIGINT), 1"
    " FROM seats s JOIN players p ON p.id = s.player_id JOIN games g ON g.id = s.game_id"
    " WHERE s.game_id = $1) AS moves"
    " WHERE true GROUP BY bucket ORDER BY bucket"
    " ON CONFLICT (bucket) DO UPDATE SET players = rating_buckets.players + excluded.players";

// Every person's aggregates from the game's own rows: its seats' results, its points and team
// 0's rating change (NULL when not rated).
const char* const kAddToPlayers =
    "UPDATE players SET games = players.games + 1,"
    " wins = players.wins + CASE WHEN s.result > 0 THEN 1 ELSE 0 END,"
    " draws = players.draws + CASE WHEN s.result = 0 THEN 1 ELSE 0 END,"
    " losses = players.losses + CASE WHEN s.result < 0 THEN 1 ELSE 0 END,"
    " points = players.points + CASE WHEN s.seat % 2 = 0 THEN g.points0 ELSE g.points1 END,"
    " rated_games = players.rated_games + CASE WHEN g.change0 IS NULL THEN 0 ELSE 1 END,"
    " rating = players.rating"
    " + COALESCE(CASE WHEN s.seat % 2 = 0 THEN g.change0 ELSE -g.change0 END, 0)"
    " FROM seats s JOIN games g ON g.id = s.game_id"
    " WHERE s.game_id = $1 AND s.player_id = players.id";

const char* const kFigures =
    "SELECT name, first_seen, last_seen, games, wins, draws, losses, points, rated_games, rating"
    " FROM players WHERE token_hash = $1";

// The player's latest games with all four seats each, newest first, seats in order.
const char* const kLastGamesQuery =
    "WITH mine AS (SELECT g.id, g.finished_at, s.seat FROM seats s JOIN games g ON g.id = s.game_id"
    " WHERE s.player_id = (SELECT id FROM players WHERE token_hash = $1)"
    " ORDER BY g.finished_at DESC, g.id DESC LIMIT $2)"
    " SELECT m.id, m.finished_at, g.length_ms, g.points0, g.points1, m.seat,"
    " o.seat, o.name, o.bot_level, o.result"
    " FROM mine m JOIN games g ON g.id = m.id JOIN seats o ON o.game_id = m.id"
    " ORDER BY m.finished_at DESC, m.id DESC, o.seat";

// One round trip: the best rated players (part 0), then the asking player's own row (part 1,
// only when rated) whose last column is the number of players rated higher: those of the
// buckets above the player's, and those above the player within the player's own bucket.
const char* const kLeaderboard =
    "SELECT * FROM (SELECT 0 AS part, id, name, rating, rated_games FROM players"
    " WHERE rated_games > 0 ORDER BY rating DESC, id LIMIT $2) AS top"
    " UNION ALL SELECT 1, me.id, me.name, me.rating,"
    " (SELECT COALESCE(sum(players), 0) FROM rating_buckets"
    " WHERE bucket > CAST(floor(me.rating) AS BIGINT))"
    " + (SELECT count(*) FROM players p WHERE p.rated_games > 0 AND p.rating > me.rating"
    " AND p.rating < floor(me.rating) + 1)"
    " FROM players me WHERE me.token_hash = $1 AND me.rated_games > 0"
    " ORDER BY 1, 4 DESC, 2";

template <typename T>
T parseNumber(const std::optional<std::string>& cell) {
    T value{};
    if (cell) {
        std::from_chars(cell->data(), cell->data() + cell->size(), value);
    }
    return value;
}

}  // namespace

// ---- SqlRows ------------------------------------------------------------------------------------

std::int64_t SqlRows::integer(std::size_t row, std::size_t column) const {
    return parseNumber<std::int64_t>(cells.at(row).at(column));
}

double SqlRows::real(std::size_t row, std::size_t column) const {
    return parseNumber<double>(cells.at(row).at(column));
}

std::string SqlRows::text(std::size_t row, std::size_t column) const {
    return cells.at(row).at(column).value_or(std::string());
}

bool SqlRows::isNull(std::size_t row, std::size_t column) const {
    return !cells.at(row).at(column).has_value();
}

// ---- opening and the schema ------------------------------------------------------------------

StoreResult SqlRecordStore::open() {
    if (StoreResult connected = connect(); !connected.ok()) {
        return connected;
    }
    return transaction([this](bool&) { return migrate(); });
}

StoreResult SqlRecordStore::migrate() {
    if (lockSchema() != nullptr) {
        if (StoreResult locked = exec(lockSchema(), {}, nullptr); !locked.ok()) {
            return locked;
        }
    }
    SqlRows rows;
    StoreResult result = exec(kCreateVersionTable, {}, nullptr);
    if (result.ok()) {
        result = exec(kReadVersion, {}, &rows);
    }
    if (!result.ok()) {
        return result;
    }
    const std::int64_t found = rows.size() == 1 ? rows.integer(0, 0) : 0;
    if (found > kSchemaVersion) {
        return StoreResult::refused(
            "the database's schema is version " + std::to_string(found) +
            ", newer than this program knows (" + std::to_string(kSchemaVersion) +
            "): it is left as it is; use a newer desk-server with it, or another database");
    }
    if (found == kSchemaVersion) {
        return {};
    }
    for (const Migration& step : migrations()) {
        if (step.version <= found) {
            continue;
        }
        for (const char* statement : step.statements) {
            if (result = exec(statement, {}, nullptr); !result.ok()) {
                return result;
            }
        }
    }
    if (result = exec(kClearVersion, {}, nullptr); !result.ok()) {
        return result;
    }
    return exec(kWriteVersion, {std::int64_t{kSchemaVersion}}, nullptr);
}

StoreResult SqlRecordStore::transaction(const std::function<StoreResult(bool& keep)>& body) {
    StoreResult result = exec(beginWrite(), {}, nullptr);
    if (!result.ok()) {
        return result;
    }
    bool keep = true;
    result = body(keep);
    if (result.ok() && keep) {
        result = exec("COMMIT", {}, nullptr);
    }
    if (!result.ok() || !keep) {
        exec("ROLLBACK", {}, nullptr);
    }
    return result;
}

// ---- recording a game ---------------------------------------------------------------------------

StoreResult SqlRecordStore::record(const FinishedGame& game) {
    if (std::string why = checkGame(game); !why.empty()) {
        return StoreResult::refused("game not stored: " + why);
    }
    return transaction([this, &game](bool& keep) { return writeGame(game, keep); });
}

StoreResult SqlRecordStore::writeGame(const FinishedGame& game, bool& keep) {
    // Persons in token-hash order, so that two servers writing games of the same persons take
    // their rows' locks in the same order and never wait for each other in a circle.
    std::array<int, 4> order{0, 1, 2, 3};
    std::sort(order.begin(), order.end(), [&game](int a, int b) {
        return game.seats[a].tokenHash < game.seats[b].tokenHash;
    });
    std::array<SqlParam, 4> playerIds{nullptr, nullptr, nullptr, nullptr};
    SqlRows rows;
    StoreResult result;
    for (int seat : order) {
        const SeatPlayer& player = game.seats[seat];
        if (!player.isPerson()) {
            continue;
        }
        result = exec(kUpsertPlayer,
                      {player.tokenHash, player.name, game.finishedAtMs, kInitialRating}, &rows);
        if (!result.ok()) {
            return result;
        }
        playerIds[seat] = rows.integer(0, 0);
    }

    const bool rated = game.rated();
    auto ratedId = [&](int seat) { return rated ? playerIds[seat] : SqlParam{nullptr}; };
    result = exec(kInsertGame,
                  {game.uid, game.finishedAtMs, game.lengthMs, std::int64_t{game.desk},
                   std::bit_cast<std::int64_t>(game.seed), std::int64_t{game.teamPoints[0]},
                   std::int64_t{game.teamPoints[1]}, ratedId(0), ratedId(2), ratedId(1),
                   ratedId(3)},
                  &rows);
    if (!result.ok()) {
        return result;
    }
    if (rows.size() == 0) {
        // Stored already (sent again after its commit's answer was lost): the persons' upserts
        // are rolled back and nothing is counted twice.
        keep = false;
        return result;
    }
    const std::int64_t gameId = rows.integer(0, 0);

    std::vector<SqlParam> seats;
    seats.reserve(17);
    seats.emplace_back(gameId);
    for (int seat = 0; seat < 4; ++seat) {
        const SeatPlayer& player = game.seats[seat];
        seats.emplace_back(playerIds[seat]);
        if (player.isPerson()) {
            seats.emplace_back(nullptr);
            seats.emplace_back(player.name);
        } else {
            seats.emplace_back(player.botLevel);
            seats.emplace_back(nullptr);
        }
        seats.emplace_back(std::int64_t{game.results[seat]});
    }
    if (result = exec(kInsertSeats, seats, nullptr); !result.ok()) {
        return result;
    }
    if (rated) {
        result = exec(kRateGame,
                      {gameId, ratingStep(game.results[0]), actualScore(game.results[0])},
                      nullptr);
        if (!result.ok()) {
            return result;
        }
        if (result = exec(kMoveRatingBuckets, {gameId}, nullptr); !result.ok()) {
            return result;
        }
    }
    return exec(kAddToPlayers, {gameId}, nullptr);
}

// ---- lookups ------------------------------------------------------------------------------------

StoreResult SqlRecordStore::figures(const std::string& tokenHash, PlayerFigures& out) {
    out = PlayerFigures{};
    SqlRows rows;
    StoreResult result = exec(kFigures, {tokenHash}, &rows);
    if (!result.ok() || rows.size() == 0) {
        return result;
    }
    out.known = true;
    out.name = rows.text(0, 0);
    out.firstSeenMs = rows.integer(0, 1);
    out.lastSeenMs = rows.integer(0, 2);
    out.games = rows.integer(0, 3);
    out.wins = rows.integer(0, 4);
    out.draws = rows.integer(0, 5);
    out.losses = rows.integer(0, 6);
    out.points = rows.integer(0, 7);
    out.ratedGames = rows.integer(0, 8);
    out.rating = rows.real(0, 9);
    return result;
}

StoreResult SqlRecordStore::lastGames(const std::string& tokenHash, std::vector<GameLine>& out) {
    out.clear();
    SqlRows rows;
    StoreResult result = exec(kLastGamesQuery, {tokenHash, std::int64_t{kLastGames}}, &rows);
    if (!result.ok()) {
        return result;
    }
    // Four rows a game (its seats in order); column 0 is the game, 5 the player's seat.
    for (std::size_t first = 0; first + 4 <= rows.size(); first += 4) {
        const int own = static_cast<int>(rows.integer(first, 5));
        if (own < 0 || own > 3) {
            continue;
        }
        GameLine line;
        line.finishedAtMs = rows.integer(first, 1);
        line.lengthMs = rows.integer(first, 2);
        line.points = static_cast<int>(rows.integer(first, 3 + teamOf(own)));
        line.otherPoints = static_cast<int>(rows.integer(first, 4 - teamOf(own)));
        auto mate = [&](int seat) {
            const std::size_t row = first + static_cast<std::size_t>(seat);
            return TableMate{rows.text(row, 7), rows.text(row, 8)};
        };
        line.result = static_cast<int>(rows.integer(first + own, 9));
        line.partner = mate(partnerOf(own));
        line.opponents[0] = mate((own + 1) % 4);
        line.opponents[1] = mate((own + 3) % 4);
        out.push_back(std::move(line));
    }
    return result;
}

StoreResult SqlRecordStore::leaderboard(const std::string& tokenHash, Leaderboard& out) {
    out = Leaderboard{};
    SqlRows rows;
    StoreResult result = exec(kLeaderboard, {tokenHash, std::int64_t{kLeaderboardSize}}, &rows);
    for (std::size_t row = 0; result.ok() && row < rows.size(); ++row) {
        if (rows.integer(row, 0) == 1) {
            out.ownRating = rows.real(row, 3);
            out.ownPlace = static_cast<int>(rows.integer(row, 4)) + 1;
            continue;
        }
        LeaderboardRow entry{0, rows.text(row, 2), rows.real(row, 3), rows.integer(row, 4)};
        entry.place = !out.rows.empty() && entry.rating == out.rows.back().rating
                          ? out.rows.back().place
                          : static_cast<int>(out.rows.size()) + 1;
        out.rows.push_back(std::move(entry));
    }
    return result;
}

}  // namespace server::store
