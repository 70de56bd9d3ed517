#pragma once
// Where a turn's countdown starts, from the record that began it. The server's turn timer starts
// when it sends the message; a record handled late (after a stall, a modal box, a busy machine)
// must not show the full count, so the record's age since its frame arrived is taken off.
//
//   record                       countdown starts at                       bounds
//   "game" naming seat `now`     kTurnSeconds - age, whole seconds down    0 .. kTurnSeconds
//   "resume" naming seat `now`   left (ms) - age, whole seconds up         0 .. kTurnSeconds
//
// Plain functions with the time passed in, so the table is tested without a scene.

#include <chrono>

struct stMsg;

using TurnClockTime = std::chrono::steady_clock::time_point;

// Whole seconds from the record's arrival to `now`, rounded down; 0 when `now` is earlier.
int recordAgeSeconds(const stMsg& msg, TurnClockTime now);
// The countdown of a turn a "game" record began.
int turnStartSeconds(const stMsg& game, TurnClockTime now);
// The countdown of the turn running in a "resume" record.
int resumedTurnSeconds(const stMsg& resume, TurnClockTime now);
