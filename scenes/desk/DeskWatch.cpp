// Watching a game: the desk of a spectator, built from an accepted "watch" answer. It shows the
// game as a player seated at the bottom seat would see it, without that player's hand, and takes
// no part in it. Main thread.
//
//   element         where (W x H visible)                          shown
//   card backs      the hand's row (y = 45, the hand's spacing)    as many as the bottom seat
//                                                                  holds, during a game
//   观战中 · N人观看  top row, right-aligned left of the settings     always
//                   gear (where 托管 and 聊天 stand when seated)
//   入座            (W/2, 170), the ready button's place            between games while a seat
//                                                                  is free
//   a seat's name   as when seated                                 a touch on it makes its seat
//                                                                  the bottom one
//
//   message                          the spectator's desk
//   "watchers"                       the number watching
//   "unwatch"                        back to the hall (the desk was deserted)
//   "sit" refused                    a notice saying why, for two seconds
//   "add"                            a seated desk at that seat replaces this one
//   "game" per -1                    a new game: the last one's table, trick and summary go
//   "change" "game" "score" "over"   as at a seated desk, except that no turn is the
//   "run" "presence" "talk" "name"   spectator's and the result box names the winners
//   anything else                    nothing ("start", "timeout", "resume": one seat's alone)
// The return button sends "unwatch" and goes back to the hall at once; 入座 sends "sit". Nothing
// else is ever sent.

#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CCardTrackerPanel.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CTalkBubble.h"
#include "wire/GameConstants.h"

using namespace engine;

namespace {

constexpr float kGap = 8;
constexpr float kWatchingTextSize = 18;
const Color3B kWatchingColour(255, 214, 120);
constexpr float kSitButtonWidth = 140;
constexpr float kSitTextSize = 24;
constexpr float kSitY = 170;
// A touch this far outside a seat's name still takes it: the names are small.
constexpr float kNameReach = 10;

std::string watchingText(int watchers) {
    return "观战中 · " + std::to_string(watchers) + "人观看";
}

// Why the server refused a seat, in the player's words.
std::string sitRefusalText(const std::string& reason) {
    if (reason == kSitNoSeat) {
        return "没有空座位了";
    }
    if (reason == kJoinPlaying) {
        return "牌局进行中，请等本局结束";
    }
    if (reason == kSitNotWatching) {
        return "你已不在观战";
    }
    return "入座失败";
}

Rect nameArea(const Label* name) {
    const Rect box = name->getBoundingBox();
    return Rect(box.getMinX() - kNameReach, box.getMinY() - kNameReach,
                box.size.width + 2 * kNameReach, box.size.height + 2 * kNameReach);
}

}  // namespace

CDeskScene* CDeskScene::createWatching(const stMsg& watch) {
    CDeskScene* desk = create();
    if (desk == nullptr || !desk->enterWatching(watch)) {
        return nullptr;
    }
    return desk;
}

bool CDeskScene::enterWatching(const stMsg& watch) {
    m_watching = true;
    m_watchers = watch.watchers;
    setDeskInfo(watch.desk, 0, "");
    if (!watch.code.empty() && !setPrivateDesk(watch.code, false)) {
        return false;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const float W = visible.width;
    const float H = visible.height;

    m_lblWatching = makeTextLabel(watchingText(m_watchers), kWatchingTextSize);
    m_btnSit = makeTextButton("入座", kSitButtonWidth, kSitTextSize);
    if (m_lblWatching == nullptr || m_btnSit == nullptr) {
        return false;
    }
    const Size returnSize = m_btnReturn->getContentSize();
    const float gearLeft = W - returnSize.width - kGap - CSettingsPanel::kButtonSize;
    m_lblWatching->setColor(kWatchingColour);
    m_lblWatching->setAnchorPoint(Vec2(1, 0.5f));
    m_lblWatching->setPosition(Vec2(gearLeft - kGap, H - returnSize.height / 2));
    addChild(m_lblWatching, 2);

    m_btnSit->setPosition(Vec2(W / 2, kSitY));
    m_btnSit->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onSitButton, this));
    addChild(m_btnSit, 2);

    // The bottom seat's name needs no touch: it is the seat seen from already.
    for (int position = 1; position < kSeatCount; ++position) {
        const st_player_info* seat = m_seats[static_cast<std::size_t>(position)].get();
        Label* name = seat->name_label;
        auto* touches = EventListenerTouchOneByOne::create();
        touches->setSwallowTouches(true);
        touches->onTouchBegan = [seat, name](Touch* touch, Event*) {
            return !seat->name.empty() && nameArea(name).containsPoint(touch->getLocation());
        };
        touches->onTouchEnded = [this, name, position](Touch* touch, Event*) {
            if (nameArea(name).containsPoint(touch->getLocation())) {
                watchFrom((m_mySite + position) % kSeatCount);
            }
        };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            touches, name);
    }

    // What only a seated player uses never shows.
    m_btnReady->setVisible(false);
    m_btnReady->setEnabled(false);
    m_btnTracker->setVisible(false);
    m_btnTracker->setEnabled(false);
    m_trackerPanel->setVisible(false);

    m_snapshot.start(watch);
    restore(m_snapshot.state());
    followTricks(m_snapshot.state());
    showBacks();
    showWatchControls();
    showTalkControls();
    showPrivateBar();
    return true;
}

