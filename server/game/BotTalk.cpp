#include "server/game/BotTalk.h"

#include "wire/GameConstants.h"

namespace server {

std::optional<BotRemark> botRemark(TalkMoment moment, int actor, BotLevel level,
                                   const std::array<bool, 4>& bots, std::mt19937_64& rng) {
    static constexpr int kPartner[3] = {kSayWellPlayed, kSayTeamwork, kEmoteCool};
    static constexpr int kOpponent[3] = {kSayLetMeThink, kEmoteSurprised, kEmoteSad};
    if (level == BotLevel::Easy || actor < 0 || actor > 3) {
        return std::nullopt;
    }
    const bool partner = moment == TalkMoment::PartnerTookTrick;
    const int seat = (actor + (partner ? 2 : 1)) % 4;
    if (!bots[seat]) {
        return std::nullopt;
    }
    const std::uint64_t draw = rng();
    if (draw % kBotTalkOdds != 0) {
        return std::nullopt;
    }
    const std::uint64_t pick = (draw / kBotTalkOdds) % 3;
    return BotRemark{seat, (partner ? kPartner : kOpponent)[pick]};
}

}  // namespace server
