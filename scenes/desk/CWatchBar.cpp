#include "scenes/desk/CWatchBar.h"

#include "net/CMessageQueue.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneWidgets.h"
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

Rect nameArea(const Label* name) {
    const Rect box = name->getBoundingBox();
    return Rect(box.getMinX() - kNameReach, box.getMinY() - kNameReach,
                box.size.width + 2 * kNameReach, box.size.height + 2 * kNameReach);
}

}  // namespace

CWatchBar::CWatchBar(const stMsg& watch) : m_watchers(watch.watchers) {
    m_snapshot.start(watch);
}

std::unique_ptr<CWatchBar> CWatchBar::create(Node& layer, const Size& returnSize,
                                             const stMsg& watch, const Seats& seats,
                                             WatchFrom watchFrom) {
    std::unique_ptr<CWatchBar> bar(new CWatchBar(watch));
    return bar->build(layer, returnSize, seats, watchFrom) ? std::move(bar) : nullptr;
}

bool CWatchBar::build(Node& layer, const Size& returnSize, const Seats& seats,
                      const WatchFrom& watchFrom) {
    const Size visible = Director::getInstance()->getVisibleSize();
    const float W = visible.width;
    const float H = visible.height;
    m_lblWatching = makeTextLabel(watchingText(m_watchers), kWatchingTextSize);
    m_btnSit = makeTextButton("入座", kSitButtonWidth, kSitTextSize);
    if (m_lblWatching == nullptr || m_btnSit == nullptr) {
        return false;
    }
    const float gearLeft = W - returnSize.width - kGap - CSettingsPanel::kButtonSize;
    m_lblWatching->setColor(kWatchingColour);
    m_lblWatching->setAnchorPoint(Vec2(1, 0.5f));
    m_lblWatching->setPosition(Vec2(gearLeft - kGap, H - returnSize.height / 2));
    layer.addChild(m_lblWatching, 2);

    m_btnSit->setPosition(Vec2(W / 2, kSitY));
    m_btnSit->addTouchEventListener([](Ref*, ui::Widget::TouchEventType type) {
        if (type == ui::Widget::TouchEventType::ENDED) {
            CMessageQueue::getInstance()->sendMsg(sitMessage());
        }
    });
    layer.addChild(m_btnSit, 2);

    // The bottom seat's name needs no touch: it is the seat seen from already.
    for (int position = 1; position < kSeatCount; ++position) {
        const st_player_info* seat = seats[static_cast<std::size_t>(position)].get();
        Label* name = seat->name_label;
        auto* touches = EventListenerTouchOneByOne::create();
        touches->setSwallowTouches(true);
        touches->onTouchBegan = [seat, name](Touch* touch, Event*) {
            return !seat->name.empty() && nameArea(name).containsPoint(touch->getLocation());
        };
        touches->onTouchEnded = [watchFrom, name, position](Touch* touch, Event*) {
            if (nameArea(name).containsPoint(touch->getLocation())) {
                watchFrom(position);
            }
        };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            touches, name);
    }
    show();
    return true;
}

void CWatchBar::follow(const stMsg& msg) {
    m_snapshot.follow(msg);
    show();
}

void CWatchBar::setWatchers(int watchers) {
    m_watchers = watchers;
    show();
}

void CWatchBar::show() {
    m_lblWatching->setString(watchingText(m_watchers));
    const bool sitOffered = m_snapshot.seatFree();
    m_btnSit->setVisible(sitOffered);
    m_btnSit->setEnabled(sitOffered);
}

std::string CWatchBar::sitRefusalText(const std::string& reason) {
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
