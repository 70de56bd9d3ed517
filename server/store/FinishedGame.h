#pragma once
// One finished game as the server reports it to the store: who sat where, what each team took,
// each seat's result and the deal's seed. Plain data, made on the event loop and handed to the
// writer thread by value.
//
// Seats are numbered 0..3 as at the desk; team 0 is seats 0 and 2, team 1 seats 1 and 3
// (server/game/Scoring.h). A seat holds either a person, known by the hex SHA-256 of the player
// token and shown by a name, or a computer player, known by its level's name.

#include <array>
#include <cstdint>
#include <string>

namespace server::store {

struct SeatPlayer {
    std::string tokenHash;  // a person: hex SHA-256 of the player token; empty for a computer
    std::string name;       // a person's shown name (UTF-8)
    std::string botLevel;   // a computer player's level: "easy", "normal" or "hard"

    static SeatPlayer person(std::string tokenHash, std::string name);
    static SeatPlayer computer(std::string level);
    bool isPerson() const { return !tokenHash.empty(); }
};

struct FinishedGame {
    std::string uid;                // kGameUidDigits lowercase hex digits (newGameUid)
    std::int64_t finishedAtMs = 0;  // when "over" was sent, Unix time in ms (UTC)
    std::int64_t lengthMs = 0;      // from the deal to "over"
    int desk = 0;
    std::array<SeatPlayer, 4> seats;
    std::array<int, 2> teamPoints{};  // points taken by team 0 and team 1
    std::array<int, 4> results{};     // +2, +1, 0, -1, -2 per seat, as gameResults gives them
    std::uint64_t seed = 0;           // the deal's seed, stored as the same 64 bits

    // Rated (moves the players' ratings) when all four seats are persons.
    bool rated() const;
};

// "" when the game can be stored; otherwise why not: a uid that is not kGameUidDigits lowercase
// hex digits, a seat neither person nor computer, an
// unknown level, a name or hash too long, one person in two seats, a result out of range, or
// partners with different results or teams with results that are not each other's negation.
std::string checkGame(const FinishedGame& game);

// 128 random bits from std::random_device as kGameUidDigits lowercase hex digits. Any thread.
std::string newGameUid();

inline constexpr std::size_t kGameUidDigits = 32;
inline constexpr std::size_t kMaxNameBytes = 200;
inline constexpr std::size_t kMaxTokenHashBytes = 128;

}  // namespace server::store
