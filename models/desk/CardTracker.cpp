#include "models/desk/CardTracker.h"

#include "cards/CardCode.h"

namespace {

constexpr int kBlackJokerColumn = 13;
constexpr int kRedJokerColumn = 14;
constexpr int kRankCopies = 8;   // four suits in each of two decks
constexpr int kJokerCopies = 2;  // one in each deck

}  // namespace

int CardTracker::columnOf(int code) {
    if (!isValidCode(code)) {
        return -1;
    }
    if (code == kBlackJoker) {
        return kBlackJokerColumn;
    }
    if (code == kRedJoker) {
        return kRedJokerColumn;
    }
    // Rank 2 (three) is the first column; the ace (0) and the two (1) follow the king (12).
    return (rankIndex(code) + 11) % 13;
}

int CardTracker::copiesIn(int column) {
    return column >= kBlackJokerColumn ? kJokerCopies : kRankCopies;
}

std::array<int, CardTracker::kColumns> CardTracker::fullCount() {
    std::array<int, kColumns> counts{};
    for (int column = 0; column < kColumns; ++column) {
        counts[static_cast<std::size_t>(column)] = copiesIn(column);
    }
    return counts;
}

void CardTracker::deal(const std::vector<int>& hand) {
    m_unseen = fullCount();
    see(hand);
}

void CardTracker::shown(const std::vector<int>& codes) {
    see(codes);
}

void CardTracker::see(const std::vector<int>& codes) {
    for (int code : codes) {
        const int column = columnOf(code);
        if (column >= 0 && m_unseen[static_cast<std::size_t>(column)] > 0) {
            --m_unseen[static_cast<std::size_t>(column)];
        }
    }
}
