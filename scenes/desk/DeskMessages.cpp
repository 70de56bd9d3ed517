// The desk's reaction to server messages, handed over one at a time by CMessagePump: each kind
// changes the seat records, labels, buttons, the hand and the table, with its sounds and boxes.

#include <chrono>

#include "cards/CardCode.h"
#include "cards/CardSprite.h"
#include "cards/PlaySounds.h"
#include "net/Message.h"
#include "scenes/common/CNamePanel.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/TurnClock.h"
#include "scenes/hall/CHallScene.h"
#include "wire/GameConstants.h"

using namespace engine;

// The desk makes a sprite for each code, and a server's list of a megabyte would otherwise
// become half a million sprites and hundreds of megabytes.
std::vector<int> CDeskScene::cardsIn(const std::string& list) {
    return parseGameCardList(list);
}

void CDeskScene::playSound(std::string_view path) {
    SimpleAudioEngine::getInstance()->playEffect(std::string(path), false, 1.0f, 0.0f, 1.0f);
}

void CDeskScene::onServerMessage(const std::shared_ptr<stMsg>& msg) {
    if (m_watching && !takeWatchMessage(msg)) {
        return;
    }
    const std::string& opt = msg->opt;
    if (opt == "change") {
        handleChange(*msg);
    } else if (opt == "start") {
        handleStart(*msg);
    } else if (opt == "run") {
        handleRun(*msg);
    } else if (opt == "over") {
        handleOver(*msg);
    } else if (opt == "game") {
        handleGame(msg);
    } else if (opt == "score") {
        handleScore(*msg);
    } else if (opt == "presence") {
        handlePresence(*msg);
    } else if (opt == "talk") {
        handleTalk(*msg);
    } else if (opt == "name") {
        CNamePanel::deliver(*msg);
    } else if (opt == "timeout") {
        returnToHall();
        return;
    }
    followTricks(*msg);
    showTalkControls();
    showPrivateBar();
    if (m_watching) {
        followWatchedDesk(*msg);
    }
}

void CDeskScene::handleChange(const stMsg& msg) {
    forEachSeat(msg, [this](int site, st_player_info& seat, const st_seat_info& entry) {
        seat.name_label->setString(entry.name);
        seat.name = entry.name;
        if (entry.name.empty()) {
            resetSeat(site);
        }
        seat.ready_sprite->setVisible(entry.ready == 1);
    });
}

// The deal is the whole new hand. The ready press clears the old one first, but a server may deal
// again without it; the old cards must not stay in the row, mixed with the new.
void CDeskScene::handleStart(const stMsg& msg) {
    beginGame();
    playSound("sound/bg.wav");
    while (!m_hand.empty()) {
        removeFromHand(m_hand.size() - 1);
    }
    m_pendingPlay.clear();
    m_hintCycle.reset();
    // The counts of the last game are over; the opening turn gives the new deal's size.
    for (const auto& entry : m_siteMap) {
        entry.second->count_label->setString("");
    }
    std::vector<int> codes = cardsIn(msg.cards);
    sortHand(codes);
    m_cardTracker.deal(codes);
    showTrackerCounts();
    for (int code : codes) {
        CardSprite* card = CardSprite::createWithCard(code);
        if (card == nullptr) {
            continue;
        }
        addChild(card, 1);
        m_hand.push_back(card);
    }
    layoutHand();
}

void CDeskScene::handleRun(const stMsg& msg) {
    MessageBox(std::to_string(msg.site) + "->" + msg.name + ":-10\r\n", "玩家逃跑，游戏结束");
    endGame();
}

void CDeskScene::handleOver(const stMsg& msg) {
    // A local seat outside 0..3 has no entry of its own: the result is not shown.
    if (m_watching) {
        showWatchedResult(msg);
    } else if (isSeatNumber(m_mySite)) {
        const int result = msg.info[static_cast<std::size_t>(m_mySite)].result;
        if (result > 0) {
            playSound("sound/win.mp3");
            MessageBox("恭喜，赢" + std::to_string(result) + "局！", "游戏结束，你赢了！");
        } else if (result < 0) {
            playSound("sound/lose.mp3");
            MessageBox("很遗憾，输" + std::to_string(result) + "局！", "游戏结束，你输了！");
        } else {
            MessageBox("平局，再接再厉！", "游戏结束，平局！");
        }
    }
    endGame();
}

// The server took no play after the result, so a play still pending goes back into the hand; the
// play and pass buttons of a game that no longer exists go away.
void CDeskScene::endGame() {
    m_gameRunning = false;
    m_leaveArmed = false;
    resetSeat(m_mySite);
    m_turnSite = -1;
    if (!m_pendingPlay.empty()) {
        returnToHand(m_pendingPlay.codes());
        m_pendingPlay.clear();
        layoutHand();
    }
    withdrawTurnButtons();
    m_btnReady->setVisible(!m_watching);
    m_btnReady->setEnabled(!m_watching);
    showAutoControls();
}

bool CDeskScene::settleOwnPlay(const std::vector<int>& echoed) {
    const bool confirmed = m_pendingPlay.isEchoedBy(echoed);
    const bool soundPlayed = confirmed && m_pendingPlay.soundPlayed();
    if (!confirmed && !(m_pendingPlay.empty() && echoed.empty())) {
        returnToHand(m_pendingPlay.codes());
        takeFromHand(echoed);
        layoutHand();
    }
    m_pendingPlay.clear();
    return soundPlayed;
}

void CDeskScene::offerTurnButtons(bool passOffered) {
    m_btnPass->setVisible(passOffered);
    m_btnPass->setEnabled(passOffered);
    m_btnPlay->setVisible(true);
    m_btnPlay->setEnabled(true);
    offerHint(true);
}

