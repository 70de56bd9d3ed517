// Table talk at the hall and the desk: a "talk" read from its text goes to every seat of the
// sender's desk only when desk and site are the sender's own, "say" is an index and the person
// has not talked within kTalkEvery; anything else changes nothing but the close's count. Then the
// computer players' remarks: when, who and what.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "net/MessageDecoder.h"
#include "server/game/BotTalk.h"
#include "server/hall/Hall.h"
#include "server/protocol/ClientRequest.h"
#include "server/protocol/ServerMessages.h"
#include "tests/server/hall/HallScript.h"

namespace hall_talk_test {

using namespace hallscript;

struct TalkStep {
    LinkId link = 1;  // links 1 and 2 sit at desk 0 (seats 0 and 1); link 3 is in the hall
    long long at = 0;
    const char* text = "";
};

struct TalkRow {
    const char* what;
    std::vector<TalkStep> steps;
    std::vector<std::string> heard;  // what each of links 1 and 2 receives, in order
    int ignoredOfLink1 = 0;          // the count link 1's close logs
};

std::string ignoredLine(int count) {
    return "connection 1: " + std::to_string(count) +
           " talk requests ignored (a bad index, or more than one in 3 s)";
}

TEST(HallTalkTest, TalkGoesToTheDeskOnlyFromItsOwnSeatWithAnIndexAndAtTheRate) {
    const std::string said0 = server::talkMessage(0, 0);
    const TalkRow rows[] = {
        {"a phrase", {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":0})"}}, {said0}, 0},
        {"the last emote", {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":13})"}},
         {server::talkMessage(0, 13)}, 0},
        {"the other seat", {{2, 0, R"({"opt":"talk","desk":0,"site":1,"say":7})"}},
         {server::talkMessage(1, 7)}, 0},
        {"out of range", {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":14})"}}, {}, 1},
        {"negative", {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":-1})"}}, {}, 1},
        {"a string", {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":"3"})"}}, {}, 1},
        {"a fraction", {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":2.5})"}}, {}, 1},
        {"missing", {{1, 0, R"({"opt":"talk","desk":0,"site":0})"}}, {}, 1},
        {"another's site", {{1, 0, R"({"opt":"talk","desk":0,"site":1,"say":0})"}}, {}, 0},
        {"another desk", {{1, 0, R"({"opt":"talk","desk":1,"site":0,"say":0})"}}, {}, 0},
        {"not seated", {{3, 0, R"({"opt":"talk","desk":0,"site":0,"say":0})"}}, {}, 0},
        {"again too soon",
         {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":0})"},
          {1, 2999, R"({"opt":"talk","desk":0,"site":0,"say":1})"}},
         {said0}, 1},
        {"again after 3 s",
         {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":0})"},
          {1, 3000, R"({"opt":"talk","desk":0,"site":0,"say":1})"}},
         {said0, server::talkMessage(0, 1)}, 0},
        {"a burst",
         {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":0})"},
          {1, 1, R"({"opt":"talk","desk":0,"site":0,"say":0})"},
          {1, 2, R"({"opt":"talk","desk":0,"site":0,"say":0})"},
          {1, 3, R"({"opt":"talk","desk":0,"site":0,"say":0})"}},
         {said0}, 3},
        {"the rate is each person's",
         {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":0})"},
          {2, 1, R"({"opt":"talk","desk":0,"site":1,"say":2})"}},
         {said0, server::talkMessage(1, 2)}, 0},
        {"a refused index does not use the rate",
         {{1, 0, R"({"opt":"talk","desk":0,"site":0,"say":99})"},
          {1, 1, R"({"opt":"talk","desk":0,"site":0,"say":0})"}},
         {said0}, 1},
    };
    for (const TalkRow& row : rows) {
        SCOPED_TRACE(row.what);
        server::HallConfig config;
        config.desk.bots = false;
        Hall hall(config);
        Hall::Output out;
        for (LinkId link : {1, 2, 3}) {
            hall.connect(link);
        }
        hall.handle(1, request(Kind::Add), Millis(0), out);
        hall.handle(2, request(Kind::Add), Millis(0), out);
        ASSERT_EQ(hall.desk(0).seat(1).person, hall.personOf(2));
        out = Hall::Output{};
        for (const TalkStep& step : row.steps) {
            const auto parsed = server::parseClientRequest(step.text);
            ASSERT_TRUE(parsed.has_value()) << step.text;  // never a malformed request
            hall.handle(step.link, *parsed, Millis(step.at), out);
        }
        std::vector<std::string> heard[4];
        for (const Hall::Send& send : out.sends) {
            ASSERT_LT(send.link, 4u);
            heard[send.link].push_back(send.text);
        }
        EXPECT_EQ(heard[1], row.heard);
        EXPECT_EQ(heard[2], row.heard);
        EXPECT_TRUE(heard[3].empty());
        EXPECT_TRUE(out.log.empty());
        EXPECT_EQ(hall.online(), 3u);
        hall.disconnect(1, Millis(10000), out);
        const bool logged = std::find(out.log.begin(), out.log.end(),
                                      ignoredLine(row.ignoredOfLink1)) != out.log.end();
        EXPECT_EQ(logged, row.ignoredOfLink1 > 0);
    }
}

