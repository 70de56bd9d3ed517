// The pure desk's side of rejoin: seats held while their person is away, the computer player
// standing in for away and auto seats, and the snapshot a returning person is sent.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>

#include "cards/CardCode.h"
#include "server/game/DeskGame.h"
#include "server/protocol/ServerMessages.h"
#include "tests/server/game/DeskFixture.h"
#include "tests/server/protocol/ServerFields.h"
#include "tests/server/protocol/WireCheck.h"

namespace {

using server::DeskConfig;
using server::DeskGame;
using server::Millis;

bool contains(const std::vector<server::PersonId>& persons, server::PersonId person) {
    return std::find(persons.begin(), persons.end(), person) != persons.end();
}

bool logged(const std::vector<std::string>& log, const std::string& words) {
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& line) { return line.find(words) != std::string::npos; });
}

class DeskRejoinTest : public DeskFixture {
protected:
    bool byComputer(int seat) const {
        const DeskGame::Seat& s = desk->seat(seat);
        return s.kind == DeskGame::SeatKind::Bot || s.away || s.autoPlay;
    }
    // Plays on from `now` until the game ends: a present person's turn is played at once (its
    // expiry action), the others' by the desk's timers. `onTurn(seat, began)` sees each turn of a
    // seat the computer player plays, with the time it began. Returns the time of the last play.
    template <typename OnTurn>
    Millis playToEnd(Millis now, OnTurn onTurn) {
        while (desk->playing()) {
            const int turn = desk->round()->turn();
            if (byComputer(turn)) {
                onTurn(turn, now);
                now = std::max(now, *desk->nextDeadline());
                advance(now);
            } else {
                desk->act(turn, desk->round()->expiryAction(turn), now, out);
                inbox.take(out);
            }
        }
        return now;
    }
    // The seat's messages from the last "over" on, by kind: what the end of a game sent.
    std::vector<std::string> kindsSinceOver(int seat) {
        std::vector<std::string> kinds;
        bool over = false;
        for (const stMsg& msg : inbox.seat(seat)) {
            over = over || msg.opt == "over";
            if (over) {
                kinds.push_back(msg.opt);
            }
        }
        return kinds;
    }
};

TEST_F(DeskRejoinTest, AwayDuringAGameIsPlayedForWithoutARunAndFreedAtTheEnd) {
    ASSERT_EQ(sit(1, "ann"), 0);
    ASSERT_EQ(sit(2, "bob"), 1);
    ready(0, Millis(0));
    ready(1, Millis(0));
    advance(Millis(2000));
    ASSERT_TRUE(desk->playing());
    desk->markAway(1, Millis(2000), out);
    inbox.take(out);
    const std::vector<std::string> presence = inbox.textsOf(0, "presence");
    ASSERT_EQ(presence.size(), 1u);
    EXPECT_EQ(infoOf(presence[0], 1, "away"), "1");
    EXPECT_EQ(infoOf(presence[0], 0, "away"), "0");
    EXPECT_EQ(infoOf(presence[0], 1, "auto"), "0");
    EXPECT_TRUE(logged(out.log, "seat 1 (bob) away"));

    int standIns = 0;
    playToEnd(Millis(2000), [&](int seat, Millis began) {
        if (seat == 1) {
            ++standIns;
            EXPECT_EQ(desk->nextDeadline(), began + Millis(1000))
                << "the computer player plays the bot delay after the turn began";
        }
    });
    EXPECT_GT(standIns, 0);
    EXPECT_TRUE(inbox.of(0, "run").empty()) << "a dropped link is no run";
    ASSERT_EQ(inbox.of(0, "over").size(), 1u) << "the game ends normally";
    EXPECT_EQ(desk->seat(1).kind, DeskGame::SeatKind::Free) << "freed at the end";
    EXPECT_TRUE(contains(out.unseated, 2));
    EXPECT_TRUE(logged(out.log, "seat 1 (bob) freed"));
    // The end of the game: the seat is free in the "change" that follows, presence just before.
    const std::vector<std::string> kinds = kindsSinceOver(0);
    EXPECT_EQ(kinds, (std::vector<std::string>{"over", "presence", "change"}));
    EXPECT_EQ(infoOf(inbox.textsOf(0, "presence").back(), 1, "away"), "0");
    EXPECT_EQ(inbox.of(0, "change").back().info[1].name, "");
    EXPECT_EQ(desk->seat(0).kind, DeskGame::SeatKind::Person) << "the present person stays";
}

