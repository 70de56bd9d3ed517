#pragma once
// What a computer player says at the desk, and when: a few moments of a round, answered now and
// then. Pure: the caller passes the moment and a generator; nothing here touches a play.
//
//   moment                                        who answers              what (one of)
//   a seat's play takes a trick it won with a     that seat's partner      打得好！, 配合默契,
//   bomb, or with kManyTrickPoints or more        when a computer player   the cool emote
//   a seat plays a bomb                           the opponent after it    别急，我想想, the
//                                                 when a computer player   surprised or sad emote
// Each answer has a 1 in kBotTalkOdds chance. Never at BotLevel::Easy, and at most one remark a
// desk in kTalkEveryMillis (the limit a person has too).

#include <array>
#include <optional>
#include <random>

#include "server/bots/BotLevel.h"

namespace server {

inline constexpr int kBotTalkOdds = 5;
inline constexpr int kManyTrickPoints = 30;

enum class TalkMoment { PartnerTookTrick, OpponentBombed };

struct BotRemark {
    int seat = -1;
    int say = -1;
};

// `actor` is the seat whose play made the moment; `bots[seat]` says whether a computer player
// plays that seat now. Draws from `rng` only when the answering seat is a computer player.
std::optional<BotRemark> botRemark(TalkMoment moment, int actor, BotLevel level,
                                   const std::array<bool, 4>& bots, std::mt19937_64& rng);

}  // namespace server
