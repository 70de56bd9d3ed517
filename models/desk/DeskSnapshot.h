#pragma once
// The desk as a spectator's client knows it: a record in the shape of the server's "resume",
// begun from the "watch" answer and kept up to date from the desk's public messages, so that the
// spectator's desk can be laid out again from any seat's point of view. Plain data, no engine;
// main thread only.
//
//   message                 the record
//   "watch"                 its copy, as a "resume" of no seat
//   "change"                each seat's name and ready; a seat left empty holds nothing
//   "game" per -1           a new game: every seat holds `surplus`, nothing on the table, the
//                           team scores 0
//   "game" per s            s holds `surplus`, and has `cards` on the table (a pass when empty)
//   "game" (every one)      the table's score; the turn of `now` (-1 for none) with `must`;
//                           seat `now`'s table is cleared, and every seat's when `must` is set
//   "score"                 p0, p1
//   "presence"              each seat's away and auto
//   "over", "run"           between games: no turn, nothing held or on the table, scores 0
//   anything else           nothing
// It keeps no `seen`, `last` or `left`: the spectator has no tracker and no turn of its own, and
// the desk counts the running turn down itself.

#include "net/Message.h"

class DeskSnapshot {
public:
    // Begins from an accepted "watch" answer.
    void start(const stMsg& watch);
    void follow(const stMsg& msg);

    // The desk as a "resume" of no seat (`site` -1) would show it.
    const stMsg& state() const { return m_state; }
    // The cards seat `site` holds: 0 between games, for a number that names no seat, or a
    // count that is not a number; at most a full deal.
    int cardsLeft(int site) const;
    // Between games with at least one seat free.
    bool seatFree() const;

private:
    void followGame(const stMsg& game);
    void clearTable(st_seat_info& seat);

    stMsg m_state;
};
