#pragma once
// The cards the desk sent for the local seat that the server has not yet echoed back.
//
// The hand gives up a play's cards when it is sent, before the server has accepted it. The
// server's next "game" message for the local seat settles it:
//
//   echo                          the hand                         the card sound
//   the same cards (any order)    stays as it is                   not played again if the press
//                                                                  played it
//   other cards                   gets the pending cards back,     played
//                                 then loses the echoed ones
//   a pass                        gets the pending cards back      (the pass sound)
//
// A play sent while another waits joins it: every card the server has not confirmed is pending.
// A new deal forgets it; the end of a game gives it back (the server took no play after it).

#include <vector>

class PendingPlay {
public:
    // `codes` were sent; `soundPlayed` when the press already played the card sound.
    void add(const std::vector<int>& codes, bool soundPlayed);
    void clear();
    bool empty() const { return m_codes.empty(); }
    // The pending cards, ascending.
    const std::vector<int>& codes() const { return m_codes; }
    // True when `echoed` holds exactly the pending cards, in any order.
    bool isEchoedBy(const std::vector<int>& echoed) const;
    bool soundPlayed() const { return m_soundPlayed; }

private:
    std::vector<int> m_codes;
    bool m_soundPlayed = false;
};
