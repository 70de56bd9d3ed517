// desk-server as a process keeping its records, on SQLite (--data in a temporary folder) and on a
// PostgreSQL server of the test's own (--db): a person's game with computer players, then the
// "record" and "leaderboard" answers; a game that survives a kill -9 right after its "over";
// two servers on one PostgreSQL recording every game once. (The requests' rate and a person
// without a token are the hall's: HallRecordsTest.)

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/integration/ServerProcess.h"
#include "tests/server/net/LoopbackClient.h"
#include "tests/server/protocol/ServerFields.h"
#include "tests/server/store/StoreFixture.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kServer = DESK_SERVER_PATH;
const std::string kToken = "00112233445566778899aabbccddeeff";
const std::string kComputer = "computer (easy)";

// Short games that play themselves: two cards each, computer players at once, a silent
// person's turn played by the server after 0.1 s.
std::vector<std::string> quickGames(const teststore::StoreBackend& backend,
                                    std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--deal",         "2",   "--bot-delay", "0",
                                     "--bot-wait",     "0.1", "--bot-level", "easy",
                                     "--turn-timeout", "0.1", "--seed",      "3"};
    for (std::string& arg : backend.serverArguments()) {
        args.push_back(std::move(arg));
    }
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The next text of kind `opt`, skipping others; "" on time-out or close.
std::string awaitOpt(LoopbackClient& client, const std::string& opt,
                     std::chrono::milliseconds timeout = 10s) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const std::optional<std::string> text = client.receiveText(left);
        if (!text) {
            return "";
        }
        if (fieldOf(*text, "opt") == opt) {
            return *text;
        }
    }
    return "";
}

struct Played {
    int seat = -1;
    std::string score;  // the last "score" before "over"
    std::string over;
};

// A person (with a hello for `token` unless it is empty) sits down, gets ready and is played
// for by the server until "over".
Played playOneGame(LoopbackClient& client, unsigned short port, const std::string& token) {
    Played played;
    if (!client.connect(port)) {
        return played;
    }
    if (!token.empty() && (!client.sendText(R"({"opt":"hello","token":")" + token + "\"}") ||
                           fieldOf(awaitOpt(client, "hello"), "status") != "ok")) {
        return played;
    }
    client.sendText(R"({"opt":"add"})");
    const std::string add = awaitOpt(client, "add");
    if (add.empty()) {
        return played;
    }
    client.sendText(R"({"opt":"change","type":"ready","desk":)" + fieldOf(add, "desk") +
                    R"(,"site":)" + fieldOf(add, "site") + "}");
    const auto deadline = Clock::now() + 20s;
    while (played.over.empty() && Clock::now() < deadline) {
        const std::optional<std::string> text = client.receiveText(1000ms);
        if (text && fieldOf(*text, "opt") == "score") {
            played.score = *text;
        } else if (text && fieldOf(*text, "opt") == "over") {
            played.over = *text;
        }
    }
    played.seat = std::stoi(fieldOf(add, "site"));
    return played;
}

// Waits until `sql`'s answer is `expected` (at most 10 s); the last answer.
std::string waitForAnswer(teststore::StoreBackend& backend, const std::string& sql,
                          const std::string& expected) {
    const auto deadline = Clock::now() + 10s;
    std::string answer = backend.query(sql);
    while (answer != expected && Clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
        answer = backend.query(sql);
    }
    return answer;
}

class RecordsProcessTest : public teststore::StoreFixture {};

