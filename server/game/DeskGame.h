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
//             with per -1 and must 1)           a person leaves (or disconnects without a token)
// A game that ends with "over" is reported in DeskOutput::finished (seats, points, results and
// the seed of the deal's own generator); one ended by "run" is not.
//
// A person's seat has two flags, both sent to the desk in "presence" whenever one changes:
//   away   the person's link dropped (markAway) until it is back (markBack). The seat is held:
//          during a game until that game ends, then freed before the end-of-game "change";
//          between games for awayHold, then freed ("change"). Freed persons go to
//          DeskOutput::unseated.
//   auto   the person handed the seat to the computer player (setAuto) during a game; cleared at
//          the end of every game.
// A seat that is a computer player, or a person away or in auto, is played by the computer player
// (botLevel, the same decision path) botDelay after its turn began, at once when that has passed
// already; a person who comes back during their own turn gets it back (turnTimeout from its start)
// and an answer still out for it is ignored.
//
// Timers (all from DeskConfig):
//   bot fill     botWait after a person sits, computer players take every free seat (ready);
//                never at a private desk (setPrivateCode), where only seatBots fills them
//   bot move     botDelay after a computer player's turn begins, it plays (at botLevel); with
//                botJobs the decision is handed out as a BotJob when the turn begins (or when a
//                person's seat is handed over during it) and the play waits for both the delay
//                and the answer (botDecided)
//   turn         turnTimeout after a person's turn begins, the server passes for them (or leads
//                their weakest card)
//   ready        readyTimeout after a person sat down, came back or a game ended, a present
//                person still not ready gets "timeout" and loses the seat
//   away hold    awayHold after an away person's link dropped between games, the seat is freed
// advance runs one due timer a call (one play at most), so a caller that serves others between
// calls is never held up by a desk; call it again while nextDeadline() has passed.
// When the last person leaves, the computer players leave too and the desk is empty again.
//
// Table talk: a seated person's talk goes to every seat; computer players (not at the easy level)
// answer a few moments now and then (DeskRemarks in server/game/BotTalk.h), drawing from a
// generator of their own seeded from the desk's seed, so the deals and the plays never depend on
// the talk.
//
// A desk always moves on: a computer player's play that the round refuses is replaced by what a
// silent person gets (a pass, or the weakest single when leading), which the round always takes.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "server/bots/BotLevel.h"
#include "server/game/BotTalk.h"
#include "server/game/DeskOutput.h"
#include "server/game/RejoinSnapshot.h"
#include "server/game/Round.h"
#include "server/game/SnapshotWriter.h"
#include "wire/GameConstants.h"

namespace server {

struct DeskConfig {
    Millis botWait{2000};
    Millis botDelay{1000};
    bool bots = true;
    int deal = 27;  // cards per player
    Millis turnTimeout{(kTurnSeconds + kServerTurnGraceSeconds) * 1000};
    Millis readyTimeout{60000};
    Millis awayHold{60000};  // between games, how long an away person's seat is held
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
        Millis since{0};  // when the person sat down, came back or the last game ended
        bool away = false;      // a person whose link dropped: the seat is held
        bool autoPlay = false;  // a person who handed the seat to the computer player
        Millis awaySince{0};
    };

    // The desk's BotJob serials follow `jobSerials`: a hall that numbers a new desk like one it
    // closed starts it past that one's serials, so no answer meant for the old desk fits the new.
    DeskGame(int number, const DeskConfig& config, std::uint64_t seed,
             std::uint64_t jobSerials = 0);

    // ---- Inputs; each appends what it causes to `out`
    // Seats a person at the first free seat: "add" to them, "change" to the desk. Returns the
    // seat, or -1 when no seat is free or a game is running. `creator`: the person opened this
    // private desk ("add" says so).
    int seatPerson(PersonId person, std::string name, Millis now, DeskOutput& out,
                   bool creator = false);
    // Seats computer players on every free seat at once (tests; the bot-fill timer does the same).
    void seatBots(Millis now, DeskOutput& out);
    // The same at `level`, which from now on plays every computer seat of this desk (加电脑).
    void seatBots(BotLevel level, Millis now, DeskOutput& out);
    // A private desk (the hall's PrivateDesks): "add" carries `code` and no computer player sits
    // down by itself. An empty code makes the desk public again, at the configured level.
    void setPrivateCode(std::string code);
    void ready(int seat, Millis now, DeskOutput& out);
    // A play (cards not empty) or a pass; refused silently when illegal or out of turn.
    void act(int seat, std::vector<int> cards, Millis now, DeskOutput& out);
    // A person leaves or disconnects; during a game the others get "run".
    void leave(int seat, Millis now, DeskOutput& out);
    // Runs the earliest timer if it is due at or before `now` (at its own due time): one play at
    // most. Call again while nextDeadline() <= now to run every timer due.
    void advance(Millis now, DeskOutput& out);
    // The answer to a BotJob: played once the bot delay has passed (now, or by advance later).
    // Ignored when `serial` is not the job the desk waits for (the game ended or moved on, or the
    // person took the seat back).
    void botDecided(std::uint64_t serial, std::vector<int> cards, Millis now, DeskOutput& out);
    // A seated person's link dropped, or came back; ignored for other seats or no change.
    void markAway(int seat, Millis now, DeskOutput& out);
    void markBack(int seat, Millis now, DeskOutput& out);
    // Auto on or off for a person's seat during a game; ignored otherwise or when unchanged.
    void setAuto(int seat, bool on, DeskOutput& out);
    // `seat`'s person said phrase or emote `say` (0 .. kTalkCount-1): "talk" to every seat.
    // Ignored for a seat without a person or an index out of range; the rate is the hall's.
    void talk(int seat, int say, DeskOutput& out);
    // `seat`'s person is shown as `name` from now on: "change" to every seat. Ignored during a
    // game (the hall refuses a new name then), for a seat without a person, or no change.
    void renameSeat(int seat, std::string name, DeskOutput& out);

