#include "server/bots/SearchBot.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>
#include <random>

#include "server/bots/Answers.h"
#include "server/bots/HandPlan.h"
#include "server/bots/NormalBot.h"
#include "server/game/Scoring.h"

namespace server {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kPointsWeight = 0.25;  // per hundred points of difference
constexpr double kNoiseMargin = 1.0;    // standard errors a gain must clear

void addCandidate(std::vector<std::vector<int>>& candidates, std::vector<int> play) {
    if (static_cast<int>(candidates.size()) < kSearchCandidates &&
        std::find(candidates.begin(), candidates.end(), play) == candidates.end()) {
        candidates.push_back(std::move(play));
    }
}

std::vector<std::vector<int>> leadCandidates(const SeatView& view) {
    std::vector<PlannedPlay> plan = planHand(view.hand());
    std::sort(plan.begin(), plan.end(), [](const PlannedPlay& a, const PlannedPlay& b) {
        return std::make_pair(isPowerKind(a.type.kind), a.type.value) <
               std::make_pair(isPowerKind(b.type.kind), b.type.value);
    });
    std::vector<std::vector<int>> candidates{chooseNormalPlay(view)};
    // The weakest plays of the plan, then its strongest ordinary one (a lead that keeps control).
    for (std::size_t i = 0; i < plan.size() && i + 2 < kSearchCandidates; ++i) {
        addCandidate(candidates, plan[i].cards);
    }
    for (auto play = plan.rbegin(); play != plan.rend(); ++play) {
        if (!isPowerKind(play->type.kind)) {
            addCandidate(candidates, play->cards);
            break;
        }
    }
    return candidates;
}

std::vector<std::vector<int>> followCandidates(const SeatView& view) {
    std::vector<std::vector<int>> candidates{chooseNormalPlay(view)};
    addCandidate(candidates, {});
    const std::vector<std::vector<int>> plays = answerPlays(view.hand(), view.lastPlay());
    // Per number of plays left: the lowest ordinary answer. Also the highest, and the smallest bomb.
    std::map<int, std::pair<int, const std::vector<int>*>> lowestByPlaysLeft;
    const std::vector<int>* highest = nullptr;
    int highestValue = 0;
    const std::vector<int>* smallestBomb = nullptr;
    HandType smallestBombType;
    for (const std::vector<int>& play : plays) {
        const HandType type = classifyHand(play);
        if (isPowerKind(type.kind)) {
            if (!smallestBomb || play.size() < smallestBomb->size() ||
                (play.size() == smallestBomb->size() && type.value < smallestBombType.value)) {
                smallestBomb = &play;
                smallestBombType = type;
            }
            continue;
        }
        const int left = countPlaysAfter(view.hand(), play);
        auto found = lowestByPlaysLeft.find(left);
        if (found == lowestByPlaysLeft.end() || type.value < found->second.first) {
            lowestByPlaysLeft[left] = {type.value, &play};
        }
        if (!highest || type.value > highestValue) {
            highest = &play;
            highestValue = type.value;
        }
    }
    for (const auto& [left, lowest] : lowestByPlaysLeft) {
        addCandidate(candidates, *lowest.second);
    }
    if (highest) {
        addCandidate(candidates, *highest);
    }
    if (smallestBomb) {
        addCandidate(candidates, *smallestBomb);
    }
    return candidates;
}

double outcome(const Round& round, int seat) {
    const int team = teamOf(seat);
    const double difference = round.teamPoints()[team] - round.teamPoints()[1 - team];
    return round.results()[seat] + kPointsWeight * difference / 100.0;
}

}  // namespace

long playOutNormal(Round& round) {
    long moves = 0;
    for (; !round.over(); ++moves) {
        const int seat = round.turn();
        std::vector<int> play = chooseNormalPlay(SeatView(round, seat));
        if (!round.act(seat, std::move(play)).accepted) {
            const bool moved = round.act(seat, round.expiryAction(seat)).accepted;
            assert(moved && "the expiry action is always accepted");
            (void)moved;
        }
    }
    return moves;
}

std::vector<int> chooseSearchPlay(const SeatView& view, const SearchBudget& budget,
                                  std::uint64_t seed) {
    assert((budget.time.count() > 0 || budget.moves > 0) && "a search needs a limit");
    const std::vector<std::vector<int>> candidates =
        view.leading() ? leadCandidates(view) : followCandidates(view);
    if (candidates.size() == 1) {
        return candidates.front();
    }
    const Clock::time_point deadline = Clock::now() + budget.time;
    std::mt19937_64 rng(seed);
    // Each candidate's gain over normal's choice (candidate 0) in the same deals: the sum and the
    // sum of squares, for the mean and its standard error.
    std::vector<double> gain(candidates.size(), 0.0);
    std::vector<double> gainSquares(candidates.size(), 0.0);
    std::vector<bool> refused(candidates.size(), false);
    std::vector<double> value(candidates.size(), 0.0);
    int deals = 0;
    const auto outOfTime = [&] { return budget.time.count() > 0 && Clock::now() >= deadline; };
    for (long moves = 0; budget.moves == 0 || moves < budget.moves; ++deals) {
        const Round world = view.sample(rng);
        bool complete = true;
        for (std::size_t i = 0; i < candidates.size() && complete; ++i) {
            Round round = world;
            if (refused[i] || !round.act(view.seat(), candidates[i]).accepted) {
                refused[i] = true;  // normal's own choice is always accepted
                continue;
            }
            moves += playOutNormal(round);
            value[i] = outcome(round, view.seat());
            complete = i + 1 == candidates.size() || !outOfTime();
        }
        if (!complete) {
            break;  // a deal not played for every candidate compares nothing
        }
        for (std::size_t i = 1; i < candidates.size(); ++i) {
            const double difference = value[i] - value[0];
            gain[i] += difference;
            gainSquares[i] += difference * difference;
        }
        if (outOfTime()) {
            ++deals;
            break;
        }
    }
    // Leave normal's choice only for a candidate whose gain stands out of the sampling noise.
    std::size_t best = 0;
    double bestGain = 0;
    for (std::size_t i = 1; i < candidates.size() && deals > 1; ++i) {
        if (refused[i]) {
            continue;
        }
        const double mean = gain[i] / deals;
        const double variance = std::max(0.0, gainSquares[i] / deals - mean * mean);
        const double standardError = std::sqrt(variance / (deals - 1));
        if (mean - kNoiseMargin * standardError > 0 && mean > bestGain) {
            best = i;
            bestGain = mean;
        }
    }
    return candidates[best];
}

}  // namespace server
