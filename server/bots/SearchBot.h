#pragma once
// The `hard` computer player: normal's rules plus a search over the hands it cannot see.
//
//   1. candidates: normal's own choice first, then the other sensible plays (the plan's plays
//      when leading; a pass, the best ordinary answer for each number of plays it leaves, the
//      highest one and the smallest bomb when following), at most kSearchCandidates in all
//   2. one candidate: played at once, no search
//   3. otherwise, deal after deal until the budget is spent: the unseen cards are dealt to the
//      other seats as many as each holds (SeatView::sample); every candidate is played in that
//      same deal and the game played out to its end with normal's rules for all four seats
//   4. outcome for the seat's team: the game's result (-2 .. +2) plus a quarter of the point
//      difference in hundreds. Another candidate replaces normal's choice only when its mean gain
//      over it in the same deals is above zero by more than one standard error (few deals give
//      noisy means, and a noisy pick plays worse than normal); the best such gain wins
//
// Decides from the SeatView alone, so it never sees the real hands.

#include <cstdint>
#include <vector>

#include "server/bots/BotLevel.h"
#include "server/bots/SeatView.h"

namespace server {

inline constexpr int kSearchCandidates = 6;

std::vector<int> chooseSearchPlay(const SeatView& view, const SearchBudget& budget,
                                  std::uint64_t seed);

// Plays `round` to its end with normal's rules for every seat; what the search measures.
// Returns the number of moves made.
long playOutNormal(Round& round);

}  // namespace server
