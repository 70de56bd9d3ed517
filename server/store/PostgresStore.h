#pragma once
// The store for servers that outgrow one machine: a PostgreSQL database that several
// desk-server processes share, reached with libpq from a connection string
// ("postgresql://user@host:port/db" or "host=... dbname=..."). Schema changes take an advisory
// lock, so servers starting together migrate once; games are written as SqlRecordStore says, so
// servers recording side by side never lose an aggregate's update. One connection, used by one
// thread at a time; statements are prepared once a connection.

#include <libpq-fe.h>
#include <string>
#include <unordered_map>

#include "server/store/SqlRecordStore.h"

namespace server::store {

class PostgresStore : public SqlRecordStore {
public:
    // `connectTimeoutS` applies unless the connection string names its own connect_timeout.
    explicit PostgresStore(std::string connection, int connectTimeoutS = 5);
    ~PostgresStore() override;
    PostgresStore(const PostgresStore&) = delete;
    PostgresStore& operator=(const PostgresStore&) = delete;

    std::string describe() const override;

protected:
    StoreResult connect() override;
    StoreResult exec(const char* sql, const std::vector<SqlParam>& params, SqlRows* rows) override;
    const char* beginWrite() const override { return "BEGIN"; }
    const char* lockSchema() const override;
    const std::vector<Migration>& migrations() const override;

private:
    void close();
    StoreResult failure(const PGresult* result, const char* what) const;

    const std::string m_connection;
    const std::string m_connectTimeout;
    PGconn* m_conn = nullptr;
    // Prepared statements' names by their text's address (the texts are constants).
    std::unordered_map<const char*, std::string> m_prepared;
};

}  // namespace server::store
