#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "cards/CardCode.h"
#include "server/game/DeskGame.h"
#include "server/game/Scoring.h"
#include "tests/server/game/DeskFixture.h"

namespace desk_game_test {

using server::DeskConfig;
using server::DeskGame;
using server::Millis;

class DeskGameTest : public DeskFixture {};

TEST_F(DeskGameTest, SeatingAnswersAddAndTellsTheDesk) {
    ASSERT_EQ(sit(11, "ann"), 0);
    ASSERT_EQ(inbox.seat(0).size(), 2u);
    const stMsg& add = inbox.seat(0)[0];
    EXPECT_EQ(add.opt, "add");
    EXPECT_EQ(add.desk, kDesk);
    EXPECT_EQ(add.site, 0);
    EXPECT_EQ(add.name, "ann");
    EXPECT_EQ(inbox.seat(0)[1].opt, "change");

    ASSERT_EQ(sit(12, "bob"), 1);
    const std::vector<stMsg> changes = inbox.of(0, "change");
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].info[0].name, "ann");
    EXPECT_EQ(changes[1].info[1].name, "bob");
    EXPECT_EQ(changes[1].info[2].name, "");
    EXPECT_EQ(changes[1].info[1].ready, 0);
    EXPECT_EQ(inbox.of(1, "add").size(), 1u);

    EXPECT_EQ(sit(13, "cy"), 2);
    EXPECT_EQ(sit(14, "di"), 3);
    EXPECT_EQ(sit(15, "ed"), -1) << "a full desk seats nobody";
}

TEST_F(DeskGameTest, ComputerPlayersFillFreeSeatsAfterTheWait) {
    ASSERT_EQ(sit(1, "ann", Millis(500)), 0);
    EXPECT_EQ(desk->nextDeadline(), Millis(2500));
    advance(Millis(2499));
    EXPECT_TRUE(desk->hasFreeSeat());
    advance(Millis(2500));
    EXPECT_FALSE(desk->hasFreeSeat());
    const stMsg change = inbox.of(0, "change").back();
    for (int seat = 1; seat < 4; ++seat) {
        EXPECT_FALSE(change.info[seat].name.empty());
        EXPECT_EQ(change.info[seat].ready, 1) << "computer players are ready at once";
    }
    EXPECT_EQ(change.info[0].ready, 0);
    EXPECT_FALSE(desk->playing()) << "the person is not ready yet";
}

TEST_F(DeskGameTest, AllReadyDealsAndOpensWithAMustLead) {
    startWithBots();
    const std::vector<stMsg> starts = inbox.of(0, "start");
    ASSERT_EQ(starts.size(), 1u);
    const std::vector<int> hand = parseCardList(starts[0].cards);
    EXPECT_EQ(hand.size(), 27u);
    EXPECT_TRUE(std::is_sorted(hand.begin(), hand.end()));
    EXPECT_EQ(hand, desk->round()->hand(0)) << "each seat is sent its own hand";
    const stMsg opening = inbox.of(0, "game").front();
    EXPECT_EQ(opening.per, -1);
    EXPECT_EQ(opening.must, 1);
    EXPECT_EQ(opening.now, desk->round()->turn());
    EXPECT_EQ(opening.score, 0);
    // The first turn's timer: a computer player thinks botDelay, a person gets turnTimeout.
    const bool botLeads = desk->round()->turn() != 0;
    EXPECT_EQ(desk->nextDeadline(), Millis(2000) + (botLeads ? Millis(1000) : Millis(35000)));
}

TEST_F(DeskGameTest, NoComputerPlayersWhenDisabled) {
    DeskConfig config = quietConfig();
    config.bots = false;
    reset(config);
    sit(1, "ann");
    ready(0, Millis(0));
    advance(Millis(59000));
    EXPECT_TRUE(desk->hasFreeSeat());
    EXPECT_EQ(desk->nextDeadline(), std::nullopt) << "a ready person waits without a timer";
}

TEST_F(DeskGameTest, PersonNotReadyInTimeIsSentAway) {
    DeskConfig config = quietConfig();
    config.bots = false;
    reset(config);
    sit(1, "ann", Millis(0));
    sit(2, "bob", Millis(1000));
    ready(1, Millis(1000));
    advance(Millis(59999));
    EXPECT_TRUE(inbox.of(0, "timeout").empty());
    advance(Millis(60000));
    EXPECT_EQ(inbox.of(0, "timeout").size(), 1u);
    EXPECT_EQ(out.unseated, std::vector<server::PersonId>{1});
    EXPECT_EQ(desk->seat(0).kind, DeskGame::SeatKind::Free);
    EXPECT_EQ(inbox.of(1, "change").back().info[0].name, "") << "the desk hears of it";
    EXPECT_TRUE(inbox.of(1, "timeout").empty()) << "a ready person keeps the seat";
}

