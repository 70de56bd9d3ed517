// The local player's actions: the ready, return, play and pass buttons, and the turn countdown
// that plays or passes for the player when the local turn runs out. What is raised is the hand
// model's to say; a play takes out the cards it holds raised.
//
// An action that the server must learn of is sent first and changes the desk only once sent:
// while the link is down nothing goes out, the hand keeps its cards and the buttons stay, and
// the desk the server sends on the new link takes over as the server holds it.

#include "cards/HandRules.h"
#include "cards/PlaySounds.h"
#include "net/CMessageQueue.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskHelp.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CDeskSeats.h"
#include "scenes/desk/CDeskTurn.h"
#include "scenes/desk/CHandView.h"
#include "scenes/desk/CPlayArea.h"

using namespace engine;

bool CDeskScene::sendToServer(const std::string& text) {
    return CMessageQueue::getInstance()->sendMsg(text);
}

void CDeskScene::onReadyButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED ||
        !sendToServer(readyMessage(m_desk, m_mySite))) {
        return;
    }
    m_turn->showReady(false);
    resetSeat(-1);
    if (st_player_info* self = m_seats->seatOf(m_mySite)) {
        self->ready_sprite->setVisible(true);
    }
}

// During a game the first press only warns; the next press in the same game leaves.
void CDeskScene::onReturnButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    // A spectator plays no part in the game: it leaves at once.
    if (m_watching) {
        sendToServer(unwatchMessage());
        returnToHall();
        return;
    }
    if (m_gameRunning && !m_leaveArmed) {
        MessageBox("游戏还未结束，真的要退出吗？再次点击返回按钮将强制退出回到大厅！", "提醒");
        m_leaveArmed = true;
        return;
    }
    sendToServer(leaveMessage(m_desk, m_mySite));
    returnToHall();
}

void CDeskScene::onPassButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED || m_table->lastPlay().empty()) {
        return;
    }
    if (sendToServer(passMessage(m_desk, m_mySite))) {
        withdrawTurnButtons();
    }
}

void CDeskScene::onPlayButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    std::vector<int> raised = m_hand->model().raisedCodes();
    if (raised.empty()) {
        return;
    }
    const BeatResult result = canBeat(m_table->lastPlay(), raised);
    if (!result.ok) {
        MessageBox("出牌不符合规则.", "提示");
        return;
    }
    std::vector<int> played;
    m_hand->change([this, &played](HandModel& hand) {
        played = hand.playRaised([this](const std::vector<int>& codes) {
            return sendToServer(playMessage(m_desk, m_mySite, codes));
        });
    });
    if (played.empty()) {
        return;
    }
    withdrawTurnButtons();
    m_table->lastPlay() = played;
    m_pendingPlay.add(played, true);
    for (std::string_view sound : ownPlaySounds(result, played.size())) {
        playEffectOnce(sound);
    }
}

bool CDeskScene::lowerCards() {
    bool lowered = false;
    m_hand->change([&lowered](HandModel& hand) { lowered = hand.lowerAll(); });
    return lowered;
}

void CDeskScene::tickCountdown(float dt) {
    if (!m_gameRunning || m_turn->site() == -1) {
        return;
    }
    if (st_player_info* seat = m_seats->seatOf(m_turn->site())) {
        if (m_turn->tick(dt, ownsTurn(), *seat)) {
            expireLocalTurn();
        }
    }
}

// Out of time: lead the left-most card when leading, pass otherwise. With nothing left to lead,
// or the link down, the turn only ends and the hand keeps its cards.
void CDeskScene::expireLocalTurn() {
    m_help->offerHint(false);
    if (!m_table->lastPlay().empty()) {
        sendToServer(passMessage(m_desk, m_mySite));
        return;
    }
    std::optional<int> led;
    m_hand->change([this, &led](HandModel& hand) {
        led = hand.playFirst([this](const std::vector<int>& codes) {
            return sendToServer(leadMessage(m_desk, m_mySite, codes.front()));
        });
    });
    if (led) {
        m_pendingPlay.add({*led}, false);
    }
}
