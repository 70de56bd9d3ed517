#pragma once
// One protocol client of the load benchmark: says hello with its own token, joins, readies,
// plays its seat with the computer players' strategy using the client's own message texts, and
// records how long each of its plays takes to come back as the server's "game" message. A client
// that drops (LoadClient::Options::dropEvery) closes its link every few seconds in mid-game and
// connects again with its token, and records the time from the connect to the "resume", from
// which it takes up its seat. A spectator (LoadClient::Options::watchDesk) takes no seat: it
// watches one desk, asking again each second while that desk has no game running, and reads
// every text until the desk is deserted. A flooder (LoadClient::Options::autoEvery) never plays:
// through its games it hands its seat to the computer player and takes it back, one "auto" each
// autoEvery. A soak person (LoadClient::Options::rejoinOnLoss) plays
// games one after another until told to stop, through a relay that cuts its link now and then:
// it connects again at once with its token, and records whether "resume" gave it back its seat
// and how long after the cut. All clients share one io_context thread.

#include <array>
#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/Message.h"
#include "wire/Framing.h"

class GameAudit;

// What a relay between a client and the server records of the cuts of that client's links:
// written on the relay's thread, read on the client's.
struct LinkCuts {
    std::atomic<std::uint64_t> count{0};
    std::atomic<std::int64_t> lastNs{0};  // steady clock of the last cut, in nanoseconds
};

// A cut after which the client's seat was gone: where it sat, and when (steady clock).
struct SeatLoss {
    int desk = -1;
    std::chrono::steady_clock::time_point cut;
    std::chrono::steady_clock::time_point answered;  // the hello's "resume":"0"
};

struct LoadStats {
    std::uint64_t messages = 0;
    std::uint64_t games = 0;
    std::uint64_t failures = 0;  // connections lost or refused before the client was done
    std::vector<double> playLatencyMs;
    std::uint64_t drops = 0;          // links closed on purpose to rejoin
    std::uint64_t seatsLost = 0;      // rejoins that found the seat freed (joined again)
    std::vector<double> resumeMs;     // connect start to "resume" received
    std::vector<double> connectMs;    // of which connect start to connected
    std::uint64_t watching = 0;           // spectators whose "watch" was accepted
    std::uint64_t spectatorMessages = 0;  // texts the spectators received after that
    std::vector<std::chrono::steady_clock::time_point> moves;  // "game" texts (Options::timeMoves)
    // Soak persons (Options::rejoinOnLoss):
    std::uint64_t runs = 0;          // "run" texts received: a seat left during a game
    std::uint64_t cutsSeen = 0;      // links lost to a cut of the relay
    std::uint64_t linksLost = 0;     // links lost with no cut: the server closed them
    std::uint64_t backAtSeat = 0;    // cuts after which "resume" gave the same desk and seat
    std::uint64_t seatsMoved = 0;    // cuts after which "resume" gave another desk or seat
    std::vector<double> cutToResumeMs;  // the relay's cut to "resume" received
    std::vector<SeatLoss> seatLosses;   // cuts after which the hello said the seat was gone
};

class LoadClient : public std::enable_shared_from_this<LoadClient> {
public:
    struct Options {
        int games = 1;
        std::chrono::milliseconds dropEvery{0};  // 0: never drops
        std::uint64_t seed = 0;                  // the token and the drops' jitter
        // How long the client thinks before each play: a person's pace, kept well under the
        // server's flood limit however fast the desk goes; 0 answers at once.
        std::chrono::milliseconds think{0};
        int watchDesk = -1;  // >= 0: a spectator of this desk, never seated
        std::chrono::milliseconds startAfter{0};  // a spectator connects this long after start
        bool timeMoves = false;  // a spectator keeps the time of each "game" text (LoadStats::moves)
        std::chrono::milliseconds autoEvery{0};  // > 0: a flooder, one "auto" this often
        std::string localAddress;  // the links' own address ("": the system chooses)
        // A soak person: a lost link is a cut, answered by connecting again at once; "run" is
        // counted and the client readies again; no game starts once `stop` is set.
        bool rejoinOnLoss = false;
        const LinkCuts* cuts = nullptr;
        const std::atomic<bool>* stop = nullptr;
        GameAudit* audit = nullptr;  // shown every text, and every lost link
    };

    LoadClient(asio::io_context& io, LoadStats& stats, const Options& options,
               std::function<void()> done);
    void start(const asio::ip::tcp::endpoint& server);
    // From now on the client's figures go to `stats` (the client's thread only).
    void recordInto(LoadStats& stats) { m_stats = &stats; }

private:
    using Clock = std::chrono::steady_clock;

    // A new link: connect, hello, then `first` (the "add", or nothing when rejoining).
    void connect(const std::string& first);
    void readMore();
    void onText(const std::string& text);
    void onMessage(const stMsg& msg);
    void onGame(const stMsg& msg);
    void onResume(const std::string& text);
    void onHello(const std::string& text);
    // A link lost: a soak person connects again, any other client has failed.
    void onLinkLost();
    bool stopping() const;
    // A spectator's text: the answer to its "watch", the desk's texts, or the desk's end.
    void onWatchText(const std::string& text);
    void askToWatch();
    void playIfMyTurn(int now, int score);
    void play(int score);
    void send(const std::string& text);
    void scheduleDrop();
    void scheduleAuto();
    void drop();
    void finish(bool ok);

    asio::io_context& m_io;
    asio::ip::tcp::endpoint m_server;
    asio::ip::tcp::socket m_socket;
    LoadStats* m_stats;
    Options m_options;
    std::function<void()> m_done;
    std::string m_token;
    std::uint64_t m_link = 0;  // counts links; a handler of an older one does nothing
    asio::steady_timer m_dropTimer;
    asio::steady_timer m_thinkTimer;
    asio::steady_timer m_autoTimer;
    bool m_autoOn = false;  // what the flooder's last "auto" asked for
    std::uint64_t m_turns = 0;  // counts "game" and "resume" texts; a think of an older one ends
    std::uint64_t m_jitter = 0;
    Clock::time_point m_connectStart;
    framing::FrameAssembler m_frames;
    std::array<char, 8192> m_readBuffer{};
    std::string m_text;
    std::vector<std::string> m_outbox;  // texts waiting for the write in flight
    std::string m_writing;
    bool m_finished = false;

    int m_desk = -1;
    int m_site = -1;
    int m_games = 0;
    bool m_playing = false;
    std::vector<int> m_hand;
    std::vector<int> m_lastPlay;
    int m_lastPlayer = -1;
    std::array<int, 4> m_cardsLeft{};
    Clock::time_point m_playSent;
    bool m_awaitingEcho = false;

    std::uint64_t m_cutsKnown = 0;   // the relay's cut count when the link was last checked
    std::uint64_t m_cutsPending = 0;  // cuts since the last "resume"
    Clock::time_point m_lastCut;
};
