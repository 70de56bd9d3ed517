#pragma once
// Shuffling and dealing two 54-card decks.

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "cards/CardCode.h"

namespace server {

inline constexpr int kDecks = 2;
// The codes 0..53: every card of one deck, as cards/ counts the game's cards.
inline constexpr int kCardsPerDeck = static_cast<int>(kGameCards) / kDecks;
inline constexpr int kFullDeal = kDecks * kCardsPerDeck / 4;  // 27 cards a player

// Shuffles both decks together and gives each seat `cardsPerPlayer` cards (1 to kFullDeal), each
// hand sorted by code. With fewer than kFullDeal cards a player, the rest stay undealt.
std::array<std::vector<int>, 4> dealHands(std::mt19937_64& rng, int cardsPerPlayer);

}  // namespace server
