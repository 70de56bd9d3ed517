#pragma once
// One deal played out: hands, turns, the last play to beat, tricks, points and the finishing
// order. Pure rules with no time and no messages; DeskGame drives it and reports it.
//
// Turn rules:
//   - Turns go 0, 1, 2, 3 round the table, skipping seats that are out of cards.
//   - A play must be cards of the player's hand that canBeat the last play (anything legal when
//     leading); a leader may not pass. Anything else, or any action out of turn, is refused and
//     changes nothing.
//   - When every other seat still in has passed after a play, the trick is taken: its points go
//     to the team of the seat that made the play, which leads next; if that seat is out, its
//     partner leads.
//   - The round is over as soon as both partners of a team are out. The points still on the table
//     and those left in the hands of the seats still in then go to that team, so the two teams
//     always share all the points dealt (200 with a full deal).

#include <array>
#include <vector>

#include "server/game/Deal.h"

namespace server {

// `rest` becomes `hand` without `cards` (both sorted); false when a card is not held as many
// times as `cards` lists it.
bool handWithout(const std::vector<int>& hand, const std::vector<int>& cards,
                 std::vector<int>& rest);

class Round {
public:
    // What one accepted or refused action did.
    struct Step {
        bool accepted = false;
        bool trickTaken = false;  // the action was the last pass of a trick
        int trickWinner = -1;     // the seat whose play took the trick
        bool over = false;        // the action ended the round
    };

    // `hands` sorted by code; `leader` opens the first trick.
    Round(std::array<std::vector<int>, 4> hands, int leader);

    // A play (`cards` not empty) or a pass (`cards` empty) by `seat`.
    Step act(int seat, std::vector<int> cards);

    // What the server does for a seat that let its turn run out: pass, or lead its weakest card.
    // Always accepted when it is the seat's turn.
    std::vector<int> expiryAction(int seat) const;

    // The same position with other cards in the hands, each hand keeping its size: what a
    // computer player's search plays out in place of the hands it cannot see.
    Round withHands(std::array<std::vector<int>, 4> hands) const;

    // ---- State
    int turn() const { return m_over ? -1 : m_turn; }
    bool mustLead() const { return m_mustLead; }
    bool over() const { return m_over; }
    const std::vector<int>& lastPlay() const { return m_lastPlay; }  // empty when leading
    int lastPlayer() const { return m_lastPlayer; }                  // -1 when leading
    const std::vector<int>& hand(int seat) const { return m_hands[seat]; }
    bool isOut(int seat) const { return m_hands[seat].empty(); }
    int tablePoints() const { return m_tablePoints; }
    const std::array<int, 2>& teamPoints() const { return m_teamPoints; }
    const std::vector<int>& finishOrder() const { return m_finishOrder; }
    // How many of each code (0..53) every play so far has shown: what all four seats have seen.
    const std::array<int, kCardsPerDeck>& played() const { return m_played; }
    // Each seat's result by the rule of Scoring.h; only meaningful once over.
    std::array<int, 4> results() const;

private:
    bool takeFromHand(int seat, const std::vector<int>& cards);
    int nextSeatIn(int seat) const;
    int seatsInBesides(int seat) const;
    void finish(int lastSeat);

    std::array<std::vector<int>, 4> m_hands;
    int m_turn = 0;
    bool m_mustLead = true;
    bool m_over = false;
    std::vector<int> m_lastPlay;
    int m_lastPlayer = -1;
    int m_passes = 0;  // passes since the last play
    int m_tablePoints = 0;
    std::array<int, 2> m_teamPoints{};
    std::vector<int> m_finishOrder;
    std::array<int, kCardsPerDeck> m_played{};
};

}  // namespace server
