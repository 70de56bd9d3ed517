#include "server/bots/NormalBot.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "server/bots/Answers.h"
#include "server/bots/HandPlan.h"
#include "server/game/Scoring.h"

namespace server {

namespace {

constexpr int kDangerCards = 5;         // an opponent this close to going out must be stopped
constexpr int kBombDangerCards = 4;     // ... with a bomb if need be
constexpr int kPartnerNearlyOut = 2;    // a partner this close is worth a bomb's lead
constexpr int kOvertakeDanger = 2;      // an opponent this close may follow the partner's play out
constexpr int kPointsWorthBeating = 10;
constexpr int kPointsWorthBomb = 20;
constexpr int kPointsWorthAnyBomb = 35;
constexpr int kEndgamePlays = 3;

struct Choice {
    std::vector<int> cards;
    HandType type;
    int playsLeft = 0;  // plays the rest of the hand needs afterwards
};

bool goesOut(const SeatView& view, const std::vector<int>& play) {
    return play.size() == view.hand().size();
}

std::vector<int> lowestSingle(const std::vector<int>& hand) {
    return {*std::min_element(hand.begin(), hand.end(),
                              [](int a, int b) { return singleValue(a) < singleValue(b); })};
}

std::vector<int> lead(const SeatView& view) {
    const std::vector<int>& hand = view.hand();
    if (classifyHand(hand).kind != HAND_NONE) {
        return hand;
    }
    std::vector<PlannedPlay> plan = planHand(hand);
    const int partner = partnerOf(view.seat());
    const int partnerCards = view.cardsLeft(partner);
    if (partnerCards == 1) {
        return lowestSingle(hand);
    }
    if (partnerCards == kPartnerNearlyOut) {
        std::optional<PlannedPlay> pair;
        for (const PlannedPlay& play : plan) {
            if (play.type.kind == HAND_PAIR && (!pair || play.type.value < pair->type.value)) {
                pair = play;
            }
        }
        return pair ? pair->cards : lowestSingle(hand);
    }
    // Ordinary before bombs, more cards first (they are the hardest to answer), then low first.
    std::sort(plan.begin(), plan.end(), [](const PlannedPlay& a, const PlannedPlay& b) {
        const auto key = [](const PlannedPlay& p) {
            return std::make_tuple(isPowerKind(p.type.kind), -static_cast<long>(p.cards.size()),
                                   p.type.value);
        };
        return key(a) < key(b);
    });
    if (view.fewestOpponentCards() == 1) {
        for (const PlannedPlay& play : plan) {
            if (play.type.kind != HAND_SINGLE) {
                return play.cards;
            }
        }
        return plan.back().cards;  // only singles: the highest, the one least likely beaten
    }
    if (static_cast<int>(plan.size()) <= kEndgamePlays) {
        for (const PlannedPlay& play : plan) {
            if (!isPowerKind(play.type.kind) && !view.othersMayBeat(play.cards, play.type)) {
                return play.cards;
            }
        }
    }
    return plan.front().cards;
}

// The ordinary beating play that leaves the fewest plays, then the lowest; and the smallest bomb.
void bestAnswers(const SeatView& view, const std::vector<std::vector<int>>& plays,
                 std::optional<Choice>& ordinary, std::optional<Choice>& bomb) {
    for (const std::vector<int>& play : plays) {
        Choice choice{play, classifyHand(play), 0};
        if (isPowerKind(choice.type.kind)) {
            choice.playsLeft = countPlaysAfter(view.hand(), play);
            const auto key = [](const Choice& c) {
                return std::make_tuple(c.type.kind == HAND_SAME_CARDS, c.cards.size(),
                                       c.type.value);
            };
            if (!bomb || key(choice) < key(*bomb)) {
                bomb = std::move(choice);
            }
            continue;
        }
        choice.playsLeft = countPlaysAfter(view.hand(), play);
        const auto key = [](const Choice& c) { return std::make_tuple(c.playsLeft, c.type.value); };
        if (!ordinary || key(choice) < key(*ordinary)) {
            ordinary = std::move(choice);
        }
    }
}

std::vector<int> answerPartner(const SeatView& view, const std::optional<Choice>& ordinary) {
    const HandType last = classifyHand(view.lastPlay());
    if (view.fewestOpponentCards() > kOvertakeDanger || !ordinary ||
        !view.othersMayBeat(view.lastPlay(), last)) {
        return {};
    }
    if (view.othersMayBeat(ordinary->cards, ordinary->type)) {
        return {};
    }
    return ordinary->cards;
}

std::vector<int> answerOpponent(const SeatView& view, const std::optional<Choice>& ordinary,
                                const std::optional<Choice>& bomb) {
    const int planned = countPlays(view.hand());
    const int opponentCards = view.fewestOpponentCards();
    if (ordinary) {
        // Aces and above win tricks later: not spent on a cheap trick while the hand is long.
        const int lowestAce = topCardValue(cardCode(kAceRank, 0));
        const bool spendsControl = ordinary->type.value >= lowestAce &&
                                   view.tablePoints() < kPointsWorthBeating &&
                                   planned > kEndgamePlays;
        const bool fits = ordinary->playsLeft < planned && !spendsControl;
        const bool urgent = opponentCards <= kDangerCards;
        const bool points = view.tablePoints() >= kPointsWorthBeating &&
                            ordinary->playsLeft <= planned;
        if (fits || urgent || points) {
            return ordinary->cards;
        }
    }
    if (ordinary || !bomb) {
        return {};  // an ordinary answer not worth playing: a bomb is worth less still
    }
    const bool danger = opponentCards <= kBombDangerCards;
    const bool partnerNear = view.cardsLeft(partnerOf(view.seat())) > 0 &&
                             view.cardsLeft(partnerOf(view.seat())) <= kPartnerNearlyOut;
    const bool leadsOut = bomb->playsLeft <= 1;
    const bool safePoints = view.tablePoints() >= kPointsWorthBomb &&
                            !view.othersMayBeat(bomb->cards, bomb->type);
    const bool bigPoints = view.tablePoints() >= kPointsWorthAnyBomb;
    return danger || partnerNear || leadsOut || safePoints || bigPoints ? bomb->cards
                                                                       : std::vector<int>{};
}

}  // namespace

std::vector<int> chooseNormalPlay(const SeatView& view) {
    if (view.leading()) {
        return lead(view);
    }
    const std::vector<std::vector<int>> plays = answerPlays(view.hand(), view.lastPlay());
    for (const std::vector<int>& play : plays) {
        if (goesOut(view, play)) {
            return play;
        }
    }
    std::optional<Choice> ordinary;
    std::optional<Choice> bomb;
    bestAnswers(view, plays, ordinary, bomb);
    if (view.partnerMadeLastPlay()) {
        return answerPartner(view, ordinary);
    }
    return answerOpponent(view, ordinary, bomb);
}

}  // namespace server
