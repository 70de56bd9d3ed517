#include "server/game/Deal.h"

#include <algorithm>
#include <cassert>

namespace server {

std::array<std::vector<int>, 4> dealHands(std::mt19937_64& rng, int cardsPerPlayer) {
    assert(cardsPerPlayer >= 1 && cardsPerPlayer <= kFullDeal && "deal size out of range");
    std::vector<int> pack;
    pack.reserve(kDecks * kCardsPerDeck);
    for (int deck = 0; deck < kDecks; ++deck) {
        for (int code = 0; code < kCardsPerDeck; ++code) {
            pack.push_back(code);
        }
    }
    std::shuffle(pack.begin(), pack.end(), rng);
    std::array<std::vector<int>, 4> hands;
    for (int seat = 0; seat < 4; ++seat) {
        auto first = pack.begin() + seat * cardsPerPlayer;
        hands[seat].assign(first, first + cardsPerPlayer);
        std::sort(hands[seat].begin(), hands[seat].end());
    }
    return hands;
}

}  // namespace server
