#include "server/bots/SeatView.h"

#include <algorithm>

#include "server/game/Scoring.h"

namespace server {

namespace {

constexpr int kRanks = 13;  // ace .. king
constexpr int kTopPairValue = 1000;

// Run order: position 0 is the two, 11 the king, 12 the ace above it.
int rankAt(int position) {
    return (position + 1) % kRanks;
}

}  // namespace

SeatView::SeatView(const Round& round, int seat) : m_round(round), m_seat(seat) {
    const std::array<int, kCardsPerDeck>& played = round.played();
    for (int code = 0; code < kCardsPerDeck; ++code) {
        m_unseen[code] = kDecks - played[code];
    }
    for (int code : hand()) {
        --m_unseen[code];
    }
}

bool SeatView::partnerMadeLastPlay() const {
    return lastPlayer() == partnerOf(m_seat);
}

int SeatView::fewestOpponentCards() const {
    int fewest = kFullDeal;
    for (int other = 0; other < 4; ++other) {
        if (teamOf(other) != teamOf(m_seat) && cardsLeft(other) > 0) {
            fewest = std::min(fewest, cardsLeft(other));
        }
    }
    return fewest;
}

bool SeatView::othersMayBeat(const std::vector<int>& play, const HandType& type) const {
    // Per rank: how many the others may hold and the highest such code.
    std::array<int, kRanks + 1> count{};
    std::array<int, kRanks + 1> top{};
    for (int code = 0; code < kCardsPerDeck; ++code) {
        if (m_unseen[code] > 0) {
            count[rankIndex(code)] += m_unseen[code];
            top[rankIndex(code)] = code;
        }
    }
    const int n = static_cast<int>(play.size());
    const auto highestOf = [&](int rank) { return topCardValue(top[rank]); };
    switch (type.kind) {
        case HAND_SINGLE:
            for (int code = 0; code < kCardsPerDeck; ++code) {
                if (m_unseen[code] > 0 && singleValue(code) > type.value) return true;
            }
            return false;
        case HAND_PAIR:
            if (m_unseen[kSpecialCard] >= 2 && type.value < kTopPairValue) return true;
            for (int joker : {kBlackJoker, kRedJoker}) {
                if (m_unseen[joker] >= 2 && singleValue(joker) > type.value) return true;
            }
            for (int rank = 0; rank < kRanks; ++rank) {
                if (count[rank] >= 2 && highestOf(rank) > type.value) return true;
            }
            return false;
        case HAND_TRIPLE:
        case HAND_TRIPLE_WITH_PAIR: {
            int pairs = 0;
            for (int rank = 0; rank < kRanks; ++rank) {
                pairs += count[rank] >= 2 ? 1 : 0;
            }
            for (int rank = 0; rank < kRanks; ++rank) {
                const bool pairBesides = type.kind == HAND_TRIPLE || pairs >= 2;
                if (count[rank] >= 3 && highestOf(rank) > type.value && pairBesides) return true;
            }
            return false;
        }
        case HAND_PAIR_RUN:
        case HAND_TRIPLE_RUN: {
            const int width = type.kind == HAND_PAIR_RUN ? 2 : 3;
            const int groups = n / width;
            for (int last = groups - 1; last < kRanks; ++last) {
                bool full = true;
                for (int position = last - groups + 1; position <= last && full; ++position) {
                    full = count[rankAt(position)] >= width;
                }
                if (full && highestOf(rankAt(last)) > type.value) return true;
            }
            return false;
        }
        case HAND_BOMB:
            for (int rank = 0; rank < kRanks; ++rank) {
                if (count[rank] > n || (count[rank] == n && highestOf(rank) > type.value)) {
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

int SeatView::othersLargestRank() const {
    std::array<int, kRanks> count{};
    for (int code = 0; code < kBlackJoker; ++code) {
        count[rankIndex(code)] += m_unseen[code];
    }
    return *std::max_element(count.begin(), count.end());
}

Round SeatView::sample(std::mt19937_64& rng) const {
    std::vector<int> pool;
    for (int code = 0; code < kCardsPerDeck; ++code) {
        pool.insert(pool.end(), static_cast<std::size_t>(m_unseen[code]), code);
    }
    std::shuffle(pool.begin(), pool.end(), rng);
    std::array<std::vector<int>, 4> hands;
    auto next = pool.begin();
    for (int seat = 0; seat < 4; ++seat) {
        if (seat == m_seat) {
            hands[seat] = hand();
            continue;
        }
        const auto size = static_cast<std::ptrdiff_t>(cardsLeft(seat));
        hands[seat].assign(next, next + size);
        next += size;
    }
    return m_round.withHands(std::move(hands));
}

}  // namespace server
