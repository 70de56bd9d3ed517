#pragma once
// The figures of one game for the summary shown after its result: each seat's name, its place in
// the finishing order, the points it took in tricks and its result, beside the team totals the
// server reported. Fed every decoded message; it keeps nothing else. Main thread only.
//
//   figure        taken from
//   place         "game": the order in which the seats' `surplus` reached "0". Seats out before
//                 a "resume" share the first places, seats still in at the end the last ones
//   points        "game": a trick's points (the table's `score` before the message that ends
//                 the trick, whose own score is the swept table's 0) go to the seat whose play
//                 was the trick's last play
//   team points   "score": p0 (seats 0 and 2) and p1 (seats 1 and 3), the last before "over"
//   extra         the points left at the end (the last trick and the cards still held), which
//                 the team that went out takes: its team points less its seats' points
//   name, result  "over"
// The seats' points agree with the team points when the team that did not go out has exactly its
// seats' points and the one that went out at least its seats'. A game joined midway (a "resume"
// after points were taken) misses tricks: its seats' points never count as agreeing.

#include <array>
#include <string>
#include <vector>

#include "models/desk/PlayerInfo.h"

struct stMsg;

struct SummarySeat {
    std::string name;
    int firstPlace = 0;  // places 1..4; a seat sharing places has the range first..last
    int lastPlace = 0;
    int points = 0;  // taken in tricks
    int result = 0;  // as "over" gives it: +2 a sweep won ... -2 a sweep lost, 0 a draw
};

class GameSummary {
public:
    // Takes "start", "game", "score", "over" and "resume"; any other kind changes nothing.
    void follow(const stMsg& msg);

    // An "over" ended the game followed since its deal or its "resume".
    bool finished() const { return m_finished; }
    const std::array<SummarySeat, kSeatCount>& seats() const { return m_seats; }
    const std::array<int, 2>& teamPoints() const { return m_teamPoints; }
    // The team that went out (0: seats 0 and 2, 1: seats 1 and 3); -1 when neither did.
    int teamOut() const;
    bool seatsAgree() const;
    // What the team that went out took besides its seats' tricks; 0 when the seats' points do
    // not agree or no team went out.
    int extraPoints() const;

    // "1" for one place, "3-4" for places shared.
    static std::string placeText(const SummarySeat& seat);

private:
    void reset();
    void followGame(const stMsg& msg);
    void finish(const stMsg& over);
    int seatPoints(int team) const;

    bool m_finished = false;
    bool m_pointsMissed = false;  // joined midway after points were taken
    int m_tablePoints = 0;        // the table's score as the last "game" gave it
    int m_trickPlayer = -1;       // who made the last play of the trick in progress
    std::array<bool, kSeatCount> m_out{};
    std::vector<int> m_outBefore;  // out before a "resume": order unknown
    std::vector<int> m_outOrder;   // out since, in order
    std::array<int, 2> m_teamPoints{};
    std::array<SummarySeat, kSeatCount> m_seats;
};
