#pragma once
// Card codes and the card-list text.
//
// A card is one int: code = 4 * rank index + suit index. Rank 0 is the ace, 1 the two, ... 12 the
// king, 13 the jokers (52 black, 53 red); suits 0 and 1 are black, 2 and 3 red. Two-deck games
// hold the same code more than once, so nothing here assumes a code is unique.
// Pure C++: shared by the client and the server.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

constexpr int kBlackJoker = 52;
constexpr int kRedJoker = 53;

// The five of suit 3: above every other single card, and nothing beats it.
constexpr int kSpecialCard = 19;

// Every card of the game's two 54-card decks: no hand, play or table holds more.
constexpr std::size_t kGameCards = 108;

// ---- Ranks ----------------------------------------------------------------------------------
// Rank indices by name, and how many there are: the ace to the king have four suits each, the
// jokers' rank two codes.
constexpr int kAceRank = 0;
constexpr int kKingRank = 12;
constexpr int kJokerRank = 13;
constexpr int kSuitedRanks = 13;  // ace .. king

// ---- One code -------------------------------------------------------------------------------
// Plain integer quotient and remainder by 4 (any int is accepted; only 0..53 are cards).
int rankIndex(int code);
int suitIndex(int code);
int cardCode(int rank, int suit);  // 4 * rank + suit: the inverse of the two above
bool isJoker(int code);            // 52 or 53
bool isValidCode(int code);        // 0..53

// ---- Card-list text -------------------------------------------------------------------------
// Splits at every "," and drops empty pieces; each piece reads like atoi (leading blanks, an
// optional sign, digits up to the first other character, no digits gives 0), saturating at the
// int range instead of overflowing. Codes come out in text order and are not range-checked.
std::vector<int> parseCardList(std::string_view text);
// The same, keeping at most the game's kGameCards codes: a list from the network longer than
// every card of the game is no play, and would otherwise become as many sprites.
std::vector<int> parseGameCardList(std::string_view text);

// Appends every code in decimal followed by "," ("8,9,10," for 8, 9, 10; nothing for none).
void formatCardList(const std::vector<int>& codes, std::string& out);

// ---- Hand order -----------------------------------------------------------------------------
// Ascending numeric code: aces first, kings, then the black and the red joker.
void sortHand(std::vector<int>& codes);
