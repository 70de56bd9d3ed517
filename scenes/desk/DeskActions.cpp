// The local player's actions: the four buttons, card selection by touch and drag, and the turn
// countdown that plays or passes for the player when the local turn runs out.
//
// A hand card rests at y = 45 with m_selected false, or is raised at y = 70 with m_selected true;
// every move between the two changes both, so the flag and the position always agree.
//
// An action that the server must learn of is sent first and changes the desk only once sent:
// while the link is down nothing goes out, the hand keeps its cards and the buttons stay, and
// the desk the server restores on the new link takes over as the server holds it.

#include <algorithm>
#include <cmath>

#include "cards/CardSprite.h"
#include "cards/HandRules.h"
#include "cards/PlaySounds.h"
#include "net/CMessageQueue.h"
#include "net/OutgoingMessages.h"
#include "scenes/desk/CDeskScene.h"

using namespace engine;

namespace {

// A touch more than this far above a card's top is above the whole hand.
constexpr float kReachAboveCard = 30;

// The countdown timer fires once a second and reports the time that really passed: about one
// second, or the whole of a stall (a modal box, a busy machine) at once. It moves the count on by
// every whole second, and by at least one, since frame timing may report a hair under a second.
int wholeSecondsIn(float passed) {
    return std::max(1, static_cast<int>(std::floor(passed + 0.01f)));
}

// The local countdown warns on 8, 6, 4, 2 and 0: true when counting from `from` down to `to`
// reaches one of them (once, however many a stall skipped).
bool reachesWarning(int from, int to) {
    for (int second = std::max(to, 0); second < from; ++second) {
        if (second < 10 && second % 2 == 0) {
            return true;
        }
    }
    return false;
}

// The last seconds of the local countdown tick softly, once each: 5, 4, 3, 2 and 1. True when
// counting from `from` down to `to` reaches one of them (once, however many a stall skipped).
constexpr int kLastSeconds = 5;
bool reachesLastSeconds(int from, int to) {
    return std::max(to, 1) <= std::min(from - 1, kLastSeconds);
}

}  // namespace

bool CDeskScene::isRaised(const CardSprite* card) {
    return card->getPositionY() == kHandRaisedY;
}

bool CDeskScene::sendToServer(const std::string& text) const {
    return CMessageQueue::getInstance()->sendMsg(text);
}

// ---- Buttons ------------------------------------------------------------------------------------

void CDeskScene::onReadyButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    if (!sendToServer(readyMessage(m_desk, m_mySite))) {
        return;
    }
    m_btnReady->setVisible(false);
    m_btnReady->setEnabled(false);
    resetSeat(-1);
    if (st_player_info* self = seatOf(m_mySite)) {
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
    if (type != ui::Widget::TouchEventType::ENDED || m_lastPlay.empty()) {
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
    std::vector<int> codes = collectRaised();
    if (codes.empty()) {
        return;
    }
    const BeatResult result = canBeat(m_lastPlay, codes);
    if (!result.ok) {
        MessageBox("出牌不符合规则.", "提示");
        return;
    }
    if (!sendToServer(playMessage(m_desk, m_mySite, codes))) {
        return;
    }
    withdrawTurnButtons();
    m_lastPlay = codes;

    // Each code takes the raised copy itself, the left-most raised one of that code, so that a
    // resting copy of the same code stays in the hand.
    for (int code : codes) {
        for (std::size_t i = 0; i < m_hand.size(); ++i) {
            if (m_hand[i]->m_card == code && isRaised(m_hand[i])) {
                removeFromHand(i);
                break;
            }
        }
    }
    layoutHand();
    m_pendingPlay.add(codes, true);
    for (std::string_view sound : ownPlaySounds(result, codes.size())) {
        playSound(sound);
    }
}

std::vector<int> CDeskScene::collectRaised() const {
    std::vector<int> codes;
    for (const CardSprite* card : m_hand) {
        if (isRaised(card)) {
            codes.push_back(card->m_card);
        }
    }
    return codes;
}

// ---- Card selection -----------------------------------------------------------------------------

void CDeskScene::toggleCard(CardSprite* card, bool raise) {
    m_lastTouched = card;
    card->m_selected = raise;
    card->setPosition(Vec2(card->getPositionX(), raise ? kHandRaisedY : kHandRestY));
}

// The right-most card whose box holds `point` (cards overlap, and the right one is drawn on top);
// null when there is none or the point lies far above the hand.
CardSprite* CDeskScene::cardAt(const Vec2& point) const {
    for (auto it = m_hand.rbegin(); it != m_hand.rend(); ++it) {
        const Rect box = (*it)->getBoundingBox();
        if (point.y > box.getMaxY() + kReachAboveCard) {
            return nullptr;
        }
        if (box.containsPoint(point)) {
            return *it;
        }
    }
    return nullptr;
}

bool CDeskScene::onTouchBegan(Touch* touch, Event*) {
    if (CardSprite* card = cardAt(touch->getLocation())) {
        toggleCard(card, !card->m_selected);
    }
    return true;
}

void CDeskScene::onTouchMoved(Touch* touch, Event*) {
    CardSprite* card = cardAt(touch->getLocation());
    if (card != nullptr && card != m_lastTouched) {
        toggleCard(card, !isRaised(card));
    }
}

// ---- Turn countdown -----------------------------------------------------------------------------

void CDeskScene::tickCountdown(float dt) {
    if (!m_gameRunning || m_turnSite == -1) {
        return;
    }
    st_player_info* seat = seatOf(m_turnSite);
    if (seat == nullptr) {
        return;
    }
    const int before = m_turnSecondsLeft;
    m_turnSecondsLeft -= wholeSecondsIn(dt);
    if (!ownsTurn()) {
        // The digit atlas has no minus sign: another seat's countdown rests at "0" until the
        // server moves the turn on. So does the local one while the server plays the seat, and
        // the one a spectator watches.
        m_turnSecondsLeft = std::max(m_turnSecondsLeft, 0);
        seat->countdown->setString(std::to_string(m_turnSecondsLeft));
        return;
    }
    m_turnSecondsLeft = std::max(m_turnSecondsLeft, -1);
    seat->countdown->setString(std::to_string(m_turnSecondsLeft));
    if (reachesWarning(before, m_turnSecondsLeft)) {
        playSound("sound/jg.wav");
    }
    if (reachesLastSeconds(before, m_turnSecondsLeft)) {
        playSound("sound/tick.wav");
    }
    if (m_turnSecondsLeft < 0) {
        expireLocalTurn(*seat);
    }
}

// Out of time: lead the left-most card when leading, pass otherwise. With nothing left to lead,
// or the link down, the turn only ends and the hand keeps its cards.
void CDeskScene::expireLocalTurn(st_player_info& seat) {
    seat.countdown->setVisible(false);
    m_btnPlay->setVisible(false);
    m_btnPass->setVisible(false);
    offerHint(false);
    m_turnSite = -1;
    if (!m_lastPlay.empty()) {
        sendToServer(passMessage(m_desk, m_mySite));
        return;
    }
    if (m_hand.empty()) {
        return;
    }
    const int code = m_hand.front()->m_card;
    if (!sendToServer(leadMessage(m_desk, m_mySite, code))) {
        return;
    }
    removeFromHand(0);
    layoutHand();
    m_pendingPlay.add({code}, false);
}
