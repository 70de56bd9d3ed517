#pragma once
// Hand classification and comparison: is a set of cards a legal hand, and does it beat the last
// play? Stateless and pure C++; the client checks the player's play with it before sending, the
// server and its computer players use the same rules.
//
// Recognisers, tried in this order on the codes c0..c(n-1) (ascending); the first match wins:
//
//   kind               | n           | accepts                                | value
//   -------------------+-------------+----------------------------------------+------------------
//   1 single           | 1           | any card                               | single(c0)
//   2 pair             | 2           | one rank; jokers only if identical     | joker: single(c0)
//                      |             |                                        | 19,19: 1000
//                      |             |                                        | else top(c1)
//   3 triple           | 3           | one rank, not 3 identical, no joker    | top(c2)
//   5 bomb             | 4..16       | one rank, no joker, not 4 identical    | top(c(n-1))
//   4 same cards       | 3 or 4      | identical codes (jokers too)           | same(c0)
//   6 pair run         | even, >= 8  | pairs of consecutive ranks, no joker   | top(c(n-1))
//   8 triple run       | 3k, >= 9    | triples of consecutive ranks, no joker | top(c(n-1))
//   7 triple with pair | 5, not bomb | ranks xxxyy or xxyyy (jokers: rank 13) | top of the triple
// (single, top, same: singleValue, topCardValue, sameCardsValue below.)
//
// Runs whose first group is aces put the aces above the king: the rest must run up to a king,
// the aces are not tested for adjacency, and the value is the top ace's (topCardValue(c1) for
// pairs, topCardValue(c2) for triples). So J Q K A is a pair run, A 2 3 4 is not.
//
// Comparison (canBeat): a candidate must be a legal hand of valid codes. Nothing beats a last
// play of value 1000 (the special card 19 alone or repeated). Any legal hand leads. Same cards
// beat bombs, and both beat every other kind; two bombs or two same cards: more cards win, then
// the strictly higher value. Any other kind beats only the same kind with the same number of
// cards and a strictly higher value.

#include <cstddef>
#include <vector>

#include "cards/CardCode.h"

enum HandKind : int {
    HAND_NONE = 0,
    HAND_SINGLE = 1,
    HAND_PAIR = 2,
    HAND_TRIPLE = 3,
    HAND_SAME_CARDS = 4,
    HAND_BOMB = 5,
    HAND_PAIR_RUN = 6,
    HAND_TRIPLE_WITH_PAIR = 7,
    HAND_TRIPLE_RUN = 8,
};

struct HandType {
    int kind = HAND_NONE;
    int value = 0;  // 0 when kind is HAND_NONE
};

struct BeatResult {
    bool ok = false;
    int kind = HAND_NONE;  // the candidate's kind, meaningful when ok
};

// ---- Sizes and the unbeatable value ---------------------------------------------------------
// The limits of the recognisers above, and the value of the special card alone or repeated.
constexpr int kMinBombCards = 4;
constexpr int kMaxBombCards = 16;
constexpr int kMinPairRunCards = 8;
constexpr int kMinTripleRunCards = 9;
constexpr int kUnbeatableValue = 1000;

// Bombs and same cards: the kinds that beat every other kind.
constexpr bool isPowerKind(int kind) {
    return kind == HAND_BOMB || kind == HAND_SAME_CARDS;
}

// ---- Card values ----------------------------------------------------------------------------
//   function       | 19   | jokers    | aces, twos (0..7)     | other codes
//   singleValue    | 1000 | c + 100   | c + 54                | c
//   topCardValue   | 19   | c + 100   | c + 54                | c
//   sameCardsValue | 1000 | c + 500   | c + 52 * suit + 52    | c + 52 * suit
// Codes outside 0..53 get a value clamped to the int range, never an overflow.
int singleValue(int code);
int topCardValue(int code);
int sameCardsValue(int code);

// ---- Rank orders ----------------------------------------------------------------------------
// The ace to the king (rank indices 0..12) by position 0..12; other positions are not ranks.
//   function         | position 0 | 1 .. 10       | 11   | 12
//   rankInRunOrder   | two (1)    | three .. queen | king | ace (0): runs put it above the king
//   rankInValueOrder | three (2)  | four .. king   | ace  | two (1): topCardValue ascends
// A run is consecutive positions of the run order; it does not wrap from the ace to the two.
// Inline: the computer players' hand plan walks these orders in every decision.
constexpr int rankInRunOrder(int position) {
    return (position + 1) % kSuitedRanks;
}
constexpr int rankInValueOrder(int position) {
    return (position + 2) % kSuitedRanks;
}

// ---- Classification and comparison ----------------------------------------------------------
// Expects ascending codes; reads cards by position, so unsorted input still gives the same kinds
// 1 to 5 (values and kinds 6 to 8 need the order). Safe for any input, out-of-range codes too.
HandType classifyHand(const std::vector<int>& codes);

// Whether candidate may be played on lastPlay (empty when leading). Sorts both lists in place.
BeatResult canBeat(std::vector<int>& lastPlay, std::vector<int>& candidate);

// canBeat's comparison step on hands already classified, for callers that classify once and
// compare many times (the legal-play finder, the computer players). last: the last play and its
// card count (0 when leading); candidate likewise, non-empty and of valid codes only.
BeatResult beatClassified(const HandType& last, std::size_t lastCount, const HandType& candidate,
                          std::size_t candidateCount);
