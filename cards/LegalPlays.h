#pragma once
// Every play a hand can make on the last play: what the computer players choose from.

#include <vector>

#include "cards/HandRules.h"

// Every distinct play (a sorted multiset of codes taken from hand, each listed once) that canBeat
// accepts against lastPlay; every legal lead when lastPlay is empty. Plays are built from the
// hand's per-rank card counts, kind by kind, never by trying subsets, so a 27-card hand is
// answered in microseconds to a few milliseconds. Codes outside 0..53 in the hand are ignored.
// Plays come grouped by kind; the order within is unspecified.
std::vector<std::vector<int>> legalPlays(const std::vector<int>& hand,
                                         const std::vector<int>& lastPlay);
