#include "server/bots/Answers.h"

#include <algorithm>
#include <array>

#include "cards/LegalPlays.h"

namespace server {

namespace {

constexpr int kRanks = 13;  // ace .. king; jokers are never part of a run
constexpr int kJokerRank = 13;
constexpr int kBombCards = 4;

using ByRank = std::array<std::vector<int>, kJokerRank + 1>;

constexpr int kTopValue = 1000;  // the special card alone or paired: nothing beats it

// The value a one-rank piece would have as a single, pair or triple (HandRules.h).
int pieceValue(const std::vector<int>& piece) {
    if (piece.size() == 2 && piece[0] == kSpecialCard && piece[1] == kSpecialCard) {
        return kTopValue;
    }
    return piece.size() == 1 ? singleValue(piece[0]) : topCardValue(piece.back());
}

// Per rank, the lowest piece of `size` cards (ascending codes, jokers only when identical) whose
// value is above `value`: the lowest cards of the rank and the smallest top card that beats.
void addLowestPieces(const ByRank& byRank, std::size_t size, int value,
                     std::vector<std::vector<int>>& answers) {
    for (int rank = 0; rank <= kJokerRank; ++rank) {
        const std::vector<int>& cards = byRank[rank];
        if (cards.size() < size || (rank == kJokerRank && size == 3)) {
            continue;
        }
        for (std::size_t top = size - 1; top < cards.size(); ++top) {
            std::vector<int> piece(cards.begin(), cards.begin() + static_cast<long>(size - 1));
            piece.push_back(cards[top]);
            const bool jokersDiffer = rank == kJokerRank && piece.front() != piece.back();
            if (!jokersDiffer && pieceValue(piece) > value) {
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
    for (int rank = 0; rank < kRanks; ++rank) {
        const std::vector<int>& cards = byRank[rank];
        if (cards.size() >= kBombCards) {
            answers.emplace_back(cards.begin(), cards.begin() + kBombCards);
            if (cards.size() > kBombCards) {
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
    if (lastType.value == kTopValue) {
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
        addLowestPieces(byRank, last.size(), lastType.value, answers);
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
