#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "cards/LegalPlays.h"
#include "tests/cards/TwoDeckDeal.h"

namespace {

using Codes = std::vector<int>;
using PlaySet = std::set<Codes>;

// Every non-empty sub-multiset of the hand, by per-code counts, each in ascending order.
std::vector<Codes> allSubMultisets(const Codes& hand) {
    std::map<int, int> counts;
    for (int code : hand) ++counts[code];
    std::vector<Codes> subsets{{}};
    for (const auto& [code, count] : counts) {
        const std::size_t before = subsets.size();
        for (std::size_t i = 0; i < before; ++i) {
            for (int taken = 1; taken <= count; ++taken) {
                Codes grown = subsets[i];
                grown.insert(grown.end(), taken, code);
                subsets.push_back(std::move(grown));
            }
        }
    }
    subsets.erase(subsets.begin());
    return subsets;
}

bool accepted(const Codes& last, const Codes& play) {
    Codes lastCopy = last;
    Codes playCopy = play;
    return canBeat(lastCopy, playCopy).ok;
}

bool isSubMultiset(const Codes& play, const Codes& hand) {
    std::map<int, int> counts;
    for (int code : hand) ++counts[code];
    for (int code : play) {
        if (--counts[code] < 0) return false;
    }
    return true;
}

// Checks one hand against one last play: sorted plays, no repeats, all from the hand and accepted.
PlaySet checkedPlays(const Codes& hand, const Codes& last) {
    const std::vector<Codes> plays = legalPlays(hand, last);
    PlaySet unique(plays.begin(), plays.end());
    EXPECT_EQ(unique.size(), plays.size())
        << "repeated plays for last " << testing::PrintToString(last);
    for (const Codes& play : plays) {
        EXPECT_TRUE(std::is_sorted(play.begin(), play.end())) << testing::PrintToString(play);
        EXPECT_TRUE(isSubMultiset(play, hand)) << testing::PrintToString(play);
        EXPECT_TRUE(accepted(last, play))
            << testing::PrintToString(last) << " <- " << testing::PrintToString(play);
    }
    return unique;
}

int randomInt(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// One random card of a rank (jokers have two codes, the other ranks four).
int cardOfRank(std::mt19937& rng, int rank) {
    return cardCode(rank, randomInt(rng, 0, rank == kJokerRank ? 1 : 3));
}

// Adds `count` cards of the given ranks, at most `maxCopies` of any code.
void addCards(std::mt19937& rng, const std::vector<int>& ranks, int count, int maxCopies,
              Codes& hand) {
    for (int tries = 0; count > 0 && tries < 1000; ++tries) {
        const int code = cardOfRank(rng, ranks[rng() % ranks.size()]);
        if (std::count(hand.begin(), hand.end(), code) >= maxCopies) continue;
        hand.push_back(code);
        --count;
    }
}

// Neighbouring ranks from `first`, wrapping from the king to the aces.
std::vector<int> window(int first, int width) {
    std::vector<int> ranks;
    for (int i = 0; i < width; ++i) ranks.push_back((first + i) % kSuitedRanks);
    return ranks;
}

// Small hands (at most 10 cards, so every sub-multiset can be tried) of four shapes: a random
// two-deck deal; cards from a few neighbouring ranks; a pair run or triple run (often at the
// twos or under the aces) with a stray card or two; and a few codes in up to four copies each.
Codes smallHand(std::mt19937& rng) {
    Codes hand;
    switch (randomInt(rng, 0, 3)) {
        case 0:
            return dealHand(rng, randomInt(rng, 6, 10));
        case 1:
            addCards(rng, window(randomInt(rng, 0, 12), randomInt(rng, 2, 5)),
                     randomInt(rng, 6, 10), 2, hand);
            break;
        case 2: {
            const int width = randomInt(rng, 2, 3);
            const int groups = width == 2 ? kMinPairRunCards / 2 : kMinTripleRunCards / 3;
            const int starts[] = {randomInt(rng, 0, kKingRank), 1, kSuitedRanks - groups + 1,
                                  kSuitedRanks - groups};
            for (int rank : window(starts[randomInt(rng, 0, 3)], groups)) {
                addCards(rng, {rank}, width, 2, hand);
            }
            addCards(rng, {randomInt(rng, 0, kJokerRank), rankIndex(kSpecialCard)},
                     10 - width * groups, 2, hand);
            break;
        }
        default: {
            const int rank = randomInt(rng, 0, 13);
            addCards(rng, {rank}, randomInt(rng, 4, 8), 4, hand);
            addCards(rng, {randomInt(rng, 0, 13)}, randomInt(rng, 0, 2), 4, hand);
            break;
        }
    }
    sortHand(hand);
    return hand;
}

std::vector<Codes> typicalLastPlays() {
    return {
        {},
        {8},
        {50},
        {53},
        {19},
        {8, 9},
        {0, 1},
        {52, 52},
        {19, 19},
        {8, 9, 10},
        {44, 45, 47},
        {8, 9, 10, 11},
        {40, 40, 41, 42, 43},
        {8, 8, 8},
        {9, 9, 9, 9},
        {53, 53, 53},
        {8, 9, 12, 13, 16, 17, 20, 21},
        {0, 1, 40, 41, 44, 45, 48, 49},
        {8, 9, 10, 12, 13, 14, 16, 17, 18},
        {8, 9, 10, 16, 17},
        {20, 21, 22, 52, 53},
        {8, 20},
    };
}

TEST(LegalPlays, FindsExactlyWhatBruteForceFindsOnSmallHands) {
    std::mt19937 rng(2024);
    const std::vector<Codes> typical = typicalLastPlays();
    std::size_t acceptedTotal = 0;
    for (int round = 0; round < 100; ++round) {
        const Codes hand = smallHand(rng);
        std::vector<Codes> lastPlays = typical;
        // Also one play of another small hand, so equal-sized plays of every kind meet.
        const std::vector<Codes> others = legalPlays(smallHand(rng), {});
        if (!others.empty()) lastPlays.push_back(others[rng() % others.size()]);
        // Ascending, like every last play here, so canBeat sorts nothing in place.
        std::vector<Codes> subsets = allSubMultisets(hand);
        for (Codes last : lastPlays) {
            sortHand(last);
            const PlaySet found = checkedPlays(hand, last);
            for (Codes& subset : subsets) {
                if (!canBeat(last, subset).ok) continue;
                ++acceptedTotal;
                EXPECT_TRUE(found.count(subset))
                    << "missed " << testing::PrintToString(subset) << " on "
                    << testing::PrintToString(last) << " from " << testing::PrintToString(hand);
            }
        }
    }
    EXPECT_GT(acceptedTotal, 10000u);
}

TEST(LegalPlays, EveryPlayOfABigHandIsAccepted) {
    std::mt19937 rng(77);
    std::size_t total = 0;
    for (int round = 0; round < 30; ++round) {
        const Codes hand = dealHand(rng, 27);
        const std::vector<Codes> leads = legalPlays(hand, {});
        total += leads.size();
        for (const Codes& last : typicalLastPlays()) checkedPlays(hand, last);
        for (int pick = 0; pick < 5 && !leads.empty(); ++pick) {
            checkedPlays(hand, leads[rng() % leads.size()]);
        }
    }
    EXPECT_GT(total, 30u * 27u);
}

// Aces doubled under a run that starts at the twos: `aces` aces, then `width` cards of each rank
// from the two to the king. Too long for the brute-force hands.
Codes doubleAceRun(int aces, int width) {
    Codes play(aces, 0);
    for (int rank = 1; rank <= kKingRank; ++rank) play.insert(play.end(), width, cardCode(rank, 0));
    return play;
}

TEST(LegalPlays, ListsTheQuirkyHands) {
    struct Case {
        Codes hand;
        Codes last;
        Codes play;
    };
    const Case cases[] = {
        {{8, 8, 8, 9}, {}, {8, 8, 8, 9}},              // four of a rank with three identical: bomb
        {{8, 8, 8, 8}, {}, {8, 8, 8, 8}},              // four identical: same cards
        {{52, 52, 53}, {}, {52, 52}},                  // a joker pair needs identical jokers
        {{8, 9, 10, 52, 53}, {}, {8, 9, 10, 52, 53}},  // jokers pair up behind a triple
        {{0, 1, 40, 41, 44, 45, 48, 49}, {}, {0, 1, 40, 41, 44, 45, 48, 49}},
        {{0, 1, 2, 44, 45, 46, 48, 49, 50}, {}, {0, 1, 2, 44, 45, 46, 48, 49, 50}},
        {{12, 13, 14, 15, 16}, {8, 9, 10, 11}, {12, 13, 14, 15}},
        {{8, 8, 9, 10, 11}, {48, 49, 50, 51}, {8, 8, 9, 10, 11}},
        {{52, 52, 53, 53, 53}, {}, {52, 52, 53, 53, 53}},  // five jokers (more than two decks)
        {doubleAceRun(4, 2), {}, doubleAceRun(4, 2)},
        {doubleAceRun(6, 3), {}, doubleAceRun(6, 3)},
    };
    for (const Case& c : cases) {
        const PlaySet plays = checkedPlays(c.hand, c.last);
        EXPECT_TRUE(plays.count(c.play)) << testing::PrintToString(c.play);
    }
}

TEST(LegalPlays, RefusesWhatCannotBePlayed) {
    EXPECT_TRUE(legalPlays({}, {}).empty());
    EXPECT_TRUE(legalPlays({8, 9, 10, 11, 8, 8, 8}, {19}).empty());
    EXPECT_TRUE(legalPlays({0, 0, 0, 0, 52, 52, 52}, {19, 19}).empty());
    EXPECT_EQ(legalPlays({54, -1, 1000}, {}), std::vector<Codes>{});
    EXPECT_EQ(legalPlays({54, 8, -1}, {}), (std::vector<Codes>{{8}}));
    EXPECT_EQ(legalPlays({8, 9, 12, 13}, {50}), (std::vector<Codes>{}));
}

}  // namespace
