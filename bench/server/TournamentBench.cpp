// Computer players against each other: N deals, each played twice with the teams' seats swapped
// (the same cards and the same first leader, so deal luck cancels), between two levels. Prints
// each level's win rate with its 95 % confidence interval, its mean result per game and its
// decision times; every play is refereed and the cards and points are checked to be conserved.
//
//   server_tournament_bench [--levels A B] [--pairs N] [--moves M] [--time-ms T] [--seed S]
//                           [--short]
//   defaults: normal against easy, 2000 deal pairs, hard searching 3000 play-out moves a
//   decision. --time-ms T searches T ms a decision instead (the server's budget is 30; with
//   --moves 0 the time alone limits it, as in the server). --short: what ./check runs, a few deals
//   of each pairing and one deal pair of hard on the server's budget (its decision times).

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cards/HandRules.h"
#include "server/bots/BotLevel.h"
#include "server/game/Deal.h"
#include "server/game/Round.h"
#include "server/game/Scoring.h"

namespace {

using server::BotLevel;
using Clock = std::chrono::steady_clock;

constexpr int kTargetWinPercent = 60;
constexpr int kProgressEvery = 250;  // deal pairs between running figures (long runs)
constexpr double kTargetMedianMs = 50;
constexpr double kTargetWorstMs = 250;

constexpr server::SearchBudget kTournamentBudget{std::chrono::microseconds(0), 3000};

struct Pairing {
    BotLevel a = BotLevel::Normal;
    BotLevel b = BotLevel::Easy;
    int pairs = 2000;
    server::SearchBudget budget = kTournamentBudget;
};

struct Options {
    std::vector<Pairing> pairings;
    std::uint64_t seed = 1;
};

bool isServerBudget(const server::SearchBudget& budget) {
    return budget.time == server::kServerSearchBudget.time &&
           budget.moves == server::kServerSearchBudget.moves;
}

struct Times {
    std::vector<double> all;       // ms, every decision
    std::vector<double> fullHand;  // ms, decisions on a full 27-card hand

