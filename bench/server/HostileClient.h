#pragma once
// One hostile client of the soak benchmark: it keeps to the server's frame limits (one request
// every `every`, far under 50 frames a second a link) and its per-address cap (its own loopback
// address), and otherwise asks for whatever costs the server most. Each kind:
//
//   kind          links                                 every `every`
//   Names         one, hello with a name                "name" with a name others ask for too
//   CreateStorm   one after another                     a new link: hello (new token), "create",
//                                                       closed at its "add"
//   HelloStorm    one after another                     a new link: hello (new token), closed at
//                                                       its answer
//   WrongCodes    one                                   "join" with a random code
//   Watch         one                                   "desks" and "watch" a random person's
//                                                       desk, in turn
//   AutoToggle    one, seated at a private desk of four "auto" on, then off, ... (in a game)
//   Talk          one, seated likewise; "auto" on at    "talk" with a random index
//                 each deal so the game goes on
//
// The seated kinds' creator sends "create" and hands the code to `onCode`; the other three are
// started with it and "join". Every link reads all the server says. A link the server closes is
// counted and opened again a second later (the seated kinds with their token, so they resume).
// The io_context's thread only.

#include <array>
#include <asio.hpp>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "wire/Framing.h"

enum class HostileKind { Names, CreateStorm, HelloStorm, WrongCodes, Watch, AutoToggle, Talk };
inline constexpr int kHostileKinds = 7;
const char* hostileKindName(HostileKind kind);

struct HostileTally {
    std::uint64_t links = 0;           // connections made
    std::uint64_t linksRefused = 0;    // connections that failed, or closed before any answer
    std::uint64_t requests = 0;        // texts sent, hellos included
    std::uint64_t answers = 0;         // texts received
    std::uint64_t refusals = 0;        // answers with "status":"refused"
    std::uint64_t closedByServer = 0;  // links the server closed after answering something
    std::uint64_t games = 0;           // the seated kinds: "over" received
};

class HostileClient : public std::enable_shared_from_this<HostileClient> {
public:
    struct Plan {
        HostileKind kind = HostileKind::Names;
        asio::ip::address_v4 source;
        std::chrono::microseconds every{100000};
        std::uint64_t seed = 0;
        int watchDesks = 1;     // Watch: desks 0 .. watchDesks - 1
        std::string joinCode;   // a seated kind's joiner: the creator's code
        std::function<void(const std::string&)> onCode;  // a seated kind's creator
    };

    HostileClient(asio::io_context& io, const asio::ip::tcp::endpoint& server, Plan plan,
                  HostileTally& tally);
    void start();
    void stop();

private:
    void connect();
    void readMore();
    void onText(const std::string& text);
    void onSeated(const std::string& text);
    void tick();
    void scheduleTick();
    void send(const std::string& text);
    void write(const std::string& text);  // frames and writes one text now
    void closeLink();
    // The link ended (closed by either side): storms go on with their next link, the others open
    // theirs again.
    void linkEnded();
    void after(std::chrono::microseconds wait, void (HostileClient::*then)());
    bool storm() const;
    bool seatedKind() const;
    std::string newToken();

    asio::io_context& m_io;
    asio::ip::tcp::endpoint m_server;
    Plan m_plan;
    HostileTally& m_tally;
    std::mt19937_64 m_random;
    asio::ip::tcp::socket m_socket;
    asio::steady_timer m_tickTimer;
    asio::steady_timer m_linkTimer;
    std::uint64_t m_link = 0;  // counts links; a handler of an older one does nothing
    bool m_stopped = false;
    bool m_answered = false;  // the link got a text
    bool m_ticking = false;   // the link's requests have begun
    std::string m_token;
    framing::FrameAssembler m_frames;
    std::array<char, 8192> m_readBuffer{};
    std::string m_text;
    std::vector<std::string> m_outbox;
    std::string m_writing;
    int m_desk = -1;
    int m_site = -1;
    std::uint64_t m_ticks = 0;
};
