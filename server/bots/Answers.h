#pragma once
// The plays a computer player considers against a last play: legalPlays, kept small enough for
// every decision of a search's play-outs.
//
//   last play                    answers
//   the special card (alone or   none: nothing beats it
//   paired)
//   single, pair, triple         per rank, the lowest single, pair or triple of it that beats
//                                the last play (the bots take the lowest answer that keeps
//                                their plan, and the plan depends on ranks only); plus bombs as
//                                below
//   bomb, same cards             legalPlays itself
//   pair run, triple run,        legalPlays on the hand cut to its highest 2 (3 for triples)
//   triple with a pair           cards of each rank, so one way per set of ranks instead of
//                                every combination of suits; plus, for every rank of four cards
//                                or more, its four lowest cards and the whole rank as bombs
// Every answer is one of legalPlays(hand, lastPlay); with the suits cut, the rare answer that
// needs a lower suit than the rank's highest is not offered.

#include <vector>

namespace server {

std::vector<std::vector<int>> answerPlays(const std::vector<int>& hand,
                                          const std::vector<int>& lastPlay);

}  // namespace server
