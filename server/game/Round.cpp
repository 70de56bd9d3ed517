#include "server/game/Round.h"

#include <algorithm>
#include <cassert>

#include "cards/HandRules.h"
#include "server/game/Scoring.h"

namespace server {

Round::Round(std::array<std::vector<int>, 4> hands, int leader)
    : m_hands(std::move(hands)), m_turn(leader) {
    assert(leader >= 0 && leader < 4 && "leader must be a seat");
    for (auto& hand : m_hands) {
        sortHand(hand);
    }
}

Round::Step Round::act(int seat, std::vector<int> cards) {
    Step step;
    if (m_over || seat != m_turn) {
        return step;
    }
    if (cards.empty()) {
        if (m_mustLead) {
            return step;
        }
        step.accepted = true;
        ++m_passes;
        if (m_passes < seatsInBesides(m_lastPlayer)) {
            m_turn = nextSeatIn(seat);
            return step;
        }
        // Everyone still in passed: the trick goes to the team of the last player.
        step.trickTaken = true;
        step.trickWinner = m_lastPlayer;
        m_teamPoints[teamOf(m_lastPlayer)] += m_tablePoints;
        m_tablePoints = 0;
        m_turn = isOut(m_lastPlayer) ? partnerOf(m_lastPlayer) : m_lastPlayer;
        assert(!isOut(m_turn) && "a round with both partners out is already over");
        m_mustLead = true;
        m_lastPlay.clear();
        m_lastPlayer = -1;
        m_passes = 0;
        return step;
    }

    std::vector<int> last = m_lastPlay;
    if (!canBeat(last, cards).ok || !takeFromHand(seat, cards)) {
        return step;
    }
    step.accepted = true;
    for (int code : cards) {
        ++m_played[code];
    }
    m_tablePoints += pointsOf(cards);
    m_lastPlay = std::move(cards);
    m_lastPlayer = seat;
    m_passes = 0;
    m_mustLead = false;
    if (isOut(seat)) {
        m_finishOrder.push_back(seat);
        if (isOut(partnerOf(seat))) {
            finish(seat);
            step.over = true;
            return step;
        }
    }
    m_turn = nextSeatIn(seat);
    return step;
}

std::vector<int> Round::expiryAction(int seat) const {
    if (!m_mustLead || isOut(seat)) {
        return {};
    }
    const auto& hand = m_hands[seat];
    auto weakest = std::min_element(hand.begin(), hand.end(),
                                    [](int a, int b) { return singleValue(a) < singleValue(b); });
    return {*weakest};
}

Round Round::withHands(std::array<std::vector<int>, 4> hands) const {
    Round copy = *this;
    for (int seat = 0; seat < 4; ++seat) {
        assert(hands[seat].size() == m_hands[seat].size() && "a hand keeps its size");
        sortHand(hands[seat]);
        copy.m_hands[seat] = std::move(hands[seat]);
    }
    return copy;
}

std::array<int, 4> Round::results() const {
    return gameResults(m_finishOrder, m_teamPoints);
}

bool handWithout(const std::vector<int>& hand, const std::vector<int>& cards,
                 std::vector<int>& rest) {
    // One merge-like walk over both sorted lists checks that every card is held, as many times
    // as it is played.
    rest.clear();
    rest.reserve(hand.size());
    std::size_t next = 0;
    for (int code : hand) {
        if (next < cards.size() && cards[next] == code) {
            ++next;
        } else {
            rest.push_back(code);
        }
    }
    return next == cards.size();
}

bool Round::takeFromHand(int seat, const std::vector<int>& cards) {
    // canBeat has sorted the candidate.
    std::vector<int> rest;
    if (!handWithout(m_hands[seat], cards, rest)) {
        return false;
    }
    m_hands[seat] = std::move(rest);
    return true;
}

int Round::nextSeatIn(int seat) const {
    for (int step = 1; step <= 4; ++step) {
        const int candidate = (seat + step) % 4;
        if (!isOut(candidate)) {
            return candidate;
        }
    }
    assert(false && "no seat left with cards");
    return seat;
}

int Round::seatsInBesides(int seat) const {
    int count = 0;
    for (int other = 0; other < 4; ++other) {
        if (other != seat && !isOut(other)) {
            ++count;
        }
    }
    return count;
}

void Round::finish(int lastSeat) {
    const int team = teamOf(lastSeat);
    int points = m_tablePoints;
    for (const auto& hand : m_hands) {
        points += pointsOf(hand);
    }
    m_teamPoints[team] += points;
    m_tablePoints = 0;
    m_over = true;
    m_mustLead = false;
    m_lastPlayer = lastSeat;
}

}  // namespace server