    // What `seat`'s person needs to take the desk up again at `now` ("resume"). Seat -1: what a
    // spectator may see ("watch"): the same without any hand and without a seat's name.
    RejoinSnapshot snapshot(int seat, Millis now) const;
    // While watched, every text sent to the whole desk is also appended once to
    // DeskOutput::publicTexts (the hall sets it while the desk has spectators).
    void setWatched(bool watched) { m_watched = watched; }

    // ---- State
    int number() const { return m_number; }
    bool playing() const { return m_round.has_value(); }
    bool hasFreeSeat() const;
    bool hasPerson() const;
    bool isEmpty() const;  // every seat free
    const std::string& privateCode() const { return m_privateCode; }
    const Seat& seat(int index) const { return m_seats[index]; }
    const Round* round() const { return m_round ? &*m_round : nullptr; }
    int gamesPlayed() const { return m_gamesPlayed; }
    // When the running game was dealt (meaningful while playing).
    Millis dealtAt() const { return m_dealtAt; }
    // The time of the earliest pending timer, if any.
    std::optional<Millis> nextDeadline() const;
    // The serial of the BotJob whose answer the desk waits for; none when it waits for none.
    std::optional<std::uint64_t> awaitedJob() const {
        return m_awaitingBot ? std::optional<std::uint64_t>(m_jobSerial) : std::nullopt;
    }

private:
    std::optional<Millis> botFillDue() const;
    std::optional<Millis> turnDue() const;
    std::optional<std::pair<Millis, int>> readyDue() const;
    std::optional<std::pair<Millis, int>> awayDue() const;
    bool playedByComputer(int seat) const;

    void seatBot(int index);
    void startIfAllReady(Millis now, DeskOutput& out);
    void deal(Millis now, DeskOutput& out);
    void beginTurn(Millis now, DeskOutput& out);
    bool offloads() const;
    // Hands the decision for the turn out as a BotJob when decisions are made elsewhere.
    void requestDecision(int seat, DeskOutput& out);
    // After `seat`'s away or auto flag changed: presence, and the turn handed over or back.
    void flagsChanged(int seat, bool wasComputer, DeskOutput& out);
    std::vector<int> botChoice(int seat);
    // A timer-driven action: `cards`, or the expiry action when the round refuses them.
    void playOrFallBack(int seat, std::vector<int> cards, Millis now, DeskOutput& out);
    bool playTurn(int seat, std::vector<int> cards, Millis now, DeskOutput& out);
    // After an accepted play or pass: a computer player's remark, now and then (DeskRemarks).
    void remark(int seat, bool bomb, const Round::Step& step, int tableBefore, Millis now,
                DeskOutput& out);
    // The game just played to its "over", for DeskOutput::finished.
    FinishedDeskGame finishedGame(Millis now) const;
    void endGame(Millis now, DeskOutput& out);
    void freeAwaySeat(int index, Millis now, DeskOutput& out);
    void vacate(int index, Millis now);
    std::string seatText(int seat) const;  // "desk D: seat S (name)" for the log

    // One seat's own text: never a public one.
    void sendTo(int seat, std::string text, DeskOutput& out) const;
    // A text for the whole desk: every seat but `except`, and its spectators (publicTexts).
    void broadcast(const std::string& text, DeskOutput& out, int except = -1) const;
    void broadcastSeats(DeskOutput& out) const;
    void broadcastPresence(DeskOutput& out) const;

    int m_number = 0;
    DeskConfig m_config;
    BotLevel m_botLevel = m_config.botLevel;  // the config's, or the level 加电脑 chose
    std::string m_privateCode;                // empty for a public desk
    bool m_watched = false;                   // the desk has spectators: keep its public texts
    std::mt19937_64 m_rng;
    std::array<Seat, 4> m_seats;
    std::optional<Round> m_round;
    std::optional<Millis> m_botFillAt;
    Millis m_turnSince{0};  // when the current turn began
    std::uint64_t m_jobSerial = 0;  // counts BotJobs, to match an answer to the job awaited
    bool m_awaitingBot = false;     // a BotJob for this turn is out and unanswered
    std::optional<std::vector<int>> m_botAnswer;  // its answer, before the bot delay passed
    int m_gamesPlayed = 0;
    std::uint64_t m_dealSeed = 0;  // the running game's deal, drawn from m_rng
    Millis m_dealtAt{0};
    SnapshotWriter m_snapshots;  // snapshot(), and the table it shows
    DeskRemarks m_remarks;
};

}  // namespace server
