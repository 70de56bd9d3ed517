// The desk's reaction to server messages, handed over one at a time by CMessagePump: each kind
// goes to the parts that show it, with its sounds and boxes.

#include <chrono>

#include "cards/CardCode.h"
#include "cards/PlaySounds.h"
#include "models/desk/TurnClock.h"
#include "net/Message.h"
#include "scenes/common/CNamePanel.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskAuto.h"
#include "scenes/desk/CDeskHelp.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CDeskSeats.h"
#include "scenes/desk/CDeskTalk.h"
#include "scenes/desk/CDeskTurn.h"
#include "scenes/desk/CHandView.h"
#include "scenes/desk/CLastTrick.h"
#include "scenes/desk/CPlayArea.h"
#include "scenes/desk/CWatchBar.h"
#include "scenes/hall/CHallScene.h"
#include "wire/GameConstants.h"

using namespace engine;

void CDeskScene::onServerMessage(const std::shared_ptr<stMsg>& msg) {
    if (m_watching && !takeWatchMessage(msg)) {
        return;
    }
    const std::string& opt = msg->opt;
    if (opt == "change") {
        m_seats->showNames(*msg, [this](int site) { resetSeat(site); });
    } else if (opt == "start") {
        handleStart(*msg);
    } else if (opt == "run") {
        MessageBox(std::to_string(msg->site) + "->" + msg->name + ":-10\r\n", "玩家逃跑，游戏结束");
        endGame();
    } else if (opt == "over") {
        CLastTrick::showResult(*msg, m_mySite, m_watching);
        endGame();
    } else if (opt == "game") {
        handleGame(*msg);
    } else if (opt == "score") {
        if (isSeatNumber(m_mySite)) {
            m_table->showTeamScores(msg->p0, msg->p1, m_mySite);
        }
    } else if (opt == "presence") {
        handlePresence(*msg);
    } else if (opt == "talk") {
        if (const st_player_info* seat = m_seats->seatOf(msg->site)) {
            m_talk->hear(m_seats->positionOf(msg->site), seat->name, msg->say);
        }
    } else if (opt == "name") {
        CNamePanel::deliver(*msg);
    } else if (opt == "timeout") {
        returnToHall();
        return;
    }
    m_lastTrick->follow(*msg, m_mySite);
    m_talk->showControls(m_watching);
    showPrivateBar();
    if (m_watching) {
        m_watch->follow(*msg);
        showBacks();
    }
}

// The deal is the whole new hand. The ready press clears the old one first, but a server may deal
// again without it; the old cards must not stay in the row, mixed with the new. A list of a
// megabyte is cut at the game's cards: each code becomes a sprite.
void CDeskScene::handleStart(const stMsg& msg) {
    beginGame();
    playEffectOnce("sound/bg.wav");
    m_hand->change([](HandModel& hand) { hand.clear(); });
    m_pendingPlay.clear();
    m_help->resetHint();
    // The counts of the last game are over; the opening turn gives the new deal's size.
    m_seats->showCounts("", false);
    m_hand->change([&msg](HandModel& hand) { hand.deal(parseGameCardList(msg.cards)); });
    m_help->deal(m_hand->model().codes());
}

// The server took no play after the result, so a play still pending goes back into the hand; the
// play and pass buttons of a game that no longer exists go away.
void CDeskScene::endGame() {
    m_gameRunning = false;
    m_leaveArmed = false;
    resetSeat(m_mySite);
    m_turn->stop();
    if (!m_pendingPlay.empty()) {
        m_hand->change([this](HandModel& hand) { hand.putBack(m_pendingPlay.codes()); });
        m_pendingPlay.clear();
    }
    withdrawTurnButtons();
    m_turn->showReady(!m_watching);
    showAutoControls();
}

bool CDeskScene::settleOwnPlay(const std::vector<int>& echoed) {
    const bool confirmed = m_pendingPlay.isEchoedBy(echoed);
    const bool soundPlayed = confirmed && m_pendingPlay.soundPlayed();
    if (!confirmed && !(m_pendingPlay.empty() && echoed.empty())) {
        m_hand->change([this, &echoed](HandModel& hand) {
            hand.putBack(m_pendingPlay.codes());
            hand.takeOut(echoed);
        });
    }
    m_pendingPlay.clear();
    return soundPlayed;
}

void CDeskScene::offerTurnButtons(bool passOffered) {
    m_turn->offer(passOffered);
    m_help->offerHint(true);
}

void CDeskScene::withdrawTurnButtons() {
    m_turn->withdraw();
    m_help->offerHint(false);
}

bool CDeskScene::ownsTurn() const {
    return m_turn->site() == m_mySite && !m_auto->localAuto() && !m_watching;
}

