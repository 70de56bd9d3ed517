// The desk's report of a finished game (DeskOutput::finished) against what the seats were told:
// one report per "over", its results those of "over", its points those of the last "score", its
// seed the one that deals the same hands, its times those of the deal and of "over".

#include <gtest/gtest.h>

#include <random>

#include "cards/CardCode.h"
#include "server/game/Deal.h"
#include "tests/server/game/DeskFixture.h"

namespace {

using server::DeskConfig;
using server::FinishedDeskGame;
using server::Millis;

struct FinishCase {
    const char* what;
    int deal;                 // cards a player
    int persons;              // persons at seats 0.. (the rest computer players)
    server::BotLevel level;   // the computer players'
    int games;                // games played back to back
};

const FinishCase kFinishCases[] = {
    {"one person, one card each", 1, 1, server::BotLevel::Easy, 1},
    {"one person, short deals, three games", 5, 1, server::BotLevel::Normal, 3},
    {"two persons, a full deal", server::kFullDeal, 2, server::BotLevel::Easy, 1},
    {"four persons, no computer player", 3, 4, server::BotLevel::Easy, 2},
};

class DeskFinishTest : public DeskFixture {
protected:
    // Seats the persons, lets computer players fill the rest and plays `games` games, every
    // person's turn played by the server (turn time-out 1 ms). Returns the time of each deal.
    std::vector<Millis> play(const FinishCase& c) {
        DeskConfig config = quietConfig();
        config.turnTimeout = Millis(1);
        config.botDelay = Millis(0);
        config.deal = c.deal;
        config.botLevel = c.level;
        reset(config);
        for (int p = 0; p < c.persons; ++p) {
            EXPECT_EQ(sit(static_cast<server::PersonId>(p + 1), "p" + std::to_string(p)), p);
        }
        std::vector<Millis> deals;
        Millis now(0);
        for (int game = 0; game < c.games; ++game) {
            for (int p = 0; p < c.persons; ++p) {
                ready(p, now);
            }
            while (!desk->playing() && desk->nextDeadline()) {
                now = *desk->nextDeadline();  // the computer players sit (the first game)
                advance(now);
            }
            deals.push_back(now);
            while (desk->playing()) {
                now = *desk->nextDeadline();
                advance(now);
            }
            overTimes.push_back(now);
        }
        return deals;
    }
    std::vector<Millis> overTimes;
};

TEST_F(DeskFinishTest, EachOverIsReportedAsTheSeatsSawIt) {
    for (const FinishCase& c : kFinishCases) {
        SCOPED_TRACE(c.what);
        out.finished.clear();
        overTimes.clear();
        const std::vector<Millis> deals = play(c);
        const std::vector<stMsg> overs = inbox.of(0, "over");
        const std::vector<stMsg> starts = inbox.of(0, "start");
        ASSERT_EQ(overs.size(), static_cast<std::size_t>(c.games));
        ASSERT_EQ(out.finished.size(), overs.size()) << "one report per \"over\"";
        for (int game = 0; game < c.games; ++game) {
            SCOPED_TRACE("game " + std::to_string(game));
            const FinishedDeskGame& report = out.finished[game];
            EXPECT_EQ(report.desk, kDesk);
            EXPECT_EQ(report.overAt, overTimes[game]);
            EXPECT_EQ(report.dealtAt, deals[game]);
            for (int seat = 0; seat < 4; ++seat) {
                EXPECT_EQ(report.results[seat], overs[game].info[seat].result);
                EXPECT_EQ(report.seats[seat].name, overs[game].info[seat].name);
                const bool person = seat < c.persons;
                EXPECT_EQ(report.seats[seat].person,
                          person ? static_cast<server::PersonId>(seat + 1) : 0u);
                EXPECT_EQ(report.seats[seat].tokenHash, "") << "the hall sets it";
                if (!person) {
                    EXPECT_EQ(report.seats[seat].level, c.level);
                }
            }
            // The seed alone deals the hand seat 0 was given.
            std::mt19937_64 rng(report.seed);
            const auto hands = server::dealHands(rng, c.deal);
            EXPECT_EQ(hands[0], parseCardList(starts[game].cards));
        }
        // The points are those of the last "score" before each "over".
        std::size_t game = 0;
        std::string p0, p1;
        for (const stMsg& msg : inbox.seat(0)) {
            if (msg.opt == "score") {
                p0 = msg.p0;
                p1 = msg.p1;
            } else if (msg.opt == "over") {
                ASSERT_LT(game, out.finished.size());
                EXPECT_EQ(std::to_string(out.finished[game].teamPoints[0]), p0);
                EXPECT_EQ(std::to_string(out.finished[game].teamPoints[1]), p1);
                ++game;
            }
        }
        EXPECT_EQ(game, out.finished.size());
    }
}

TEST_F(DeskFinishTest, AGameEndedByARunIsNotReported) {
    startWithBots();
    desk->leave(0, Millis(3000), out);
    inbox.take(out);
    EXPECT_FALSE(desk->playing());
    EXPECT_TRUE(out.finished.empty());
}

TEST_F(DeskFinishTest, DealsWithTheSameSeedAreTheSame) {
    DeskConfig config = quietConfig();
    config.deal = 6;
    reset(config);
    startWithBots();
    const std::vector<int> first = parseCardList(inbox.of(0, "start").front().cards);
    reset(config);
    startWithBots();
    EXPECT_EQ(parseCardList(inbox.of(0, "start").front().cards), first);
}

}  // namespace
