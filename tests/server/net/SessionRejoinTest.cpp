// The real server on loopback: links replaced and resumed by token, the idle clock after a game,
// a storm of private desks that leaves nothing behind, and desks of computer players that must
// never hold the event loop.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cards/CardCode.h"
#include "net/OutgoingMessages.h"
#include "server/platform/ProcessControl.h"
#include "tests/server/net/LoopbackClient.h"
#include "tests/server/net/RunningServer.h"
#include "tests/server/protocol/ServerFields.h"

namespace {

using server::Millis;
using Clock = std::chrono::steady_clock;

const std::string kToken = "00112233445566778899aabbccddeeff";

std::string helloText(const std::string& token) {
    return R"({"opt":"hello","token":")" + token + R"("})";
}

// The next text of kind `opt`, skipping others; nothing on time-out or close.
std::optional<std::string> nextOf(LoopbackClient& client, const std::string& opt,
                                  Millis timeout = Millis(5000)) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
        const std::optional<std::string> text = client.receiveText(left);
        if (!text || fieldOf(*text, "opt") == opt) {
            return text;
        }
    }
}

// A desk whose game stands still once dealt: the computer players think 10 s, a person's turn
// lasts 10 s.
server::ServerConfig slowGame() {
    server::ServerConfig config;
    config.hall.desk.botWait = Millis(300);
    config.hall.desk.botDelay = Millis(10000);
    config.hall.desk.turnTimeout = Millis(10000);
    return config;
}

TEST(SessionRejoin, ANewLinkWithTheTokenTakesTheSeatBackWithoutARun) {
    struct Row {
        const char* what;
        bool dropFirst;  // else the first link is still open when the second says hello
    };
    const Row rows[] = {{"after a drop", true}, {"replacing a live link", false}};
    for (const Row& row : rows) {
        RunningServer running(slowGame());
        running.run();
        LoopbackClient first;
        LoopbackClient other;
        const auto dealt = dealForTwo(running.port(), first, other, helloText(kToken));
        ASSERT_TRUE(dealt.has_value()) << row.what;
        const stMsg& seat = dealt->first;
        if (row.dropFirst) {
            first.close();
            const auto away = nextOf(other, "presence");
            ASSERT_TRUE(away.has_value()) << row.what;
            EXPECT_EQ(infoOf(*away, seat.site, "away"), "1") << row.what;
        }

        LoopbackClient second;
        ASSERT_TRUE(second.connect(running.port()) && second.sendText(helloText(kToken)));
        const auto hello = second.receiveText();
        ASSERT_TRUE(hello.has_value()) << row.what;
        EXPECT_EQ(*hello, R"({"opt":"hello","status":"ok","resume":"1","talk":"1","names":"1",)"
                          R"("private":"1","watch":"1"})")
            << row.what;
        const auto resume = second.receiveText();
        ASSERT_TRUE(resume.has_value()) << row.what;
        EXPECT_EQ(fieldOf(*resume, "opt"), "resume") << row.what;
        EXPECT_EQ(fieldOf(*resume, "site"), std::to_string(seat.site)) << row.what;
        EXPECT_EQ(fieldOf(*resume, "name"), seat.name) << row.what;
        EXPECT_EQ(fieldOf(*resume, "playing"), "1") << row.what;
        EXPECT_EQ(parseCardList(fieldOf(*resume, "cards")).size(), 27u) << row.what;
        EXPECT_EQ(infoOf(*resume, seat.site, "surplus"), "27") << row.what;
        if (row.dropFirst) {
            const auto present = nextOf(other, "presence");
            ASSERT_TRUE(present.has_value()) << row.what;
            EXPECT_EQ(infoOf(*present, seat.site, "away"), "0") << row.what;
        } else {
            EXPECT_TRUE(first.waitClosed()) << row.what << ": the replaced link is closed";
        }
        EXPECT_FALSE(other.receive("run", Millis(300)).has_value()) << row.what << ": no run";
        ASSERT_TRUE(second.sendText(queryMessage())) << row.what;
        const auto answer = second.receive("query");
        ASSERT_TRUE(answer.has_value()) << row.what;
        EXPECT_EQ(answer->online, "2") << row.what;
    }
}

