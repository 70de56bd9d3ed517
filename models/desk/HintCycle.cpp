#include "models/desk/HintCycle.h"

#include <algorithm>
#include <tuple>

#include "cards/HandRules.h"
#include "cards/LegalPlays.h"

namespace {

struct Ranked {
    bool strong = false;  // a bomb or same cards
    int value = 0;
    std::vector<int> codes;  // ascending
};

}  // namespace

std::vector<std::vector<int>> hintOrder(const std::vector<int>& hand,
                                        const std::vector<int>& lastPlay) {
    std::vector<Ranked> ranked;
    for (std::vector<int>& play : legalPlays(hand, lastPlay)) {
        std::sort(play.begin(), play.end());
        const HandType type = classifyHand(play);
        ranked.push_back(
            {type.kind == HAND_BOMB || type.kind == HAND_SAME_CARDS, type.value, std::move(play)});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        const std::size_t aCards = a.codes.size(), bCards = b.codes.size();
        return std::tie(a.strong, a.value, aCards, a.codes) <
               std::tie(b.strong, b.value, bCards, b.codes);
    });
    std::vector<std::vector<int>> plays;
    plays.reserve(ranked.size());
    for (Ranked& r : ranked) {
        plays.push_back(std::move(r.codes));
    }
    return plays;
}

const std::vector<int>& HintCycle::next(const std::vector<int>& hand,
                                        const std::vector<int>& lastPlay) {
    static const std::vector<int> kNothing;
    if (!m_built) {
        m_plays = hintOrder(hand, lastPlay);
        m_next = 0;
        m_built = true;
    }
    if (m_plays.empty()) {
        return kNothing;
    }
    const std::vector<int>& play = m_plays[m_next];
    m_next = (m_next + 1) % m_plays.size();
    return play;
}

void HintCycle::reset() {
    m_plays.clear();
    m_next = 0;
    m_built = false;
}
