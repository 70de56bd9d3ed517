#pragma once
// The `easy` computer player: a simple, greedy strategy over every legal play, with no memory
// of the cards seen and no plan (NormalBot.h and SearchBot.h build on more).
//
//   situation                      choice
//   leading                        the lowest play that is not a bomb or same cards (fewest
//                                  such "power" cards), more cards first among equal values;
//                                  bombs only when nothing else is left
//   a play that empties the hand   always taken (unless it would bomb the partner's play)
//   the partner made the last play pass
//   an opponent made it            the cheapest ordinary play that beats it; failing that, the
//                                  cheapest bomb when the table holds points or an opponent is
//                                  close to going out; otherwise pass
//
// Whatever it returns is one of legalPlays(hand, lastPlay), or empty (a pass) when following.

#include <vector>

#include "server/game/Deal.h"

namespace server {

struct BotView {
    const std::vector<int>& hand;      // sorted
    const std::vector<int>& lastPlay;  // empty when leading
    bool partnerMadeLastPlay = false;
    int tablePoints = 0;
    int fewestOpponentCards = kFullDeal;  // cards of the opponent nearest to going out (still in)
};

std::vector<int> chooseBotPlay(const BotView& view);

}  // namespace server
