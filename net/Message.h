#pragma once
// One decoded server message. The receiver thread fills a fresh record and queues it; after that
// it is only read, so the scenes share it through std::shared_ptr without a lock.
// Fields are named after the JSON keys. A field that the message's kind does not carry keeps its
// initial value; -1 in `per` and `now` means no seat.

#include <array>
#include <string>

// The entry of one seat in the "info" array of "change" and "over" messages.
struct st_seat_info {
    std::string name;  // player at the seat; empty for a free seat
    int ready = 0;     // "change": 1 when the player is ready
    int result = 0;    // "over": above 0 won, below 0 lost, 0 a draw
};

struct stMsg {
    std::string opt;      // kind of message; every message
    std::string online;   // "query": the hall's online text
    std::string name;     // "add", "run"
    int desk = -1;        // "add"
    int site = -1;        // "add", "run"
    std::string cards;    // "start", "game": comma-separated card codes
    int per = -1;         // "game": seat whose play `cards` shows
    std::string surplus;  // "game": remaining-card text of seat `per`
    int now = -1;         // "game": seat whose turn it is
    int score = 0;        // "game": points on the table
    int must = 0;         // "game": non-zero when seat `now` opens a new lead
    std::string p0;       // "score": seats 0 and 2
    std::string p1;       // "score": seats 1 and 3
    std::string version;  // "query": the client version the server expects
    std::array<st_seat_info, 4> info;  // "change", "over": info[k] is seat k
};