TEST_F(DeskRejoinTest, BetweenGamesTheSeatIsHeldForTheAwayHold) {
    struct Row {
        const char* what;
        std::optional<Millis> backAt;
        Millis freedAt;   // the seat is free from then on
        bool timedOut;    // by the ready timer ("timeout"), not the hold
    };
    const Row rows[] = {
        {"never back", std::nullopt, Millis(31000), false},
        {"back within the hold: the ready timer runs from then", Millis(20000), Millis(80000),
         true},
    };
    for (const Row& row : rows) {
        DeskConfig config = quietConfig();
        config.bots = false;
        config.awayHold = Millis(30000);
        reset(config);
        out.clear();
        sit(1, "ann");
        sit(2, "bob");
        ready(0, Millis(0));
        desk->markAway(1, Millis(1000), out);
        inbox.take(out);
        if (row.backAt) {
            advance(*row.backAt - Millis(1));
            desk->markBack(1, *row.backAt, out);
            inbox.take(out);
            EXPECT_EQ(infoOf(inbox.textsOf(0, "presence").back(), 1, "away"), "0") << row.what;
        }
        advance(row.freedAt - Millis(1));
        EXPECT_EQ(desk->seat(1).kind, DeskGame::SeatKind::Person) << row.what << ": still held";
        EXPECT_TRUE(inbox.of(1, "timeout").empty()) << row.what;
        advance(row.freedAt);
        EXPECT_EQ(desk->seat(1).kind, DeskGame::SeatKind::Free) << row.what;
        EXPECT_TRUE(contains(out.unseated, 2)) << row.what;
        EXPECT_EQ(inbox.of(0, "change").back().info[1].name, "") << row.what;
        EXPECT_EQ(inbox.of(1, "timeout").size(), row.timedOut ? 1u : 0u) << row.what;
        EXPECT_EQ(logged(out.log, "seat 1 (bob) freed"), !row.timedOut) << row.what;
    }
}

