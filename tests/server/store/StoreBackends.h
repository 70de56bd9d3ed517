#pragma once
// The two stores as tests and benchmarks use them: each backend makes a fresh empty database
// (a temporary folder for SQLite, a PostgreSQL server of its own), hands out stores on it (a
// new connection each), reads it behind the stores' backs, and can take the database away and
// give it back (SQLite: another connection holds the write lock; PostgreSQL: the server stops
// and starts again).

#include <memory>
#include <string>
#include <vector>

#include "server/store/RecordStore.h"

namespace teststore {

class StoreBackend {
public:
    virtual ~StoreBackend() = default;

    // Makes the empty database; false with `error` saying why.
    virtual bool start(std::string& error) = 0;
    // A store on the database, not opened yet; it waits at most `busyMs` for a lock.
    virtual std::unique_ptr<server::store::RecordStore> makeStore(int busyMs = 2000) = 0;
    // Runs `sql` on a connection of its own; the first row's first cell ("" for none), or
    // "error: " and the database's message.
    virtual std::string query(const std::string& sql) = 0;
    // desk-server's options that put its records in this database (--data DIR or --db URL).
    virtual std::vector<std::string> serverArguments() const = 0;
    virtual bool takeAway(std::string& error) = 0;
    virtual bool giveBack(std::string& error) = 0;
};

// "sqlite" or "postgres".
std::unique_ptr<StoreBackend> makeBackend(const std::string& name);

}  // namespace teststore
