#include "server/game/BotTalk.h"

#include "wire/GameConstants.h"

namespace server {

namespace {

// Mixed into the desk's seed for the remarks' own generator.
constexpr std::uint64_t kTalkSeedSalt = 0x7A1C5EEDull;

}  // namespace

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

DeskRemarks::DeskRemarks(std::uint64_t deskSeed) : m_rng(deskSeed ^ kTalkSeedSalt) {}

std::optional<BotRemark> DeskRemarks::afterPlay(int seat, bool bomb, const Round::Step& step,
                                                int tableBefore, BotLevel level,
                                                const std::array<bool, 4>& bots, Millis now) {
    m_trickBombed = m_trickBombed || bomb;
    std::optional<BotRemark> said;
    if (bomb) {
        said = botRemark(TalkMoment::OpponentBombed, seat, level, bots, m_rng);
    }
    if (step.trickTaken) {
        if (!said && (m_trickBombed || tableBefore >= kManyTrickPoints)) {
            said = botRemark(TalkMoment::PartnerTookTrick, step.trickWinner, level, bots, m_rng);
        }
        m_trickBombed = false;
    }
    if (!said || (m_last && now < *m_last + Millis(kTalkEveryMillis))) {
        return std::nullopt;
    }
    m_last = now;
    return said;
}

}  // namespace server
