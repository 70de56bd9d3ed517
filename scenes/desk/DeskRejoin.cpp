// Rejoin: the desk built from the server's "resume", which holds the whole desk as the server
// sees it. Nothing of the plays made meanwhile is played as sound; the local turn, when it is
// one, begins as any turn does (its buttons and its chime). A spectator's desk is laid out the
// same way from its snapshot.
//
//   resume says            the desk shows
//   every seat             name, 离线 and 托管 tags; between games the ready marker
//   playing "1", seat k    cards left (not for the local seat), over when none, its cards or
//                          "pass" on the table
//   playing "1"            the hand as sent, the points on the table, both team scores, the
//                          countdown of seat `now` from `left`, the last play to beat, the card
//                          tracker (the decks less the hand and every card seen), no ready button
//   playing "0"            the ready button, unless the local seat is ready already

#include <chrono>

#include "cards/CardCode.h"
#include "models/desk/TurnClock.h"
#include "net/Message.h"
#include "scenes/desk/CDeskAuto.h"
#include "scenes/desk/CDeskHelp.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CDeskSeats.h"
#include "scenes/desk/CDeskTalk.h"
#include "scenes/desk/CDeskTurn.h"
#include "scenes/desk/CHandView.h"
#include "scenes/desk/CLastTrick.h"
#include "scenes/desk/CPlayArea.h"

using namespace engine;

CDeskScene* CDeskScene::createRejoined(const stMsg& resume) {
    CDeskScene* desk = createSeated(resume, resume.creator != 0);
    if (desk == nullptr) {
        return nullptr;
    }
    desk->applyRejoin(resume);
    desk->m_lastTrick->follow(resume, desk->m_mySite);
    return desk;
}

void CDeskScene::applyRejoin(const stMsg& resume) {
    m_gameRunning = resume.playing != 0;
    m_seats->forEach(resume, [this](int site, st_player_info& seat, const st_seat_info& entry) {
        seat.name_label->setString(entry.name);
        seat.name = entry.name;
        CDeskSeats::showPresence(seat, entry);
        if (!m_gameRunning) {
            seat.ready_sprite->setVisible(entry.ready == 1);
            return;
        }
        if (site != m_mySite) {
            seat.count_label->setString(entry.surplus);
        }
        seat.over_label->setVisible(entry.surplus == "0");
        seat.pass_label->setVisible(entry.pass == 1);
        m_table->lay(seat, parseGameCardList(entry.cards));
    });
    const st_seat_info& mine = resume.info[static_cast<std::size_t>(m_mySite)];
    m_auto->setLocal(!m_watching && mine.auto_play != 0);

    if (!m_gameRunning) {
        m_turn->showReady(mine.ready != 1 && !m_watching);
        showAutoControls();
        return;
    }
    m_turn->showReady(false);

    m_hand->change([&resume](HandModel& hand) { hand.hold(parseGameCardList(resume.cards)); });
    // Unseen: the decks less the dealt hand and the others' plays; the dealt hand is the hand
    // now and the local seat's own plays, which `seen` holds with everyone else's.
    m_help->deal(m_hand->model().codes());
    m_help->seen(parseGameCardList(resume.seen));

    m_table->showTableScore(resume.score);
    m_table->showTeamScores(resume.p0, resume.p1, m_mySite);
    m_table->lastPlay() = resume.must != 0 ? std::vector<int>{} : parseGameCardList(resume.last);
    showAutoControls();
    m_talk->showControls(m_watching);
    st_player_info* turn = m_seats->seatOf(resume.now);
    if (turn == nullptr) {
        return;
    }
    m_turn->start(resume.now, resumedTurnSeconds(resume, std::chrono::steady_clock::now()), *turn);
    if (ownsTurn()) {
        offerTurnButtons(resume.must == 0);
        CDeskHelp::alertTurn();
    }
}
