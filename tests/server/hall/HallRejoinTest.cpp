// The hall's side of rejoin: hello's rules, a person outliving their link while seated, and what
// reaches whom when a link drops and comes back.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "server/hall/Hall.h"
#include "server/protocol/ServerMessages.h"
#include "tests/server/hall/HallScript.h"
#include "tests/server/protocol/ServerFields.h"
#include "tests/server/protocol/WireCheck.h"

namespace hall_rejoin_test {

using namespace hallscript;

// Public: the table's set-up steps, lambdas, use it too.
class HallRejoinTest : public testing::Test, public HallDriver {
public:
    using Got = Texts;  // texts by link, in order

    HallRejoinTest() : HallDriver(config()) {}
    static server::HallConfig config() {
        server::HallConfig config;
        config.namePrefix = "guest";
        config.desk.botWait = Millis(2000);
        config.desk.botDelay = Millis(1000);
        return config;
    }
    // Links 1 (with kToken) and 2 (no hello) at desk 0 seats 0 and 1, computer players on 2
    // and 3, the game dealt at 2 s.
    void startGame() {
        hall.connect(1);
        hall.connect(2);
        send(1, helloRequest(kToken));
        send(1, request(Kind::Add));
        send(2, request(Kind::Add));
        send(1, request(Kind::Ready, 0, 0));
        send(2, request(Kind::Ready, 0, 1));
        runDesk(0, Millis(2000));
        ASSERT_TRUE(hall.desk(0).playing());
        clearOutput();
    }
    std::vector<std::string> kinds(const std::vector<std::string>& texts) {
        std::vector<std::string> found;
        for (const std::string& text : texts) {
            found.push_back(fieldOf(text, "opt"));
        }
        return found;
    }
};

TEST_F(HallRejoinTest, HelloRefusalsAnswerOnlyTheLinkAndChangeNothing) {
    struct Row {
        const char* what;
        std::function<void(HallRejoinTest&)> before;  // link 9 is connected first
        std::string token;
        std::string answer;
    };
    const auto reconnectTenTimes = [](HallRejoinTest& t) {
        for (LinkId link = 100; link < 110; ++link) {
            t.hall.connect(link);
            t.send(link, helloRequest(kToken), Millis((link - 100) * 1000));
            t.hall.disconnect(link, Millis((link - 100) * 1000), t.out);
        }
    };
    const Row rows[] = {
        {"too short", nullptr, "0123", server::helloRefusedMessage(server::kHelloBadToken)},
        {"33 digits", nullptr, kToken + "0", server::helloRefusedMessage(server::kHelloBadToken)},
        {"not hex", nullptr, std::string(32, 'g'),
         server::helloRefusedMessage(server::kHelloBadToken)},
        {"empty", nullptr, "", server::helloRefusedMessage(server::kHelloBadToken)},
        {"a second hello after one accepted",
         [](HallRejoinTest& t) { t.send(9, helloRequest(kOtherToken)); }, kToken,
         server::helloRefusedMessage(server::kHelloAgain)},
        {"a second hello after one refused",
         [](HallRejoinTest& t) { t.send(9, helloRequest("x")); }, kToken,
         server::helloRefusedMessage(server::kHelloAgain)},
        {"a hello after seating", [](HallRejoinTest& t) { t.send(9, request(Kind::Add)); }, kToken,
         server::helloRefusedMessage(server::kHelloSeated)},
        {"the eleventh hello in a minute", reconnectTenTimes, kToken,
         server::helloRefusedMessage(server::kHelloTooMany, 50)},
    };
    for (const Row& row : rows) {
        hall = Hall(config());
        clearOutput();
        hall.connect(9);
        if (row.before) {
            row.before(*this);
        }
        clearOutput();
        const server::PersonId person = hall.personOf(9);
        const std::size_t online = hall.online();
        const std::size_t persons = hall.persons();
        const Got got = send(9, helloRequest(row.token), Millis(10000));
        ASSERT_EQ(got.size(), 1u) << row.what << ": only the link hears of it";
        EXPECT_EQ(got.at(9), std::vector<std::string>{row.answer}) << row.what;
        EXPECT_TRUE(out.closeLinks.empty()) << row.what;
        EXPECT_TRUE(out.touchedDesks.empty()) << row.what;
        EXPECT_TRUE(out.restartIdle.empty()) << row.what;
        EXPECT_EQ(hall.personOf(9), person) << row.what;
        EXPECT_EQ(hall.online(), online) << row.what;
        EXPECT_EQ(hall.persons(), persons) << row.what;
        ASSERT_FALSE(out.log.empty()) << row.what;
        EXPECT_NE(out.log.back().find("hello refused"), std::string::npos) << row.what;
    }
}

TEST_F(HallRejoinTest, AnUnknownTokenIsTakenByTheLinksOwnPerson) {
    hall.connect(1);
    const server::PersonId person = hall.personOf(1);
    const Got got = send(1, helloRequest(kToken));
    EXPECT_EQ(got.at(1), std::vector<std::string>{server::helloOkMessage(false)});
    EXPECT_EQ(hall.personOf(1), person);
    EXPECT_EQ(hall.persons(), 1u);
    EXPECT_TRUE(out.closeLinks.empty());
    ASSERT_EQ(out.log.size(), 1u);
    EXPECT_NE(out.log[0].find("connection 1: hello accepted (token 3eb1bd439947eb76)"),
              std::string::npos)
        << out.log[0];
    // Not seated, its link's close forgets it: the token names nobody, and a later link is new.
    hall.disconnect(1, Millis(10), out);
    EXPECT_EQ(hall.persons(), 0u);
    hall.connect(2);
    EXPECT_EQ(send(2, helloRequest(kToken), Millis(20)).at(2),
              std::vector<std::string>{server::helloOkMessage(false)});
    EXPECT_TRUE(out.closeLinks.empty());
}

TEST_F(HallRejoinTest, ReconnectsAreCountedPerTokenOverAMinute) {
    for (LinkId link = 1; link <= 10; ++link) {
        hall.connect(link);
        const Got got = send(link, helloRequest(kToken), Millis((link - 1) * 1000));
        EXPECT_EQ(got.at(link), std::vector<std::string>{server::helloOkMessage(false)});
    }
    struct Row {
        Millis at;
        const std::string* token;
        std::string answer;
    };
    const Row rows[] = {
        {Millis(10000), &kToken, server::helloRefusedMessage(server::kHelloTooMany, 50)},
        {Millis(59001), &kToken, server::helloRefusedMessage(server::kHelloTooMany, 1)},
        {Millis(10000), &kOtherToken, server::helloOkMessage(false)},  // per token
        {Millis(60000), &kToken, server::helloOkMessage(false)},  // the oldest is a minute old
        {Millis(60500), &kToken, server::helloRefusedMessage(server::kHelloTooMany, 1)},
    };
    LinkId link = 20;
    for (const Row& row : rows) {
        hall.connect(++link);
        const Got got = send(link, helloRequest(*row.token), row.at);
        EXPECT_EQ(got.at(link), std::vector<std::string>{row.answer}) << row.at.count();
    }
    EXPECT_NE(out.log.back().find("retry in 1 s"), std::string::npos) << out.log.back();
    EXPECT_NE(out.log.back().find("token 3eb1bd439947eb76"), std::string::npos)
        << "the log names the token by its hash's first 16 hex digits: " << out.log.back();
    EXPECT_EQ(out.log.back().find(kToken), std::string::npos) << "never the token itself";
}

TEST_F(HallRejoinTest, AHelloWithALiveLinksTokenReplacesThatLink) {
    struct Row {
        const char* what;
        bool seated;
        std::string token;
    };
    const Row rows[] = {
        {"in the hall", false, kToken},
        {"seated", true, kToken},
        {"either case is one token", true, "0123456789ABCDEF0123456789abcdef"},
    };
    for (const Row& row : rows) {
        hall = Hall(config());
        clearOutput();
        hall.connect(1);
        send(1, helloRequest(kToken));
        if (row.seated) {
            send(1, request(Kind::Add));
        }
        const server::PersonId person = hall.personOf(1);
        hall.connect(2);
        const Got got = send(2, helloRequest(row.token), Millis(500));
        EXPECT_EQ(out.closeLinks, std::vector<LinkId>{1}) << row.what;
        EXPECT_EQ(got.count(1), 0u) << row.what << ": the old link is told nothing";
        ASSERT_FALSE(got.at(2).empty()) << row.what;
        EXPECT_EQ(got.at(2)[0], server::helloOkMessage(row.seated)) << row.what;
        EXPECT_EQ(hall.personOf(2), person) << row.what << ": the same person, the new link";
        EXPECT_EQ(hall.personOf(1), 0u) << row.what;
        EXPECT_EQ(hall.online(), 1u) << row.what;
        EXPECT_EQ(hall.persons(), 1u) << row.what << ": one token never holds two seats";
        if (row.seated) {
            ASSERT_EQ(kinds(got.at(2)), (std::vector<std::string>{"hello", "resume"})) << row.what;
            EXPECT_EQ(fieldOf(got.at(2)[1], "desk"), "0");
            EXPECT_EQ(fieldOf(got.at(2)[1], "site"), "0");
            EXPECT_EQ(fieldOf(got.at(2)[1], "name"), "guest1");
            EXPECT_EQ(fieldOf(got.at(2)[1], "playing"), "0");
            EXPECT_EQ(out.restartIdle, std::vector<LinkId>{2});
        }
        // The old link's close, when the server reports it, is no leave.
        clearOutput();
        hall.disconnect(1, Millis(600), out);
        EXPECT_TRUE(out.sends.empty()) << row.what;
        EXPECT_EQ(hall.personOf(2), person) << row.what;
        const bool held = hall.deskCount() > 0 &&
                          hall.desk(0).seat(0).kind == server::DeskGame::SeatKind::Person;
        EXPECT_EQ(held, row.seated) << row.what;
    }
}

TEST_F(HallRejoinTest, ADroppedLinkHoldsTheSeatAndTheNextOneResumesIt) {
    startGame();
    const server::PersonId person = hall.personOf(1);
    hall.disconnect(1, Millis(2100), out);
    Got got = drain();
    EXPECT_EQ(hall.online(), 1u) << "the online count is open links";
    EXPECT_EQ(hall.persons(), 2u) << "the away person is still known";
    ASSERT_EQ(kinds(got[2]), std::vector<std::string>{"presence"}) << "no run";
    EXPECT_EQ(infoOf(got[2][0], 0, "away"), "1");
    EXPECT_TRUE(hall.desk(0).playing());
    EXPECT_TRUE(hall.desk(0).seat(0).away);

    // While away, what the desk says to seat 0 reaches nobody.
    got = runDesk(0, Millis(9000));
    for (const auto& [link, texts] : got) {
        EXPECT_EQ(link, 2u) << "sends to an away person are dropped";
    }

    hall.connect(3);
    got = send(3, helloRequest(kToken), Millis(9000));
    EXPECT_EQ(hall.personOf(3), person);
    ASSERT_EQ(kinds(got[3]), (std::vector<std::string>{"hello", "resume", "presence"}));
    EXPECT_EQ(got[3][0], server::helloOkMessage(true));
    EXPECT_EQ(fieldOf(got[3][1], "playing"), "1");
    EXPECT_EQ(fieldOf(got[3][1], "site"), "0");
    EXPECT_EQ(fieldOf(got[3][1], "cards").empty(), hall.desk(0).round()->hand(0).empty());
    EXPECT_EQ(infoOf(got[3][1], 0, "away"), "0") << "resume shows the seat back";
    ASSERT_EQ(kinds(got[2]), std::vector<std::string>{"presence"});
    EXPECT_EQ(infoOf(got[2][0], 0, "away"), "0");
    EXPECT_EQ(out.restartIdle, std::vector<LinkId>{3}) << "a resumed seat's idle clock restarts";

    // The new link speaks for the seat; another seat's link cannot.
    got = send(2, autoRequest(0, 0, true), Millis(9100));
    EXPECT_TRUE(got.empty()) << "auto only for one's own seat";
    got = send(3, autoRequest(0, 0, true), Millis(9100));
    ASSERT_EQ(kinds(got[2]), std::vector<std::string>{"presence"});
    EXPECT_EQ(infoOf(got[2][0], 0, "auto"), "1");
}

TEST_F(HallRejoinTest, SeatsHeldForOneAddressAreKeptToItsBudget) {
    // Two seats may be held for an address: links 1 to 3 from it and link 4 from another, each
    // with a token of its own, play at desk 0; the address's third drop is a run.
    server::HallConfig budget = config();
    budget.maxHeldPerAddress = 2;
    hall = Hall(budget);
    const auto token = [](LinkId link) { return std::string(31, 'a') + std::to_string(link); };
    for (LinkId link = 1; link <= 4; ++link) {
        hall.connect(link, link < 4 ? "10.0.0.1" : "10.0.0.2");
        send(link, helloRequest(token(link)));
        send(link, request(Kind::Add));
        send(link, request(Kind::Ready, 0, static_cast<int>(link) - 1));
    }
    ASSERT_TRUE(hall.desk(0).playing());
    for (LinkId link = 1; link <= 3; ++link) {
        hall.disconnect(link, Millis(100), out);
        EXPECT_EQ(kinds(drain()[4]).at(0), link < 3 ? "presence" : "run") << link;
    }
    EXPECT_TRUE(logHas(out.log, "connection 3 (10.0.0.1): seat not held, 2 held"));
    hall.connect(5, "10.0.0.1");
    EXPECT_EQ(send(5, helloRequest(token(3))).at(5)[0], server::helloOkMessage(false))
        << "let go as one without a hello: the token names nobody";
}

TEST_F(HallRejoinTest, ASeatFreedWhileAwayIsForgottenAndGameEndsRestartIdleClocks) {
    server::HallConfig short_ = config();
    short_.desk.deal = 2;
    short_.desk.turnTimeout = Millis(10);
    hall = Hall(short_);
    startGame();
    hall.disconnect(2, Millis(2000), out);  // link 2 had no hello: a run, the game ends
    clearOutput();
    send(1, request(Kind::Ready, 0, 0), Millis(3000));
    runDesk(0, Millis(4000));  // a computer player took seat 1; the game is dealt
    ASSERT_TRUE(hall.desk(0).playing());
    hall.connect(4);
    send(4, request(Kind::Add), Millis(4000));  // a second person in the hall, at desk 1
    hall.disconnect(1, Millis(4000), out);
    clearOutput();
    runDesk(0, Millis(60000));
    EXPECT_FALSE(hall.hasDesk(0)) << "the computer player finished the game for seat 0, which "
                                     "was freed, and the desk left empty is gone";
    EXPECT_EQ(hall.persons(), 1u) << "the away person, freed, is gone";

    hall.connect(5);
    const Got got = send(5, helloRequest(kToken), Millis(61000));
    EXPECT_EQ(got.at(5), std::vector<std::string>{server::helloOkMessage(false)})
        << "the token holds no seat any more";

    // A game that ends restarts the idle clock of the persons at the desk.
    clearOutput();
    send(5, request(Kind::Add), Millis(61000));
    send(5, request(Kind::Ready, 0, 0), Millis(61000));
    runDesk(0, Millis(63000));
    ASSERT_TRUE(hall.desk(0).playing());
    EXPECT_TRUE(out.restartIdle.empty());
    send(5, autoRequest(0, 0, true), Millis(63000));
    runDesk(0, Millis(90000));
    EXPECT_FALSE(hall.desk(0).playing());
    EXPECT_EQ(out.restartIdle, std::vector<LinkId>{5});
}

// "auto" is taken once in kAutoEvery from a person, whichever link it comes by; the rest are
// ignored and counted, and the close of the link logs the count. Each "auto" on during the
// person's own turn hands out a search, so a storm of them must not.
TEST(HallAutoRateTest, AutoIsTakenOnceIn250MsAPersonAndTheRestAreCounted) {
    constexpr LinkId kNewLink = 9;  // says hello with the token of the seat to move
    struct Step {
        LinkId link;  // 0: the link of the seat to move
        long long at;
        int on;  // -1: kNewLink's hello instead
    };
    struct Row {
        const char* what;
        std::vector<Step> steps;
        int jobs;         // searches handed out
        bool autoAfter;   // the seat's auto flag at the end
        LinkId counted;   // the link whose close logs the count
        int ignored;
    };
    std::vector<Step> storm;  // 50 frames a second for a second, on and off in turn
    for (int i = 0; i < 50; ++i) {
        storm.push_back(Step{0, 20 * i, i % 2 == 0 ? 1 : 0});
    }
    const Row rows[] = {
        {"a storm", storm, 2, false, 0, 46},
        {"once in 250 ms", {{0, 0, 1}, {0, 250, 0}, {0, 500, 1}}, 2, true, 0, 0},
        {"the rate is the person's, across links",
         {{0, 0, 1}, {kNewLink, 100, -1}, {kNewLink, 200, 0}, {kNewLink, 250, 0}}, 1, false,
         kNewLink, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        server::HallConfig config;
        config.desk.bots = false;
        config.desk.botLevel = server::BotLevel::Hard;
        config.desk.botJobs = true;
        Hall hall(config);
        Hall::Output out;
        for (LinkId link = 1; link <= 4; ++link) {
            hall.connect(link);
            hall.handle(link, helloRequest(std::string(31, '0') + std::to_string(link)),
                        Millis(0), out);
            hall.handle(link, request(Kind::Add), Millis(0), out);
            hall.handle(link, request(Kind::Ready, 0, static_cast<int>(link) - 1), Millis(0), out);
        }
        ASSERT_TRUE(hall.desk(0).playing());
        const int seat = hall.desk(0).round()->turn();
        const LinkId mover = static_cast<LinkId>(seat) + 1;
        hall.connect(kNewLink);
        out = Hall::Output{};
        for (const Step& step : row.steps) {
            const LinkId link = step.link == 0 ? mover : step.link;
            hall.handle(link,
                        step.on < 0 ? helloRequest(std::string(31, '0') + std::to_string(mover))
                                    : autoRequest(0, seat, step.on != 0),
                        Millis(step.at), out);
        }
        EXPECT_EQ(static_cast<int>(out.botJobs.size()), row.jobs);
        EXPECT_EQ(hall.desk(0).seat(seat).autoPlay, row.autoAfter);
        out.log.clear();
        const LinkId counted = row.counted == 0 ? mover : row.counted;
        hall.disconnect(counted, Millis(5000), out);
        EXPECT_EQ(logHas(out.log, "connection " + std::to_string(counted) + ": " +
                                      std::to_string(row.ignored) +
                                      " auto requests ignored (more than one in 250 ms)"),
                  row.ignored > 0);
        EXPECT_EQ(logHas(out.log, "auto requests ignored"), row.ignored > 0);
    }
}

}  // namespace hall_rejoin_test
