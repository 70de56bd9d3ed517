#include "server/bots/SeatView.h"

#include <algorithm>

#include "server/game/Scoring.h"

namespace server {

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
    std::array<int, kJokerRank + 1> count{};
    std::array<int, kJokerRank + 1> top{};
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
            // Identical pairs with a value of their own: the special card's and the jokers'.
            for (int code : {kSpecialCard, kBlackJoker, kRedJoker}) {
                if (m_unseen[code] >= 2 && classifyHand({code, code}).value > type.value) {
                    return true;
                }
            }
            for (int rank = 0; rank < kSuitedRanks; ++rank) {
                if (count[rank] >= 2 && highestOf(rank) > type.value) return true;
            }
            return false;
        case HAND_TRIPLE:
        case HAND_TRIPLE_WITH_PAIR: {
            int pairs = 0;
            for (int rank = 0; rank < kSuitedRanks; ++rank) {
                pairs += count[rank] >= 2 ? 1 : 0;
            }
            for (int rank = 0; rank < kSuitedRanks; ++rank) {
                const bool pairBesides = type.kind == HAND_TRIPLE || pairs >= 2;
                if (count[rank] >= 3 && highestOf(rank) > type.value && pairBesides) return true;
            }
            return false;
        }
        case HAND_PAIR_RUN:
        case HAND_TRIPLE_RUN: {
            const int width = type.kind == HAND_PAIR_RUN ? 2 : 3;
            const int groups = n / width;
            for (int last = groups - 1; last < kSuitedRanks; ++last) {
                bool full = true;
                for (int position = last - groups + 1; position <= last && full; ++position) {
                    full = count[rankInRunOrder(position)] >= width;
                }
                if (full && highestOf(rankInRunOrder(last)) > type.value) return true;
            }
            return false;
        }
        case HAND_BOMB:
            for (int rank = 0; rank < kSuitedRanks; ++rank) {
                if (count[rank] > n || (count[rank] == n && highestOf(rank) > type.value)) {
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
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
