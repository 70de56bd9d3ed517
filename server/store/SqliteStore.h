#pragma once
// The default store: one SQLite file, records.sqlite3, in the server's data folder (made when
// missing). WAL journal, foreign keys on, synchronous NORMAL: a commit is in the WAL file when
// record returns, so a killed process loses nothing committed (a power cut may lose the last
// commits). One connection, used by one thread at a time.

#include <filesystem>
#include <sqlite3.h>
#include <unordered_map>

#include "server/store/SqlRecordStore.h"

namespace server::store {

inline constexpr const char* kSqliteFileName = "records.sqlite3";

class SqliteStore : public SqlRecordStore {
public:
    // `busyTimeoutMs`: how long a statement waits for another connection's lock before the
    // store answers `unavailable`.
    explicit SqliteStore(std::filesystem::path dataFolder, int busyTimeoutMs = 2000);
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    std::string describe() const override;
    std::filesystem::path file() const { return m_folder / kSqliteFileName; }

protected:
    StoreResult connect() override;
    StoreResult exec(const char* sql, const std::vector<SqlParam>& params, SqlRows* rows) override;
    const char* beginWrite() const override { return "BEGIN IMMEDIATE"; }
    const char* lockSchema() const override { return nullptr; }
    const std::vector<Migration>& migrations() const override;

private:
    void close();
    StoreResult failure(int code, const char* what) const;

    const std::filesystem::path m_folder;
    const int m_busyTimeoutMs = 2000;
    sqlite3* m_db = nullptr;
    // Prepared statements by their text's address (the texts are constants).
    std::unordered_map<const char*, sqlite3_stmt*> m_statements;
};

}  // namespace server::store
