#include "server/store/PostgresStore.h"

#include <array>
#include <charconv>
#include <memory>

namespace server::store {

namespace {

// Connection lost, server shutting down or out of resources (disk full), a deadlock or
// serialisation failure, a lock not available: worth trying again later.
bool passing(const char* state) {
    if (state == nullptr) {
        return true;
    }
    const std::string code(state);
    for (const char* prefix : {"08", "53", "57", "58", "40", "55P03"}) {
        if (code.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

std::string paramText(const SqlParam& param) {
    std::array<char, 32> buffer{};
    char* end = buffer.data();
    if (const auto* integer = std::get_if<std::int64_t>(&param)) {
        end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *integer).ptr;
    } else if (const auto* real = std::get_if<double>(&param)) {
        end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *real).ptr;
    } else if (const auto* text = std::get_if<std::string>(&param)) {
        return *text;
    }
    return std::string(buffer.data(), end);
}

void ignoreNotice(void*, const char*) {}

}  // namespace

PostgresStore::PostgresStore(std::string connection, int connectTimeoutS)
    : m_connection(std::move(connection)), m_connectTimeout(std::to_string(connectTimeoutS)) {}

PostgresStore::~PostgresStore() {
    close();
}

std::string PostgresStore::describe() const {
    if (m_conn == nullptr || PQstatus(m_conn) != CONNECTION_OK) {
        return "PostgreSQL (not connected)";
    }
    return std::string("PostgreSQL ") + PQhost(m_conn) + ":" + PQport(m_conn) + "/" + PQdb(m_conn);
}

const std::vector<Migration>& PostgresStore::migrations() const {
    return postgresMigrations();
}

const char* PostgresStore::lockSchema() const {
    // Held to the end of the transaction; the number is this program's own ("desk" in ASCII).
    return "SELECT pg_advisory_xact_lock(1684370283)";
}

void PostgresStore::close() {
    PQfinish(m_conn);
    m_conn = nullptr;
    m_prepared.clear();
}

StoreResult PostgresStore::failure(const PGresult* result, const char* what) const {
    std::string message = std::string(what) + ": ";
    const char* text = result != nullptr ? PQresultErrorMessage(result) : PQerrorMessage(m_conn);
    message += (text != nullptr && *text != '\0') ? text : PQerrorMessage(m_conn);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return PQstatus(m_conn) != CONNECTION_OK || passing(state)
               ? StoreResult::unavailable(std::move(message))
               : StoreResult::refused(std::move(message));
}

StoreResult PostgresStore::connect() {
    close();
    // Our defaults first: the connection string's own keywords, expanded from dbname, win.
    const char* keywords[] = {"connect_timeout", "client_encoding", "dbname", nullptr};
    const char* values[] = {m_connectTimeout.c_str(), "UTF8", m_connection.c_str(), nullptr};
    m_conn = PQconnectdbParams(keywords, values, 1);
    if (m_conn == nullptr || PQstatus(m_conn) != CONNECTION_OK) {
        StoreResult result = StoreResult::unavailable(
            std::string("cannot connect: ") + (m_conn != nullptr ? PQerrorMessage(m_conn) : ""));
        while (!result.message.empty() && result.message.back() == '\n') {
            result.message.pop_back();
        }
        close();
        return result;
    }
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
    return {};
}

StoreResult PostgresStore::exec(const char* sql, const std::vector<SqlParam>& params,
                                SqlRows* rows) {
    if (m_conn == nullptr || PQstatus(m_conn) != CONNECTION_OK) {
        return StoreResult::unavailable("not connected");
    }
    auto prepared = m_prepared.find(sql);
    if (prepared == m_prepared.end()) {
        std::string name = "s" + std::to_string(m_prepared.size());
        Result made(PQprepare(m_conn, name.c_str(), sql, 0, nullptr), PQclear);
        if (PQresultStatus(made.get()) != PGRES_COMMAND_OK) {
            return failure(made.get(), "cannot prepare a statement");
        }
        prepared = m_prepared.emplace(sql, std::move(name)).first;
    }
    std::vector<std::string> texts;
    std::vector<const char*> values;
    texts.reserve(params.size());
    for (const SqlParam& param : params) {
        texts.push_back(paramText(param));
        values.push_back(std::holds_alternative<std::nullptr_t>(param) ? nullptr
                                                                        : texts.back().c_str());
    }
    Result result(PQexecPrepared(m_conn, prepared->second.c_str(), static_cast<int>(values.size()),
                                 values.data(), nullptr, nullptr, 0),
                  PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        return failure(result.get(), "statement failed");
    }
    if (rows != nullptr) {
        rows->cells.clear();
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            auto& cells = rows->cells.emplace_back();
            for (int column = 0; column < PQnfields(result.get()); ++column) {
                if (PQgetisnull(result.get(), row, column)) {
                    cells.emplace_back();
                } else {
                    cells.emplace_back(std::string(PQgetvalue(result.get(), row, column),
                                                   static_cast<std::size_t>(
                                                       PQgetlength(result.get(), row, column))));
                }
            }
        }
    }
    return {};
}

}  // namespace server::store