    static double at(std::vector<double> values, double p) {
        if (values.empty()) return 0;
        std::sort(values.begin(), values.end());
        return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
    }
};

struct Tally {
    std::vector<double> pairScores;  // level A's mean score (win 1, draw 0.5) over a deal pair
    long long wins = 0, draws = 0, losses = 0, resultSum = 0, games = 0;
    std::array<Times, 3> times;
    long long refused = 0;
    long long faults = 0;
};

bool holds(const std::vector<int>& hand, const std::vector<int>& cards) {
    std::vector<int> rest = hand;
    for (int code : cards) {
        auto found = std::find(rest.begin(), rest.end(), code);
        if (found == rest.end()) return false;
        rest.erase(found);
    }
    return true;
}

// One game; `levels[seat]` plays each seat. Returns seat 0's result.
int playGame(const std::array<std::vector<int>, 4>& hands, int leader,
             const std::array<BotLevel, 4>& levels, const server::SearchBudget& budget,
             std::uint64_t seed, Tally& tally) {
    server::Round round(hands, leader);
    std::mt19937_64 rng(seed);
    while (!round.over()) {
        const int seat = round.turn();
        const auto started = Clock::now();
        std::vector<int> play = server::decideBotPlay(levels[seat], round, seat, budget, rng());
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        Times& times = tally.times[static_cast<int>(levels[seat])];
        times.all.push_back(ms);
        if (round.hand(seat).size() == server::kFullDeal) times.fullHand.push_back(ms);

        // The referee: a leader plays, a play is held and beats the last one.
        std::vector<int> last = round.lastPlay();
        std::vector<int> candidate = play;
        const bool legal = play.empty() ? !round.mustLead()
                                        : holds(round.hand(seat), play) &&
                                              canBeat(last, candidate).ok;
        if (!legal || !round.act(seat, play).accepted) {
            ++tally.refused;
            round.act(seat, round.expiryAction(seat));
        }
    }
    // Conservation: every code twice among the plays and the hands left, 200 points shared.
    std::array<int, server::kCardsPerDeck> seen = round.played();
    for (int seat = 0; seat < 4; ++seat) {
        for (int code : round.hand(seat)) ++seen[code];
    }
    const bool cards = std::all_of(seen.begin(), seen.end(), [](int n) { return n == 2; });
    const auto& points = round.teamPoints();
    if (!cards || points[0] + points[1] != server::kPointsPerTwoDecks) ++tally.faults;
    return round.results()[0];
}

void playPairing(const Pairing& pairing, const Options& options) {
    Tally tally;
    const auto started = Clock::now();
    for (int deal = 0; deal < pairing.pairs; ++deal) {
        std::mt19937_64 dealer(options.seed * 1000003u + static_cast<std::uint64_t>(deal));
        const auto hands = server::dealHands(dealer, server::kFullDeal);
        const int leader = std::uniform_int_distribution<int>(0, 3)(dealer);
        double pairScore = 0;
        for (int swap = 0; swap < 2; ++swap) {
            // Level A takes the even seats in the first game and the odd ones in the second.
            std::array<BotLevel, 4> levels{};
            for (int seat = 0; seat < 4; ++seat) {
                levels[seat] = (seat % 2 == swap) ? pairing.a : pairing.b;
            }
            const int seat0 = playGame(hands, leader, levels, pairing.budget, dealer(), tally);
            const int result = swap == 0 ? seat0 : -seat0;  // level A's team
            tally.resultSum += result;
            ++tally.games;
            if (result > 0) {
                ++tally.wins;
                pairScore += 1;
            } else if (result == 0) {
                ++tally.draws;
                pairScore += 0.5;
            } else {
                ++tally.losses;
            }
        }
        tally.pairScores.push_back(pairScore / 2);
        if ((deal + 1) % kProgressEvery == 0 && deal + 1 < pairing.pairs) {
            double sum = 0;
            for (double score : tally.pairScores) sum += score;
            std::printf("  ... %d deal pairs: %s wins %.1f %%\n", deal + 1,
                        server::botLevelName(pairing.a),
                        100 * sum / static_cast<double>(tally.pairScores.size()));
            std::fflush(stdout);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();

    const double n = static_cast<double>(tally.pairScores.size());
    double mean = 0;
    for (double s : tally.pairScores) mean += s;
    mean /= n;
    double variance = 0;
    for (double s : tally.pairScores) variance += (s - mean) * (s - mean);
    variance /= std::max(1.0, n - 1);
    // Over deal pairs, since the two games of a pair share their cards; a rate stays in 0 .. 1.
    const double half = 1.96 * std::sqrt(variance / n);
    const auto low = [half](double rate) { return std::max(0.0, rate - half); };
    const auto high = [half](double rate) { return std::min(1.0, rate + half); };
    const char* a = server::botLevelName(pairing.a);
    const char* b = server::botLevelName(pairing.b);
    std::printf("%s against %s: %d deal pairs, %lld games, %.1f s; hard's search budget %ld "
                "play-out moves, %.1f ms a decision (0: no limit)%s\n",
                a, b, pairing.pairs, tally.games, seconds, pairing.budget.moves,
                static_cast<double>(pairing.budget.time.count()) / 1000,
                isServerBudget(pairing.budget) ? ", the server's" : "");
    std::printf("  %-7s wins %.1f %% of games (95 %% CI %.1f .. %.1f %%; draws count half): "
                "%lld won, %lld drawn, %lld lost\n",
                a, 100 * mean, 100 * low(mean), 100 * high(mean), tally.wins, tally.draws,
                tally.losses);
    std::printf("  %-7s wins %.1f %% of games (95 %% CI %.1f .. %.1f %%)\n", b, 100 * (1 - mean),
                100 * low(1 - mean), 100 * high(1 - mean));
    const double meanResult = static_cast<double>(tally.resultSum) / static_cast<double>(tally.games);
    std::printf("  mean result per game: %s %+.3f, %s %+.3f\n", a, meanResult, b, -meanResult);
    std::printf("  target: the first level wins >= %d %% with the interval above 50 %% over >= "
                "2000 deal pairs: %s\n",
                kTargetWinPercent,
                pairing.pairs < 2000 ? "not measured (fewer pairs)"
                : 100 * mean >= kTargetWinPercent && mean - half > 0.5 ? "met"
                                                                         : "NOT met");
    for (BotLevel level : {pairing.a, pairing.b}) {
        const Times& t = tally.times[static_cast<int>(level)];
        std::printf("  %-7s decisions: %zu, median %.3f ms, p99 %.3f ms, worst %.3f ms; on a "
                    "27-card hand (%zu): median %.3f ms, worst %.3f ms\n",
                    server::botLevelName(level), t.all.size(), Times::at(t.all, 0.5),
                    Times::at(t.all, 0.99), Times::at(t.all, 1.0), t.fullHand.size(),
                    Times::at(t.fullHand, 0.5), Times::at(t.fullHand, 1.0));
        if (level == BotLevel::Hard && !t.fullHand.empty() && isServerBudget(pairing.budget)) {
            const bool met = Times::at(t.fullHand, 0.5) <= kTargetMedianMs &&
                             Times::at(t.fullHand, 1.0) <= kTargetWorstMs;
            std::printf("  target: hard on a 27-card hand <= %.0f ms median, <= %.0f ms worst "
                        "(the server's budget): %s\n",
                        kTargetMedianMs, kTargetWorstMs, met ? "met" : "NOT met");
        }
        if (pairing.a == pairing.b) break;
    }
    std::printf("  refused plays %lld, conservation faults %lld\n", tally.refused, tally.faults);
}

bool parse(int argc, char* argv[], Options& options) {
    Pairing pairing;
    bool shortRun = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--short") {
            shortRun = true;
        } else if (arg == "--levels" && i + 2 < argc) {
            if (!server::parseBotLevel(argv[i + 1], pairing.a) ||
                !server::parseBotLevel(argv[i + 2], pairing.b)) {
                return false;
            }
            i += 2;
        } else if (arg == "--pairs" && i + 1 < argc) {
            pairing.pairs = std::atoi(argv[++i]);
        } else if (arg == "--moves" && i + 1 < argc) {
            pairing.budget.moves = std::atol(argv[++i]);
        } else if (arg == "--time-ms" && i + 1 < argc) {
            pairing.budget.time = std::chrono::microseconds(
                static_cast<long long>(std::atof(argv[++i]) * 1000));
        } else if (arg == "--seed" && i + 1 < argc) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else {
            return false;
        }
    }
    if (shortRun) {
        options.pairings = {{BotLevel::Normal, BotLevel::Easy, 100, kTournamentBudget},
                            {BotLevel::Hard, BotLevel::Normal, 6, kTournamentBudget},
                            {BotLevel::Hard, BotLevel::Normal, 1, server::kServerSearchBudget}};
    } else {
        options.pairings = {pairing};
    }
    return pairing.pairs > 0 && pairing.budget.moves >= 0 &&
           (pairing.budget.moves > 0 || pairing.budget.time.count() > 0);
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: server_tournament_bench [--levels easy|normal|hard "
                             "easy|normal|hard] [--pairs N] [--moves M] [--time-ms T] "
                             "[--seed S] [--short]\n");
        return 2;
    }
    for (const Pairing& pairing : options.pairings) {
        playPairing(pairing, options);
    }
    return 0;
}