TEST_P(RecordsProcessTest, APersonsGameIsInTheRecordAndTheLeaderboardHasNoRatedPlayers) {
    ServerProcess server(kServer, quickGames(*m_backend));
    ASSERT_TRUE(server.running()) << server.log();
    LoopbackClient client;
    const Played played = playOneGame(client, server.port(), kToken);
    ASSERT_FALSE(played.over.empty()) << server.log();
    ASSERT_EQ(waitForAnswer(*m_backend, "SELECT count(*) FROM games", "1"), "1") << server.log();

    client.sendText(R"({"opt":"record"})");
    const std::string record = awaitOpt(client, "record");
    ASSERT_FALSE(record.empty()) << server.log();
    const int result = std::stoi(infoOf(played.over, played.seat, "result"));
    const char* team = played.seat % 2 == 0 ? "p0" : "p1";
    const struct {
        const char* key;
        std::string expected;
    } fields[] = {
        {"games", "1"},
        {"wins", result > 0 ? "1" : "0"},
        {"draws", result == 0 ? "1" : "0"},
        {"losses", result < 0 ? "1" : "0"},
        {"points", fieldOf(played.score, team)},
        {"rating", "1500"},  // a game with computer players moves no rating
    };
    for (const auto& field : fields) {
        EXPECT_EQ(fieldOf(record, field.key), field.expected) << field.key << " in " << record;
    }
    ASSERT_EQ(itemCount(record, "last"), 1) << record;
    EXPECT_EQ(itemOf(record, "last", 0, "result"), std::to_string(result));
    EXPECT_EQ(itemOf(record, "last", 0, "points"), fieldOf(played.score, team));
    EXPECT_EQ(itemOf(record, "last", 0, "partner"), kComputer);
    EXPECT_EQ(itemOf(record, "last", 0, "opponents"), kComputer + "," + kComputer);
    const long long when = std::stoll(itemOf(record, "last", 0, "when"));
    EXPECT_LE(std::llabs(when - static_cast<long long>(std::time(nullptr))), 30)
        << "Unix seconds of the game's end";

    client.sendText(R"({"opt":"leaderboard"})");
    const std::string board = awaitOpt(client, "leaderboard");
    EXPECT_EQ(itemCount(board, "top"), 0) << board;
    EXPECT_EQ(fieldOf(board, "place"), "-1") << board;
}

TEST_P(RecordsProcessTest, AGameSurvivesAKillRightAfterItsOver) {
    std::string firstLog;
    {
        ServerProcess server(kServer, quickGames(*m_backend));
        ASSERT_TRUE(server.running()) << server.log();
        LoopbackClient client;
        ASSERT_FALSE(playOneGame(client, server.port(), kToken).over.empty()) << server.log();
        std::this_thread::sleep_for(1s);
        server.kill();
        firstLog = server.log();
    }
    EXPECT_EQ(m_backend->query("SELECT count(*) FROM games"), "1") << firstLog;
    ServerProcess again(kServer, quickGames(*m_backend));
    ASSERT_TRUE(again.running()) << again.log();
    LoopbackClient client;
    ASSERT_TRUE(client.connect(again.port()));
    client.sendText(R"({"opt":"hello","token":")" + kToken + "\"}");
    EXPECT_EQ(fieldOf(awaitOpt(client, "hello"), "records"), "1");
    client.sendText(R"({"opt":"record"})");
    const std::string record = awaitOpt(client, "record");
    EXPECT_EQ(fieldOf(record, "games"), "1") << record;
    EXPECT_EQ(itemCount(record, "last"), 1) << record;
}

INSTANTIATE_TEST_SUITE_P(Stores, RecordsProcessTest, testing::ValuesIn(teststore::storeNames()),
                         teststore::databaseName);

#if DESK_STORE_POSTGRES
std::size_t countLines(const std::string& log, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = log.find(part); at != std::string::npos; at = log.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Two servers on one PostgreSQL, each with desks of computer players playing for a few seconds:
// every game either logged as over is a row, once.
TEST(RecordsSharedDatabaseTest, TwoServersRecordEveryGameOnce) {
    const std::unique_ptr<teststore::StoreBackend> backend = teststore::makeBackend("postgres");
    std::string error;
    ASSERT_TRUE(backend->start(error)) << error;
    const std::vector<std::string> desks = {"--bot-desks", "3", "--bot-delay", "0.01"};
    ServerProcess one(kServer, quickGames(*backend, desks));
    ServerProcess two(kServer, quickGames(*backend, desks));
    ASSERT_TRUE(one.running() && two.running()) << one.log() << two.log();
    std::this_thread::sleep_for(3s);
    one.stop();
    two.stop();
    const std::size_t over = countLines(one.log(), ": game over, results") +
                             countLines(two.log(), ": game over, results");
    EXPECT_GT(over, 20u) << "the desks played";
    EXPECT_EQ(backend->query("SELECT count(*) FROM games"), std::to_string(over));
    EXPECT_EQ(backend->query("SELECT count(*) FROM seats"), std::to_string(4 * over));
    EXPECT_EQ(countLines(one.log() + two.log(), "refused and dropped") +
                  countLines(one.log() + two.log(), "dropped (queue full)"),
              0u)
        << "no game refused or dropped";
    EXPECT_EQ(countLines(one.log() + two.log(), "store: stopped, 0 games not written"), 2u);
}
#endif

}  // namespace
