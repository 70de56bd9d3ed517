// The real server on loopback: bad peers lose their own connection and nobody else notices;
// whole games run through the client's own message texts.

#include <gtest/gtest.h>

#include <thread>

#include "cards/CardCode.h"
#include "net/Framing.h"
#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "server/net/Server.h"
#include "tests/server/LoopbackClient.h"
#include "tests/support/TestSockets.h"

namespace {

using server::Millis;

// The server on its own event-loop thread, stopped and joined at the end of the test.
class RunningServer {
public:
    explicit RunningServer(server::ServerConfig config) : m_server(m_io, withTestDefaults(config)) {
        std::string error;
        m_started = m_server.start(error);
        EXPECT_TRUE(m_started) << error;
        m_thread = std::thread([this] { m_io.run(); });
    }
    ~RunningServer() {
        asio::post(m_io, [this] { m_server.stop(); });
        m_thread.join();
    }
    unsigned short port() const { return m_server.port(); }

private:
    static server::ServerConfig withTestDefaults(server::ServerConfig config) {
        config.host = "127.0.0.1";
        config.port = 0;
        config.log = false;
        return config;
    }

    asio::io_context m_io;
    server::Server m_server;
    bool m_started = false;
    std::thread m_thread;
};

server::ServerConfig noBots() {
    server::ServerConfig config;
    config.hall.desk.bots = false;
    return config;
}

std::string header(std::uint32_t length) {
    unsigned char bytes[framing::kHeaderBytes];
    framing::writeHeader(length, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), framing::kHeaderBytes);
}

std::string frames(std::string_view text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        framing::appendFrame(out, text);
    }
    return out;
}

TEST(Session, BadInputClosesOnlyThatConnection) {
    struct Row {
        const char* what;
        std::string bytes;
    };
    std::string wrongTypes;
    framing::appendFrame(wrongTypes, R"({"opt":"game","desk":"0","site":0,"cards":""})");
    const Row rows[] = {
        {"a frame over 1 MiB", header(framing::kMaxFrameBytes + 1) + std::string(1000, 'x')},
        {"a frame over the request limit", header(16 * 1024 + 1) + std::string(1000, 'x')},
        {"a frame of length 0", header(0)},
        {"bad JSON", frames("{\"opt\":", 1)},
        {"not an object", frames("[1,2,3]", 1)},
        {"an unknown opt", frames(R"({"opt":"shuffle"})", 1)},
        {"wrong types", wrongTypes},
        {"a flood", frames(R"({"opt":"query"})", 1000)},
        {"JSON nested as deep as a request may be", frames(std::string(16 * 1024, '['), 1)},
    };
    RunningServer running(noBots());
    LoopbackClient bystander;
    ASSERT_TRUE(bystander.connect(running.port()));
    ASSERT_TRUE(bystander.sendText(addMessage()));
    const auto seated = bystander.receive("add");
    ASSERT_TRUE(seated.has_value());

    for (const Row& row : rows) {
        LoopbackClient bad;
        ASSERT_TRUE(bad.connect(running.port())) << row.what;
        bad.sendRaw(row.bytes);
        EXPECT_TRUE(bad.waitClosed()) << row.what << ": the connection is closed";

        ASSERT_TRUE(bystander.sendText(queryMessage())) << row.what;
        const auto answer = bystander.receive("query");
        ASSERT_TRUE(answer.has_value()) << row.what << ": the other client is still served";
        EXPECT_EQ(answer->online, "1") << row.what;
    }
    // The bystander kept its seat through all of it.
    ASSERT_TRUE(bystander.sendText(readyMessage(seated->desk, seated->site)));
    const auto change = bystander.receive("change");
    ASSERT_TRUE(change.has_value());
    EXPECT_EQ(change->info[seated->site].ready, 1);
}

