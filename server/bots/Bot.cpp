#include "server/bots/Bot.h"

#include <optional>
#include <tuple>

#include "cards/HandRules.h"
#include "cards/LegalPlays.h"
#include "server/bots/HandPlan.h"

namespace server {

namespace {

// An opponent with this many cards or fewer may go out soon: worth a bomb to stop.
constexpr int kDangerCards = 6;

// Orders plays cheapest first: ordinary before power, then the lower value, then more cards
// (shedding more for the same strength).
struct Candidate {
    const std::vector<int>* cards = nullptr;
    HandType type;

    auto key() const {
        return std::make_tuple(isPowerKind(type.kind), isPowerKind(type.kind) ? cards->size() : 0u,
                               type.value, -static_cast<long>(cards->size()));
    }
};

}  // namespace

std::vector<int> chooseBotPlay(const BotView& view) {
    const std::vector<std::vector<int>> plays = legalPlays(view.hand, view.lastPlay);
    const bool leading = view.lastPlay.empty();

    std::optional<Candidate> best;
    for (const auto& play : plays) {
        Candidate candidate{&play, classifyHand(play)};
        const bool goesOut = play.size() == view.hand.size();
        if (goesOut && !(view.partnerMadeLastPlay && isPowerKind(candidate.type.kind))) {
            return play;  // going out beats any other consideration
        }
        if (!best || candidate.key() < best->key()) {
            best = candidate;
        }
    }
    if (!best) {
        return {};
    }
    if (leading) {
        return *best->cards;
    }
    if (view.partnerMadeLastPlay) {
        return {};
    }
    if (!isPowerKind(best->type.kind)) {
        return *best->cards;
    }
    const bool worthBomb = view.tablePoints > 0 || view.fewestOpponentCards <= kDangerCards;
    return worthBomb ? *best->cards : std::vector<int>{};
}

}  // namespace server