TEST_F(DeskGameTest, ComputerPlayersLeaveWithTheLastPerson) {
    sit(1, "ann");
    advance(Millis(2000));
    ASSERT_FALSE(desk->hasFreeSeat());
    advance(Millis(60000));
    EXPECT_EQ(inbox.of(0, "timeout").size(), 1u);
    for (int seat = 0; seat < 4; ++seat) {
        EXPECT_EQ(desk->seat(seat).kind, DeskGame::SeatKind::Free);
    }
    EXPECT_EQ(desk->nextDeadline(), std::nullopt);
}

TEST_F(DeskGameTest, SilentTurnIsPlayedByTheServer) {
    startWithBots();
    const Millis deadline = untilTurnOf(0);
    ASSERT_TRUE(desk->playing());
    const bool leading = desk->round()->mustLead();
    const std::vector<int> expected = desk->round()->expiryAction(0);
    const std::size_t held = desk->round()->hand(0).size();
    inbox.clear();
    advance(deadline - Millis(1));
    EXPECT_TRUE(inbox.of(1, "game").empty());
    advance(deadline);
    const std::vector<stMsg> games = inbox.of(1, "game");
    ASSERT_FALSE(games.empty());
    EXPECT_EQ(games[0].per, 0);
    EXPECT_EQ(parseCardList(games[0].cards), expected);
    EXPECT_EQ(desk->round()->hand(0).size(), held - (leading ? 1 : 0));
}

TEST_F(DeskGameTest, ActionsOutOfTurnOrIllegalChangeNothing) {
    startWithBots();
    untilTurnOf(1);
    ASSERT_TRUE(desk->playing());
    inbox.clear();
    desk->act(0, {desk->round()->hand(0).front()}, Millis(0), out);
    EXPECT_TRUE(out.deliveries.empty()) << "out of turn";
    untilTurnOf(0);
    inbox.clear();
    desk->act(0, {54}, Millis(0), out);
    EXPECT_TRUE(out.deliveries.empty()) << "not a card";
    if (desk->round()->mustLead()) {
        desk->act(0, {}, Millis(0), out);
        EXPECT_TRUE(out.deliveries.empty()) << "a leader may not pass";
    }
}

TEST_F(DeskGameTest, LeavingDuringAGameIsARun) {
    DeskConfig config = quietConfig();
    reset(config);
    sit(1, "ann");
    sit(2, "bob");
    ready(0, Millis(0));
    ready(1, Millis(0));
    advance(Millis(2000));
    ASSERT_TRUE(desk->playing());
    inbox.clear();
    desk->leave(1, Millis(3000), out);
    inbox.take(out);
    const std::vector<stMsg> runs = inbox.of(0, "run");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].site, 1);
    EXPECT_EQ(runs[0].name, "bob");
    EXPECT_TRUE(inbox.of(1, "run").empty()) << "the runner is not told";
    EXPECT_EQ(inbox.of(2, "run").size(), 1u) << "computer players are told too";
    EXPECT_FALSE(desk->playing());
    EXPECT_FALSE(desk->seat(0).ready) << "back to seated, not ready";
    EXPECT_TRUE(desk->seat(2).ready);
    EXPECT_EQ(inbox.of(0, "change").back().info[1].name, "");
    advance(Millis(5000));
    EXPECT_FALSE(desk->hasFreeSeat()) << "a computer player takes the free seat";
    EXPECT_EQ(out.log.size(), 1u) << "the run is logged";
}

TEST_F(DeskGameTest, GameEndsWithScoreAndOverThenWaitsForReady) {
    DeskConfig config = quietConfig();
    config.turnTimeout = Millis(1);  // the server plays for the person
    config.botDelay = Millis(0);
    config.deal = 4;
    reset(config);
    startWithBots();
    Millis now(2000);
    while (desk->gamesPlayed() == 0) {
        now = *desk->nextDeadline();
        advance(now);
    }
    const std::vector<stMsg> overs = inbox.of(0, "over");
    ASSERT_EQ(overs.size(), 1u);
    const auto& info = overs[0].info;
    EXPECT_EQ(info[0].result, info[2].result);
    EXPECT_EQ(info[1].result, -info[0].result);
    EXPECT_EQ(info[0].name, "ann");
    const std::vector<int> dealt = parseCardList(inbox.of(0, "start")[0].cards);
    EXPECT_EQ(dealt.size(), 4u);
    EXPECT_FALSE(desk->playing());
    const stMsg change = inbox.of(0, "change").back();
    EXPECT_EQ(change.info[0].ready, 0);
    EXPECT_EQ(change.info[1].ready, 1);
    EXPECT_EQ(desk->nextDeadline(), now + Millis(60000)) << "the ready timer starts again";
    EXPECT_EQ(inbox.of(0, "game").back().now, -1);
    EXPECT_FALSE(inbox.of(0, "score").empty());
}