TEST_F(DeskRejoinTest, TheTurnGoesToTheComputerPlayerAndBack) {
    enum class Change { Away, Back, AutoOn, AutoOff };
    struct Step {
        Change change;
        int seatFromLeader;  // 0: the seat to move
        Millis at;           // after the turn began (at 0)
    };
    struct Row {
        const char* what;
        std::vector<Step> steps;
        bool computerPlays;
        int jobs;  // decisions handed out, when they are made elsewhere
    };
    const Row rows[] = {
        {"away", {{Change::Away, 0, Millis(100)}}, true, 1},
        {"away after the delay passed", {{Change::Away, 0, Millis(5000)}}, true, 1},
        {"auto on", {{Change::AutoOn, 0, Millis(100)}}, true, 1},
        {"auto on, then off", {{Change::AutoOn, 0, Millis(100)}, {Change::AutoOff, 0, Millis(200)}},
         false, 1},
        {"away, then back", {{Change::Away, 0, Millis(100)}, {Change::Back, 0, Millis(200)}}, false,
         1},
        {"away, back, away", {{Change::Away, 0, Millis(100)}, {Change::Back, 0, Millis(200)},
                              {Change::Away, 0, Millis(300)}}, true, 2},
        {"away and auto", {{Change::Away, 0, Millis(100)}, {Change::AutoOn, 0, Millis(200)}}, true,
         1},
        {"another seat away", {{Change::Away, 1, Millis(100)}}, false, 0},
    };
    for (const bool elsewhere : {false, true}) {
        for (const Row& row : rows) {
            const std::string what = std::string(row.what) + (elsewhere ? ", jobs" : ", inline");
            DeskConfig config = quietConfig();
            config.bots = false;
            if (elsewhere) {
                config.botLevel = server::BotLevel::Hard;
                config.botJobs = true;
                config.search = server::SearchBudget{std::chrono::microseconds(0), 100};
            }
            reset(config);
            out.clear();
            for (int person = 1; person <= 4; ++person) {
                sit(static_cast<server::PersonId>(person), "p" + std::to_string(person));
                ready(person - 1, Millis(0));
            }
            ASSERT_TRUE(desk->playing()) << what;
            const int leader = desk->round()->turn();
            Millis now(0);
            for (const Step& step : row.steps) {
                const int seat = (leader + step.seatFromLeader) % 4;
                now = step.at;
                switch (step.change) {
                    case Change::Away: desk->markAway(seat, now, out); break;
                    case Change::Back: desk->markBack(seat, now, out); break;
                    case Change::AutoOn: desk->setAuto(seat, true, out); break;
                    case Change::AutoOff: desk->setAuto(seat, false, out); break;
                }
            }
            inbox.clear();
            out.deliveries.clear();
            if (elsewhere) {
                ASSERT_EQ(static_cast<int>(out.botJobs.size()), row.jobs) << what;
                // What the workers may still search: the last job, while the computer plays.
                const std::optional<std::uint64_t> awaited =
                    row.computerPlays ? std::optional(out.botJobs.back().serial) : std::nullopt;
                EXPECT_EQ(desk->awaitedJob(), awaited) << what;
                // Every answer comes in now; only the one for the job still awaited counts.
                for (const server::BotJob& job : out.botJobs) {
                    desk->botDecided(job.serial, job.decide(), now, out);
                }
                EXPECT_EQ(desk->awaitedJob(), std::nullopt) << what;
                inbox.take(out);
            } else {
                EXPECT_TRUE(out.botJobs.empty()) << what;
                advance(now);
            }
            const std::vector<stMsg> games = inbox.of(0, "game");
            if (row.computerPlays && now >= Millis(1000)) {
                ASSERT_EQ(games.size(), 1u) << what << ": played at once, the delay has passed";
                EXPECT_EQ(games[0].per, leader) << what;
            } else {
                EXPECT_TRUE(games.empty()) << what << ": nothing played yet";
                EXPECT_EQ(desk->nextDeadline(), row.computerPlays ? Millis(1000) : Millis(35000))
                    << what << ": the computer player's delay, or the person's whole turn";
            }
        }
    }
}

TEST_F(DeskRejoinTest, AutoIsForTheGameOnly) {
    startWithBots();
    desk->setAuto(0, true, out);
    inbox.take(out);
    ASSERT_EQ(inbox.textsOf(0, "presence").size(), 1u);
    EXPECT_EQ(infoOf(inbox.textsOf(0, "presence")[0], 0, "auto"), "1");
    desk->setAuto(0, true, out);
    EXPECT_TRUE(out.deliveries.empty()) << "no change, no presence";

    // The person never acts: the computer player plays every one of their turns.
    int standIns = 0;
    playToEnd(Millis(2000), [&](int seat, Millis) { standIns += seat == 0 ? 1 : 0; });
    EXPECT_GT(standIns, 0);
    EXPECT_EQ(inbox.of(0, "over").size(), 1u);
    EXPECT_FALSE(desk->seat(0).autoPlay) << "cleared at the end";
    EXPECT_EQ(desk->seat(0).kind, DeskGame::SeatKind::Person) << "auto is no leave";
    EXPECT_EQ(kindsSinceOver(0), (std::vector<std::string>{"over", "presence", "change"}));
    EXPECT_EQ(infoOf(inbox.textsOf(0, "presence").back(), 0, "auto"), "0");

    out.clear();
    desk->setAuto(0, true, out);
    EXPECT_TRUE(out.deliveries.empty()) << "between games auto is ignored";
    EXPECT_FALSE(desk->seat(0).autoPlay);
}

// What each seat has on the table since its last turn began, followed from seat 0's "game"
// messages the way a client would, apart from the desk's own bookkeeping.
struct TableWatch {
    std::array<std::vector<int>, 4> cards;
    std::array<bool, 4> pass{};
    std::vector<int> seen;

