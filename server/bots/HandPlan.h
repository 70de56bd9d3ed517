#pragma once
// A hand split into as few plays as the computer players can find: the plan they play from, and
// the measure of what a play costs them (how many plays the rest of the hand then needs).
//
//   step   takes                                                   kept as
//   1      every rank with four cards or more                       one bomb, whole
//   2      three or more consecutive ranks holding exactly three    a triple run
//   3      four or more consecutive ranks holding exactly two       a pair run
//   4      each triple left, lowest first, with the lowest pair     a triple with a pair
//   5      what is left                                             triples, pairs, singles
// Runs follow the rules' run order, "lowest" their value order (both in HandRules.h). A black and
// a red joker are two singles (only identical jokers pair). Greedy, not optimal: fast enough for
// every decision of a search's play-outs.

#include <vector>

#include "cards/HandRules.h"

namespace server {

struct PlannedPlay {
    std::vector<int> cards;  // sorted
    HandType type;
};

std::vector<PlannedPlay> planHand(const std::vector<int>& hand);

// planHand(hand).size(), without building the plays.
int countPlays(const std::vector<int>& hand);

// countPlays of `hand` once `play` (sorted, all held) has left it.
int countPlaysAfter(const std::vector<int>& hand, const std::vector<int>& play);

}  // namespace server
