// Table talk at the desk: the 聊天 button and its panel, each seat's bubble, and the mute toggles
// by the other seats' names. The server passes talk on only when its hello answer offered it, so
// without that none of these shows and nothing is sent.
//
//   element        where (W x H visible)                         shown
//   聊天 button    top row, left of the 托管 button's place        while the link offers talk
//   panel          under the button, right-aligned                after a press on the button
//   bubble         by each seat (kBubbleAt, by screen position)   kTalkBubbleSeconds after a talk
//                                                                  of that seat, unless muted
//   屏蔽 / 已屏蔽   left of the other seats' names                 while the link offers talk and
//                                                                  the seat has a player
// A talk sent shows when the server passes it back, as everyone else sees it.

#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CLazyPanel.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CTalkBubble.h"
#include "scenes/desk/CTalkPanel.h"

using namespace engine;

namespace {

constexpr float kGap = 8;
constexpr float kAutoButtonWidth = 96;  // the 托管 button's place stays free for it
constexpr int kBubbleZ = 50;
constexpr float kMuteTagSize = 13;
constexpr float kMuteTagOffsetX = 30;
const Color3B kMuteOff(200, 200, 200);
const Color3B kMuted(255, 150, 90);

// The bubble's centre by screen position (0 bottom, 1 right, 2 top, 3 left): clear of the hand,
// the turn buttons, the played rows and the countdowns.
Vec2 bubbleAt(int position, float W, float H) {
    switch (position) {
        case 0:
            return Vec2(130, 110);  // left of the hand
        case 1:
            return Vec2(W - 135, H / 2 + 181);  // under the name, over the countdown's line
        case 2:
            return Vec2(W / 2 - 35, H - 88);  // under the name, above the played row
        default:
            return Vec2(125, H / 2 + 181);
    }
}

}  // namespace

bool CDeskScene::addTalk(float W, float H) {
    // The top row from the right: return, the settings gear, 托管 (during a game), then 聊天.
    const Size returnSize = m_btnReturn->getContentSize();
    const float autoLeft =
        W - returnSize.width - kGap - CSettingsPanel::kButtonSize - kGap - kAutoButtonWidth;
    const Vec2 buttonAt(autoLeft - kGap - CTalkPanel::kButtonWidth / 2, H - returnSize.height / 2);
    if (!CTalkPanel::addTo(this, buttonAt, [this](int say) { sendTalk(say); }, m_btnTalk,
                           m_talkPanel)) {
        return false;
    }
    for (int position = 0; position < kSeatCount; ++position) {
        CTalkBubble* bubble = CTalkBubble::create();
        Label* tag = makeTextLabel("屏蔽", kMuteTagSize);
        if (bubble == nullptr || tag == nullptr) {
            return false;
        }
        bubble->setPosition(bubbleAt(position, W, H));
        addChild(bubble, kBubbleZ);
        m_talkBubbles[static_cast<std::size_t>(position)] = bubble;

        const Label* name = m_seats[static_cast<std::size_t>(position)]->name_label;
        tag->setAnchorPoint(Vec2(1, 0.5f));
        tag->setPosition(Vec2(name->getPositionX() - kMuteTagOffsetX, name->getPositionY()));
        tag->setVisible(false);
        addChild(tag, name->getLocalZOrder());
        m_muteTags[static_cast<std::size_t>(position)] = tag;
        if (position == 0) {
            continue;  // the player's own seat has none
        }
        auto* touches = EventListenerTouchOneByOne::create();
        touches->setSwallowTouches(true);
        touches->onTouchBegan = [tag](Touch* touch, Event*) {
            return tag->getBoundingBox().containsPoint(touch->getLocation());
        };
        touches->onTouchEnded = [this, tag, position](Touch* touch, Event*) {
            if (tag->getBoundingBox().containsPoint(touch->getLocation())) {
                toggleMute(position);
            }
        };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            touches, tag);
    }
    showTalkControls();
    return true;
}

void CDeskScene::showTalkControls() {
    // An older server closes the link on "talk": offer it only where the hello answer did.
    // A spectator reads the table's talk and says nothing.
    const bool offered = CMessageQueue::getInstance()->serverFeatures().talk;
    m_btnTalk->setVisible(offered && !m_watching);
    m_btnTalk->setEnabled(offered && !m_watching);
    if (!offered || m_watching) {
        m_talkPanel->close();
    }
    for (int position = 1; position < kSeatCount; ++position) {
        const std::string& name = m_seats[static_cast<std::size_t>(position)]->name;
        Label* tag = m_muteTags[static_cast<std::size_t>(position)];
        const bool muted = TalkMutes::session().muted(name);
        tag->setVisible(offered && !name.empty());
        tag->setString(muted ? "已屏蔽" : "屏蔽");
        tag->setColor(muted ? kMuted : kMuteOff);
    }
}

void CDeskScene::toggleMute(int position) {
    TalkMutes::session().toggle(m_seats[static_cast<std::size_t>(position)]->name);
    if (TalkMutes::session().muted(m_seats[static_cast<std::size_t>(position)]->name)) {
        m_talkBubbles[static_cast<std::size_t>(position)]->hide();
    }
    showTalkControls();
}

void CDeskScene::sendTalk(int say) {
    if (say < 0 || say >= kTalkCount || !CMessageQueue::getInstance()->serverFeatures().talk ||
        !m_talkRate.take(backend().nowSeconds())) {
        return;
    }
    sendToServer(talkMessage(m_desk, m_mySite, say));
}

void CDeskScene::handleTalk(const stMsg& msg) {
    st_player_info* seat = seatOf(msg.site);
    if (seat == nullptr || msg.say < 0 || msg.say >= kTalkCount ||
        TalkMutes::session().muted(seat->name)) {
        return;
    }
    const int position = (msg.site - m_mySite + kSeatCount) % kSeatCount;
    m_talkBubbles[static_cast<std::size_t>(position)]->show(msg.say);
    playSound("sound/talk.wav");
}
