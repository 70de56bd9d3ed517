#include "server/game/SnapshotWriter.h"

#include <algorithm>

#include "server/game/DeskGame.h"

namespace server {

void SnapshotWriter::clearTable() {
    m_marks.fill(TableMark{});
}

void SnapshotWriter::turnBegins(int seat, bool newLead) {
    if (newLead) {
        clearTable();
    } else {
        m_marks[seat] = TableMark{};
    }
}

void SnapshotWriter::acted(int seat, std::vector<int> cards) {
    const bool pass = cards.empty();
    m_marks[seat] = TableMark{std::move(cards), pass};
}

RejoinSnapshot SnapshotWriter::write(const DeskGame& desk, int seat, Millis turnElapsed) const {
    RejoinSnapshot snap;
    snap.desk = desk.number();
    snap.seat = seat;
    if (seat >= 0) {
        snap.name = desk.seat(seat).name;
    }
    const Round* round = desk.round();
    snap.playing = round != nullptr;
    snap.code = desk.privateCode();
    for (int k = 0; k < 4; ++k) {
        const DeskGame::Seat& s = desk.seat(k);
        SnapshotSeat& line = snap.seats[k];
        line.name = s.name;
        line.ready = s.ready;
        line.away = s.away;
        line.autoPlay = s.autoPlay;
        if (round != nullptr) {
            line.surplus = static_cast<int>(round->hand(k).size());
            line.cards = m_marks[k].cards;
            line.pass = m_marks[k].pass;
        }
    }
    if (round == nullptr) {
        return snap;
    }
    if (seat >= 0) {
        snap.hand = round->hand(seat);
    }
    for (int code = 0; code < kCardsPerDeck; ++code) {
        snap.seen.insert(snap.seen.end(), round->played()[code], code);
    }
    snap.lastPlay = round->lastPlay();
    snap.lastSeat = round->lastPlayer();
    snap.tablePoints = round->tablePoints();
    snap.teamPoints = round->teamPoints();
    snap.turn = round->turn();
    snap.mustLead = round->mustLead();
    const Millis left = Millis(kTurnSeconds * 1000) - turnElapsed;
    snap.leftMs = std::max<long long>(0, left.count());
    return snap;
}

}  // namespace server
