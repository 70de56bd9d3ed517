// Whole seeded games of four computer players on the pure server desk (server/game/DeskGame),
// their texts fed to the trick history and the summary as seat 0's client receives them. The
// reference is the desk's own round, watched between its moves: each action's seat and cards
// (the hand before it less the hand after it), a trick taken when the round must be led again,
// its points from the change of the team totals, the finishing order, and the finished game the
// desk reports (team points, results).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iostream>
#include <vector>

#include "cards/CardCode.h"
#include "models/desk/GameSummary.h"
#include "models/desk/TrickHistory.h"
#include "net/Message.h"
#include "net/MessageDecoder.h"
#include "server/game/DeskGame.h"

namespace {

using server::Millis;

struct SeededGame {
    std::uint64_t seed;
    int deal;
};
const SeededGame kGames[] = {{1, 27}, {2, 27}, {3, 9}};

std::vector<int> sorted(std::vector<int> codes) {
    std::sort(codes.begin(), codes.end());
    return codes;
}

std::vector<TrickPlay> sortedPlays(std::vector<TrickPlay> plays) {
    for (TrickPlay& play : plays) {
        play.cards = sorted(play.cards);
    }
    return plays;
}

// The hand before less the hand after, both sorted: the cards a seat played.
std::vector<int> cardsPlayed(const std::vector<int>& before, const std::vector<int>& after) {
    std::vector<int> played;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(played));
    return played;
}

// What the desk's round says of the game, action by action.
struct Reference {
    std::vector<TrickPlay> trick;      // in progress
    std::vector<TrickPlay> lastTrick;  // the last one taken
    std::array<int, 4> points{};       // each seat's tricks
    std::vector<int> finishOrder;
    int tricksTaken = 0;
    int tricksToAnOutSeat = 0;  // taken by a seat that went out with its play
};

class TrickGames : public testing::TestWithParam<SeededGame> {};

TEST_P(TrickGames, TheHistoryAndTheSummaryFollowTheDesksOwnRecord) {
    const SeededGame game = GetParam();
    server::DeskConfig config;
    config.botDelay = Millis(0);
    config.deal = game.deal;
    server::DeskGame desk(7, config, game.seed);
    server::DeskOutput out;
    desk.seatBots(Millis(0), out);
    while (!desk.playing()) {
        desk.advance(Millis(0), out);
    }

    TrickHistory history;
    GameSummary summary;
    Reference ref;
    server::FinishedDeskGame finished;
    bool dealt = false;
    // Feeds seat 0's texts of `out` to both models; `trickTaken`: the action ended a trick.
    auto feed = [&](bool trickTaken) {
        for (const server::Delivery& delivery : out.deliveries) {
            if (delivery.seat != 0) {
                continue;
            }
            stMsg msg;
            ASSERT_EQ(decodeMessage(delivery.text, msg), DecodeStatus::Ok) << delivery.text;
            if (msg.opt == "start") {
                if (dealt) {
                    break;  // the next game's deal: this test follows one game
                }
                dealt = true;
            }
            history.follow(msg);
            summary.follow(msg);
            if (msg.opt == "game" && msg.per != -1) {
                ASSERT_EQ(history.hasLast(), ref.tricksTaken > 0) << delivery.text;
                if (trickTaken) {
                    EXPECT_EQ(sortedPlays(history.last()), ref.lastTrick)
                        << "trick " << ref.tricksTaken << " of seed " << game.seed;
                }
            }
        }
        out.clear();
    };
    feed(false);

    while (desk.gamesPlayed() == 0) {
        const server::Round& round = *desk.round();
        const int seat = round.turn();
        const std::vector<int> before = round.hand(seat);
        const std::array<int, 2> teamBefore = round.teamPoints();
        desk.advance(Millis(0), out);
        const bool over = desk.gamesPlayed() > 0;
        if (over) {
            ASSERT_EQ(out.finished.size(), 1u);
            finished = out.finished.front();
        }
        const std::vector<int> after = over ? std::vector<int>{} : desk.round()->hand(seat);
        ref.trick.push_back(TrickPlay{seat, cardsPlayed(sorted(before), sorted(after))});
        if (before.size() != after.size() && after.empty()) {
            ref.finishOrder.push_back(seat);
        }
        const bool taken = !over && ref.trick.back().cards.empty() && desk.round()->mustLead();
        if (taken) {
            int winner = -1;
            for (const TrickPlay& play : ref.trick) {
                winner = play.cards.empty() ? winner : play.seat;
            }
            const int team = winner % 2;
            ref.points[static_cast<std::size_t>(winner)] +=
                desk.round()->teamPoints()[static_cast<std::size_t>(team)] -
                teamBefore[static_cast<std::size_t>(team)];
            ref.tricksToAnOutSeat += desk.round()->isOut(winner) ? 1 : 0;
            ref.lastTrick = ref.trick;
            ref.trick.clear();
            ++ref.tricksTaken;
        }
        feed(taken);
        if (HasFatalFailure()) {
            return;
        }
    }

    ASSERT_EQ(desk.gamesPlayed(), 1);
    ASSERT_GT(ref.tricksTaken, 3);
    ASSERT_TRUE(summary.finished());
    EXPECT_EQ(summary.teamPoints(), finished.teamPoints);
    EXPECT_TRUE(summary.seatsAgree());
    const int teamOut = ref.finishOrder.back() % 2;
    EXPECT_EQ(summary.teamOut(), teamOut);
    EXPECT_EQ(summary.extraPoints(), finished.teamPoints[static_cast<std::size_t>(teamOut)] -
                                         ref.points[static_cast<std::size_t>(teamOut)] -
                                         ref.points[static_cast<std::size_t>(teamOut + 2)]);
    for (int seat = 0; seat < 4; ++seat) {
        SCOPED_TRACE("seat " + std::to_string(seat));
        const SummarySeat& line = summary.seats()[static_cast<std::size_t>(seat)];
        EXPECT_EQ(line.points, ref.points[static_cast<std::size_t>(seat)]);
        EXPECT_EQ(line.result, finished.results[static_cast<std::size_t>(seat)]);
        EXPECT_EQ(line.name, finished.seats[static_cast<std::size_t>(seat)].name);
        const auto out = std::find(ref.finishOrder.begin(), ref.finishOrder.end(), seat);
        if (out != ref.finishOrder.end()) {
            EXPECT_EQ(GameSummary::placeText(line),
                      std::to_string(out - ref.finishOrder.begin() + 1));
        } else {
            EXPECT_EQ(line.firstPlace, static_cast<int>(ref.finishOrder.size()) + 1);
            EXPECT_EQ(line.lastPlace, 4);
        }
    }
    std::cout << "seed " << game.seed << ", deal " << game.deal << ": " << ref.tricksTaken
              << " tricks, " << ref.tricksToAnOutSeat << " taken by a seat that went out\n";
}

INSTANTIATE_TEST_SUITE_P(Seeded, TrickGames, testing::ValuesIn(kGames),
                         [](const testing::TestParamInfo<SeededGame>& info) {
                             return "seed" + std::to_string(info.param.seed) + "deal" +
                                    std::to_string(info.param.deal);
                         });

}  // namespace
