#pragma once
// The reference server's network side: one event loop, a listener, a session per connection and
// a timer per desk, around the pure Hall. Every function runs on the event-loop thread (the one
// running the io_context); nothing here is locked. The hard computer players' searches run on
// BotWorkers' threads, each on its own copy of the round, and answer on the event loop; after each
// hall call the workers learn which job each desk it touched still waits for, so a search whose
// turn has passed is dropped before it runs.
//
// A text that is not a well-formed request closes the connection that sent it; the hall and the
// other desks never notice. One line per connection event and per game result goes to stderr.
//
// No handler holds the loop: a desk whose deadline has passed joins a queue of due desks, and one
// handler runs them in turn, one play each, for at most kDeskSlice before it lets the loop take
// the sockets and signals that are ready (a timer due at once, so through the reactor). Desks of
// computer players at a zero bot delay are always due; they share the loop with everyone else.
//
// The hall destroys a desk left empty; the timers of desk numbers no longer in use go with it
// (not one whose desk waits among the due desks: it goes once run), and an answer or a timer for
// a desk that is gone finds nothing to do. Every kTidyEvery the hall forgets what names nobody
// any more (Hall::tidy) and the memory freed goes back to the system, so a storm of links and
// desks leaves the process about as large as it found it.
//
// A link replaced by a new one with the same token (Hall::Output::closeLinks) is closed here with
// "replaced by a new link"; the hall no longer knows it, so its close is no leave.
//
// Finished games go to Records (the store's writer thread) as the hall reports them; "record" and
// "leaderboard" requests are answered from it, the answer posted back to the loop and sent if
// the asking link is still open. A store that cannot be opened makes start fail.

#include <asio.hpp>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "server/hall/Hall.h"
#include "server/net/BotWorkers.h"
#include "server/net/Listener.h"
#include "server/net/Records.h"
#include "server/net/Session.h"
#include "wire/GameConstants.h"

namespace server {

// desk-server's computer players: the strongest level whose decisions keep to the search budget.
inline constexpr BotLevel kServerBotLevel = BotLevel::Hard;

// How long the handler of due desks plays before the loop serves sockets and signals again.
inline constexpr std::chrono::microseconds kDeskSlice{2000};
// How often the hall is tidied.
inline constexpr std::chrono::seconds kTidyEvery{60};

inline HallConfig serverHallConfig() {
    HallConfig hall;
    hall.desk.botLevel = kServerBotLevel;
    hall.desk.botJobs = true;
    return hall;
}

struct ServerConfig {
    std::string host = "127.0.0.1";
    unsigned short port = kGamePort;
    HallConfig hall = serverHallConfig();
    int botDesks = 0;    // desks of four computer players opened at start (load tests)
    int botThreads = 1;  // workers for the hard computer players' searches
    SessionLimits limits;
    // Connections beyond these are closed as soon as they are accepted, so that one address
    // cannot take every descriptor the process has.
    std::size_t maxConnections = 4096;
    std::size_t maxPerAddress = 64;
    bool log = true;           // connection events and game results to stderr
    bool logMessages = false;  // also every text received and sent (end-to-end tests read it)
    RecordsConfig records;     // where finished games are kept (none by default)
    bool printAddresses = false;  // --print-addresses: print where friends reach us, then exit
};

class Server : private Session::Owner {
public:
    Server(asio::io_context& io, const ServerConfig& config);

    // Starts listening; false with the system's reason.
    bool start(std::string& error);
    unsigned short port() const { return m_listener.port(); }
    // Closes the listener, every connection and every timer, so the loop runs dry and returns.
    void stop();
    // Desk numbers in use, and desk timers kept (the event-loop thread only).
    std::size_t deskCount() const { return m_hall.deskCount(); }
    std::size_t deskTimers() const { return m_deskTimers.size(); }

private:
    void onAccept(asio::ip::tcp::socket socket);
    void onFrame(Session& session, std::string& text) override;
    void onClosed(Session& session, const std::string& reason) override;
    bool inGame(const Session& session) const override;
    // Why a new connection from `address` is refused, or null when it is welcome.
    const char* refusal(const std::string& address) const;

    void deliver();
    void onBotDecided(const BotJob& job, std::vector<int> cards);
    // The store's answer to a lookup, on the loop: sent when the link is still open.
    void onLookupAnswered(LinkId link, const std::string& text);
    // Arms the desk's timer for its next deadline, or queues the desk when that has passed.
    void armDesk(int desk);
    // Drops the timers past the hall's desk numbers.
    void dropDeskTimers();
    void queueDesk(int desk);
    void armPump();
    void runDueDesks();
    void armTidy();
    Millis now() const;
    void log(const std::string& line) const;

    asio::io_context& m_io;
    ServerConfig m_config;
    Listener m_listener;
    Hall m_hall;
    std::unordered_map<LinkId, std::shared_ptr<Session>> m_sessions;
    std::unordered_map<std::string, std::size_t> m_perAddress;  // open connections by address
    std::vector<std::unique_ptr<asio::steady_timer>> m_deskTimers;
    std::vector<std::optional<Millis>> m_deskArmedFor;  // the deadline each desk timer waits for
    std::deque<int> m_dueDesks;      // desks whose deadline has passed, in the order they fell due
    std::vector<bool> m_deskQueued;  // whether a desk is in m_dueDesks
    asio::steady_timer m_pump;       // runs m_dueDesks, a slice at a time
    bool m_pumpArmed = false;
    asio::steady_timer m_tidy;  // Hall::tidy every kTidyEvery
    LinkId m_nextId = 1;
    std::chrono::steady_clock::time_point m_epoch = std::chrono::steady_clock::now();
    Hall::Output m_out;  // reused for every hall call
    BotWorkers m_workers;
    bool m_stopped = false;
    Records m_records;  // last: its writer thread logs through this server until it is joined
};

}  // namespace server
