#pragma once
// One desk as a pure state machine: four seats, the persons and computer players on them, their
// ready flags, the round being played and every timer. Inputs are joins, ready, plays and
// passes, leaves and the passing of time (advance); each appends the messages for the seats to
// a DeskOutput. No sockets and no clock, so whole games run in tests and benchmarks.
//
//   state     entered by                       left by
//   seated    a join; the end of a game; a     all four seats taken and ready: the deal
//             leave or a "run"
//   playing   the deal ("start", then "game"    "over" when two partners are out; "run" when
//             with per -1 and must 1)           a person leaves or disconnects
//
// Timers (all from DeskConfig):
//   bot fill     botWait after a person sits, computer players take every free seat (ready)
//   bot move     botDelay after a computer player's turn begins, it plays (at botLevel); with
//                botJobs the decision is handed out as a BotJob when the turn begins and the
//                play waits for both the delay and the answer (botDecided)
//   turn         turnTimeout after a person's turn begins, the server passes for them (or leads
//                their weakest card)
//   ready        readyTimeout after a person sat down or a game ended, a person still not ready
//                gets "timeout" and loses the seat
// When the last person leaves, the computer players leave too and the desk is empty again.
//
// A desk always moves on: a computer player's play that the round refuses is replaced by what a
// silent person gets (a pass, or the weakest single when leading), which the round always takes.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "net/GameConstants.h"
#include "server/bots/BotLevel.h"
#include "server/game/DeskOutput.h"
#include "server/game/Round.h"

namespace server {

struct DeskConfig {
    Millis botWait{2000};
    Millis botDelay{1000};
    bool bots = true;
    int deal = 27;  // cards per player
    Millis turnTimeout{(kTurnSeconds + kServerTurnGraceSeconds) * 1000};
    Millis readyTimeout{60000};
    // The pure desk's computer players are the cheapest; desk-server chooses its own default.
    BotLevel botLevel = BotLevel::Easy;
    SearchBudget search = kServerSearchBudget;
    // Hard decisions go out as DeskOutput::botJobs instead of being made inside advance.
    bool botJobs = false;
};

class DeskGame {
public:
    enum class SeatKind { Free, Person, Bot };
    struct Seat {
        SeatKind kind = SeatKind::Free;
        PersonId person = 0;
        std::string name;
        bool ready = false;
        Millis since{0};  // when the person sat down or the last game ended
    };

    DeskGame(int number, const DeskConfig& config, std::uint64_t seed);

    // ---- Inputs; each appends what it causes to `out`
    // Seats a person at the first free seat: "add" to them, "change" to the desk. Returns the
    // seat, or -1 when no seat is free or a game is running.
    int seatPerson(PersonId person, std::string name, Millis now, DeskOutput& out);
    // Seats computer players on every free seat at once (tests; the bot-fill timer does the same).
    void seatBots(Millis now, DeskOutput& out);
    void ready(int seat, Millis now, DeskOutput& out);
    // A play (cards not empty) or a pass; refused silently when illegal or out of turn.
    void act(int seat, std::vector<int> cards, Millis now, DeskOutput& out);
    // A person leaves or disconnects; during a game the others get "run".
    void leave(int seat, Millis now, DeskOutput& out);
    // Runs every timer due at or before `now`, in time order. Returns early after a game ends, so
    // a desk of computer players only never loops for ever; call again to go on.
    void advance(Millis now, DeskOutput& out);
    // The answer to a BotJob: played once the bot delay has passed (now, or by advance later).
    // Ignored when `serial` is not the current turn's (the game ended or moved on).
    void botDecided(std::uint64_t serial, std::vector<int> cards, Millis now, DeskOutput& out);

    // ---- State
    int number() const { return m_number; }
    bool playing() const { return m_round.has_value(); }
    bool hasFreeSeat() const;
    bool hasPerson() const;
    const Seat& seat(int index) const { return m_seats[index]; }
    const Round* round() const { return m_round ? &*m_round : nullptr; }
    int gamesPlayed() const { return m_gamesPlayed; }
    // The time of the earliest pending timer, if any.
    std::optional<Millis> nextDeadline() const;

private:
    std::optional<Millis> botFillDue() const;
    std::optional<Millis> turnDue() const;
    std::optional<std::pair<Millis, int>> readyDue() const;

    void seatBot(int index);
    void startIfAllReady(Millis now, DeskOutput& out);
    void deal(Millis now, DeskOutput& out);
    void beginTurn(Millis now, DeskOutput& out);
    bool offloads() const;
    std::vector<int> botChoice(int seat);
    // A timer-driven action: `cards`, or the expiry action when the round refuses them.
    void playOrFallBack(int seat, std::vector<int> cards, Millis now, DeskOutput& out);
    bool playTurn(int seat, std::vector<int> cards, Millis now, DeskOutput& out);
    void endGame(Millis now);
    void vacate(int index, Millis now);

    void sendTo(int seat, std::string text, DeskOutput& out) const;
    void broadcast(const std::string& text, DeskOutput& out, int except = -1) const;
    void broadcastSeats(DeskOutput& out) const;

    int m_number = 0;
    DeskConfig m_config;
    std::mt19937_64 m_rng;
    std::array<Seat, 4> m_seats;
    std::optional<Round> m_round;
    std::optional<Millis> m_botFillAt;
    Millis m_turnSince{0};  // when the current turn began
    std::uint64_t m_turnSerial = 0;  // counts turns, to match BotJob answers to their turn
    bool m_awaitingBot = false;      // a BotJob for this turn is out and unanswered
    std::optional<std::vector<int>> m_botAnswer;  // its answer, before the bot delay passed
    int m_gamesPlayed = 0;
};

}  // namespace server
