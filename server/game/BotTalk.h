#pragma once
// What a computer player says at the desk, and when: a few moments of a round, answered now and
// then. Pure: botRemark is given the moment and a generator, a desk's DeskRemarks its plays;
// nothing here touches a play.
//
//   moment                                        who answers              what (one of)
//   a seat's play takes a trick it won with a     that seat's partner      打得好！, 配合默契,
//   bomb, or with kManyTrickPoints or more        when a computer player   the cool emote
//   a seat plays a bomb                           the opponent after it    别急，我想想, the
//                                                 when a computer player   surprised or sad emote
// Each answer has a 1 in kBotTalkOdds chance. Never at BotLevel::Easy, and at most one remark a
// desk in kTalkEveryMillis (the limit a person has too).

#include <array>
#include <cstdint>
#include <optional>
#include <random>

#include "server/bots/BotLevel.h"
#include "server/game/DeskOutput.h"
#include "server/game/Round.h"

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

// One desk's remarks: the trick's bomb, the desk's last remark, and a generator of their own
// seeded from the desk's seed, so the deals and the plays never depend on the talk.
class DeskRemarks {
public:
    explicit DeskRemarks(std::uint64_t deskSeed);

    // After `seat`'s accepted play (`bomb`: a bomb) or pass, with `tableBefore` points on the table
    // before it, at `level`, `bots` as for botRemark: the remark to make now, if any.
    std::optional<BotRemark> afterPlay(int seat, bool bomb, const Round::Step& step,
                                       int tableBefore, BotLevel level,
                                       const std::array<bool, 4>& bots, Millis now);
    // The game ended: its trick is gone.
    void gameEnded() { m_trickBombed = false; }

private:
    std::mt19937_64 m_rng;
    bool m_trickBombed = false;    // the trick being played holds a bomb
    std::optional<Millis> m_last;  // the desk's last remark
};

}  // namespace server
