#include "tests/server/store/StoreBackends.h"

#include <filesystem>
#include <sqlite3.h>

#include "server/platform/Utf8.h"
#include "server/store/SqliteStore.h"
#include "tests/support/TestSystem.h"
#if DESK_STORE_POSTGRES
#include <libpq-fe.h>

#include "server/store/PostgresStore.h"
#include "tests/server/store/PostgresCluster.h"
#endif

namespace teststore {

namespace {

using server::store::RecordStore;

class SqliteBackend : public StoreBackend {
public:
    ~SqliteBackend() override {
        std::string ignored;
        giveBack(ignored);
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

    // The folder is named in Chinese: SQLite's file names are UTF-8 on every system, which
    // Windows' narrow paths are not.
    bool start(std::string&) override {
        m_folder = server::pathFromUtf8(testsys::makeTempDir("desk-sqlite-记录"));
        return true;
    }

    std::unique_ptr<RecordStore> makeStore(int busyMs) override {
        return std::make_unique<server::store::SqliteStore>(m_folder / "data", busyMs);
    }

    std::vector<std::string> serverArguments() const override {
        return {"--data", server::utf8FromPath(m_folder / "data")};
    }

    std::string query(const std::string& sql) override {
        sqlite3* db = nullptr;
        std::string answer;
        if (sqlite3_open(file().c_str(), &db) != SQLITE_OK) {
            answer = std::string("error: ") + sqlite3_errmsg(db);
        } else {
            sqlite3_busy_timeout(db, 5000);
            char* message = nullptr;
            auto firstCell = [](void* out, int columns, char** values, char**) {
                auto* text = static_cast<std::string*>(out);
                if (text->empty() && columns > 0 && values[0] != nullptr) {
                    *text = values[0];
                }
                return 0;
            };
            if (sqlite3_exec(db, sql.c_str(), firstCell, &answer, &message) != SQLITE_OK) {
                answer = std::string("error: ") + (message != nullptr ? message : "");
            }
            sqlite3_free(message);
        }
        sqlite3_close(db);
        return answer;
    }

    bool takeAway(std::string& error) override {
        if (sqlite3_open(file().c_str(), &m_holder) != SQLITE_OK ||
            sqlite3_exec(m_holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            error = std::string("cannot lock the database: ") + sqlite3_errmsg(m_holder);
            return false;
        }
        return true;
    }

    bool giveBack(std::string&) override {
        if (m_holder != nullptr) {
            sqlite3_exec(m_holder, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(m_holder);
            m_holder = nullptr;
        }
        return true;
    }

private:
    std::string file() const {
        return server::utf8FromPath(m_folder / "data" / server::store::kSqliteFileName);
    }

    std::filesystem::path m_folder;
    sqlite3* m_holder = nullptr;  // the other connection holding the write lock
};

#if DESK_STORE_POSTGRES
class PostgresBackend : public StoreBackend {
public:
    bool start(std::string& error) override { return m_cluster.start(error); }

    std::unique_ptr<RecordStore> makeStore(int) override {
        return std::make_unique<server::store::PostgresStore>(m_cluster.url(), 2);
    }

    std::string query(const std::string& sql) override {
        PGconn* conn = PQconnectdb(m_cluster.url().c_str());
        std::string answer;
        PGresult* result = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_TUPLES_OK) {
            if (PQntuples(result) > 0 && PQnfields(result) > 0) {
                answer = PQgetvalue(result, 0, 0);
            }
        } else if (status != PGRES_COMMAND_OK) {
            answer = std::string("error: ") + PQerrorMessage(conn);
        }
        PQclear(result);
        PQfinish(conn);
        return answer;
    }

    std::vector<std::string> serverArguments() const override { return {"--db", m_cluster.url()}; }
    bool takeAway(std::string& error) override { return m_cluster.pause(error); }
    bool giveBack(std::string& error) override { return m_cluster.resume(error); }

private:
    testpg::PostgresCluster m_cluster;
};
#endif

}  // namespace

std::unique_ptr<StoreBackend> makeBackend([[maybe_unused]] const std::string& name) {
#if DESK_STORE_POSTGRES
    if (name == "postgres") {
        return std::make_unique<PostgresBackend>();
    }
#endif
    return std::make_unique<SqliteBackend>();
}

}  // namespace teststore