bool CDeskScene::takeWatchMessage(const std::shared_ptr<stMsg>& msg) {
    const std::string& opt = msg->opt;
    if (opt == "watchers") {
        m_watchers = msg->watchers;
        showWatchControls();
        return false;
    }
    if (opt == "unwatch") {
        returnToHall();
        return false;
    }
    if (opt == "sit") {
        if (msg->status == "refused") {
            showNotice(sitRefusalText(msg->reason));
        }
        return false;
    }
    if (opt == "add") {
        takeOfferedSeat(*msg);
        return false;
    }
    if (opt == "game" && msg->per == -1) {
        // A spectator is not dealt: the opening turn stands for the deal.
        resetSeat(-1);
        beginGame();
        stMsg deal;
        deal.opt = "start";
        followTricks(deal);
    }
    return opt == "change" || opt == "game" || opt == "score" || opt == "over" || opt == "run" ||
           opt == "presence" || opt == "talk" || opt == "name";
}

void CDeskScene::followWatchedDesk(const stMsg& msg) {
    m_snapshot.follow(msg);
    showBacks();
    showWatchControls();
}

void CDeskScene::watchFrom(int site) {
    if (!isSeatNumber(site) || site == m_mySite) {
        return;
    }
    // The running countdown is the desk's own count, whatever the seat it is seen from.
    const int secondsLeft = m_turnSecondsLeft;
    for (const auto& seat : m_seats) {
        hideMarkers(*seat);
        clearPlayed(*seat);
        seat->count_label->setString("");
    }
    for (CTalkBubble* bubble : m_talkBubbles) {
        bubble->hide();
    }
    setDeskInfo(m_desk, site, "");
    restore(m_snapshot.state());
    if (st_player_info* turn = seatOf(m_turnSite)) {
        m_turnSecondsLeft = secondsLeft;
        turn->countdown->setString(std::to_string(m_turnSecondsLeft));
    }
    if (m_lastTrickView->isVisible()) {
        showLastTrick(true);
    }
    showBacks();
    showTalkControls();
}

void CDeskScene::showBacks() {
    const auto count = static_cast<std::size_t>(m_snapshot.cardsLeft(m_mySite));
    while (m_backs.size() > count) {
        removeChild(m_backs.back(), true);
        m_backs.pop_back();
    }
    while (m_backs.size() < count) {
        Sprite* back = makeFrameSprite("back");
        if (back == nullptr) {
            break;
        }
        addChild(back, 1);
        m_backs.push_back(back);
    }
    for (std::size_t i = 0; i < m_backs.size(); ++i) {
        Sprite* back = m_backs[i];
        back->setPosition(
            Vec2(handCardX(m_backs.size(), i, back->getContentSize().width), kHandRestY));
    }
}

void CDeskScene::showWatchControls() {
    m_lblWatching->setString(watchingText(m_watchers));
    const bool sitOffered = m_snapshot.seatFree();
    m_btnSit->setVisible(sitOffered);
    m_btnSit->setEnabled(sitOffered);
}

void CDeskScene::onSitButton(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED) {
        sendToServer(sitMessage());
    }
}

void CDeskScene::showWatchedResult(const stMsg& over) {
    // Seats 0 and 2 are one team, 1 and 3 the other; "over" gives each seat its team's result.
    for (std::size_t team = 0; team < 2; ++team) {
        const st_seat_info& first = over.info[team];
        if (first.result > 0) {
            MessageBox(first.name + "、" + over.info[team + 2].name + " 赢" +
                           std::to_string(first.result) + "局！",
                       "游戏结束");
            return;
        }
    }
    MessageBox("平局！", "游戏结束");
}

void CDeskScene::takeOfferedSeat(const stMsg& add) {
    showLayerInNewScene(createSeated(add, false));
}
