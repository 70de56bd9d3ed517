#pragma once
// The hint button's list of plays and where the presses have got to in it.
//
// The list is every play the hand can make on the last play (legalPlays), in the order a player
// would try them:
//
//   1. ordinary hands before bombs and same cards (those are kept for when nothing else will do)
//   2. then the lower value (classifyHand's, the one canBeat compares)
//   3. then fewer cards
//   4. then the lower codes, so that the order never depends on legalPlays' own
//
// It is made once per turn, at the first press, from the hand as it is then; each press gives
// the next play and the presses start again from the first after the last. The desk forgets the
// list when a turn starts, a hand is dealt or the game ends. No list (nothing beats the last
// play): every press gives nothing.

#include <cstddef>
#include <vector>

class HintCycle {
public:
    // The next play to raise, made from `hand` and `lastPlay` if this turn has no list yet; empty
    // when nothing in the hand beats the last play.
    const std::vector<int>& next(const std::vector<int>& hand, const std::vector<int>& lastPlay);
    // Forgets the list: the next press builds it anew.
    void reset();
    bool built() const { return m_built; }

private:
    std::vector<std::vector<int>> m_plays;  // sorted as above
    std::size_t m_next = 0;                 // index of the play the next press gives
    bool m_built = false;
};

// The plays of `hand` on `lastPlay` in hint order (exposed for tests and for the list above).
std::vector<std::vector<int>> hintOrder(const std::vector<int>& hand,
                                        const std::vector<int>& lastPlay);
