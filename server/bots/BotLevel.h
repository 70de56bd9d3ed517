#pragma once
// The computer players' levels and the one call that makes a decision at any of them.
//
//   level    player                                                    cost of a decision
//   easy     Bot.h: the cheapest play that beats, never the partner    microseconds
//   normal   NormalBot.h: card memory, partnership, a planned hand     tens of microseconds
//   hard     SearchBot.h: normal's candidates played out in sampled    the search budget
//            deals of the unseen cards
//
// decideBotPlay is pure and thread-safe: it reads only the round it is given, so a server may run
// it on a worker thread with a copy of the round.

#include <chrono>
#include <cstdint>
#include <string_view>
#include <vector>

#include "server/game/Round.h"

namespace server {

enum class BotLevel { Easy, Normal, Hard };

// "easy", "normal", "hard"; false for any other text.
bool parseBotLevel(std::string_view text, BotLevel& level);
const char* botLevelName(BotLevel level);

// How long hard may search one decision: it stops after the sampled deal during which either
// limit is reached (a zero limit is no limit; at least one must be set). The work limit alone
// gives the same choice on any machine, which the tournament and the tests rely on; it counts
// the moves (plays and passes) of the play-outs, so like time it buys many more deals near the
// end of a game than at its start.
struct SearchBudget {
    std::chrono::microseconds time{0};
    long moves = 0;
};

// The server's budget: about 30 ms of search on one core.
inline constexpr SearchBudget kServerSearchBudget{std::chrono::microseconds(30000), 0};

// The play (empty for a pass) of `seat`, whose turn it is, at `level`. `seed` drives the search's
// sampling; the other levels ignore it.
std::vector<int> decideBotPlay(BotLevel level, const Round& round, int seat,
                               const SearchBudget& budget, std::uint64_t seed);

}  // namespace server
