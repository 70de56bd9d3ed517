#include "models/desk/TrickHistory.h"

#include "cards/CardCode.h"
#include "net/Message.h"

void TrickHistory::follow(const stMsg& msg) {
    if (msg.opt == "start") {
        forget();
    } else if (msg.opt == "game") {
        followGame(msg);
    } else if (msg.opt == "resume") {
        forget();
        m_currentSeen = msg.playing != 0 && msg.must != 0;
    }
}

void TrickHistory::forget() {
    m_current.clear();
    m_currentSeen = false;
    m_last.clear();
}

void TrickHistory::followGame(const stMsg& msg) {
    if (isSeatNumber(msg.per)) {
        m_current.push_back(TrickPlay{msg.per, parseGameCardList(msg.cards)});
    }
    if (msg.must == 0 || !isSeatNumber(msg.now)) {
        return;
    }
    if (isSeatNumber(msg.per)) {
        if (m_currentSeen) {
            m_last = std::move(m_current);
        } else {
            m_last.clear();
        }
    }
    m_current.clear();
    m_currentSeen = true;
}

TrickHistory::Table TrickHistory::lastTable() const {
    Table table;
    for (const TrickPlay& play : m_last) {
        auto& seat = table[static_cast<std::size_t>(play.seat)];
        if (!seat || !play.cards.empty()) {
            seat = play.cards;
        }
    }
    return table;
}
