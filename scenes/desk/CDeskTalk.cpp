#include "scenes/desk/CDeskTalk.h"

#include "net/CMessageQueue.h"
#include "scenes/common/CLazyPanel.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneWidgets.h"
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

std::unique_ptr<CDeskTalk> CDeskTalk::create(Node& layer, const Size& returnSize,
                                             const NameLabels& names, Host host) {
    std::unique_ptr<CDeskTalk> talk(new CDeskTalk(std::move(host)));
    return talk->build(layer, returnSize, names) ? std::move(talk) : nullptr;
}

bool CDeskTalk::build(Node& layer, const Size& returnSize, const NameLabels& names) {
    const Size visible = Director::getInstance()->getVisibleSize();
    const float W = visible.width;
    const float H = visible.height;
    // The top row from the right: return, the settings gear, 托管 (during a game), then 聊天.
    const float autoLeft =
        W - returnSize.width - kGap - CSettingsPanel::kButtonSize - kGap - kAutoButtonWidth;
    const Vec2 buttonAt(autoLeft - kGap - CTalkPanel::kButtonWidth / 2, H - returnSize.height / 2);
    if (!CTalkPanel::addTo(
            &layer, buttonAt, [this](int said) { say(said); }, m_btnTalk, m_panel)) {
        return false;
    }
    for (int position = 0; position < kSeatCount; ++position) {
        CTalkBubble* bubble = CTalkBubble::create();
        Label* tag = makeTextLabel("屏蔽", kMuteTagSize);
        if (bubble == nullptr || tag == nullptr) {
            return false;
        }
        bubble->setPosition(bubbleAt(position, W, H));
        layer.addChild(bubble, kBubbleZ);
        m_bubbles[static_cast<std::size_t>(position)] = bubble;

        const Label* name = names[static_cast<std::size_t>(position)];
        tag->setAnchorPoint(Vec2(1, 0.5f));
        tag->setPosition(Vec2(name->getPositionX() - kMuteTagOffsetX, name->getPositionY()));
        tag->setVisible(false);
        layer.addChild(tag, name->getLocalZOrder());
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
    showControls(false);
    return true;
}

void CDeskTalk::showControls(bool watching) {
    m_watching = watching;
    // An older server closes the link on "talk": offer it only where the hello answer did.
    // A spectator reads the table's talk and says nothing.
    const bool offered = CMessageQueue::getInstance()->serverFeatures().talk;
    m_btnTalk->setVisible(offered && !watching);
    m_btnTalk->setEnabled(offered && !watching);
    if (!offered || watching) {
        m_panel->close();
    }
    for (int position = 1; position < kSeatCount; ++position) {
        const std::string name = m_host.nameAt(position);
        Label* tag = m_muteTags[static_cast<std::size_t>(position)];
        const bool muted = TalkMutes::session().muted(name);
        tag->setVisible(offered && !name.empty());
        tag->setString(muted ? "已屏蔽" : "屏蔽");
        tag->setColor(muted ? kMuted : kMuteOff);
    }
}

void CDeskTalk::toggleMute(int position) {
    TalkMutes::session().toggle(m_host.nameAt(position));
    if (TalkMutes::session().muted(m_host.nameAt(position))) {
        m_bubbles[static_cast<std::size_t>(position)]->hide();
    }
    showControls(m_watching);
}

void CDeskTalk::say(int say) {
    if (say < 0 || say >= kTalkCount || !CMessageQueue::getInstance()->serverFeatures().talk ||
        !m_rate.take(backend().nowSeconds())) {
        return;
    }
    m_host.send(say);
}

void CDeskTalk::hear(int position, const std::string& name, int say) {
    if (say < 0 || say >= kTalkCount || TalkMutes::session().muted(name)) {
        return;
    }
    m_bubbles[static_cast<std::size_t>(position)]->show(say);
    playEffectOnce("sound/talk.wav");
}

void CDeskTalk::hideBubbles() {
    for (CTalkBubble* bubble : m_bubbles) {
        bubble->hide();
    }
}