TEST(Session, PeerThatStopsReadingIsDisconnected) {
    server::ServerConfig config = noBots();
    config.limits.maxQueuedBytes = 64 * 1024;
    config.limits.framesPerSecond = 1e9;
    config.limits.burstFrames = 1e9;
    RunningServer running(config);
    LoopbackClient other;
    ASSERT_TRUE(other.connect(running.port()));

    LoopbackClient deaf;
    ASSERT_TRUE(deaf.connect(running.port(), 4096));
    // About 1 MB of answers, far beyond the socket buffers and the queue. The deaf client never
    // reads: the other client watches the online count until the server has let it go.
    const std::string burst = frames(R"({"opt":"query"})", 1000);
    for (int i = 0; i < 20 && deaf.sendRaw(burst); ++i) {
    }
    std::string online;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (online != "1" && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(other.sendText(queryMessage()));
        const auto answer = other.receive("query");
        ASSERT_TRUE(answer.has_value()) << "the other client is still served";
        online = answer->online;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(online, "1") << "the deaf connection was dropped";
    if (testnet::underWine()) {
        GTEST_SKIP() << "under Wine the dropped connection is not seen as reset from this side";
    }
    // Its socket is gone too: the server's side answers anything more with a reset.
    bool refused = false;
    for (int i = 0; i < 200 && !refused; ++i) {
        refused = !deaf.sendText(queryMessage());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(refused);
}

// Plays for one seat like the client's countdown does: lead the first card, or pass.
bool playOut(LoopbackClient& client, const stMsg& seat, std::vector<int>& hand, stMsg& over) {
    for (;;) {
        const std::optional<std::string> text = client.receiveText();
        if (!text) {
            return false;
        }
        stMsg msg;
        if (decodeMessage(*text, msg) != DecodeStatus::Ok) {
            return false;
        }
        if (msg.opt == "start") {
            hand = parseCardList(msg.cards);
            sortHand(hand);
        } else if (msg.opt == "over") {
            over = msg;
            return true;
        } else if (msg.opt == "game" && msg.now == seat.site) {
            if (msg.must != 0) {
                client.sendText(leadMessage(seat.desk, seat.site, hand.front()));
                hand.erase(hand.begin());
            } else {
                client.sendText(passMessage(seat.desk, seat.site));
            }
        }
    }
}

TEST(Session, WholeGameAgainstComputerPlayers) {
    server::ServerConfig config;
    config.hall.desk.botWait = Millis(0);
    config.hall.desk.botDelay = Millis(0);
    config.hall.desk.deal = 6;
    config.hall.seed = 5;
    RunningServer running(config);
    LoopbackClient client;
    ASSERT_TRUE(client.connect(running.port()));
    ASSERT_TRUE(client.sendText(addMessage()));
    const auto seat = client.receive("add");
    ASSERT_TRUE(seat.has_value());
    ASSERT_TRUE(client.sendText(readyMessage(seat->desk, seat->site)));
    std::vector<int> hand;
    stMsg over;
    ASSERT_TRUE(playOut(client, *seat, hand, over));
    const int partner = (seat->site + 2) % 4;
    EXPECT_EQ(over.info[seat->site].result, over.info[partner].result);
    EXPECT_EQ(over.info[seat->site].name, seat->name);

    // Ready again, then leave mid-game: the connection stays open in the hall.
    ASSERT_TRUE(client.sendText(readyMessage(seat->desk, seat->site)));
    ASSERT_TRUE(client.receive("start").has_value());
    ASSERT_TRUE(client.sendText(leaveMessage(seat->desk, seat->site)));
    ASSERT_TRUE(client.sendText(queryMessage()));
    const auto answer = client.receive("query");
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->online, "1");
}

TEST(Session, DisconnectDuringAGameSendsRunToTheOthers) {
    server::ServerConfig config;
    config.hall.desk.botWait = Millis(300);
    config.hall.desk.botDelay = Millis(50);
    RunningServer running(config);
    LoopbackClient stays;
    LoopbackClient runs;
    ASSERT_TRUE(stays.connect(running.port()));
    ASSERT_TRUE(runs.connect(running.port()));
    ASSERT_TRUE(stays.sendText(addMessage()));
    const auto first = stays.receive("add");
    ASSERT_TRUE(runs.sendText(addMessage()));
    const auto second = runs.receive("add");
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->desk, second->desk);
    ASSERT_TRUE(stays.sendText(readyMessage(first->desk, first->site)));
    ASSERT_TRUE(runs.sendText(readyMessage(second->desk, second->site)));
    ASSERT_TRUE(stays.receive("start").has_value());
    runs.close();
    const auto run = stays.receive("run");
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->site, second->site);
    EXPECT_EQ(run->name, second->name);
}

}  // namespace

namespace {

TEST(BotWorkers, SearchesShareTheirTimeWhenJobsQueueUp) {
    using std::chrono::microseconds;
    struct Row {
        microseconds time;
        long moves;
        int waiting;
        int threads;
        microseconds expected;
    };
    const Row rows[] = {
        {microseconds(30000), 0, 1, 1, microseconds(30000)},   // alone: the full budget
        {microseconds(30000), 0, 2, 2, microseconds(30000)},   // one job a thread
        {microseconds(30000), 0, 3, 1, microseconds(10000)},   // three share one thread
        {microseconds(30000), 0, 6, 2, microseconds(10000)},
        {microseconds(30000), 0, 500, 1, microseconds(2000)},  // never below the least
        {microseconds(0), 3000, 50, 1, microseconds(0)},       // a work budget is kept
    };
    for (const Row& row : rows) {
        const server::SearchBudget shared =
            server::budgetUnderLoad({row.time, row.moves}, row.waiting, row.threads);
        EXPECT_EQ(shared.time, row.expected) << row.waiting << " waiting, " << row.threads;
        EXPECT_EQ(shared.moves, row.moves);
    }
}

}  // namespace
