#include "server/store/FinishedGame.h"

#include <algorithm>
#include <random>

#include "server/game/Scoring.h"

namespace server::store {

SeatPlayer SeatPlayer::person(std::string tokenHash, std::string name) {
    return SeatPlayer{std::move(tokenHash), std::move(name), {}};
}

SeatPlayer SeatPlayer::computer(std::string level) {
    return SeatPlayer{{}, {}, std::move(level)};
}

bool FinishedGame::rated() const {
    return std::all_of(seats.begin(), seats.end(), [](const SeatPlayer& s) { return s.isPerson(); });
}

std::string newGameUid() {
    static thread_local std::random_device source;
    const char* const digits = "0123456789abcdef";
    std::string uid;
    uid.reserve(kGameUidDigits);
    while (uid.size() < kGameUidDigits) {
        // 32 bits a call: eight digits.
        std::uint32_t bits = source();
        for (int digit = 0; digit < 8; ++digit, bits >>= 4) {
            uid.push_back(digits[bits & 0xf]);
        }
    }
    return uid;
}

namespace {

bool isGameUid(const std::string& uid) {
    return uid.size() == kGameUidDigits && std::all_of(uid.begin(), uid.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string checkSeat(const SeatPlayer& seat) {
    if (seat.isPerson()) {
        if (!seat.botLevel.empty()) {
            return "a seat is both a person and a computer player";
        }
        if (seat.tokenHash.size() > kMaxTokenHashBytes || seat.name.size() > kMaxNameBytes) {
            return "a token hash or a name is too long";
        }
        return {};
    }
    if (!seat.name.empty()) {
        return "a computer player's seat has a person's name";
    }
    const char* levels[] = {"easy", "normal", "hard"};
    if (std::find(std::begin(levels), std::end(levels), seat.botLevel) == std::end(levels)) {
        return "unknown computer level \"" + seat.botLevel.substr(0, 20) + "\"";
    }
    return {};
}

}  // namespace

std::string checkGame(const FinishedGame& game) {
    if (!isGameUid(game.uid)) {
        return "the game's uid is not " + std::to_string(kGameUidDigits) + " lowercase hex digits";
    }
    for (int seat = 0; seat < 4; ++seat) {
        if (std::string why = checkSeat(game.seats[seat]); !why.empty()) {
            return "seat " + std::to_string(seat) + ": " + why;
        }
        for (int other = seat + 1; other < 4; ++other) {
            if (game.seats[seat].isPerson() &&
                game.seats[seat].tokenHash == game.seats[other].tokenHash) {
                return "one person sits in seats " + std::to_string(seat) + " and " +
                       std::to_string(other);
            }
        }
        const int result = game.results[seat];
        if (result < -2 || result > 2) {
            return "seat " + std::to_string(seat) + ": result out of range";
        }
        if (result != game.results[partnerOf(seat)] || result != -game.results[(seat + 1) % 4]) {
            return "the results are not a team's and its negation";
        }
    }
    if (game.teamPoints[0] < 0 || game.teamPoints[1] < 0 || game.lengthMs < 0) {
        return "negative points or length";
    }
    return {};
}

}  // namespace server::store
