#include "server/store/Rating.h"

#include <cmath>
#include <cstdlib>

namespace server::store {

double actualScore(int result) {
    return result > 0 ? 1.0 : result < 0 ? 0.0 : 0.5;
}

double ratingStep(int result) {
    return std::abs(result) == 2 ? kRatingK * kSweepWeight : kRatingK;
}

double expectedScore(double team, double other) {
    return 1.0 / (1.0 + std::pow(10.0, (other - team) / 400.0));
}

double ratingChange(double team, double other, int result) {
    return ratingStep(result) * (actualScore(result) - expectedScore(team, other));
}

}  // namespace server::store
