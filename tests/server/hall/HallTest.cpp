#include <gtest/gtest.h>

#include <map>

#include "server/hall/Hall.h"
#include "tests/server/hall/HallScript.h"
#include "tests/server/protocol/WireCheck.h"

namespace hall_test {

using namespace hallscript;

class HallTest : public testing::Test, protected HallDriver {
protected:
    HallTest() : HallDriver(config()) {}
    static server::HallConfig config() {
        server::HallConfig config;
        config.desk.bots = false;
        config.namePrefix = "guest";
        return config;
    }
    // Sends one request and returns what each person received, decoded.
    std::map<server::PersonId, std::vector<stMsg>> send(server::PersonId person,
                                                        const ClientRequest& req) {
        return decoded(HallDriver::send(person, req));
    }
    static std::map<server::PersonId, std::vector<stMsg>> decoded(const Texts& texts) {
        std::map<server::PersonId, std::vector<stMsg>> got;
        for (const auto& [link, sent] : texts) {
            for (const std::string& text : sent) {
                stMsg msg;
                EXPECT_TRUE(decodesForClient(text, msg));
                got[link].push_back(msg);
            }
        }
        return got;
    }
    // Connects and seats a person; returns the "add" answer.
    stMsg join(server::PersonId person) {
        hall.connect(person);
        auto got = send(person, request(Kind::Add));
        EXPECT_FALSE(got[person].empty());
        return got[person].empty() ? stMsg{} : got[person].front();
    }
};

TEST_F(HallTest, QueryAnswersOnlineCountAndVersion) {
    hall.connect(1);
    hall.connect(2);
    auto got = send(1, request(Kind::Query));
    ASSERT_EQ(got[1].size(), 1u);
    EXPECT_EQ(got[1][0].online, "2");
    EXPECT_EQ(got[1][0].version, "28");
    EXPECT_TRUE(got[2].empty());
}

TEST_F(HallTest, AddFillsTheFirstDeskWithAFreeSeat) {
    struct Expect {
        int desk;
        int seat;
        const char* name;
    };
    const Expect expected[] = {
        {0, 0, "guest1"}, {0, 1, "guest2"}, {0, 2, "guest3"}, {0, 3, "guest4"}, {1, 0, "guest5"}};
    for (int i = 0; i < 5; ++i) {
        const stMsg add = join(static_cast<server::PersonId>(i + 1));
        EXPECT_EQ(add.opt, "add");
        EXPECT_EQ(add.desk, expected[i].desk) << "person " << i + 1;
        EXPECT_EQ(add.site, expected[i].seat) << "person " << i + 1;
        EXPECT_EQ(add.name, expected[i].name);
    }
    // A seat freed at desk 0 is taken before desk 1's.
    send(2, request(Kind::Leave, 0, 1));
    const stMsg add = join(6);
    EXPECT_EQ(add.desk, 0);
    EXPECT_EQ(add.site, 1);
}

TEST_F(HallTest, RequestsNamingAnotherSeatAreIgnored) {
    join(1);
    join(2);
    EXPECT_TRUE(send(1, request(Kind::Ready, 0, 1)).empty()) << "seat 1 is not person 1's";
    EXPECT_TRUE(send(1, request(Kind::Ready, 3, 0)).empty()) << "desk 3 is not person 1's";
    EXPECT_TRUE(send(1, request(Kind::Add)).empty()) << "already seated";
    auto got = send(1, request(Kind::Ready, 0, 0));
    ASSERT_EQ(got[2].size(), 1u);
    EXPECT_EQ(got[2][0].info[0].ready, 1);
}

TEST_F(HallTest, DisconnectDuringAGameIsARunAndFreesTheSeat) {
    for (server::PersonId person = 1; person <= 4; ++person) {
        join(person);
    }
    for (int seat = 0; seat < 4; ++seat) {
        send(static_cast<server::PersonId>(seat + 1), request(Kind::Ready, 0, seat));
    }
    ASSERT_TRUE(hall.desk(0).playing());
    auto got = decoded(drop(3, Millis(10)));
    EXPECT_TRUE(got[3].empty());
    ASSERT_FALSE(got[1].empty());
    EXPECT_EQ(got[1][0].opt, "run");
    EXPECT_EQ(got[1][0].site, 2);
    EXPECT_EQ(got[1][0].name, "guest3");
    EXPECT_FALSE(hall.desk(0).playing());
    EXPECT_EQ(hall.online(), 3u);
    EXPECT_EQ(out.log.size(), 1u);
}

TEST_F(HallTest, PersonSentAwayMayJoinAgain) {
    join(1);
    hall.advanceDesk(0, Millis(60000), out);
    auto got = decoded(drain());
    ASSERT_EQ(got[1].size(), 1u);
    EXPECT_EQ(got[1][0].opt, "timeout");
    const stMsg add = join(1);
    EXPECT_EQ(add.opt, "add") << "back in the hall, the person may join again";
}

// A desk left empty is destroyed and the next desk takes its number: an answer still out for the
// old desk's computer player is dropped, and never plays at the new one.
TEST(HallDeskLife, AnAnswerForADestroyedDeskIsDropped) {
    server::HallConfig config;
    config.desk.botLevel = server::BotLevel::Hard;
    config.desk.botJobs = true;
    config.desk.botWait = config.desk.botDelay = config.desk.turnTimeout = Millis(0);
    config.desk.deal = 3;
    Hall hall(config);
    Hall::Output out;
    const auto firstJob = [&](server::LinkId link) {  // seated at desk 0 with computer players
        hall.connect(link);
        hall.handle(link, request(Kind::Add), Millis(0), out);
        hall.handle(link, request(Kind::Ready, 0, 0), Millis(0), out);
        for (int at = 0; out.botJobs.empty() && at < 100; ++at) {
            hall.advanceDesk(0, Millis(at), out);
        }
        const server::BotJob job = out.botJobs.at(0);
        out = Hall::Output{};
        return job;
    };
    const server::BotJob old = firstJob(1);
    hall.handle(1, request(Kind::Leave, 0, 0), Millis(100), out);
    ASSERT_FALSE(hall.hasDesk(0));
    hall.botDecided(old, old.decide(), Millis(100), out);
    const server::BotJob awaited = firstJob(2);
    hall.botDecided(old, awaited.decide(), Millis(100), out);
    EXPECT_TRUE(out.sends.empty()) << "the old desk's answer plays nothing";
    hall.botDecided(awaited, awaited.decide(), Millis(100), out);
    EXPECT_FALSE(out.sends.empty()) << "the new desk's own answer plays";
}

}  // namespace hall_test
