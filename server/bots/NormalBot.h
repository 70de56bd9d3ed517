#pragma once
// The `normal` computer player: rules a good human partner would recognise, from what its seat
// has seen (SeatView) and the plan of its hand (HandPlan).
//
//   situation                          choice
//   a play empties the hand            taken
//   leading, partner has 1 card        its lowest single; partner has 2: its lowest pair
//   leading, an opponent has 1 card    no single unless nothing else is left, then the highest
//   leading, 3 plays or fewer left     a play no one else can beat first (keeps the lead)
//   leading otherwise                  the plan's longest play (not a bomb), the lowest among
//                                      equals
//   partner made the last play         pass, unless an opponent with 2 cards or fewer may beat
//                                      it: then overtake with an ordinary play no one can beat
//   an opponent made it                the ordinary play that leaves the fewest plays, then the
//                                      lowest; taken when it fits the plan (but an ace or more
//                                      only for 10 points or near the end), when an opponent has
//                                      5 cards or fewer, or the table holds 10 points; else pass
//   bombs                              only for a trick that matters: an opponent with 4 cards
//                                      or fewer, the partner with 2 or fewer, a bomb that leaves
//                                      one play, or 20 points on the table that no opponent's
//                                      bomb may take back (35 points whatever they hold)
//
// Whatever it returns is legal: one of legalPlays(hand, lastPlay) or a plan play when leading,
// or empty (a pass) when following.

#include <vector>

#include "server/bots/SeatView.h"

namespace server {

std::vector<int> chooseNormalPlay(const SeatView& view);

}  // namespace server
