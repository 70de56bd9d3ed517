// The computer players' parts: the hand plan, the seat's card memory and sampling, and the
// partnership rules of the normal level that a person at the table would notice.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <random>
#include <vector>

#include "cards/LegalPlays.h"
#include "server/bots/Answers.h"
#include "server/bots/BotLevel.h"
#include "server/bots/HandPlan.h"
#include "server/bots/NormalBot.h"
#include "server/bots/SeatView.h"
#include "server/game/Round.h"

namespace {

using server::BotLevel;
using server::Round;
using Hands = std::array<std::vector<int>, 4>;

std::vector<int> kinds(const std::vector<server::PlannedPlay>& plan) {
    std::vector<int> out;
    for (const auto& play : plan) {
        out.push_back(play.type.kind);
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(HandPlan, SplitsAHandIntoFewPlays) {
    struct Row {
        const char* what;
        std::vector<int> hand;
        std::vector<int> kinds;  // sorted
    };
    const Row rows[] = {
        {"five of a rank stay one bomb",
         {cardCode(5, 0), cardCode(5, 0), cardCode(5, 1), cardCode(5, 2), cardCode(5, 3),
          cardCode(9, 0)},
         {HAND_SINGLE, HAND_BOMB}},
        {"three consecutive triples are a triple run",
         {cardCode(3, 0), cardCode(3, 1), cardCode(3, 2), cardCode(4, 0), cardCode(4, 1),
          cardCode(4, 2), cardCode(5, 0), cardCode(5, 1), cardCode(5, 2)},
         {HAND_TRIPLE_RUN}},
        {"four consecutive pairs are a pair run, kings to aces included",
         {cardCode(10, 0), cardCode(10, 1), cardCode(11, 0), cardCode(11, 1), cardCode(12, 0),
          cardCode(12, 1), cardCode(0, 0), cardCode(0, 1)},
         {HAND_PAIR_RUN}},
        {"a triple takes the lowest pair; the higher pair stays",
         {cardCode(6, 0), cardCode(6, 1), cardCode(6, 2), cardCode(2, 0), cardCode(2, 1),
          cardCode(12, 0), cardCode(12, 1)},
         {HAND_PAIR, HAND_TRIPLE_WITH_PAIR}},
        {"two different jokers are two singles, identical ones a pair",
         {kBlackJoker, kRedJoker, kRedJoker, kRedJoker},
         {HAND_SINGLE, HAND_SINGLE, HAND_PAIR}},
        {"three pairs are too short for a run",
         {cardCode(3, 0), cardCode(3, 1), cardCode(4, 0), cardCode(4, 1), cardCode(5, 0),
          cardCode(5, 1)},
         {HAND_PAIR, HAND_PAIR, HAND_PAIR}},
    };
    for (const Row& row : rows) {
        std::vector<int> hand = row.hand;
        std::sort(hand.begin(), hand.end());
        const auto plan = server::planHand(hand);
        EXPECT_EQ(kinds(plan), row.kinds) << row.what;
        EXPECT_EQ(server::countPlays(hand), static_cast<int>(plan.size())) << row.what;
        std::vector<int> all;
        for (const auto& play : plan) {
            all.insert(all.end(), play.cards.begin(), play.cards.end());
        }
        std::sort(all.begin(), all.end());
        EXPECT_EQ(all, hand) << row.what << ": every card in exactly one play";
    }
}

TEST(Answers, OfferThePairsOfIdenticalCodesWhoseValueIsTheirOwn) {
    // A pair is valued by its top card, except two identical special cards or jokers: these must
    // be offered even when the rank's lowest card under the same top does not beat.
    struct Row {
        const char* what;
        std::vector<int> hand;
        std::vector<int> lastPlay;
        std::vector<int> pair;
    };
    const Row rows[] = {
        {"the special pair over a pair of kings, beside a lower five",
         {cardCode(2, 0), cardCode(4, 0), kSpecialCard, kSpecialCard},
         {cardCode(12, 0), cardCode(12, 1)},
         {kSpecialCard, kSpecialCard}},
        {"the red jokers over the black ones, beside a black joker pair",
         {cardCode(2, 0), kBlackJoker, kBlackJoker, kRedJoker, kRedJoker},
         {kBlackJoker, kBlackJoker},
         {kRedJoker, kRedJoker}},
    };
    for (const Row& row : rows) {
        const auto answers = server::answerPlays(row.hand, row.lastPlay);
        EXPECT_TRUE(std::find(answers.begin(), answers.end(), row.pair) != answers.end())
            << row.what << ": not among the answers";
        const auto legal = legalPlays(row.hand, row.lastPlay);
        for (const auto& answer : answers) {
            EXPECT_TRUE(std::find(legal.begin(), legal.end(), answer) != legal.end())
                << row.what << ": an answer that is not a legal play";
        }
    }
}

TEST(SeatView, RemembersEveryCardShownAndSamplesOnlyTheUnseen) {
    std::mt19937_64 rng(3);
    Round round(server::dealHands(rng, server::kFullDeal), 0);
    // A few plays: the leader's lowest cards and passes.
    for (int step = 0; step < 12 && !round.over(); ++step) {
        const int seat = round.turn();
        round.act(seat, round.expiryAction(seat));
    }
    const server::SeatView view(round, 1);
    for (int code = 0; code < server::kCardsPerDeck; ++code) {
        const auto mine = std::count(round.hand(1).begin(), round.hand(1).end(), code);
        EXPECT_EQ(view.unseen()[code], 2 - round.played()[code] - mine) << code;
    }
    for (int draw = 0; draw < 5; ++draw) {
        const Round world = view.sample(rng);
        EXPECT_EQ(world.hand(1), round.hand(1)) << "its own hand is kept";
        std::array<int, server::kCardsPerDeck> dealt{};
        for (int seat : {0, 2, 3}) {
            EXPECT_EQ(world.hand(seat).size(), round.hand(seat).size()) << seat;
            for (int code : world.hand(seat)) {
                ++dealt[code];
            }
        }
        EXPECT_EQ(dealt, view.unseen()) << "the others get exactly the unseen cards";
        EXPECT_EQ(world.turn(), round.turn());
        EXPECT_EQ(world.lastPlay(), round.lastPlay());
    }
}

// A round where `leader` has just played `lead`, the others' hands as given.
Round afterLead(Hands hands, int leader, const std::vector<int>& lead) {
    Round round(std::move(hands), leader);
    EXPECT_TRUE(round.act(leader, lead).accepted);
    return round;
}

// Ten low cards that make no bomb, for seats whose hands do not matter.
std::vector<int> filler(int suit) {
    std::vector<int> hand;
    for (int rank = 2; rank < 12; ++rank) {
        hand.push_back(cardCode(rank, suit));
    }
    return hand;
}

TEST(NormalBot, DoesNotOvertakeItsPartnersWinningSingle) {
    // Seat 0 leads a seven; seat 1 passes; seat 2, its partner, holds a king and an ace.
    Hands hands{filler(0), filler(1), {cardCode(12, 2), cardCode(0, 2), cardCode(3, 3)}, filler(3)};
    hands[0].push_back(cardCode(6, 1));
    Round round = afterLead(hands, 0, {cardCode(6, 1)});
    ASSERT_TRUE(round.act(1, {}).accepted);
    for (BotLevel level : {BotLevel::Easy, BotLevel::Normal}) {
        EXPECT_TRUE(server::decideBotPlay(level, round, 2, {}, 0).empty())
            << server::botLevelName(level);
    }
    // When an opponent's play is the one to beat, the same hand answers it.
    Round opponent = afterLead(hands, 1, {hands[1].front()});
    EXPECT_FALSE(server::chooseNormalPlay(server::SeatView(opponent, 2)).empty());
}

TEST(NormalBot, BombsAnOpponentWithThreeCardsLeftAndKeepsTheBombOtherwise) {
    // Seat 1 leads a king and keeps `left` cards; seat 2 has no single above it but a bomb.
    const std::vector<int> bomb{cardCode(3, 0), cardCode(3, 1), cardCode(3, 2), cardCode(3, 3)};
    struct Row {
        int left;
        bool bombs;
    };
    for (const Row row : {Row{3, true}, Row{10, false}}) {
        std::vector<int> opponent = filler(1);
        opponent.resize(static_cast<std::size_t>(row.left));
        opponent.push_back(cardCode(12, 1));
        Hands hands{filler(0), opponent, bomb, filler(3)};
        for (int rank : {6, 8, 10}) {
            hands[2].push_back(cardCode(rank, 2));  // three plays besides the bomb
        }
        Round round = afterLead(hands, 1, {cardCode(12, 1)});
        std::vector<int> play = server::chooseNormalPlay(server::SeatView(round, 2));
        EXPECT_EQ(play == bomb, row.bombs) << row.left << " cards left";
        if (!row.bombs) {
            EXPECT_TRUE(play.empty()) << "no points on the table, no danger: it passes";
        }
    }
}

TEST(NormalBot, NothingAnswersTheSpecialCardNotEvenABomb) {
    const std::vector<int> bomb{cardCode(3, 0), cardCode(3, 1), cardCode(3, 2), cardCode(3, 3)};
    std::vector<int> opponent = filler(1);
    opponent.resize(2);
    opponent.push_back(kSpecialCard);
    Round round = afterLead({filler(0), opponent, bomb, filler(3)}, 1, {kSpecialCard});
    for (BotLevel level : {BotLevel::Easy, BotLevel::Normal, BotLevel::Hard}) {
        EXPECT_TRUE(server::decideBotPlay(level, round, 2, {std::chrono::microseconds(0), 100}, 1)
                        .empty())
            << server::botLevelName(level);
    }
}

TEST(NormalBot, LeadsSmallWhenItsPartnerHasOneCardLeft) {
    // Seat 0 leads; its plan's weakest play is the pair of threes, its lowest single a three.
    const std::vector<int> hand{cardCode(2, 0), cardCode(2, 1), cardCode(3, 0), cardCode(12, 0),
                                kBlackJoker};
    struct Row {
        int partnerCards;
        std::vector<int> lead;
    };
    const Row rows[] = {{1, {cardCode(2, 0)}}, {10, {cardCode(2, 0), cardCode(2, 1)}}};
    for (const Row& row : rows) {
        std::vector<int> partner = filler(2);
        partner.resize(static_cast<std::size_t>(row.partnerCards));
        Hands hands{hand, filler(1), partner, filler(3)};
        Round round(hands, 0);
        EXPECT_EQ(server::chooseNormalPlay(server::SeatView(round, 0)), row.lead)
            << "partner holds " << row.partnerCards;
    }
}

TEST(BotLevel, NamesReadBack) {
    for (BotLevel level : {BotLevel::Easy, BotLevel::Normal, BotLevel::Hard}) {
        BotLevel read = BotLevel::Easy;
        ASSERT_TRUE(server::parseBotLevel(server::botLevelName(level), read));
        EXPECT_EQ(read, level);
    }
    BotLevel read = BotLevel::Normal;
    for (const char* bad : {"", "Hard", "expert", "easy "}) {
        EXPECT_FALSE(server::parseBotLevel(bad, read)) << bad;
    }
    EXPECT_EQ(read, BotLevel::Normal) << "a refused name changes nothing";
}

}  // namespace
