#pragma once
// What a desk produces for the outside world: messages for its seats (and its public texts for
// spectators), persons it sent away, finished games and lines for the log. DeskGame appends to
// it; the hall delivers it.

#include <array>
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

// One seat of a finished game: a person (the desk's id and shown name; the hall adds the
// token's hash) or a computer player (person 0, its level).
struct FinishedSeat {
    PersonId person = 0;
    std::string name;
    std::string tokenHash;  // hex SHA-256 of the person's token, set by the hall; "" for a guest
    BotLevel level = BotLevel::Easy;  // a computer player's level
};

// A game played to its "over", as the desk reports it (a game ended by a "run" is not one).
// Times are the desk's Millis clock; the network side turns them into Unix time.
struct FinishedDeskGame {
    int desk = -1;
    Millis dealtAt{0};  // when the cards were dealt
    Millis overAt{0};   // when "over" was sent
    std::array<FinishedSeat, 4> seats;
    std::array<int, 2> teamPoints{};  // team 0 (seats 0 and 2), team 1 (seats 1 and 3)
    std::array<int, 4> results{};     // per seat, as "over" gives them
    std::uint64_t seed = 0;           // the deal's own generator was seeded with it
};

struct DeskOutput {
    std::vector<Delivery> deliveries;
    std::vector<PersonId> unseated;  // persons the desk sent away (ready time-out, away freed)
    std::vector<PersonId> gameEnded;  // persons at the desk when its game ended
    std::vector<std::string> log;    // game results and runs, one line each
    std::vector<BotJob> botJobs;     // decisions to make elsewhere (DeskConfig::botJobs)
    std::vector<FinishedDeskGame> finished;  // games played to their "over"
    // Every text sent to the whole desk, once each and in order, while the desk is watched
    // (DeskGame::setWatched): what its spectators receive. One seat's own texts never come here.
    std::vector<std::string> publicTexts;

    void clear() {
        deliveries.clear();
        unseated.clear();
        gameEnded.clear();
        log.clear();
        botJobs.clear();
        finished.clear();
        publicTexts.clear();
    }
};

}  // namespace server
