#pragma once
// A desk as one seat's person may see it, taken from the pure desk (DeskGame::snapshot) when that
// person rejoins (their token's next link comes back): the "resume" message is written from it.
// Taken for a spectator (seat -1) it holds no hand and no name: the "watch" answer is written
// from it. Plain data.

#include <array>
#include <string>
#include <vector>

namespace server {

struct SnapshotSeat {
    std::string name;  // "" for a free seat
    bool ready = false;
    bool away = false;      // the seat's person has no link now
    bool autoPlay = false;  // the seat's person has handed it to the computer player
    int surplus = -1;       // cards left; -1 between games
    // On the table since the seat's last turn began; empty for none, and for every seat once
    // a new lead has begun (a finished trick leaves the table, as on the seats' screens).
    std::vector<int> cards;
    bool pass = false;       // the seat's action since its last turn began was a pass
};

struct RejoinSnapshot {
    int desk = -1;
    int seat = -1;     // -1: a spectator's snapshot
    std::string name;  // the seat's; "" for a spectator
    bool playing = false;
    std::string code;      // the private desk's code; "" at a public desk
    bool creator = false;  // this seat's person opened the private desk (the hall says so)
    std::array<SnapshotSeat, 4> seats;
    // The rest is meaningful only while playing.
    std::vector<int> hand;      // this seat's cards, sorted by code; empty for a spectator
    std::vector<int> seen;      // every card played this game, with repeats, sorted by code
    std::vector<int> lastPlay;  // the play to beat; empty when the seat to move leads
    int lastSeat = -1;          // who made it; -1 when the seat to move leads
    int tablePoints = 0;
    std::array<int, 2> teamPoints{};
    int turn = -1;  // the seat to move; -1 none
    bool mustLead = false;
    long long leftMs = 0;  // of the turn's countdown (kTurnSeconds), at least 0
};

}  // namespace server
