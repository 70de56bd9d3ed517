#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "server/game/Round.h"
#include "server/game/Scoring.h"

namespace {

using server::Round;
using Hands = std::array<std::vector<int>, 4>;

// Threes and fours round the table: seat s holds the three and the four of suit s.
Hands ladderHands() {
    return {{{8, 12}, {9, 13}, {10, 14}, {11, 15}}};
}

int totalPoints(const Hands& hands) {
    int sum = 0;
    for (const auto& hand : hands) {
        sum += server::pointsOf(hand);
    }
    return sum;
}

TEST(Round, TurnsGoRoundAndTheTrickGoesToTheLastPlayAfterThreePasses) {
    Round round(ladderHands(), 0);
    EXPECT_EQ(round.turn(), 0);
    EXPECT_TRUE(round.mustLead());
    ASSERT_TRUE(round.act(0, {8}).accepted);
    EXPECT_EQ(round.turn(), 1);
    ASSERT_TRUE(round.act(1, {9}).accepted);
    EXPECT_EQ(round.turn(), 2);
    EXPECT_FALSE(round.act(2, {}).trickTaken);
    EXPECT_FALSE(round.act(3, {}).trickTaken);
    const Round::Step last = round.act(0, {});
    EXPECT_TRUE(last.accepted);
    EXPECT_TRUE(last.trickTaken);
    EXPECT_EQ(last.trickWinner, 1);
    EXPECT_EQ(round.turn(), 1);
    EXPECT_TRUE(round.mustLead());
    EXPECT_TRUE(round.lastPlay().empty());
}

TEST(Round, RefusedActionsChangeNothing) {
    struct Row {
        const char* what;
        int seat;
        std::vector<int> cards;
    };
    // After seat 0 led the four 12, seat 1 is to beat it.
    const Row rows[] = {
        {"out of turn", 2, {10}},     {"a card not held", 1, {8}},
        {"too low", 1, {9}},          {"equal is not higher", 1, {12}},
        {"not a hand", 1, {9, 13}},   {"a code out of range", 1, {54}},
        {"a negative code", 1, {-1}},
    };
    for (const Row& row : rows) {
        Round round(ladderHands(), 0);
        ASSERT_TRUE(round.act(0, {12}).accepted);
        EXPECT_FALSE(round.act(row.seat, row.cards).accepted) << row.what;
        EXPECT_EQ(round.turn(), 1) << row.what;
        EXPECT_EQ(round.hand(1).size(), 2u) << row.what;
        EXPECT_EQ(round.lastPlay(), std::vector<int>{12}) << row.what;
    }
}

TEST(Round, LeaderMayNotPass) {
    Round round(ladderHands(), 2);
    EXPECT_FALSE(round.act(2, {}).accepted);
    EXPECT_EQ(round.turn(), 2);
}

TEST(Round, IdenticalCodesAreCountedAsTheyAreHeld) {
    Round round({{{8, 8, 40}, {9, 13}, {10, 14}, {11, 15}}}, 0);
    EXPECT_FALSE(round.act(0, {8, 8, 8}).accepted);
    EXPECT_TRUE(round.act(0, {8, 8}).accepted);
    EXPECT_EQ(round.hand(0), std::vector<int>{40});
}

TEST(Round, SeatsOutOfCardsAreSkipped) {
    Round round({{{8, 12}, {13}, {10, 14}, {11, 15}}}, 1);
    ASSERT_TRUE(round.act(1, {13}).accepted);  // seat 1 goes out
    EXPECT_EQ(round.finishOrder(), std::vector<int>{1});
    ASSERT_TRUE(round.act(2, {14}).accepted);
    ASSERT_TRUE(round.act(3, {15}).accepted);
    ASSERT_TRUE(round.act(0, {}).accepted);
    EXPECT_EQ(round.turn(), 2) << "seat 1 is out and is skipped";
}

TEST(Round, PartnerLeadsWhenTheTrickWinnerIsOut) {
    // Seat 0 goes out with a five (5 points); nobody beats it.
    Round round({{{16}, {8, 12}, {9, 13}, {10, 14}}}, 0);
    ASSERT_TRUE(round.act(0, {16}).accepted);
    EXPECT_EQ(round.tablePoints(), 5);
    ASSERT_TRUE(round.act(1, {}).accepted);
    ASSERT_TRUE(round.act(2, {}).accepted);
    const Round::Step step = round.act(3, {});
    EXPECT_TRUE(step.trickTaken);
    EXPECT_EQ(step.trickWinner, 0);
    EXPECT_EQ(round.teamPoints()[0], 5);
    EXPECT_EQ(round.tablePoints(), 0);
    EXPECT_EQ(round.turn(), 2) << "the partner of the seat that went out leads";
    EXPECT_TRUE(round.mustLead());
}

TEST(Round, OverWhenBothPartnersAreOutAndEveryPointIsKept) {
    const Hands hands{{{16}, {8, 48}, {36}, {9, 49}}};
    Round round(hands, 0);
    ASSERT_TRUE(round.act(0, {16}).accepted);
    ASSERT_TRUE(round.act(1, {}).accepted);
    const Round::Step step = round.act(2, {36});
    EXPECT_TRUE(step.over);
    EXPECT_TRUE(round.over());
    EXPECT_EQ(round.turn(), -1);
    EXPECT_EQ(round.finishOrder(), (std::vector<int>{0, 2}));
    // The table (5 + 10) and the kings left in seats 1 and 3 all go to the team that finished.
    EXPECT_EQ(round.teamPoints()[0], 35);
    EXPECT_EQ(round.teamPoints()[0] + round.teamPoints()[1], totalPoints(hands));
    EXPECT_EQ(round.results(), (std::array<int, 4>{2, -2, 2, -2}));
    EXPECT_FALSE(round.act(1, {8}).accepted) << "nothing is played after the end";
}

TEST(Round, ExpiryPassesOrLeadsTheWeakestCard) {
    // Aces, twos, jokers and the special five 19 all rank above the three.
    Round round({{{0, 19, 8, 52}, {9, 13}, {10, 14}, {11, 15}}}, 0);
    EXPECT_EQ(round.expiryAction(0), std::vector<int>{8});
    ASSERT_TRUE(round.act(0, {8}).accepted);
    EXPECT_TRUE(round.expiryAction(1).empty()) << "following: pass";
}

}  // namespace