    void follow(const stMsg& game) {
        if (game.per < 0) {
            *this = TableWatch{};
        } else {
            cards[game.per] = parseCardList(game.cards);
            pass[game.per] = cards[game.per].empty();
            seen.insert(seen.end(), cards[game.per].begin(), cards[game.per].end());
        }
        // As the live desk shows it: a seat's turn takes its own cards away, a new lead the
        // whole trick.
        for (int seat = 0; seat < 4; ++seat) {
            if (seat == game.now || (game.now >= 0 && game.must != 0)) {
                cards[seat].clear();
                pass[seat] = false;
            }
        }
    }
};

TEST_F(DeskRejoinTest, SnapshotIsTheDeskAtEveryPointOfAGame) {
    DeskConfig config = quietConfig();
    config.deal = 10;
    reset(config);
    startWithBots();
    desk->setAuto(0, true, out);  // the whole game plays itself
    inbox.take(out);
    TableWatch watch;
    Millis turnBegan(2000);
    int checks = 0;
    while (desk->playing()) {
        const server::Round& round = *desk->round();
        for (const stMsg& game : inbox.of(0, "game")) {
            watch.follow(game);
        }
        inbox.clear();
        std::vector<int> seen = watch.seen;
        sortHand(seen);
        for (const Millis later : {Millis(0), Millis(12345), Millis(40000)}) {
            for (int seat = 0; seat < 4; ++seat) {
                const server::RejoinSnapshot snap = desk->snapshot(seat, turnBegan + later);
                const std::string at = "check " + std::to_string(checks) + ", seat " +
                                       std::to_string(seat);
                ASSERT_TRUE(snap.playing) << at;
                EXPECT_EQ(snap.desk, kDesk) << at;
                EXPECT_EQ(snap.seat, seat) << at;
                EXPECT_EQ(snap.hand, round.hand(seat)) << at;
                EXPECT_EQ(snap.seen, seen) << at << ": every card played, as the messages showed";
                std::size_t cards = snap.hand.size() + snap.seen.size();
                for (int k = 0; k < 4; ++k) {
                    EXPECT_EQ(snap.seats[k].surplus, static_cast<int>(round.hand(k).size())) << at;
                    EXPECT_EQ(snap.seats[k].cards, watch.cards[k]) << at << ", table of " << k;
                    EXPECT_EQ(snap.seats[k].pass, watch.pass[k]) << at << ", pass of " << k;
                    cards += k == seat ? 0 : static_cast<std::size_t>(snap.seats[k].surplus);
                }
                EXPECT_EQ(cards, 40u) << at << ": hand, seen and the others' counts hold the deal";
                EXPECT_EQ(snap.lastPlay, round.lastPlay()) << at;
                EXPECT_EQ(snap.lastSeat, round.lastPlayer()) << at;
                EXPECT_EQ(snap.lastPlay.empty(), snap.lastSeat == -1) << at;
                EXPECT_EQ(snap.tablePoints, round.tablePoints()) << at;
                EXPECT_EQ(snap.teamPoints, round.teamPoints()) << at;
                EXPECT_EQ(snap.turn, round.turn()) << at;
                EXPECT_EQ(snap.mustLead, round.mustLead()) << at;
                EXPECT_EQ(snap.leftMs, std::max<long long>(0, 30000 - later.count())) << at;
                EXPECT_TRUE(snap.seats[0].autoPlay) << at;
                stMsg decoded;
                EXPECT_TRUE(decodesForClient(server::resumeMessage(snap), decoded)) << at;
            }
        }
        ++checks;
        turnBegan = *desk->nextDeadline();
        advance(turnBegan);
    }
    EXPECT_GT(checks, 10);
    const server::RejoinSnapshot after = desk->snapshot(0, turnBegan);
    EXPECT_FALSE(after.playing);
    EXPECT_EQ(after.seats[0].name, "ann");
    EXPECT_EQ(after.seats[1].surplus, -1) << "no counts between games";
    EXPECT_TRUE(after.seats[1].ready) << "computer players are ready";
    EXPECT_FALSE(after.seats[0].ready);
    EXPECT_TRUE(after.hand.empty());
}

}  // namespace