void CDeskScene::showAutoControls() {
    m_auto->show(m_gameRunning, m_watching);
}

void CDeskScene::handleGame(const stMsg& msg) {
    m_table->showTableScore(msg.score);
    if (msg.per != -1) {
        showPlay(msg);
    } else {
        // The opening turn: every other seat holds the whole deal.
        m_seats->showCounts(msg.surplus, true);
    }
    if (msg.now != -1) {
        startTurn(msg);
    }
}

void CDeskScene::handlePresence(const stMsg& msg) {
    m_seats->forEach(msg, [](int, st_player_info& seat, const st_seat_info& entry) {
        CDeskSeats::showPresence(seat, entry);
    });
    if (!isSeatNumber(m_mySite) || m_watching) {
        return;
    }
    const bool on = msg.info[static_cast<std::size_t>(m_mySite)].auto_play != 0;
    const bool changed = m_auto->setLocal(on);
    showAutoControls();
    if (!changed || !m_gameRunning || m_turn->site() != m_mySite) {
        return;
    }
    // Within the local turn: the buttons go while the server plays, and come back with the turn.
    if (on) {
        withdrawTurnButtons();
    } else {
        offerTurnButtons(!m_table->lastPlay().empty());
    }
}

bool CDeskScene::returnToHall() {
    // The change stops this desk's timers and makes the hall the reader.
    return showLayerInNewScene(CHallScene::create());
}

void CDeskScene::resetSeat(int site) {
    m_table->resetScores();
    if (site != -1) {
        if (st_player_info* seat = m_seats->seatOf(site)) {
            CDeskSeats::hideMarkers(*seat);
        }
        return;
    }
    m_hand->change([](HandModel& hand) { hand.clear(); });
    m_pendingPlay.clear();
    m_lastTrick->forget();
    m_turn->hide();
    m_help->offerHint(false);
    for (int k = 0; k < kSeatCount; ++k) {
        if (st_player_info* seat = m_seats->seatOf(k)) {
            CDeskSeats::hideMarkers(*seat);
            m_table->clear(*seat);
        }
    }
}

void CDeskScene::beginGame() {
    m_gameRunning = true;
    m_seats->hideReady();
    showAutoControls();
}

void CDeskScene::showPlay(const stMsg& msg) {
    st_player_info* seat = m_seats->seatOf(msg.per);
    if (seat == nullptr) {
        return;
    }
    seat->count_label->setString(msg.surplus);
    if (msg.surplus == "0") {
        seat->over_label->setVisible(true);
    }
    seat->countdown->setVisible(false);
    // The seat has acted: its turn is over even when the message names no next seat, so a local
    // countdown hidden here must not run on and act by itself.
    if (msg.per == m_turn->site()) {
        m_turn->stop();
    }

    const std::vector<int> codes = parseGameCardList(msg.cards);
    const bool soundPlayed = msg.per == m_mySite && !m_watching && settleOwnPlay(codes);
    // The local seat's cards were seen in the hand; another seat's are seen now.
    if (msg.per != m_mySite) {
        m_help->seen(codes);
    }
    if (codes.empty()) {
        seat->pass_label->setVisible(true);
    } else {
        m_table->lastPlay() = codes;
        m_table->lay(*seat, codes);
    }
    for (std::string_view sound : soundPlayed ? echoedPlaySounds(codes) : shownPlaySounds(codes)) {
        playEffectOnce(sound);
    }
}

void CDeskScene::startTurn(const stMsg& msg) {
    st_player_info* seat = m_seats->seatOf(msg.now);
    if (seat == nullptr) {
        return;
    }
    seat->pass_label->setVisible(false);
    m_table->clear(*seat);
    // The server's timer started when it sent the message: a record handled late starts lower.
    m_turn->start(msg.now, turnStartSeconds(msg, std::chrono::steady_clock::now()), *seat);
    m_help->resetHint();

    if (msg.must != 0) {
        for (int k = 0; k < kSeatCount; ++k) {
            if (st_player_info* other = m_seats->seatOf(k)) {
                other->pass_label->setVisible(false);
                m_table->clear(*other);
            }
        }
    }
    if (msg.must != 0 && msg.now == m_mySite) {
        m_table->lastPlay().clear();
    }
    // Another seat moves, or the server plays the local seat (托管), or the seat is only watched:
    // a play or pass offered to the local player earlier is over, and pressing it now would take
    // cards from the hand that the server never accepts.
    if (!ownsTurn()) {
        withdrawTurnButtons();
        return;
    }
    offerTurnButtons(msg.must == 0);
    CDeskHelp::alertTurn();
}
