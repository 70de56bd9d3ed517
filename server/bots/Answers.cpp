#include "server/bots/Answers.h"

#include <algorithm>
#include <array>

#include "cards/LegalPlays.h"

namespace server {

namespace {

constexpr int kRanks = 13;  // ace .. king; jokers are never part of a run
constexpr int kBombCards = 4;

int widthFor(int kind) {
    switch (kind) {
        case HAND_PAIR_RUN:
            return 2;
        case HAND_TRIPLE_RUN:
        case HAND_TRIPLE_WITH_PAIR:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

std::vector<std::vector<int>> answerPlays(const std::vector<int>& hand,
                                          const std::vector<int>& lastPlay) {
    std::vector<int> last = lastPlay;
    sortHand(last);
    const int width = widthFor(classifyHand(last).kind);
    if (width == 0) {
        return legalPlays(hand, lastPlay);
    }
    // Per rank, the cards in ascending order (a sorted hand is already grouped by rank).
    std::array<std::vector<int>, kRanks + 1> byRank;
    for (int code : hand) {
        if (isValidCode(code)) {
            byRank[rankIndex(code)].push_back(code);
        }
    }
    std::vector<int> cut;
    for (const std::vector<int>& cards : byRank) {
        const std::size_t keep = std::min(cards.size(), static_cast<std::size_t>(width));
        cut.insert(cut.end(), cards.end() - static_cast<long>(keep), cards.end());
    }
    sortHand(cut);
    std::vector<std::vector<int>> answers = legalPlays(cut, lastPlay);
    for (int rank = 0; rank < kRanks; ++rank) {
        const std::vector<int>& cards = byRank[rank];
        if (cards.size() >= kBombCards) {
            answers.emplace_back(cards.begin(), cards.begin() + kBombCards);
            if (cards.size() > kBombCards) {
                answers.push_back(cards);
            }
        }
    }
    return answers;
}

}  // namespace server
