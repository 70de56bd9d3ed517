#pragma once
// The thread that owns a RecordStore for the server: finished games and the client panel's
// lookups go in through queues, so the event loop never waits for a database.
//
//   function        thread        does
//   submit          event loop    queues a game; never blocks (a short lock, no I/O)
//   askFigures,     event loop    queues a lookup; its answer runs on the writer thread, and the
//   askLeaderboard                owner posts it back to the event loop (Asio's post)
//   counts          any           games waiting, written, dropped, refused
//   stop            owner         writes what it can without further retries, answers the
//                                 lookups still queued, joins the thread (the destructor calls it)
//   (run)           writer        opens the store, writes each game as soon as it is queued, in
//                                 its own transaction, and answers lookups between games
//
// Full: at most `capacity` games wait (those not yet written because the database is away
// included); a game submitted while that many wait is dropped and counted, and the waiting ones
// are kept. While the database is unreachable, busy or full the writer keeps the games, retries
// with a back-off doubling from `firstRetry` to `longestRetry`, answers lookups at once as
// unavailable, and reports each failure (WriterEvent; logLine makes the log line). A game the
// database refuses (it fails checkGame) is dropped, counted and reported. A game retried after
// its commit reached the database (the answer lost) is found there by its uid and counted
// written. With the database up,
// a game is committed within milliseconds of submit: there is no batching.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "server/store/RecordStore.h"

namespace server::store {

struct WriterOptions {
    std::size_t capacity = 10000;      // games kept waiting
    std::size_t lookupCapacity = 256;  // lookups kept waiting
    std::chrono::milliseconds firstRetry{500};
    std::chrono::milliseconds longestRetry{30000};
};

struct WriterCounts {
    std::size_t waiting = 0;     // submitted, not yet written or refused
    std::uint64_t written = 0;   // committed
    std::uint64_t dropped = 0;   // not kept: submitted while `capacity` games waited
    std::uint64_t refused = 0;   // refused by the store (a bad game)
};

// What the writer reports; the owner logs logLine(event).
struct WriterEvent {
    enum class Kind {
        opened,       // the store is open: message names it
        unavailable,  // a write or an open failed: `retryIn` until the next try
        recovered,    // written again after failures
        refused,      // a game was refused and dropped: message says why
        stopped,      // stop(): `waiting` games were not written
    };
    Kind kind = Kind::opened;
    WriterCounts counts;
    std::chrono::milliseconds retryIn{0};
    std::string message;
};

// "store: 12 games waiting, 0 dropped, retrying in 4 s (cannot connect: ...)" and the like.
std::string logLine(const WriterEvent& event);

class StoreWriter {
public:
    using Report = std::function<void(const WriterEvent&)>;  // runs on the writer thread
    using FiguresAnswer =
        std::function<void(const StoreResult&, const PlayerFigures&, const std::vector<GameLine>&)>;
    using LeaderboardAnswer = std::function<void(const StoreResult&, const Leaderboard&)>;

    // Starts the writer thread, which opens `store` at once.
    StoreWriter(std::unique_ptr<RecordStore> store, Report report, WriterOptions options = {});
    ~StoreWriter();
    StoreWriter(const StoreWriter&) = delete;
    StoreWriter& operator=(const StoreWriter&) = delete;

    // False when the game was dropped (full, or stopped).
    bool submit(FinishedGame game);
    // False when `lookupCapacity` lookups wait (or stopped): the answer will not come.
    bool askFigures(std::string tokenHash, FiguresAnswer answer);
    bool askLeaderboard(std::string tokenHash, LeaderboardAnswer answer);

    WriterCounts counts() const;
    void stop();

private:
    // A lookup gets the store, or null while the database is unavailable.
    using Lookup = std::function<void(RecordStore* store)>;

    bool ask(Lookup lookup);
    void run();
    bool ensureOpen();
    void writeFront();
    void failed(const StoreResult& result);
    void report(WriterEvent::Kind kind, std::string message = {});
    WriterCounts countsLocked() const;

    const WriterOptions m_options;
    const std::unique_ptr<RecordStore> m_store;  // writer thread only
    const Report m_report;

    mutable std::mutex m_mutex;  // guards the queues, the counts and m_stopping
    std::condition_variable m_wake;
    std::deque<FinishedGame> m_games;
    std::deque<Lookup> m_lookups;
    std::uint64_t m_written = 0;
    std::uint64_t m_dropped = 0;
    std::uint64_t m_refused = 0;
    bool m_stopping = false;

    // Writer thread only.
    bool m_open = false;
    bool m_failing = false;
    std::chrono::milliseconds m_backoff{0};
    std::chrono::steady_clock::time_point m_retryAt{};

    std::thread m_thread;  // last: starts once everything above is set
};

}  // namespace server::store
