#pragma once
// What one seat may know during a round, and nothing more: its own hand, the table (the last play
// and who made it, the points on it, each seat's card count) and its card memory: every card
// shown so far, hence how many of each code the other three seats still hold between them. The
// computer players of every level decide from this view alone; the round's other hands stay
// behind it. A view refers to the round, which must outlive it.

#include <array>
#include <random>
#include <vector>

#include "cards/HandRules.h"
#include "server/game/Round.h"

namespace server {

class SeatView {
public:
    SeatView(const Round& round, int seat);

    // ---- The seat and the table
    int seat() const { return m_seat; }
    const std::vector<int>& hand() const { return m_round.hand(m_seat); }
    bool leading() const { return m_round.lastPlay().empty(); }
    const std::vector<int>& lastPlay() const { return m_round.lastPlay(); }
    int lastPlayer() const { return m_round.lastPlayer(); }
    bool partnerMadeLastPlay() const;
    int cardsLeft(int seat) const { return static_cast<int>(m_round.hand(seat).size()); }
    int tablePoints() const { return m_round.tablePoints(); }
    // Cards of the opponent nearest to going out (still in); kFullDeal when both are out.
    int fewestOpponentCards() const;

    // ---- Card memory
    // How many of each code no one has shown yet and this seat does not hold.
    const std::array<int, kCardsPerDeck>& unseen() const { return m_unseen; }
    // Whether some cards the others may hold make an ordinary play (not a bomb) that beats
    // `play` (classified as `type`). Pooled over the three other seats, so "may".
    bool othersMayBeat(const std::vector<int>& play, const HandType& type) const;

    // ---- Search
    // The round with the unseen cards dealt at random to the other seats, each getting as many as
    // it holds: one world consistent with everything this seat knows.
    Round sample(std::mt19937_64& rng) const;

private:
    const Round& m_round;
    int m_seat = 0;
    std::array<int, kCardsPerDeck> m_unseen{};
};

}  // namespace server