struct RemarkRow {
    const char* what;
    server::TalkMoment moment;
    int actor;
    server::BotLevel level;
    std::array<bool, 4> bots;
    int seat;              // the seat that answers; -1 never
    std::set<int> sayings;  // what it may say
};

TEST(HallTalkTest, ComputerPlayersAnswerAFewMomentsAboutOneTimeInFive) {
    using server::BotLevel;
    using server::TalkMoment;
    const std::set<int> praise{kSayWellPlayed, kSayTeamwork, kEmoteCool};
    const std::set<int> dismay{kSayLetMeThink, kEmoteSurprised, kEmoteSad};
    const std::array<bool, 4> all{true, true, true, true};
    const RemarkRow rows[] = {
        {"partner took a trick", TalkMoment::PartnerTookTrick, 1, BotLevel::Normal, all, 3, praise},
        {"an opponent bombed", TalkMoment::OpponentBombed, 3, BotLevel::Hard, all, 0, dismay},
        {"never at easy", TalkMoment::OpponentBombed, 3, BotLevel::Easy, all, -1, {}},
        {"a person does not answer", TalkMoment::PartnerTookTrick, 0, BotLevel::Hard,
         {true, true, false, true}, -1, {}},
    };
    constexpr int kTries = 2000;
    for (const RemarkRow& row : rows) {
        SCOPED_TRACE(row.what);
        std::mt19937_64 rng(42);
        int answers = 0;
        std::set<int> said;
        for (int i = 0; i < kTries; ++i) {
            const auto remark = server::botRemark(row.moment, row.actor, row.level, row.bots, rng);
            if (remark) {
                ++answers;
                EXPECT_EQ(remark->seat, row.seat);
                said.insert(remark->say);
            }
        }
        if (row.seat < 0) {
            EXPECT_EQ(answers, 0);
            EXPECT_EQ(rng(), std::mt19937_64(42)());  // nothing was drawn
            continue;
        }
        EXPECT_GT(answers, kTries / server::kBotTalkOdds * 3 / 4);
        EXPECT_LT(answers, kTries / server::kBotTalkOdds * 5 / 4);
        EXPECT_EQ(said, row.sayings);
    }
}

// Whole games at one desk of computer players: the remarks come, now and then, only with their
// meanings, never two within kTalkEveryMillis, never at easy; the same seed gives the same desk.
struct DeskRun {
    std::vector<std::string> texts;  // everything seat 0 received
    std::vector<std::pair<long long, server::BotRemark>> remarks;  // when, who, what
};

DeskRun playBotDesk(server::BotLevel level, std::uint64_t seed) {
    server::DeskConfig config;
    config.botDelay = Millis(1000);
    config.botLevel = level;
    server::DeskGame desk(0, config, seed);
    server::DeskOutput out;
    DeskRun run;
    Millis now(0);
    desk.seatBots(now, out);
    while (desk.gamesPlayed() < 3) {
        now = std::max(now, desk.nextDeadline().value_or(now));
        desk.advance(now, out);
        for (const server::Delivery& delivery : out.deliveries) {
            if (delivery.seat != 0) {
                continue;
            }
            run.texts.push_back(delivery.text);
            stMsg msg;
            if (delivery.text.find(R"("opt":"talk")") != std::string::npos &&
                decodeMessage(delivery.text, msg) == DecodeStatus::Ok) {
                run.remarks.push_back({now.count(), server::BotRemark{msg.site, msg.say}});
            }
        }
        out.clear();
    }
    return run;
}

TEST(HallTalkTest, ComputerPlayersRemarkInWholeGamesNowAndThenAndTheSeedDecides) {
    const std::set<int> meanings{kSayWellPlayed, kSayTeamwork, kEmoteCool, kSayLetMeThink,
                                 kEmoteSurprised, kEmoteSad};
    const DeskRun normal = playBotDesk(server::BotLevel::Normal, 11);
    EXPECT_FALSE(normal.remarks.empty()) << "three games of computer players make some remark";
    long long last = -kTalkEveryMillis;
    for (const auto& [at, remark] : normal.remarks) {
        EXPECT_GE(at - last, kTalkEveryMillis) << at;
        EXPECT_EQ(meanings.count(remark.say), 1u) << remark.say;
        EXPECT_TRUE(remark.seat >= 0 && remark.seat < 4);
        last = at;
    }
    EXPECT_EQ(playBotDesk(server::BotLevel::Normal, 11).texts, normal.texts);
    EXPECT_TRUE(playBotDesk(server::BotLevel::Easy, 11).remarks.empty());
}

}  // namespace hall_talk_test