bool CDeskScene::ownsTurn() const {
    return m_turnSite == m_mySite && !m_localAuto && !m_watching;
}

void CDeskScene::withdrawTurnButtons() {
    m_btnPass->setVisible(false);
    m_btnPass->setEnabled(false);
    m_btnPlay->setVisible(false);
    m_btnPlay->setEnabled(false);
    offerHint(false);
}

void CDeskScene::handleGame(const std::shared_ptr<stMsg>& msg) {
    m_lblTableScore->setString(std::to_string(msg->score));
    if (msg->per != -1) {
        showPlay(msg);
    } else {
        // The opening turn: every other seat holds the whole deal.
        for (const auto& entry : m_siteMap) {
            if (entry.first != m_mySite) {
                entry.second->count_label->setString(msg->surplus);
            }
        }
    }
    if (msg->now != -1) {
        startTurn(msg);
    }
}

void CDeskScene::handleScore(const stMsg& msg) {
    if (!isSeatNumber(m_mySite)) {
        return;
    }
    const bool even = m_mySite % 2 == 0;
    m_lblOwnScore->setString(even ? msg.p0 : msg.p1);
    m_lblOtherScore->setString(even ? msg.p1 : msg.p0);
}

bool CDeskScene::returnToHall() {
    // The change stops this desk's timers and makes the hall the reader.
    return showLayerInNewScene(CHallScene::create());
}

void CDeskScene::resetSeat(int site) {
    m_lblOwnScore->setString("0");
    m_lblOtherScore->setString("0");
    m_lblTableScore->setString("0");
    if (site != -1) {
        if (st_player_info* seat = seatOf(site)) {
            hideMarkers(*seat);
        }
        return;
    }
    while (!m_hand.empty()) {
        removeFromHand(m_hand.size() - 1);
    }
    m_pendingPlay.clear();
    forgetLastGame();
    m_btnPass->setVisible(false);
    m_btnPlay->setVisible(false);
    offerHint(false);
    for (int k = 0; k < kSeatCount; ++k) {
        if (st_player_info* seat = seatOf(k)) {
            hideMarkers(*seat);
            clearPlayed(*seat);
        }
    }
}

void CDeskScene::beginGame() {
    m_gameRunning = true;
    for (const auto& entry : m_siteMap) {
        entry.second->ready_sprite->setVisible(false);
    }
    showAutoControls();
}

void CDeskScene::showPlay(const std::shared_ptr<stMsg>& msg) {
    st_player_info* seat = seatOf(msg->per);
    if (seat == nullptr) {
        return;
    }
    seat->count_label->setString(msg->surplus);
    if (msg->surplus == "0") {
        seat->over_label->setVisible(true);
    }
    seat->countdown->setVisible(false);
    // The seat has acted: its turn is over even when the message names no next seat, so a local
    // countdown hidden here must not run on and act by itself.
    if (msg->per == m_turnSite) {
        m_turnSite = -1;
    }

    const std::vector<int> codes = cardsIn(msg->cards);
    const bool soundPlayed = msg->per == m_mySite && !m_watching && settleOwnPlay(codes);
    // The local seat's cards were seen in the hand; another seat's are seen now.
    if (msg->per != m_mySite) {
        m_cardTracker.shown(codes);
        showTrackerCounts();
    }
    if (codes.empty()) {
        seat->pass_label->setVisible(true);
    } else {
        m_lastPlay = codes;
        layPlayed(*seat, codes);
    }
    for (std::string_view sound : soundPlayed ? echoedPlaySounds(codes) : shownPlaySounds(codes)) {
        playSound(sound);
    }
}

void CDeskScene::layPlayed(st_player_info& seat, const std::vector<int>& codes) {
    for (std::size_t k = 0; k < codes.size(); ++k) {
        CardSprite* card = CardSprite::createWithCard(codes[k]);
        if (card == nullptr) {
            continue;
        }
        seat.played.push_back(card);
        card->setPosition(playedCardPosition(seat, k, card->getContentSize().width));
        addChild(card);
    }
}

Vec2 CDeskScene::playedCardPosition(const st_player_info& seat, std::size_t index,
                                    float cardWidth) {
    return Vec2(static_cast<float>(seat.play_x) + cardWidth + 18.0f * static_cast<float>(index),
                static_cast<float>(seat.play_y));
}

void CDeskScene::startTurn(const std::shared_ptr<stMsg>& msg) {
    st_player_info* seat = seatOf(msg->now);
    if (seat == nullptr) {
        return;
    }
    seat->pass_label->setVisible(false);
    clearPlayed(*seat);
    m_turnSite = msg->now;
    // The server's timer started when it sent the message: a record handled late starts lower.
    m_turnSecondsLeft = turnStartSeconds(*msg, std::chrono::steady_clock::now());
    m_hintCycle.reset();
    seat->countdown->setString(std::to_string(m_turnSecondsLeft));
    seat->countdown->setVisible(true);

    if (msg->must != 0) {
        for (int k = 0; k < kSeatCount; ++k) {
            if (st_player_info* other = seatOf(k)) {
                other->pass_label->setVisible(false);
                clearPlayed(*other);
            }
        }
    }
    if (msg->must != 0 && m_turnSite == m_mySite) {
        m_lastPlay.clear();
    }
    // Another seat moves, or the server plays the local seat (托管), or the seat is only watched:
    // a play or pass offered to the local player earlier is over, and pressing it now would take
    // cards from the hand that the server never accepts.
    if (!ownsTurn()) {
        withdrawTurnButtons();
        return;
    }
    offerTurnButtons(msg->must == 0);
    alertTurn();
}