// A desk whose hard computer players' decisions go out as jobs, as desk-server runs them.
DeskConfig jobsConfig() {
    DeskConfig config = quietConfig();
    config.botLevel = server::BotLevel::Hard;
    config.botJobs = true;
    config.search = server::SearchBudget{std::chrono::microseconds(0), 100};
    return config;
}

TEST_F(DeskGameTest, DecisionMadeElsewhereIsPlayedAfterTheDelayNotBefore) {
    reset(jobsConfig());
    startWithBots();
    Millis turnBegan(2000);
    if (desk->round()->turn() == 0) {
        turnBegan = Millis(2500);
        desk->act(0, desk->round()->expiryAction(0), turnBegan, out);
        inbox.take(out);
    }
    const int seat = desk->round()->turn();
    ASSERT_EQ(out.botJobs.size(), 1u) << "one job as the computer player's turn begins";
    const server::BotJob job = out.botJobs.back();
    out.botJobs.clear();
    EXPECT_EQ(job.desk, kDesk);
    EXPECT_EQ(job.seat, seat);
    EXPECT_EQ(desk->nextDeadline(), std::nullopt) << "no timer while the decision is out";

    // An early answer waits for the bot delay.
    inbox.clear();
    desk->botDecided(job.serial, job.decide(), turnBegan + Millis(10), out);
    inbox.take(out);
    EXPECT_TRUE(inbox.of(0, "game").empty());
    ASSERT_EQ(desk->nextDeadline(), turnBegan + Millis(1000));
    advance(turnBegan + Millis(1000));
    ASSERT_EQ(inbox.of(0, "game").size(), 1u);
    EXPECT_EQ(inbox.of(0, "game")[0].per, seat);

    // A late answer is played at once; a stale one changes nothing.
    ASSERT_TRUE(desk->playing());
    if (desk->round()->turn() == 0) {
        desk->act(0, desk->round()->expiryAction(0), turnBegan + Millis(1500), out);
    }
    ASSERT_EQ(out.botJobs.size(), 1u);
    const server::BotJob next = out.botJobs.back();
    out.botJobs.clear();
    inbox.clear();
    desk->botDecided(job.serial, {}, turnBegan + Millis(3000), out);
    EXPECT_TRUE(out.deliveries.empty()) << "an answer for a past turn is ignored";
    desk->botDecided(next.serial, next.decide(), turnBegan + Millis(3000), out);
    inbox.take(out);
    ASSERT_EQ(inbox.of(0, "game").size(), 1u);
    EXPECT_EQ(inbox.of(0, "game")[0].per, next.seat);
}

TEST_F(DeskGameTest, RefusedComputerPlayerDecisionFallsBackAndTheDeskMovesOn) {
    reset(jobsConfig());
    startWithBots();
    // Whatever the turn, refuse every computer player's decision for a dozen turns: each time
    // the desk passes or leads the weakest card for it, and the game goes on.
    Millis now(2000);
    for (int turn = 0; turn < 12 && desk->playing(); ++turn) {
        const int seat = desk->round()->turn();
        now += Millis(1000);
        inbox.clear();
        out.log.clear();
        if (seat == 0) {
            desk->act(0, desk->round()->expiryAction(0), now, out);
            inbox.take(out);
            continue;
        }
        ASSERT_EQ(out.botJobs.size(), 1u);
        const server::BotJob job = out.botJobs.back();
        out.botJobs.clear();
        const std::vector<int> expected = desk->round()->expiryAction(seat);
        const std::vector<int> foreign{54};  // not a card: the round refuses it
        desk->botDecided(job.serial, foreign, now, out);
        inbox.take(out);
        const std::vector<stMsg> games = inbox.of(0, "game");
        ASSERT_EQ(games.size(), 1u) << "turn " << turn;
        EXPECT_EQ(games[0].per, seat);
        EXPECT_EQ(parseCardList(games[0].cards), expected);
        ASSERT_EQ(out.log.size(), 1u);
        EXPECT_NE(out.log[0].find("refused"), std::string::npos) << out.log[0];
        ASSERT_TRUE(desk->playing());
        EXPECT_NE(desk->round()->turn(), seat) << "the turn moved on";
    }
}

}  // namespace desk_game_test
