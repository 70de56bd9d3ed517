#pragma once
// The players' rating: Elo for teams of two (the formula and its reasons in server/README.md).
//
//   team rating      R = the mean of the two partners' ratings before the game
//   expected score   E = 1 / (1 + 10^((R_other - R_team) / 400))
//   actual score     S = 1 for a win, 1/2 for a draw, 0 for a loss
//   change           D = K * M * (S - E), the same for both partners; the other team gets -D
//   K = 32; M = 1.5 for a clean sweep (result +2 or -2), otherwise 1
//
// Only games among four persons are rated. The stores apply the same formula inside their
// transaction (SqlRecordStore), with kRatingK and the weight from here as parameters.

namespace server::store {

inline constexpr double kInitialRating = 1500.0;
inline constexpr double kRatingK = 32.0;
inline constexpr double kSweepWeight = 1.5;

// S for a result (+2, +1, 0, -1, -2): 1, 1, 0.5, 0, 0.
double actualScore(int result);
// K * M for a result: the sweep weight for +2 and -2.
double ratingStep(int result);
// E for a team rated `team` against a team rated `other`.
double expectedScore(double team, double other);
// D for the team rated `team` (mean of its two) that got `result` against a team rated `other`.
double ratingChange(double team, double other, int result);

}  // namespace server::store
