#pragma once
// What a desk produces for the outside world: messages for its seats, persons it sent away, and
// lines for the log. DeskGame appends to it; the hall delivers it.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "server/bots/BotLevel.h"
#include "server/game/Round.h"

namespace server {

// Time as the server sees it: milliseconds on a monotonic clock. Desks never read a clock; the
// caller passes the time in, so tests and benchmarks run games at any speed.
using Millis = std::chrono::milliseconds;

// A person at a desk is known by an opaque non-zero id (the hall's, stable while the person's
// link comes and goes); computer players have id 0.
using PersonId = std::uint64_t;

struct Delivery {
    int seat = -1;
    PersonId person = 0;  // 0 for a computer player: the hall drops those
    std::string text;
};

// A computer player's decision to be made away from the desk (a worker thread): everything it
// needs is copied in. Its answer goes back to DeskGame::botDecided with the same serial.
struct BotJob {
    int desk = -1;
    std::uint64_t serial = 0;  // the job's number; an answer the desk no longer waits for is ignored
    int seat = -1;
    BotLevel level = BotLevel::Hard;
    SearchBudget budget;
    std::uint64_t seed = 0;
    Round round;

    std::vector<int> decide() const { return decideBotPlay(level, round, seat, budget, seed); }
};

struct DeskOutput {
    std::vector<Delivery> deliveries;
    std::vector<PersonId> unseated;  // persons the desk sent away (ready time-out, away freed)
    std::vector<PersonId> gameEnded;  // persons at the desk when its game ended
    std::vector<std::string> log;    // game results and runs, one line each
    std::vector<BotJob> botJobs;     // decisions to make elsewhere (DeskConfig::botJobs)

    void clear() {
        deliveries.clear();
        unseated.clear();
        gameEnded.clear();
        log.clear();
        botJobs.clear();
    }
};

}  // namespace server
