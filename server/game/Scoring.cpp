#include "server/game/Scoring.h"

#include <cassert>

#include "cards/CardCode.h"

namespace server {

namespace {
constexpr int kFiveRank = 4;
constexpr int kTenRank = 9;
}  // namespace

int cardPoints(int code) {
    if (!isValidCode(code) || isJoker(code)) {
        return 0;
    }
    switch (rankIndex(code)) {
        case kFiveRank:
            return 5;
        case kTenRank:
        case kKingRank:
            return 10;
        default:
            return 0;
    }
}

int pointsOf(const std::vector<int>& cards) {
    int sum = 0;
    for (int code : cards) {
        sum += cardPoints(code);
    }
    return sum;
}

std::array<int, 4> gameResults(const std::vector<int>& finishOrder,
                               const std::array<int, 2>& teamPoints) {
    assert(finishOrder.size() >= 2 && "a game ends only when two partners are out");
    const int finisher = teamOf(finishOrder.back());
    const int other = 1 - finisher;
    int finisherResult = 0;
    if (teamOf(finishOrder[0]) == finisher && teamOf(finishOrder[1]) == finisher) {
        finisherResult = 2;
    } else if (teamPoints[finisher] != teamPoints[other]) {
        finisherResult = teamPoints[finisher] > teamPoints[other] ? 1 : -1;
    }
    std::array<int, 4> results{};
    for (int seat = 0; seat < 4; ++seat) {
        results[seat] = teamOf(seat) == finisher ? finisherResult : -finisherResult;
    }
    return results;
}

}  // namespace server
