#pragma once
// One decoded server message. The receiver thread fills a fresh record and queues it; after that
// it is only read, so the scenes share it through std::shared_ptr without a lock.
// Fields are named after the JSON keys. A field that the message's kind does not carry keeps its
// initial value; -1 in `per`, `now` and `lastsite` means no seat.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// The entry of one seat in the "info" array of "change", "over", "resume" and "presence".
struct st_seat_info {
    std::string name;     // player at the seat; empty for a free seat
    int ready = 0;        // "change", "resume": 1 when the player is ready
    int result = 0;       // "over": above 0 won, below 0 lost, 0 a draw
    int away = 0;         // "presence", "resume": 1 while the seat's person has no link
    int auto_play = 0;    // "presence", "resume" (key "auto"): 1 while the computer plays the seat
    std::string surplus;  // "resume": cards left, "" between games
    std::string cards;    // "resume": the seat's cards on the table since its turn began
    int pass = 0;         // "resume": 1 when the seat's action since its turn began was a pass
};

// One of the player's latest games in a "record" answer (an element of "last").
struct st_record_game {
    std::int64_t when = 0;  // Unix seconds (UTC) of the game's "over"
    int result = 0;         // as in "over": +2 a sweep won ... -2 a sweep lost, 0 a draw
    int points = 0;         // points the player's team took
    std::string partner;    // the partner's name in that game
    std::string opponents;  // the two opponents' names joined by a comma
};

// The player's figures: "record" keys games, wins, draws, losses, points, rating and last.
struct st_record {
    int games = 0;
    int wins = 0;
    int draws = 0;
    int losses = 0;
    int points = 0;
    int rating = 0;
    std::vector<st_record_game> last;  // newest first; at most kLastGames
};

// One row of "leaderboard"'s "top".
struct st_leader_row {
    int place = 0;
    std::string name;
    int rating = 0;
    int games = 0;
};

// One desk of a "desks" answer: a public desk whose game is running.
struct st_watch_desk {
    int desk = -1;  // the desk's number
    // Seat k at k: the player's name ("" for none) and whether a computer player has the seat.
    std::array<std::string, 4> names;
    std::array<int, 4> bots{};  // 1 for a computer player's own seat
    std::string p0;             // the team score of seats 0 and 2 so far
    std::string p1;             // the team score of seats 1 and 3 so far
    int seconds = 0;            // whole seconds since the deal
    int watchers = 0;           // how many watch the desk
};

struct stMsg {
    std::string opt;      // kind of message; every message
    std::string online;   // "query": the hall's online text
    std::string name;     // "add", "run", "resume"; "hello", "name": the name the server shows
    int desk = -1;        // "add", "resume", "watch"
    int site = -1;        // "add", "run", "resume", "talk"
    std::string cards;    // "start", "game", "resume" (the local hand): comma-separated codes
    int per = -1;         // "game": seat whose play `cards` shows
    std::string surplus;  // "game": remaining-card text of seat `per`
    int now = -1;         // "game", "resume": seat whose turn it is
    int score = 0;        // "game", "resume": points on the table
    int must = 0;         // "game", "resume": non-zero when seat `now` opens a new lead
    std::string p0;       // "score", "resume": seats 0 and 2
    std::string p1;       // "score", "resume": seats 1 and 3
    std::string version;  // "query": the client version the server expects
    std::array<st_seat_info, 4> info;  // "change", "over", "resume", "presence": seat k at k

    std::string status;  // "hello", "join", "create", "watch", "sit": "ok" or "refused";
                         // "record", "leaderboard": "none"
    std::string reason;  // "hello", "join", "create", "watch", "sit": why it was refused;
                         // "unwatch": why the watching ended
    int retry = 0;       // "hello", "join", "watch", "sit": whole seconds until a new try can
                         // succeed
    int resume = 0;      // "hello": 1 when a "resume" follows at once
    int playing = 0;     // "resume": 1 during a game, 0 between games
    std::string seen;    // "resume": every card played in this game so far, card-list text
    std::string last;    // "resume": the play to beat, card-list text; "" when seat `now` leads
    int lastsite = -1;   // "resume": the seat that made `last`
    int left = 0;        // "resume": milliseconds left of seat `now`'s turn
    int records = 0;     // "hello": 1 when the server answers "record" and "leaderboard"
    int talk = 0;        // "hello": 1 when the server passes "talk" on
    int names = 0;       // "hello": 1 when the server takes "name"
    std::string nameError;  // "hello", "name": why the name asked for was refused (PlayerName.h)
    int say = -1;        // "talk": what seat `site` said (0 .. kTalkCount-1 when valid)
    std::string code;    // "add", "resume": the private desk's code; "" at a public desk
    int creator = 0;     // "resume", "add": 1 when the player opened that private desk
    int private_desks = 0;  // "hello" (key "private"): 1 when the server has private desks
    int watch = 0;          // "hello": 1 when the server lets the player watch desks
    int watchers = 0;       // "watch", "watchers" (key "count"): how many watch that desk

    st_record record;                // "record"
    std::vector<st_leader_row> top;  // "leaderboard": best first; at most kLeaderboardSize
    int place = -1;                  // "leaderboard": the player's own place; -1 unrated
    std::vector<st_watch_desk> desks;  // "desks": by ascending number; at most kWatchListSize

    // When the receiver thread had the whole frame (steady clock); a record made elsewhere (a
    // test's) arrives when it is made.
    std::chrono::steady_clock::time_point arrived = std::chrono::steady_clock::now();
};
