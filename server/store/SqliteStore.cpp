#include "server/store/SqliteStore.h"

#include <array>
#include <charconv>

#include "server/platform/Utf8.h"

namespace server::store {

namespace {

// Busy, locked, full, unreadable or unwritable: worth trying again later.
bool passing(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PROTOCOL:
    case SQLITE_NOMEM:
        return true;
    default:
        return false;
    }
}

template <typename T>
std::string numberText(T value) {
    std::array<char, 32> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), end);
}

}  // namespace

SqliteStore::SqliteStore(std::filesystem::path dataFolder, int busyTimeoutMs)
    : m_folder(std::move(dataFolder)), m_busyTimeoutMs(busyTimeoutMs) {}

SqliteStore::~SqliteStore() {
    close();
}

std::string SqliteStore::describe() const {
    return "SQLite " + utf8FromPath(file());
}

const std::vector<Migration>& SqliteStore::migrations() const {
    return sqliteMigrations();
}

void SqliteStore::close() {
    for (auto& [sql, statement] : m_statements) {
        sqlite3_finalize(statement);
    }
    m_statements.clear();
    sqlite3_close(m_db);
    m_db = nullptr;
}

StoreResult SqliteStore::failure(int code, const char* what) const {
    std::string message = std::string(what) + ": " +
                          (m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(code));
    return passing(code) ? StoreResult::unavailable(std::move(message))
                         : StoreResult::refused(std::move(message));
}

StoreResult SqliteStore::connect() {
    close();
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (error) {
        return StoreResult::unavailable("cannot make the data folder " + utf8FromPath(m_folder) + ": " +
                                        error.message());
    }
    // SQLite takes UTF-8 file names on every platform.
    const int code = sqlite3_open_v2(utf8FromPath(file()).c_str(), &m_db,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK) {
        StoreResult result = failure(code, "cannot open the database");
        close();
        return StoreResult::unavailable(result.message);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    SqlRows mode;
    for (const char* pragma :
         {"PRAGMA journal_mode = WAL", "PRAGMA foreign_keys = ON", "PRAGMA synchronous = NORMAL"}) {
        if (StoreResult result = exec(pragma, {}, &mode); !result.ok()) {
            return result;
        }
    }
    return {};
}

StoreResult SqliteStore::exec(const char* sql, const std::vector<SqlParam>& params, SqlRows* rows) {
    if (m_db == nullptr) {
        return StoreResult::unavailable("not connected");
    }
    sqlite3_stmt*& statement = m_statements[sql];
    if (statement == nullptr) {
        if (int code = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement,
                                          nullptr);
            code != SQLITE_OK) {
            m_statements.erase(sql);
            return failure(code, "cannot prepare a statement");
        }
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int index = sqlite3_bind_parameter_index(statement, ("$" + numberText(i + 1)).c_str());
        if (index == 0) {
            continue;
        }
        const SqlParam& param = params[i];
        if (const auto* integer = std::get_if<std::int64_t>(&param)) {
            sqlite3_bind_int64(statement, index, *integer);
        } else if (const auto* real = std::get_if<double>(&param)) {
            sqlite3_bind_double(statement, index, *real);
        } else if (const auto* text = std::get_if<std::string>(&param)) {
            sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                              SQLITE_TRANSIENT);
        }
    }
    if (rows != nullptr) {
        rows->cells.clear();
    }
    int code = SQLITE_OK;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        if (rows == nullptr) {
            continue;
        }
        auto& row = rows->cells.emplace_back();
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            switch (sqlite3_column_type(statement, column)) {
            case SQLITE_NULL:
                row.emplace_back();
                break;
            case SQLITE_INTEGER:
                row.emplace_back(numberText(sqlite3_column_int64(statement, column)));
                break;
            case SQLITE_FLOAT:
                row.emplace_back(numberText(sqlite3_column_double(statement, column)));
                break;
            default:
                row.emplace_back(std::string(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                    static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
            }
        }
    }
    sqlite3_reset(statement);
    return code == SQLITE_DONE ? StoreResult{} : failure(code, "statement failed");
}

}  // namespace server::store
