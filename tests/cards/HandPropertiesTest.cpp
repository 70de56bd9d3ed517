// Properties of the rules over many seeded random hands, where the tables cannot reach.

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "cards/HandRules.h"
#include "cards/LegalPlays.h"
#include "tests/cards/TwoDeckDeal.h"

namespace {

using Codes = std::vector<int>;

// Cards likely to form kinds 1 to 5: a few cards of one rank, sometimes with a stray card.
Codes nearlyOneRank(std::mt19937& rng) {
    std::uniform_int_distribution<int> rankOf(0, kJokerRank), suitOf(0, 3), sizeOf(1, 8),
        coin(0, 3);
    const int rank = rankOf(rng);
    Codes codes;
    const int size = sizeOf(rng);
    for (int i = 0; i < size; ++i) {
        const int suit = rank == kJokerRank ? suitOf(rng) % 2 : suitOf(rng);
        codes.push_back(cardCode(rank, suit));
    }
    if (coin(rng) == 0) codes.push_back(std::uniform_int_distribution<int>(0, 53)(rng));
    return codes;
}

bool isOrderFree(int kind) {
    return kind >= HAND_SINGLE && kind <= HAND_BOMB;
}

TEST(HandProperties, KindsOneToFiveDoNotDependOnOrder) {
    std::mt19937 rng(1234);
    int seenSimpleKinds = 0;
    for (int round = 0; round < 4000; ++round) {
        Codes sorted = nearlyOneRank(rng);
        sortHand(sorted);
        const int sortedKind = classifyHand(sorted).kind;
        if (isOrderFree(sortedKind)) ++seenSimpleKinds;
        Codes shuffled = sorted;
        for (int permutation = 0; permutation < 4; ++permutation) {
            std::shuffle(shuffled.begin(), shuffled.end(), rng);
            const int kind = classifyHand(shuffled).kind;
            if (isOrderFree(kind) || isOrderFree(sortedKind)) {
                EXPECT_EQ(kind, sortedKind) << ::testing::PrintToString(shuffled);
            }
        }
    }
    EXPECT_GT(seenSimpleKinds, 2000);
}

TEST(HandProperties, NoPlayBeatsAnIdenticalPlay) {
    std::mt19937 rng(99);
    std::size_t checked = 0;
    for (int round = 0; round < 40; ++round) {
        const Codes hand = dealHand(rng, 27);
        for (const Codes& play : legalPlays(hand, {})) {
            Codes last = play;
            Codes candidate = play;
            EXPECT_FALSE(canBeat(last, candidate).ok) << ::testing::PrintToString(play);
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000u);
}

TEST(HandProperties, AnyInputIsSafeAndBadCodesAreRefused) {
    std::mt19937 rng(7);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -54, -4, -1, 54, 55, 1000, INT_MAX - 1, INT_MAX};
    std::uniform_int_distribution<int> sizeOf(0, 20), pick(0, 9), anyCode(-3, 57), coin(0, 4);
    for (int round = 0; round < 20000; ++round) {
        Codes last, candidate;
        for (Codes* list : {&last, &candidate}) {
            const int size = sizeOf(rng);
            for (int i = 0; i < size; ++i) {
                list->push_back(coin(rng) == 0 ? extremes[pick(rng)] : anyCode(rng));
            }
        }
        const HandType type = classifyHand(candidate);
        EXPECT_GE(type.kind, HAND_NONE);
        EXPECT_LE(type.kind, HAND_TRIPLE_RUN);
        const BeatResult result = canBeat(last, candidate);
        if (result.ok) {
            for (int code : candidate) EXPECT_TRUE(isValidCode(code)) << code;
            EXPECT_EQ(result.kind, classifyHand(candidate).kind);
        }
    }
}

}  // namespace
