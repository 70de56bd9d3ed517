#include "server/bots/HandPlan.h"

#include <algorithm>
#include <array>

#include "server/game/Round.h"

namespace server {

namespace {

// Per-rank counts of the ace to the king; the jokers are planned by code.
using RankCounts = std::array<int, kSuitedRanks>;

// The plan's steps on per-rank counts. Every group takes all the cards of its ranks, so `emit`
// gets the kind and the ranks: emit(kind, ranks, n).
template <typename Emit>
void planRanks(RankCounts counts, Emit&& emit) {
    std::array<int, kSuitedRanks> ranks{};
    for (int rank = 0; rank < kSuitedRanks; ++rank) {
        if (counts[rank] >= kMinBombCards) {
            ranks[0] = rank;
            emit(HAND_BOMB, ranks.data(), 1);
            counts[rank] = 0;
        }
    }
    const auto runs = [&](int width, int minGroups, int kind) {
        int start = 0;
        while (start < kSuitedRanks) {
            int end = start;
            while (end < kSuitedRanks && counts[rankInRunOrder(end)] == width) {
                ++end;
            }
            if (end - start >= minGroups) {
                for (int position = start; position < end; ++position) {
                    ranks[position - start] = rankInRunOrder(position);
                    counts[rankInRunOrder(position)] = 0;
                }
                emit(kind, ranks.data(), end - start);
            }
            start = end + 1;
        }
    };
    runs(3, kMinTripleRunCards / 3, HAND_TRIPLE_RUN);
    runs(2, kMinPairRunCards / 2, HAND_PAIR_RUN);
    // Lowest first by value: threes up to kings, then aces, twos.
    int pairAt = 0;
    for (int tripleAt = 0; tripleAt < kSuitedRanks; ++tripleAt) {
        const int tripleRank = rankInValueOrder(tripleAt);
        if (counts[tripleRank] != 3) {
            continue;
        }
        while (pairAt < kSuitedRanks && counts[rankInValueOrder(pairAt)] != 2) {
            ++pairAt;
        }
        ranks[0] = tripleRank;
        if (pairAt < kSuitedRanks) {
            ranks[1] = rankInValueOrder(pairAt);
            counts[rankInValueOrder(pairAt)] = 0;
            emit(HAND_TRIPLE_WITH_PAIR, ranks.data(), 2);
        } else {
            emit(HAND_TRIPLE, ranks.data(), 1);
        }
        counts[tripleRank] = 0;
    }
    for (int position = 0; position < kSuitedRanks; ++position) {
        const int rank = rankInValueOrder(position);
        if (counts[rank] > 0) {
            ranks[0] = rank;
            emit(counts[rank] == 2 ? HAND_PAIR : HAND_SINGLE, ranks.data(), 1);
        }
    }
}

RankCounts rankCounts(const std::vector<int>& hand) {
    RankCounts counts{};
    for (int code : hand) {
        if (isValidCode(code) && !isJoker(code)) {
            ++counts[rankIndex(code)];
        }
    }
    return counts;
}

// The jokers' plays: identical jokers pair, any other joker is a single. emit(joker, cards).
template <typename Emit>
void planJokers(const std::vector<int>& hand, Emit&& emit) {
    for (int joker : {kBlackJoker, kRedJoker}) {
        const auto copies = std::count(hand.begin(), hand.end(), joker);
        for (long i = 0; i + 1 < copies; i += 2) {
            emit(joker, 2);
        }
        if (copies % 2 != 0) {
            emit(joker, 1);
        }
    }
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
    planJokers(hand, [&plays](int joker, int cards) {
        std::vector<int> play(static_cast<std::size_t>(cards), joker);
        const HandType type = classifyHand(play);
        plays.push_back({std::move(play), type});
    });
    return plays;
}

int countPlays(const std::vector<int>& hand) {
    int plays = 0;
    planJokers(hand, [&plays](int, int) { ++plays; });
    planRanks(rankCounts(hand), [&plays](int, const int*, int) { ++plays; });
    return plays;
}

int countPlaysAfter(const std::vector<int>& hand, const std::vector<int>& play) {
    std::vector<int> rest;
    handWithout(hand, play, rest);
    return countPlays(rest);
}

}  // namespace server
