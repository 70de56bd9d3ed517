// Speed of the hand rules: classifications and comparisons per second on plays taken from real
// deals, and the legal-play finder on 27-card two-deck hands, whose per-call median and worst
// times in microseconds are printed as counters (what a computer player waits for a move). The
// per-call times are the thread's CPU time, so that other processes on a shared machine do not
// show up as a slow call; wall time per call is the usual Time column.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <random>

#include "cards/LegalPlays.h"
#include "tests/cards/TwoDeckDeal.h"

namespace {

using Codes = std::vector<int>;

constexpr std::size_t kHandSize = 27;
constexpr int kHands = 64;

std::vector<Codes> dealHands(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Codes> hands;
    for (int i = 0; i < kHands; ++i) hands.push_back(dealHand(rng, kHandSize));
    return hands;
}

// Plays a player would make: a random legal lead of each of many deals, sorted.
std::vector<Codes> realisticPlays() {
    std::mt19937 rng(5);
    std::vector<Codes> plays;
    for (const Codes& hand : dealHands(11)) {
        const std::vector<Codes> leads = legalPlays(hand, {});
        for (int i = 0; i < 16; ++i) plays.push_back(leads[rng() % leads.size()]);
    }
    return plays;
}

void BM_ClassifyHand(benchmark::State& state) {
    const std::vector<Codes> plays = realisticPlays();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(classifyHand(plays[i]));
        i = (i + 1) % plays.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ClassifyHand);

// Each candidate against the play before it in the pool: mostly different kinds, some equal.
void BM_CanBeat(benchmark::State& state) {
    std::vector<Codes> plays = realisticPlays();
    std::size_t i = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(canBeat(plays[i - 1], plays[i]));
        i = i + 1 < plays.size() ? i + 1 : 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CanBeat);

// legalPlays on 64 deals against one last play; arg: index into the last plays below.
const Codes kLastPlays[] = {
    {},                                // lead
    {20},                              // a six
    {20, 21},                          // a pair of sixes
    {20, 21, 22},                      // three sixes
    {20, 21, 22, 23},                  // a four-card bomb
    {12, 13, 16, 17, 20, 21, 24, 25},  // pairs from four to seven
};
const char* const kLastPlayNames[] = {"lead", "single", "pair", "triple", "bomb", "pair_run"};

double threadCpuMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

void BM_LegalPlays(benchmark::State& state) {
    const Codes& last = kLastPlays[state.range(0)];
    state.SetLabel(kLastPlayNames[state.range(0)]);
    const std::vector<Codes> hands = dealHands(42);
    std::vector<double> micros;
    std::size_t plays = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        const double start = threadCpuMicros();
        const std::vector<Codes> found = legalPlays(hands[i], last);
        micros.push_back(threadCpuMicros() - start);
        plays += found.size();
        i = (i + 1) % hands.size();
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["worst_us"] = micros.back();
    state.counters["plays_per_hand"] = static_cast<double>(plays) / micros.size();
}
BENCHMARK(BM_LegalPlays)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace
