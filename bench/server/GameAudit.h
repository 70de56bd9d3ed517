#pragma once
// Whether the games the soak benchmark's persons play add up, checked from the texts they get.
//
// GameAudit is one person's view. Every "game" text must come from the seat whose turn it was,
// lead or beat the play before it (canBeat), never be a leader's pass, and lower that seat's count
// by the cards it shows; the points on the table must be those played since the trick began, and
// at each trick's "score" the teams' totals those of every card played; at "over" one team is
// out and, with a full deal, the totals make 200. A "resume" after a cut starts a partial view:
// its hand and every card seen must fit two decks, and its totals the cards seen.
//
// DeskLedger gathers the whole views (from "start" to "over" with no lost link) of one desk's
// game: the four persons saw the same "game" and "score" texts, so a hash of them names the game.
// Once the four hands are in, they must be the 108 cards of the two decks exactly (a full deal),
// and every seat's plays must have come out of its own hand. It also keeps when each desk's games
// ended, to tell a seat freed because its game ended during a cut (as the server is meant to)
// from one lost. The persons' thread only.

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "net/Message.h"

class DeskLedger {
public:
    using Clock = std::chrono::steady_clock;

    explicit DeskLedger(int deal) : m_deal(deal) {}

    // One person's whole view of a game: its hand, the cards each seat played and each seat's
    // count at the end. `faulty` when the view itself did not add up.
    void submitWhole(int desk, std::uint64_t game, int seat, const std::vector<int>& hand,
                     const std::array<std::vector<int>, 4>& played,
                     const std::array<int, 4>& surplus, bool faulty);
    // A partial view (after a cut) that did not add up.
    void partialFault();
    // Why a game did not add up; the first few are kept for the report.
    void explain(int desk, const std::string& what);
    // A person at `desk` got "over" (the four get it within a few milliseconds of each other).
    void over(int desk, Clock::time_point at);
    // Whether one of the desk's games ended between the two times (give or take a second).
    bool gameEndedBetween(int desk, Clock::time_point from, Clock::time_point to) const;

    std::uint64_t gamesFinished() const { return m_gamesFinished; }
    std::uint64_t gamesAudited() const { return m_games.size(); }  // with a whole view
    std::uint64_t gamesWithFourHands() const { return m_fourHands; }
    std::uint64_t badGames() const;
    const std::vector<std::string>& reasons() const { return m_reasons; }

private:
    struct Game {
        std::array<std::vector<int>, 4> hands;
        std::array<std::vector<int>, 4> played;
        std::array<int, 4> surplus{};
        unsigned seats = 0;  // a bit for each seat whose hand is in
        bool bad = false;
    };
    void checkFourHands(int desk, Game& game);

    int m_deal;
    std::map<std::pair<int, std::uint64_t>, Game> m_games;
    std::uint64_t m_fourHands = 0;
    std::uint64_t m_partialFaults = 0;
    std::uint64_t m_gamesFinished = 0;
    std::map<int, std::vector<Clock::time_point>> m_overs;
    std::vector<std::string> m_reasons;
};

class GameAudit {
public:
    GameAudit(DeskLedger& ledger, int deal) : m_ledger(ledger), m_deal(deal) {}

    void onText(const stMsg& msg, const std::string& text);
    // Texts may be missing until the next "resume": the game in hand is no longer a whole view.
    void onLinkLost();

private:
    void start(const stMsg& msg);
    void resume(const stMsg& msg);
    void game(const stMsg& msg, const std::string& text);
    void score(const stMsg& msg, const std::string& text);
    void over();
    // The game ends for this person without an "over" it saw whole (a "run", a seat freed).
    void abandon();
    void fault(const std::string& what);
    void hashText(const std::string& text);

    DeskLedger& m_ledger;
    int m_deal;
    int m_desk = -1;
    int m_site = -1;
    bool m_inGame = false;
    bool m_whole = false;
    bool m_faulty = false;
    std::vector<int> m_startHand;
    std::vector<int> m_hand;
    std::array<std::vector<int>, 4> m_played;
    std::array<int, 4> m_surplus{};
    std::vector<int> m_last;  // the play to beat; empty when the seat to move leads
    int m_now = -1;
    bool m_must = true;
    int m_table = 0;        // points on the table
    int m_pointsPlayed = 0;  // points of every card played this game
    int m_teams = 0;         // p0 + p1 of the last "score"
    std::uint64_t m_hash = 0;
};
