#pragma once
// RecordStore written once in SQL that SQLite and PostgreSQL both run; SqliteStore and
// PostgresStore supply the connection (connect, exec) and their dialect's schema steps.
//
// Statements name their parameters $1, $2, ... (PostgreSQL's own form; SQLite reads "$1" as a
// named parameter) and every value is bound, never written into the text. Inside the game's
// transaction the persons' rows are upserted (and so locked) in token-hash order, the game keeps
// the teams' ratings before it and team 0's change, and one UPDATE adds each person's game to
// their aggregates from the game's own rows (games = games + 1, ...): nothing is read into the
// program and written back, so several servers recording into one PostgreSQL at once never lose
// an update.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "server/store/RecordStore.h"
#include "server/store/Schema.h"

namespace server::store {

// A bound value: NULL, an integer, a real or UTF-8 text.
using SqlParam = std::variant<std::nullptr_t, std::int64_t, double, std::string>;

// A query's answer, every cell as text (nullopt for NULL); reals are written so that they read
// back to the same double.
struct SqlRows {
    std::vector<std::vector<std::optional<std::string>>> cells;

    std::size_t size() const { return cells.size(); }
    std::int64_t integer(std::size_t row, std::size_t column) const;  // 0 for NULL or not a number
    double real(std::size_t row, std::size_t column) const;          // 0 for NULL or not a number
    std::string text(std::size_t row, std::size_t column) const;     // "" for NULL
    bool isNull(std::size_t row, std::size_t column) const;
};

class SqlRecordStore : public RecordStore {
public:
    StoreResult open() override;
    StoreResult record(const FinishedGame& game) override;
    StoreResult figures(const std::string& tokenHash, PlayerFigures& out) override;
    StoreResult lastGames(const std::string& tokenHash, std::vector<GameLine>& out) override;
    StoreResult leaderboard(const std::string& tokenHash, Leaderboard& out) override;

protected:
    // ---- what a database supplies ----
    // Closes any connection and opens a new one (settings, no schema).
    virtual StoreResult connect() = 0;
    // Runs one statement with its parameters; fills `rows` when given.
    virtual StoreResult exec(const char* sql, const std::vector<SqlParam>& params,
                             SqlRows* rows) = 0;
    // The statement that starts a write transaction ("BEGIN IMMEDIATE" takes SQLite's write lock).
    virtual const char* beginWrite() const = 0;
    // Run first in the schema's transaction, so that two servers do not migrate at once; or null.
    virtual const char* lockSchema() const = 0;
    // The steps from version 0 to kSchemaVersion, in order.
    virtual const std::vector<Migration>& migrations() const = 0;

private:
    // Runs `body` between beginWrite and COMMIT; rolls back when it or the commit fails, or when
    // it succeeds with `keep` cleared (nothing to write).
    StoreResult transaction(const std::function<StoreResult(bool& keep)>& body);
    StoreResult migrate();
    // Clears `keep` when a game of the same uid is stored already.
    StoreResult writeGame(const FinishedGame& game, bool& keep);
};

}  // namespace server::store
