#pragma once
// Points of cards and the result of a finished game.
//
// Each five is worth 5 points, each ten and each king 10; with two decks a game holds 200 points
// (8 fives, 8 tens, 8 kings). The result rule, from the team that went out first (both partners
// out) and the teams' points at the end:
//
//   finishing order                      result of the team out first / the other team
//   places 1 and 2 (a clean sweep)       +2 / -2, whatever the points
//   otherwise, more points               +1 / -1 for the team with more points
//   otherwise, equal points (100-100)    0 / 0, a draw
//
// Partners always share a result. Team 0 is seats 0 and 2, team 1 seats 1 and 3.

#include <array>
#include <vector>

namespace server {

inline constexpr int kPointsPerTwoDecks = 200;

// The team of a seat: 0 for seats 0 and 2, 1 for seats 1 and 3.
constexpr int teamOf(int seat) {
    return seat % 2;
}
// The partner across the table.
constexpr int partnerOf(int seat) {
    return (seat + 2) % 4;
}

// 5 for a five, 10 for a ten or a king, 0 for any other code.
int cardPoints(int code);
int pointsOf(const std::vector<int>& cards);

// Each seat's signed result (above 0 won, below 0 lost, 0 drawn) by the rule above.
// `finishOrder` lists the seats that went out, first out first; the team of its last entry is
// the team whose both players are out.
std::array<int, 4> gameResults(const std::vector<int>& finishOrder,
                               const std::array<int, 2>& teamPoints);

}  // namespace server
