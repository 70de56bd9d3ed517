#pragma once
// The server's records: finished games go to the record store and the "record" and
// "leaderboard" requests are answered from it, through the store's writer thread, so the event
// loop never waits for a database. The one seam between desk-server and server/store. Every
// build has the SQLite store; PostgreSQL (--db) only where libpq was found, and start refuses
// --db in a build without it.
//
//   function   thread       does
//   start      event loop   opens the configured store before the server listens; false with
//                           why when it cannot be opened (a bad URL, the database away, a
//                           schema newer than this program): nothing in it is changed
//   submit     event loop   a finished game, its times turned into Unix time; queued, never waits
//   lookup     event loop   asks the writer; the answer's text comes back through asio::post,
//                           "status":"none" when the store is off, away or its queue is full
//   stop       event loop   writes what is queued (without further retries) and joins the writer
// The writer's log lines go to `log` from the writer thread (one whole line a call).

#include <asio/io_context.hpp>
#include <functional>
#include <memory>
#include <string>

#include "server/hall/Hall.h"

namespace server {

// Off unless asked for, so that servers made inside tests write nothing; desk-server's command
// line turns it on (SQLite in the default data folder) unless given --no-records.
struct RecordsConfig {
    bool enabled = false;
    std::string dataFolder;   // --data: SQLite's folder; "" for defaultDataFolder()
    std::string database;     // --db: a PostgreSQL connection string; "" for SQLite
};

class Records {
public:
    using Log = std::function<void(const std::string& line)>;
    using Answer = std::function<void(std::string text)>;  // runs on the event loop

    Records(asio::io_context& io, Log log);
    ~Records();
    Records(const Records&) = delete;
    Records& operator=(const Records&) = delete;

    bool start(const RecordsConfig& config, std::string& error);
    // `now`: the server's Millis clock at the time of the call (the game's "over" is just past).
    void submit(const FinishedDeskGame& game, Millis now);
    void lookup(const Hall::Lookup& asked, Answer answer);
    void stop();
    // Whether start opened a store: false when records are off.
    bool keeping() const { return m_writer != nullptr; }

private:
    struct Writer;  // the store and its thread; made by a start that opened the store

    asio::io_context& m_io;
    Log m_log;
    std::unique_ptr<Writer> m_writer;
};

}  // namespace server
