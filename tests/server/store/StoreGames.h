#pragma once
// Finished games for the store's tests and benchmark, written the way a desk reports them.

#include <string>

#include "server/store/FinishedGame.h"

namespace teststore {

// A person whose token hash is 64 copies of `letter` (hex digits look alike in the database).
inline server::store::SeatPlayer person(char letter, std::string name) {
    return server::store::SeatPlayer::person(std::string(64, letter), std::move(name));
}

inline server::store::SeatPlayer bot(std::string level) {
    return server::store::SeatPlayer::computer(std::move(level));
}

// A game finished at `at` ms with team 0 getting `result` (team 1 the negation), with a uid of
// its own as the server draws one.
inline server::store::FinishedGame gameOf(std::int64_t at, server::store::SeatPlayer s0,
                                          server::store::SeatPlayer s1,
                                          server::store::SeatPlayer s2,
                                          server::store::SeatPlayer s3, int result,
                                          std::array<int, 2> points) {
    server::store::FinishedGame game;
    game.uid = server::store::newGameUid();
    game.finishedAtMs = at;
    game.lengthMs = 600000;
    game.desk = 3;
    game.seats = {std::move(s0), std::move(s1), std::move(s2), std::move(s3)};
    game.teamPoints = points;
    game.results = {result, -result, result, -result};
    game.seed = 0xfedcba9876543210ULL + static_cast<std::uint64_t>(at);
    return game;
}

}  // namespace teststore
