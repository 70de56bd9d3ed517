#pragma once
// Writes a desk's RejoinSnapshot (DeskGame::snapshot) from the desk's seats and round, and keeps
// the one thing only the snapshot shows: what each seat put on the table since its last turn
// began, as the seats' screens show it (a turn takes the seat's own cards off the table, a new
// lead the whole finished trick). The desk tells it of every turn and accepted action.

#include <array>
#include <vector>

#include "server/game/DeskOutput.h"
#include "server/game/RejoinSnapshot.h"

namespace server {

class DeskGame;

class SnapshotWriter {
public:
    // A deal: nothing on the table.
    void clearTable();
    // `seat`'s turn begins; `newLead`: it leads, the finished trick is gone.
    void turnBegins(int seat, bool newLead);
    // `seat`'s accepted play (`cards`), or pass (none).
    void acted(int seat, std::vector<int> cards);
    // What `seat`'s person needs to take `desk` up again (seat -1: a spectator, without any
    // hand or seat name), `turnElapsed` after the running turn began.
    RejoinSnapshot write(const DeskGame& desk, int seat, Millis turnElapsed) const;

private:
    struct TableMark {
        std::vector<int> cards;
        bool pass = false;
    };
    std::array<TableMark, 4> m_marks;
};

}  // namespace server
