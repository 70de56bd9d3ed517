#include "scenes/common/CReconnectPanel.h"

#include "net/CMessageQueue.h"
#include "scenes/hall/CHallScene.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

constexpr int kPanelZOrder = 1000;  // above every card, marker and button of the scenes
constexpr float kStatusAboveButton = 70;

}  // namespace

bool CReconnectPanel::init() {
    if (!Node::init()) {
        return false;
    }
    const Size visible = Director::getInstance()->getVisibleSize();

    m_btnReconnect = makeImageButton("reconnect.png", "reconnect_press.png");
    if (m_btnReconnect == nullptr) {
        return false;
    }
    m_btnReconnect->setPosition(Vec2(visible.width / 2, visible.height / 2));
    m_btnReconnect->addTouchEventListener(
        CC_CALLBACK_2(CReconnectPanel::onReconnectButton, this));
    addChild(m_btnReconnect);

    m_lblLinkStatus = makeTextLabel("", 24);
    if (m_lblLinkStatus == nullptr) {
        return false;
    }
    m_lblLinkStatus->setColor(Color3B::WHITE);
    m_lblLinkStatus->setPosition(
        Vec2(visible.width / 2, visible.height / 2 + kStatusAboveButton));
    addChild(m_lblLinkStatus);

    // While shown, the panel takes the touches its button does not, every key and every other
    // mouse button, so the scene underneath neither sends nor changes; Enter presses the button,
    // as it presses the hall's quick-join. Hidden, the panel is offered nothing.
    auto* touches = EventListenerTouchOneByOne::create();
    touches->setSwallowTouches(true);
    touches->onTouchBegan = [](Touch*, Event*) { return true; };
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = CC_CALLBACK_2(CReconnectPanel::onKeyPressed, this);
    keys->onKeyReleased = [](EventKeyboard::KeyCode, Event* event) { event->stopPropagation(); };
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseDown = [](EventMouse* event) { event->stopPropagation(); };
    mouse->onMouseUp = [](EventMouse* event) { event->stopPropagation(); };
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(touches, this);
    dispatcher->addEventListenerWithSceneGraphPriority(keys, this);
    dispatcher->addEventListenerWithSceneGraphPriority(mouse, this);
    setVisible(false);
    schedule(CC_SCHEDULE_SELECTOR(CReconnectPanel::tick), 0.1f);
    return true;
}

void CReconnectPanel::onReconnectButton(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED &&
        m_schedule.phase() == CReconnectSchedule::Phase::Waiting) {
        attempt();
    }
}

void CReconnectPanel::onKeyPressed(EventKeyboard::KeyCode key, Event* event) {
    event->stopPropagation();
    if (key == EventKeyboard::KeyCode::KEY_ENTER || key == EventKeyboard::KeyCode::KEY_KP_ENTER) {
        pressByKey(m_btnReconnect, CC_CALLBACK_2(CReconnectPanel::onReconnectButton, this));
    }
}

void CReconnectPanel::tick(float dt) {
    m_clock += dt;
    CMessageQueue* link = CMessageQueue::getInstance();
    switch (m_schedule.phase()) {
    case CReconnectSchedule::Phase::Up:
        if (!link->receiverEnded()) {
            return;
        }
        m_schedule.linkLost(m_clock);
        setVisible(true);
        break;
    case CReconnectSchedule::Phase::Waiting:
        if (m_schedule.attemptDue(m_clock)) {
            attempt();
            return;
        }
        break;
    case CReconnectSchedule::Phase::Connecting:
        switch (link->pollReconnect()) {
        case ConnectProgress::Pending:
            if (m_schedule.attemptTimedOut(m_clock)) {
                link->cancelReconnect();
                m_schedule.attemptFailed(m_clock);
            }
            break;
        case ConnectProgress::Failed:
            m_schedule.attemptFailed(m_clock);
            break;
        case ConnectProgress::Connected:
            m_schedule.linkUp();
            enterNewHall();
            return;
        }
        break;
    }
    showStatus();
}

void CReconnectPanel::attempt() {
    m_schedule.attemptStarted(m_clock);
    if (!CMessageQueue::getInstance()->beginReconnect()) {
        m_schedule.attemptFailed(m_clock);
    }
    showStatus();
}

void CReconnectPanel::showStatus() {
    m_lblLinkStatus->setString(m_schedule.statusText(m_clock));
    m_btnReconnect->setEnabled(m_schedule.phase() == CReconnectSchedule::Phase::Waiting);
}

void CReconnectPanel::enterNewHall() {
    setVisible(false);
    // The hall sends its query on the new link as it is built, so the answer must be left for
    // it: the scene underneath polls no more from here on, nor does this panel.
    if (showLayerInNewScene(CHallScene::create())) {
        getParent()->unscheduleAllCallbacks();
        unscheduleAllCallbacks();
    }
}

bool attachReconnectPanel(Layer* layer) {
    CReconnectPanel* panel = CReconnectPanel::create();
    if (panel == nullptr) {
        return false;
    }
    layer->addChild(panel, kPanelZOrder);
    return true;
}