TEST(SessionRejoin, TheIdleClockStartsAgainWhenTheGameEnds) {
    // A person silent through a game is closed one idle period after the game ends, not at the
    // next look of a clock that ran from their last word. Here the game ends 1.5 periods after it.
    constexpr Millis kIdle(600);
    server::ServerConfig config = slowGame();
    config.limits.idleTimeout = kIdle;
    RunningServer running(config);
    running.run();
    LoopbackClient silent;
    LoopbackClient leaves;
    ASSERT_TRUE(silent.connect(running.port()) && leaves.connect(running.port()));
    ASSERT_TRUE(silent.sendText(addMessage()));
    const auto seat = silent.receive("add");
    ASSERT_TRUE(leaves.sendText(addMessage()));
    const auto other = leaves.receive("add");
    ASSERT_TRUE(seat && other && seat->desk == other->desk);
    ASSERT_TRUE(leaves.sendText(readyMessage(other->desk, other->site)));
    const auto lastWord = Clock::now();
    ASSERT_TRUE(silent.sendText(readyMessage(seat->desk, seat->site)));
    ASSERT_TRUE(silent.receive("start").has_value());
    std::this_thread::sleep_until(lastWord + kIdle * 3 / 2);
    ASSERT_TRUE(leaves.sendText(leaveMessage(other->desk, other->site)));
    ASSERT_TRUE(silent.receive("run").has_value()) << "the game ends";
    const auto ended = Clock::now();
    ASSERT_TRUE(silent.waitClosed(Millis(3000))) << "idle after the game";
    EXPECT_GE(Clock::now() - ended, kIdle * 8 / 10) << "a whole idle period after the game";
}

TEST(SessionRejoin, AStormOfPrivateDesksHeldAndFreedLeavesNoDeskBehind) {
    // From one address, hello with a new token, "create" and close, 2000 times: each seat is held
    // for 2 s, then freed, and its desk goes with its timer.
    server::ServerConfig config;
    config.hall.desk.awayHold = Millis(2000);
    config.hall.maxPrivatePerAddress = config.hall.maxHeldPerAddress = 2000;
    RunningServer running(config);
    running.run();
    const auto inUse = [&running] {  // desk numbers and timers, read on the loop's thread
        std::promise<std::size_t> count;
        asio::post(running.io(), [&] {
            count.set_value(running.server().deskCount() + running.server().deskTimers());
        });
        return count.get_future().get();
    };
    char token[40];
    for (int i = 0; i < 2000; ++i) {
        LoopbackClient client;
        std::snprintf(token, sizeof token, "%032x", i);
        ASSERT_TRUE(client.connect(running.port()) && client.sendText(helloText(token)) &&
                    client.sendText(createDeskMessage()) && nextOf(client, "add"));
    }
    EXPECT_GT(inUse(), 200u) << "the storm's desks were open together";
    for (int i = 0; i < 100 && inUse() > 0; ++i) {
        std::this_thread::sleep_for(Millis(100));
    }
    EXPECT_EQ(inUse(), 0u) << "once every held seat was freed";
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr Millis kPrompt(1000);  // instrumented builds decide some ten times slower
#else
constexpr Millis kPrompt(100);
#endif

TEST(SessionBotDesks, DesksOfComputerPlayersAtZeroDelayNeverHoldTheServer) {
    struct Row {
        server::BotLevel level;
        int desks;
    };
    const Row rows[] = {{server::BotLevel::Easy, 1}, {server::BotLevel::Normal, 200}};
    for (const Row& row : rows) {
        const std::string what = server::botLevelName(row.level);
        server::ServerConfig config;
        config.botDesks = row.desks;
        config.hall.desk.botLevel = row.level;
        config.hall.desk.botDelay = Millis(0);
        RunningServer running(config);
        server::ShutdownRequests shutdown(running.io(), [&running] { running.server().stop(); });
        running.run();
        std::this_thread::sleep_for(Millis(300));  // the desks are in full play

        LoopbackClient person;
        ASSERT_TRUE(person.connect(running.port())) << what;
        // The median of ten: one answer may wait for the machine's other work, not for a desk.
        std::vector<Clock::duration> waits;
        for (int i = 0; i < 10; ++i) {
            const auto asked = Clock::now();
            ASSERT_TRUE(person.sendText(queryMessage())) << what;
            ASSERT_TRUE(person.receive("query").has_value()) << what;
            waits.push_back(Clock::now() - asked);
        }
        std::sort(waits.begin(), waits.end());
        const Millis median = std::chrono::duration_cast<Millis>(waits[waits.size() / 2]);
        EXPECT_LT(median, kPrompt) << what << ": a person's query waits for no desk";

        const auto asked = Clock::now();
#ifdef _WIN32
        // Windows hands Ctrl+C to the console's handler on a thread of its own, not as a raised
        // signal (the C runtime's SIGINT would end the test): ask for the stop as that handler does.
        asio::post(running.io(), [&running] { running.server().stop(); });
#else
        std::raise(SIGINT);
#endif
        while (!running.io().stopped() && Clock::now() - asked < Millis(3000)) {
            std::this_thread::sleep_for(Millis(1));
        }
        const auto took = Clock::now() - asked;
        EXPECT_TRUE(running.io().stopped()) << what << ": SIGINT ends the loop";
        EXPECT_LT(took, kPrompt) << what;
        std::printf("%s, %d desk(s): query median %lld ms, slowest %lld ms; SIGINT to stopped %lld ms\n",
                    what.c_str(), row.desks, static_cast<long long>(median.count()),
                    static_cast<long long>(
                        std::chrono::duration_cast<Millis>(waits.back()).count()),
                    static_cast<long long>(std::chrono::duration_cast<Millis>(took).count()));
        running.io().stop();  // only when it did not end by itself
        running.join();
    }
}

}  // namespace
