#include "server/bots/Answers.h"

#include <algorithm>
#include <array>

#include "cards/LegalPlays.h"

namespace server {

namespace {

using ByRank = std::array<std::vector<int>, kJokerRank + 1>;

// Per rank, the first piece of the last play's size that beats it, trying the rank's lowest
// cards under a top card that rises: the lowest cards of the rank and the smallest top that beats.
void addLowestPieces(const ByRank& byRank, const HandType& lastType, std::size_t size,
                     std::vector<std::vector<int>>& answers) {
    for (const std::vector<int>& cards : byRank) {
        for (std::size_t top = size - 1; top < cards.size(); ++top) {
            std::vector<int> piece(cards.begin(), cards.begin() + static_cast<long>(size - 1));
            piece.push_back(cards[top]);
            if (beatClassified(lastType, size, classifyHand(piece), size).ok) {
                answers.push_back(std::move(piece));
                break;
            }
        }
    }
}

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

// Against anything but a bomb every bomb beats: the smallest of each rank and the whole rank.
void addBombs(const ByRank& byRank,
              std::vector<std::vector<int>>& answers) {
    for (int rank = 0; rank < kSuitedRanks; ++rank) {
        const std::vector<int>& cards = byRank[rank];
        if (cards.size() >= kMinBombCards) {
            answers.emplace_back(cards.begin(), cards.begin() + kMinBombCards);
            if (cards.size() > kMinBombCards) {
                answers.push_back(cards);
            }
        }
    }
}

}  // namespace

std::vector<std::vector<int>> answerPlays(const std::vector<int>& hand,
                                          const std::vector<int>& lastPlay) {
    std::vector<int> last = lastPlay;
    sortHand(last);
    const HandType lastType = classifyHand(last);
    if (lastType.value == kUnbeatableValue) {
        return {};
    }
    const int width = widthFor(lastType.kind);
    const bool onePiece = lastType.kind == HAND_SINGLE || lastType.kind == HAND_PAIR ||
                          lastType.kind == HAND_TRIPLE;
    if (width == 0 && !onePiece) {
        return legalPlays(hand, lastPlay);
    }
    // Per rank, the cards in ascending order (a sorted hand is already grouped by rank).
    ByRank byRank;
    for (int code : hand) {
        if (isValidCode(code)) {
            byRank[rankIndex(code)].push_back(code);
        }
    }
    std::vector<std::vector<int>> answers;
    if (onePiece) {
        addLowestPieces(byRank, lastType, last.size(), answers);
        addBombs(byRank, answers);
        return answers;
    }
    std::vector<int> cut;
    for (const std::vector<int>& cards : byRank) {
        const std::size_t keep = std::min(cards.size(), static_cast<std::size_t>(width));
        cut.insert(cut.end(), cards.end() - static_cast<long>(keep), cards.end());
    }
    sortHand(cut);
    answers = legalPlays(cut, lastPlay);
    addBombs(byRank, answers);
    return answers;
}

}  // namespace server
