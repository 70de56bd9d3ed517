// Coming back to the seat: the desk built from the server's "resume", which holds the whole desk
// as the server sees it. Nothing of the plays made meanwhile is played as sound; the local turn,
// when it is one, begins as any turn does (its buttons and its chime).
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

#include "cards/CardSprite.h"
#include "net/Message.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/TurnClock.h"

using namespace engine;

CDeskScene* CDeskScene::createSeated(const stMsg& seating, bool creator) {
    if (!isSeatNumber(seating.site)) {
        return nullptr;
    }
    CDeskScene* desk = create();
    if (desk == nullptr) {
        return nullptr;
    }
    desk->setDeskInfo(seating.desk, seating.site, seating.name);
    if (!seating.code.empty() && !desk->setPrivateDesk(seating.code, creator)) {
        return nullptr;
    }
    return desk;
}

CDeskScene* CDeskScene::createRestored(const stMsg& resume) {
    CDeskScene* desk = createSeated(resume, resume.creator != 0);
    if (desk == nullptr) {
        return nullptr;
    }
    desk->restore(resume);
    desk->followTricks(resume);
    return desk;
}

void CDeskScene::restore(const stMsg& resume) {
    m_gameRunning = resume.playing != 0;
    forEachSeat(resume, [this](int site, st_player_info& seat, const st_seat_info& entry) {
        seat.name_label->setString(entry.name);
        seat.name = entry.name;
        showPresence(seat, entry);
        if (!m_gameRunning) {
            seat.ready_sprite->setVisible(entry.ready == 1);
            return;
        }
        if (site != m_mySite) {
            seat.count_label->setString(entry.surplus);
        }
        seat.over_label->setVisible(entry.surplus == "0");
        seat.pass_label->setVisible(entry.pass == 1);
        layPlayed(seat, cardsIn(entry.cards));
    });
    m_localAuto = !m_watching && resume.info[static_cast<std::size_t>(m_mySite)].auto_play != 0;

    if (!m_gameRunning) {
        const bool ready = resume.info[static_cast<std::size_t>(m_mySite)].ready == 1;
        m_btnReady->setVisible(!ready && !m_watching);
        m_btnReady->setEnabled(!ready && !m_watching);
        showAutoControls();
        return;
    }
    m_btnReady->setVisible(false);
    m_btnReady->setEnabled(false);

    const std::vector<int> hand = cardsIn(resume.cards);
    for (int code : hand) {
        if (CardSprite* card = CardSprite::createWithCard(code)) {
            addChild(card, 1);
            m_hand.push_back(card);
        }
    }
    layoutHand();
    // Unseen: the decks less the dealt hand and the others' plays; the dealt hand is the hand
    // now and the local seat's own plays, which `seen` holds with everyone else's.
    m_cardTracker.deal(hand);
    m_cardTracker.shown(cardsIn(resume.seen));
    showTrackerCounts();

    m_lblTableScore->setString(std::to_string(resume.score));
    const bool even = m_mySite % 2 == 0;
    m_lblOwnScore->setString(even ? resume.p0 : resume.p1);
    m_lblOtherScore->setString(even ? resume.p1 : resume.p0);

    m_lastPlay = resume.must != 0 ? std::vector<int>{} : cardsIn(resume.last);
    showAutoControls();
    showTalkControls();
    st_player_info* turn = seatOf(resume.now);
    if (turn == nullptr) {
        return;
    }
    m_turnSite = resume.now;
    m_turnSecondsLeft = resumedTurnSeconds(resume, std::chrono::steady_clock::now());
    turn->countdown->setString(std::to_string(m_turnSecondsLeft));
    turn->countdown->setVisible(true);
    if (ownsTurn()) {
        offerTurnButtons(resume.must == 0);
        alertTurn();
    }
}
