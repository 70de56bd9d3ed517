// Whole games of four computer players through the pure desk: no sockets, no clock. Measures the
// rules, the computer players' choices and the message texts together, as the server runs them.

#include <benchmark/benchmark.h>

#include "server/game/DeskGame.h"

namespace {

void playGames(benchmark::State& state, int deal) {
    server::DeskConfig config;
    config.botDelay = server::Millis(0);
    config.deal = deal;
    server::DeskGame desk(0, config, 12345);
    server::DeskOutput out;
    desk.seatBots(server::Millis(0), out);
    std::size_t messages = 0;
    for (auto _ : state) {
        const int target = desk.gamesPlayed() + 1;
        while (desk.gamesPlayed() < target) {
            desk.advance(server::Millis(0), out);
        }
        messages += out.deliveries.size();
        out.clear();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["games/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["messages/game"] =
        static_cast<double>(messages) / static_cast<double>(state.iterations());
}

void BM_BotGameFullDeal(benchmark::State& state) {
    playGames(state, 27);
}
void BM_BotGameDealOf10(benchmark::State& state) {
    playGames(state, 10);
}

BENCHMARK(BM_BotGameFullDeal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BotGameDealOf10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
