#pragma once
// Seeded deals from two 54-card decks, for the card-rule tests and benchmarks.

#include <algorithm>
#include <random>
#include <vector>

#include "cards/CardCode.h"

// 108 cards: every code 0..53 twice.
inline std::vector<int> twoDecks() {
    std::vector<int> deck;
    for (int copy = 0; copy < 2; ++copy) {
        for (int code = 0; code <= 53; ++code) deck.push_back(code);
    }
    return deck;
}

// `count` cards off the top of a freshly shuffled double deck, sorted.
inline std::vector<int> dealHand(std::mt19937& rng, std::size_t count) {
    std::vector<int> deck = twoDecks();
    std::shuffle(deck.begin(), deck.end(), rng);
    deck.resize(std::min(count, deck.size()));
    sortHand(deck);
    return deck;
}
