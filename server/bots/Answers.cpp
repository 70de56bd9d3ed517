#include "server/bots/Answers.h"

#include <algorithm>
#include <array>

#include "cards/LegalPlays.h"

namespace server {

namespace {

using ByRank = std::array<std::vector<int>, kJokerRank + 1>;

// The lowest piece of `size` cards of one rank (`cards` ascending) that beats the last play, or
// none (empty). A piece is valued by its top card, so the rank's lowest cards go under the
// smallest top that beats; but a pair of identical codes has a value of its own (the special
// card's, a joker's), so such pairs are tried when no piece valued by its top card beats.
std::vector<int> lowestPiece(const std::vector<int>& cards, const HandType& lastType,
                             std::size_t size) {
    const auto beats = [&](const std::vector<int>& piece) {
        return beatClassified(lastType, size, classifyHand(piece), size).ok;
    };
    for (std::size_t top = size - 1; top < cards.size(); ++top) {
        std::vector<int> piece(cards.begin(), cards.begin() + static_cast<long>(size - 1));
        piece.push_back(cards[top]);
        if (beats(piece)) {
            return piece;
        }
    }
    for (std::size_t i = 1; size == 2 && i < cards.size(); ++i) {
        const std::vector<int> twin{cards[i], cards[i]};
        if (cards[i - 1] == cards[i] && beats(twin)) {
            return twin;
        }
    }
    return {};
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
        for (const std::vector<int>& cards : byRank) {
            std::vector<int> piece = lowestPiece(cards, lastType, last.size());
            if (!piece.empty()) {
                answers.push_back(std::move(piece));
            }
        }
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
