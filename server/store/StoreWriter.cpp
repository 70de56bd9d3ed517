#include "server/store/StoreWriter.h"

#include <algorithm>

namespace server::store {

using Clock = std::chrono::steady_clock;

std::string logLine(const WriterEvent& event) {
    const WriterCounts& c = event.counts;
    const std::string games = std::to_string(c.waiting) + (c.waiting == 1 ? " game" : " games");
    const std::string dropped =
        c.dropped > 0 ? ", " + std::to_string(c.dropped) + " dropped (queue full)" : "";
    switch (event.kind) {
    case WriterEvent::Kind::opened:
        return "store: " + event.message + " open";
    case WriterEvent::Kind::unavailable: {
        const auto seconds = (event.retryIn.count() + 999) / 1000;
        return "store: " + games + " waiting" + dropped + ", retrying in " +
               std::to_string(seconds) + " s (" + event.message + ")";
    }
    case WriterEvent::Kind::recovered:
        return "store: writing again, " + games + " waiting" + dropped;
    case WriterEvent::Kind::refused:
        return "store: a game was refused and dropped (" + event.message + "), " +
               std::to_string(c.refused) + " so far";
    case WriterEvent::Kind::stopped:
        return "store: stopped, " + games + " not written" + dropped;
    }
    return "store: " + event.message;
}

// ---- the event loop's side ------------------------------------------------------------------

StoreWriter::StoreWriter(std::unique_ptr<RecordStore> store, Report report, WriterOptions options)
    : m_options(options),
      m_store(std::move(store)),
      m_report(std::move(report)),
      m_backoff(options.firstRetry),
      m_thread([this] { run(); }) {}

StoreWriter::~StoreWriter() {
    stop();
}

// event loop
bool StoreWriter::submit(FinishedGame game) {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || m_games.size() >= m_options.capacity) {
            ++m_dropped;
            return false;
        }
        m_games.push_back(std::move(game));
    }
    m_wake.notify_one();
    return true;
}

// event loop
bool StoreWriter::ask(Lookup lookup) {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || m_lookups.size() >= m_options.lookupCapacity) {
            return false;
        }
        m_lookups.push_back(std::move(lookup));
    }
    m_wake.notify_one();
    return true;
}

// event loop
bool StoreWriter::askFigures(std::string tokenHash, FiguresAnswer answer) {
    return ask([hash = std::move(tokenHash), answer = std::move(answer)](RecordStore* store) {
        PlayerFigures figures;
        std::vector<GameLine> games;
        StoreResult result = StoreResult::unavailable("the database is unavailable");
        if (store != nullptr) {
            result = store->figures(hash, figures);
            if (result.ok()) {
                result = store->lastGames(hash, games);
            }
        }
        answer(result, figures, games);
    });
}

// event loop
bool StoreWriter::askLeaderboard(std::string tokenHash, LeaderboardAnswer answer) {
    return ask([hash = std::move(tokenHash), answer = std::move(answer)](RecordStore* store) {
        Leaderboard board;
        StoreResult result = StoreResult::unavailable("the database is unavailable");
        if (store != nullptr) {
            result = store->leaderboard(hash, board);
        }
        answer(result, board);
    });
}

// any thread
WriterCounts StoreWriter::counts() const {
    std::lock_guard lock(m_mutex);
    return countsLocked();
}

WriterCounts StoreWriter::countsLocked() const {
    return WriterCounts{m_games.size(), m_written, m_dropped, m_refused};
}

// owner
void StoreWriter::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

// ---- the writer thread ----------------------------------------------------------------------

// writer
void StoreWriter::report(WriterEvent::Kind kind, std::string message) {
    WriterEvent event;
    event.kind = kind;
    event.counts = counts();
    event.retryIn = kind == WriterEvent::Kind::unavailable
                        ? std::chrono::duration_cast<std::chrono::milliseconds>(m_retryAt -
                                                                                Clock::now())
                        : std::chrono::milliseconds(0);
    event.message = std::move(message);
    if (m_report) {
        m_report(event);
    }
}

// writer: a failed open or write; the next try after the back-off.
void StoreWriter::failed(const StoreResult& result) {
    m_open = m_open && result.status != StoreStatus::unavailable;
    m_failing = true;
    m_retryAt = Clock::now() + m_backoff;
    report(WriterEvent::Kind::unavailable, result.message);
    m_backoff = std::min(m_backoff * 2, m_options.longestRetry);
}

// writer: true when the store is open (opening it when a try is due).
bool StoreWriter::ensureOpen() {
    if (m_open) {
        return true;
    }
    if (Clock::now() < m_retryAt) {
        return false;
    }
    StoreResult result = m_store->open();
    if (!result.ok()) {
        failed(result);
        return false;
    }
    m_open = true;
    report(WriterEvent::Kind::opened, m_store->describe());
    return true;
}

// writer: one try at the oldest waiting game.
void StoreWriter::writeFront() {
    FinishedGame game;
    {
        std::lock_guard lock(m_mutex);
        game = m_games.front();
    }
    const StoreResult result = m_store->record(game);
    if (result.status == StoreStatus::unavailable) {
        failed(result);
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_games.pop_front();
        ++(result.ok() ? m_written : m_refused);
    }
    if (!result.ok()) {
        report(WriterEvent::Kind::refused, result.message);
    } else if (m_failing) {
        m_failing = false;
        m_backoff = m_options.firstRetry;
        report(WriterEvent::Kind::recovered);
    }
}

// writer
void StoreWriter::run() {
    ensureOpen();
    std::unique_lock lock(m_mutex);
    for (;;) {
        const bool due = Clock::now() >= m_retryAt;
        if (!m_lookups.empty()) {
            Lookup lookup = std::move(m_lookups.front());
            m_lookups.pop_front();
            lock.unlock();
            lookup(ensureOpen() ? m_store.get() : nullptr);
            lock.lock();
        } else if (!m_games.empty() && (due || m_stopping)) {
            lock.unlock();
            const bool open = ensureOpen();
            if (open) {
                writeFront();
            }
            lock.lock();
            if (m_stopping && (!open || m_failing)) {
                break;
            }
        } else if (m_stopping) {
            break;
        } else if (!m_games.empty()) {
            m_wake.wait_until(lock, m_retryAt);
        } else {
            m_wake.wait(lock);
        }
    }
    std::deque<Lookup> unanswered = std::move(m_lookups);
    lock.unlock();
    for (Lookup& lookup : unanswered) {
        lookup(nullptr);
    }
    report(WriterEvent::Kind::stopped);
}

}  // namespace server::store
