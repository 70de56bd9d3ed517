#include <gtest/gtest.h>

#include "cards/HandRules.h"

namespace {

using Codes = std::vector<int>;

std::string show(const Codes& codes) {
    std::string text = "{";
    formatCardList(codes, text);
    return text + "}";
}

// Pairs of rank `from` to `to`, suits 0 and 1.
Codes pairsOf(int from, int to) {
    Codes codes;
    for (int rank = from; rank <= to; ++rank) {
        codes.push_back(cardCode(rank, 0));
        codes.push_back(cardCode(rank, 1));
    }
    return codes;
}

TEST(CardValues, FollowTheValueTable) {
    struct Case {
        int code, single, top, same;
    };
    const Case cases[] = {
        {8, 8, 8, 8},          // three of suit 0: the lowest
        {11, 11, 11, 167},     // three of suit 3
        {19, 1000, 19, 1000},  // the special card
        {18, 18, 18, 122},     // another five
        {48, 48, 48, 48},      // king of suit 0
        {51, 51, 51, 207},     // king of suit 3
        {0, 54, 54, 52},       // ace of suit 0
        {1, 55, 55, 105},      // ace of suit 1
        {4, 58, 58, 56},       // two of suit 0
        {7, 61, 61, 215},      // two of suit 3
        {52, 152, 152, 552},   // black joker
        {53, 153, 153, 553},   // red joker
    };
    for (const Case& c : cases) {
        EXPECT_EQ(singleValue(c.code), c.single) << c.code;
        EXPECT_EQ(topCardValue(c.code), c.top) << c.code;
        EXPECT_EQ(sameCardsValue(c.code), c.same) << c.code;
    }
}

TEST(CardValues, SingleOrderIsThreeUpToKingThenAceTwoJokersSpecial) {
    const Codes ascending{8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 51, 0, 3, 4, 7, 52, 53, 19};
    for (std::size_t i = 1; i < ascending.size(); ++i) {
        EXPECT_LT(singleValue(ascending[i - 1]), singleValue(ascending[i])) << ascending[i];
    }
}

TEST(CardValues, OutOfRangeCodesDoNotOverflow) {
    EXPECT_EQ(sameCardsValue(INT_MAX), INT_MAX);
    EXPECT_EQ(sameCardsValue(INT_MIN), INT_MIN);
    EXPECT_EQ(singleValue(INT_MAX), INT_MAX);
    EXPECT_EQ(topCardValue(-5), -5);
}

TEST(RankOrders, ValueOrderRisesWithEveryCardOfTheRank) {
    std::vector<bool> seen(kSuitedRanks, false);
    for (int position = 0; position < kSuitedRanks; ++position) {
        const int rank = rankInValueOrder(position);
        ASSERT_TRUE(rank >= 0 && rank < kSuitedRanks) << position;
        EXPECT_FALSE(seen[rank]) << "rank " << rank << " twice";
        seen[rank] = true;
        if (position == 0) continue;
        const int below = rankInValueOrder(position - 1);
        for (int suit = 0; suit < 4; ++suit) {
            for (int lowerSuit = 0; lowerSuit < 4; ++lowerSuit) {
                EXPECT_LT(topCardValue(cardCode(below, lowerSuit)),
                          topCardValue(cardCode(rank, suit)))
                    << "positions " << position - 1 << " and " << position;
            }
        }
    }
}

TEST(RankOrders, RunOrderIsTheOrderRunsAreRecognisedIn) {
    // Four pairs at consecutive run positions from `first`, wrapping past the last position.
    for (int first = 0; first < kSuitedRanks; ++first) {
        Codes codes;
        for (int position = first; position < first + 4; ++position) {
            const int rank = rankInRunOrder(position % kSuitedRanks);
            codes.push_back(cardCode(rank, 0));
            codes.push_back(cardCode(rank, 1));
        }
        sortHand(codes);
        const bool wraps = first + 4 > kSuitedRanks;
        EXPECT_EQ(classifyHand(codes).kind, wraps ? HAND_NONE : HAND_PAIR_RUN) << show(codes);
    }
}

TEST(PowerKinds, AreTheKindsThatBeatEveryOtherKind) {
    const Codes samples[] = {
        {9},
        {8, 9},
        {8, 9, 10},
        {12, 12, 12},
        {12, 13, 14, 15},
        pairsOf(2, 5),
        {8, 9, 10, 16, 17},
        {8, 9, 10, 12, 13, 14, 16, 17, 18},
    };
    for (const Codes& sample : samples) {
        const int kind = classifyHand(sample).kind;
        bool beatsEveryOther = true;
        for (const Codes& other : samples) {
            const int otherKind = classifyHand(other).kind;
            if (otherKind == kind || isPowerKind(otherKind)) continue;
            Codes last = other;
            Codes candidate = sample;
            beatsEveryOther = beatsEveryOther && canBeat(last, candidate).ok;
        }
        EXPECT_EQ(isPowerKind(kind), beatsEveryOther) << show(sample);
    }
}

struct ClassifyCase {
    Codes codes;
    int kind;
    int value;
};

void expectClassified(const ClassifyCase& c) {
    const HandType type = classifyHand(c.codes);
    EXPECT_EQ(type.kind, c.kind) << show(c.codes);
    EXPECT_EQ(type.value, c.value) << show(c.codes);
}

TEST(ClassifyHand, SinglesPairsAndTriples) {
    const ClassifyCase cases[] = {
        {{}, HAND_NONE, 0},
        {{8}, HAND_SINGLE, 8},
        {{19}, HAND_SINGLE, 1000},
        {{0}, HAND_SINGLE, 54},
        {{52}, HAND_SINGLE, 152},
        {{8, 9}, HAND_PAIR, 9},
        {{16, 19}, HAND_PAIR, 19},
        {{19, 19}, HAND_PAIR, 1000},
        {{0, 3}, HAND_PAIR, 57},
        {{8, 8}, HAND_PAIR, 8},
        {{52, 52}, HAND_PAIR, 152},
        {{53, 53}, HAND_PAIR, 153},
        {{52, 53}, HAND_NONE, 0},
        {{8, 12}, HAND_NONE, 0},
        {{8, 9, 10}, HAND_TRIPLE, 10},
        {{8, 8, 9}, HAND_TRIPLE, 9},
        {{16, 19, 19}, HAND_TRIPLE, 19},
        {{8, 9, 12}, HAND_NONE, 0},
        {{52, 52, 53}, HAND_NONE, 0},
    };
    for (const ClassifyCase& c : cases) expectClassified(c);
}

TEST(ClassifyHand, SameCardsAndBombs) {
    Codes sixteenThrees;
    for (int code = 8; code <= 11; ++code) sixteenThrees.insert(sixteenThrees.end(), 4, code);
    Codes seventeenThrees = sixteenThrees;
    seventeenThrees.push_back(11);
    const ClassifyCase cases[] = {
        {{8, 8, 8}, HAND_SAME_CARDS, 8},       {{52, 52, 52}, HAND_SAME_CARDS, 552},
        {{19, 19, 19}, HAND_SAME_CARDS, 1000}, {{0, 0, 0}, HAND_SAME_CARDS, 52},
        {{8, 8, 8, 8}, HAND_SAME_CARDS, 8},    {{53, 53, 53, 53}, HAND_SAME_CARDS, 553},
        {{8, 9, 10, 11}, HAND_BOMB, 11},       {{8, 8, 8, 9}, HAND_BOMB, 9},
        {{16, 17, 18, 19}, HAND_BOMB, 19},     {{0, 0, 1, 1, 2}, HAND_BOMB, 56},
        {{8, 8, 8, 8, 8}, HAND_BOMB, 8},       {sixteenThrees, HAND_BOMB, 11},
        {seventeenThrees, HAND_NONE, 0},       {{52, 52, 53, 53}, HAND_NONE, 0},
    };
    for (const ClassifyCase& c : cases) expectClassified(c);
}

TEST(ClassifyHand, PairRuns) {
    Codes doubleAces{0, 0, 1, 1};
    const Codes twosToKings = pairsOf(1, 12);
    doubleAces.insert(doubleAces.end(), twosToKings.begin(), twosToKings.end());
    const ClassifyCase cases[] = {
        {pairsOf(2, 5), HAND_PAIR_RUN, 21},
        {pairsOf(2, 4), HAND_NONE, 0},
        {pairsOf(1, 4), HAND_PAIR_RUN, 17},
        {pairsOf(9, 12), HAND_PAIR_RUN, 49},
        {{8, 8, 12, 12, 16, 16, 20, 20}, HAND_PAIR_RUN, 20},
        {{0, 1, 40, 41, 44, 45, 48, 49}, HAND_PAIR_RUN, 55},
        {{0, 3, 36, 37, 40, 41, 44, 45, 48, 51}, HAND_PAIR_RUN, 57},
        {{0, 1, 16, 17, 20, 21, 24, 25}, HAND_NONE, 0},
        {pairsOf(0, 3), HAND_NONE, 0},
        {{0, 1, 44, 45, 48, 49, 52, 52}, HAND_NONE, 0},
        {{8, 9, 12, 13, 20, 21, 24, 25}, HAND_NONE, 0},
        {{8, 9, 12, 13, 16, 17, 20, 21, 22}, HAND_NONE, 0},
        {doubleAces, HAND_PAIR_RUN, 54},
    };
    for (const ClassifyCase& c : cases) expectClassified(c);
}

TEST(ClassifyHand, TripleRunsAndTriplesWithPair) {
    const ClassifyCase cases[] = {
        {{8, 9, 10, 12, 13, 14, 16, 17, 18}, HAND_TRIPLE_RUN, 18},
        {{8, 8, 8, 12, 12, 12, 16, 16, 16}, HAND_TRIPLE_RUN, 16},
        {{0, 1, 2, 44, 45, 46, 48, 49, 50}, HAND_TRIPLE_RUN, 56},
        {{0, 1, 2, 40, 41, 42, 44, 45, 46, 48, 49, 50}, HAND_TRIPLE_RUN, 56},
        {{0, 1, 2, 4, 5, 6, 8, 9, 10}, HAND_NONE, 0},
        {{0, 1, 2, 40, 41, 42, 44, 45, 46}, HAND_NONE, 0},
        {{8, 9, 10, 16, 17, 18, 20, 21, 22}, HAND_NONE, 0},
        {{8, 9, 10, 16, 17}, HAND_TRIPLE_WITH_PAIR, 10},
        {{8, 9, 16, 17, 18}, HAND_TRIPLE_WITH_PAIR, 18},
        {{8, 9, 10, 52, 53}, HAND_TRIPLE_WITH_PAIR, 10},
        {{8, 9, 52, 52, 53}, HAND_TRIPLE_WITH_PAIR, 153},
        {{8, 8, 8, 19, 19}, HAND_TRIPLE_WITH_PAIR, 8},
        {{52, 52, 53, 53, 53}, HAND_TRIPLE_WITH_PAIR, 153},
        {{8, 9, 10, 16, 20}, HAND_NONE, 0},
        {{8, 12, 13, 14, 15}, HAND_NONE, 0},
    };
    for (const ClassifyCase& c : cases) expectClassified(c);
}

struct BeatCase {
    Codes last;
    Codes candidate;
    bool ok;
    int kind;  // expected when ok
};

TEST(CanBeat, FollowsTheComparisonSteps) {
    Codes sixteenThrees;
    for (int code = 8; code <= 11; ++code) sixteenThrees.insert(sixteenThrees.end(), 4, code);
    const BeatCase cases[] = {
        // Leading: any legal hand, nothing else.
        {{}, {8}, true, HAND_SINGLE},
        {{}, {8, 9, 12, 13, 16, 17, 20, 21}, true, HAND_PAIR_RUN},
        {{}, {8, 12}, false, 0},
        {{}, {}, false, 0},
        // Same kind, same count, strictly higher.
        {{8}, {9}, true, HAND_SINGLE},
        {{9}, {8}, false, 0},
        {{8, 9}, {10, 11}, true, HAND_PAIR},
        {{8, 9}, {8, 9}, false, 0},
        {{0, 1}, {48, 49}, false, 0},
        {{52}, {53}, true, HAND_SINGLE},
        {{53}, {19}, true, HAND_SINGLE},
        {{52, 52}, {53, 53}, true, HAND_PAIR},
        {{8, 9, 10}, {12, 13, 14}, true, HAND_TRIPLE},
        {{8, 9, 10, 16, 17}, {12, 13, 14, 4, 5}, true, HAND_TRIPLE_WITH_PAIR},
        {{8}, {12, 13}, false, 0},
        {{8, 9, 10}, {12, 13, 14, 16, 17}, false, 0},
        {{8, 9, 12, 13, 16, 17, 20, 21}, {12, 13, 16, 17, 20, 21, 24, 25, 28, 29}, false, 0},
        {{12, 13, 16, 17, 20, 21, 24, 25, 28, 29}, {8, 9, 12, 13, 16, 17, 20, 21}, false, 0},
        // The special card is never beaten.
        {{19}, {52, 52}, false, 0},
        {{19}, {8, 9, 10, 11}, false, 0},
        {{19, 19}, {8, 8, 8}, false, 0},
        {{19, 19, 19}, {20, 20, 20, 20}, false, 0},
        // Bombs and same cards.
        {{8}, {12, 13, 14, 15}, true, HAND_BOMB},
        {{8, 9, 12, 13, 16, 17, 20, 21}, {12, 13, 14, 15}, true, HAND_BOMB},
        {{8, 9, 10, 11}, {12, 13, 14, 15}, true, HAND_BOMB},
        {{12, 13, 14, 15}, {8, 9, 10, 11}, false, 0},
        {{48, 49, 50, 51}, {8, 9, 10, 11, 8}, true, HAND_BOMB},
        {{8, 9, 10, 11, 8}, {48, 49, 50, 51}, false, 0},
        {{12, 13, 14, 15}, {8, 8, 8}, true, HAND_SAME_CARDS},
        {{8, 8, 8}, sixteenThrees, false, 0},
        {{9, 9, 9}, {8, 8, 8, 8}, true, HAND_SAME_CARDS},
        {{8, 8, 8, 8}, {9, 9, 9}, false, 0},
        {{11, 11, 11}, {0, 0, 0}, false, 0},
        {{0, 0, 0}, {11, 11, 11}, true, HAND_SAME_CARDS},
        {{8, 8, 8}, {8, 8, 8}, false, 0},
        {{8}, {8, 8, 8}, true, HAND_SAME_CARDS},
        // A last play that is no hand is beaten only by bombs and same cards.
        {{8, 20}, {9}, false, 0},
        {{8, 20}, {8, 8, 8}, true, HAND_SAME_CARDS},
        {{8, 20}, {8, 9, 10, 11}, true, HAND_BOMB},
        // Codes outside 0..53 are refused even where they would form a hand.
        {{}, {54}, false, 0},
        {{}, {55, 55}, false, 0},
        {{}, {-1}, false, 0},
        {{8}, {8, 9, 10, 11, 54}, false, 0},
    };
    for (const BeatCase& c : cases) {
        Codes last = c.last;
        Codes candidate = c.candidate;
        const BeatResult result = canBeat(last, candidate);
        EXPECT_EQ(result.ok, c.ok) << show(c.last) << " <- " << show(c.candidate);
        if (c.ok) {
            EXPECT_EQ(result.kind, c.kind) << show(c.last) << " <- " << show(c.candidate);
        }
    }
}

TEST(CanBeat, SortsBothListsInPlace) {
    Codes last{10, 9, 8};
    Codes candidate{14, 12, 13};
    EXPECT_TRUE(canBeat(last, candidate).ok);
    EXPECT_EQ(last, (Codes{8, 9, 10}));
    EXPECT_EQ(candidate, (Codes{12, 13, 14}));
}

TEST(CanBeat, UnsortedPlaysAreComparedAsSorted) {
    Codes last{21, 20, 17, 16, 13, 12, 9, 8};
    Codes candidate{25, 24, 21, 20, 17, 16, 13, 12};
    const BeatResult result = canBeat(last, candidate);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.kind, HAND_PAIR_RUN);
}

}  // namespace
