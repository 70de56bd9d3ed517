#include "server/bots/HandPlan.h"

#include <algorithm>
#include <array>

#include "server/game/Round.h"

namespace server {

namespace {

constexpr int kRanks = 13;  // ace .. king; the jokers are planned by code
constexpr int kMinTripleRun = 3;
constexpr int kMinPairRun = 4;

// Run order: position 0 is the two (rank 1), position 11 the king, position 12 the ace above it.
int rankAt(int position) {
    return (position + 1) % kRanks;
}

// The plan's steps on per-rank counts. Every group takes all the cards of its ranks, so `emit`
// gets the kind and the ranks: emit(kind, ranks, n).
template <typename Emit>
void planRanks(std::array<int, kRanks> counts, Emit&& emit) {
    std::array<int, kRanks> ranks{};
    for (int rank = 0; rank < kRanks; ++rank) {
        if (counts[rank] >= 4) {
            ranks[0] = rank;
            emit(HAND_BOMB, ranks.data(), 1);
            counts[rank] = 0;
        }
    }
    const auto runs = [&](int width, int minGroups, int kind) {
        int start = 0;
        while (start < kRanks) {
            int end = start;
            while (end < kRanks && counts[rankAt(end)] == width) {
                ++end;
            }
            if (end - start >= minGroups) {
                for (int position = start; position < end; ++position) {
                    ranks[position - start] = rankAt(position);
                    counts[rankAt(position)] = 0;
                }
                emit(kind, ranks.data(), end - start);
            }
            start = end + 1;
        }
    };
    runs(3, kMinTripleRun, HAND_TRIPLE_RUN);
    runs(2, kMinPairRun, HAND_PAIR_RUN);
    // Lowest first by single-card order: threes up to kings (positions 1..11), then aces, twos.
    std::array<int, kRanks> byValue{};
    for (int i = 0; i < kRanks; ++i) {
        byValue[i] = (i + 2) % kRanks;
    }
    int pairAt = 0;
    for (int tripleRank : byValue) {
        if (counts[tripleRank] != 3) {
            continue;
        }
        while (pairAt < kRanks && counts[byValue[pairAt]] != 2) {
            ++pairAt;
        }
        ranks[0] = tripleRank;
        if (pairAt < kRanks) {
            ranks[1] = byValue[pairAt];
            counts[byValue[pairAt]] = 0;
            emit(HAND_TRIPLE_WITH_PAIR, ranks.data(), 2);
        } else {
            emit(HAND_TRIPLE, ranks.data(), 1);
        }
        counts[tripleRank] = 0;
    }
    for (int rank : byValue) {
        if (counts[rank] > 0) {
            ranks[0] = rank;
            emit(counts[rank] == 2 ? HAND_PAIR : HAND_SINGLE, ranks.data(), 1);
        }
    }
}

std::array<int, kRanks> rankCounts(const std::vector<int>& hand) {
    std::array<int, kRanks> counts{};
    for (int code : hand) {
        if (rankIndex(code) < kRanks && isValidCode(code)) {
            ++counts[rankIndex(code)];
        }
    }
    return counts;
}

// Identical jokers pair; any other joker is a single.
int jokerPlays(const std::vector<int>& hand) {
    int plays = 0;
    for (int joker : {kBlackJoker, kRedJoker}) {
        const auto copies = std::count(hand.begin(), hand.end(), joker);
        plays += static_cast<int>(copies / 2 + copies % 2);
    }
    return plays;
}

}  // namespace

std::vector<PlannedPlay> planHand(const std::vector<int>& hand) {
    std::vector<PlannedPlay> plays;
    planRanks(rankCounts(hand), [&](int, const int* ranks, int n) {
        PlannedPlay play;
        for (int code : hand) {
            if (std::find(ranks, ranks + n, rankIndex(code)) != ranks + n) {
                play.cards.push_back(code);
            }
        }
        play.type = classifyHand(play.cards);
        plays.push_back(std::move(play));
    });
    for (int joker : {kBlackJoker, kRedJoker}) {
        const auto copies = std::count(hand.begin(), hand.end(), joker);
        for (long i = 0; i + 1 < copies; i += 2) {
            plays.push_back({{joker, joker}, classifyHand({joker, joker})});
        }
        if (copies % 2 != 0) {
            plays.push_back({{joker}, classifyHand({joker})});
        }
    }
    return plays;
}

int countPlays(const std::vector<int>& hand) {
    int plays = jokerPlays(hand);
    planRanks(rankCounts(hand), [&plays](int, const int*, int) { ++plays; });
    return plays;
}

int countPlaysAfter(const std::vector<int>& hand, const std::vector<int>& play) {
    std::vector<int> rest;
    handWithout(hand, play, rest);
    return countPlays(rest);
}

}  // namespace server
