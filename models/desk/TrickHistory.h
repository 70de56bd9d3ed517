#pragma once
// The tricks of the game as the server's messages tell them: the plays and passes of the trick in
// progress and of the last one that ended, for the desk's 上一轮 view. It is fed every decoded
// message and keeps nothing else; it never reads the table's sprites. Main thread only.
//
// A trick ends when the seat to move opens a new one: a "game" message with a seat in `per`
// (the last pass, after which the trick's winner, or the partner of a winner who went out,
// leads) and `must` not 0. The opening "game" of a deal (`per` -1) begins the first trick. The
// play that ends a game (`now` -1) ends no trick: the table keeps it in view.
//
//   message                           the trick in progress          the last trick
//   "start"                           none known yet                 none
//   "game" per -1, must != 0          begins, seen from its lead     unchanged
//   "game" per s, must 0              s's play or pass added         unchanged
//   "game" per s, must != 0           s's action added; it ends      the trick that ended, when
//                                     and a new one begins            it was seen from its lead
//   "resume" playing, must != 0       begins, seen from its lead     none
//   "resume" playing, must 0          joined midway: not shown when  none
//                                     it ends
//   "resume" between games            none                           none

#include <array>
#include <optional>
#include <vector>

#include "models/desk/PlayerInfo.h"

struct stMsg;

// One action of a trick: `seat` played `cards` as the server sent them; empty cards for a pass.
struct TrickPlay {
    int seat = -1;
    std::vector<int> cards;
    bool operator==(const TrickPlay&) const = default;
};

class TrickHistory {
public:
    // What each seat did in a trick: the last cards it played in it, an empty list when it only
    // passed, nothing when it did not act (it was out).
    using Table = std::array<std::optional<std::vector<int>>, kSeatCount>;

    // Takes "start", "game" and "resume"; any other kind changes nothing. A `per` that names no
    // seat is not an action.
    void follow(const stMsg& msg);
    // Nothing is known any more (the desk was cleared for the next game).
    void forget();

    bool hasLast() const { return !m_last.empty(); }
    // The last trick that ended, its actions in the order made; empty when none is known.
    const std::vector<TrickPlay>& last() const { return m_last; }
    Table lastTable() const;

private:
    void followGame(const stMsg& msg);

    std::vector<TrickPlay> m_current;  // the trick in progress, so far
    bool m_currentSeen = false;        // m_current holds that trick from its lead
    std::vector<TrickPlay> m_last;
};
