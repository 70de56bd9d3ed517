#include "scenes/common/CReconnectPanel.h"

#include "net/CMessageQueue.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/hall/CHallScene.h"

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
        s_schedule.phase() == CReconnectSchedule::Phase::Waiting) {
        attempt(clock());
    }
}

void CReconnectPanel::onKeyPressed(EventKeyboard::KeyCode key, Event* event) {
    event->stopPropagation();
    if (key == EventKeyboard::KeyCode::KEY_ENTER || key == EventKeyboard::KeyCode::KEY_KP_ENTER) {
        pressByKey(m_btnReconnect, CC_CALLBACK_2(CReconnectPanel::onReconnectButton, this));
    }
}

CReconnectSchedule CReconnectPanel::s_schedule;

double CReconnectPanel::clock() { return backend().nowSeconds(); }

void CReconnectPanel::tick(float) {
    const double now = clock();
    if (routing() && now - m_routingSince >= kAnswerWait) {
        enterNewHall();
        return;
    }
    CMessageQueue* link = CMessageQueue::getInstance();
    const auto* desk = dynamic_cast<const CDeskScene*>(getParent());
    s_schedule.keepGame(desk != nullptr && desk->playsGame());
    switch (s_schedule.phase()) {
    case CReconnectSchedule::Phase::Up:
        if (!link->receiverEnded()) {
            return;
        }
        m_routingSince = -1;
        s_schedule.linkLost(now);
        break;
    case CReconnectSchedule::Phase::Waiting:
        if (s_schedule.attemptDue(now)) {
            attempt(now);
            return;
        }
        break;
    case CReconnectSchedule::Phase::Connecting:
        switch (link->pollReconnect()) {
        case ConnectProgress::Pending:
            if (s_schedule.attemptTimedOut(now)) {
                link->cancelReconnect();
                s_schedule.attemptFailed(now);
            }
            break;
        case ConnectProgress::Failed:
            s_schedule.attemptFailed(now);
            break;
        case ConnectProgress::Connected:
            s_schedule.linkOpened();
            m_routingSince = now;
            CMessagePump::setReader(this);
            break;
        }
        break;
    case CReconnectSchedule::Phase::Opened:
        // A link that ends before its first record was an attempt that failed (and showed no
        // box); one that delivered is up, whoever reads it.
        if (link->receiverEnded()) {
            m_routingSince = -1;
            s_schedule.attemptFailed(now);
        } else if (link->linkDelivered()) {
            s_schedule.linkUp();
        }
        break;
    }
    showStatus(now);
}

void CReconnectPanel::onServerMessage(const std::shared_ptr<stMsg>& msg) {
    s_schedule.linkUp();
    if (msg->opt == "hello" && msg->resume != 0) {
        return;  // the resume follows at once
    }
    m_routingSince = -1;
    if (msg->opt == "resume") {
        setVisible(false);
        if (showLayerInNewScene(CDeskScene::createRejoined(*msg))) {
            return;
        }
    }
    enterNewHall();
}

void CReconnectPanel::attempt(double now) {
    s_schedule.attemptStarted(now);
    if (!CMessageQueue::getInstance()->beginReconnect()) {
        s_schedule.attemptFailed(now);
    }
    showStatus(now);
}

void CReconnectPanel::showStatus(double now) {
    const CReconnectSchedule::Phase phase = s_schedule.phase();
    // A new link that is up but not yet routed keeps the last line until its scene takes over.
    if (phase != CReconnectSchedule::Phase::Up) {
        m_lblLinkStatus->setString(s_schedule.statusText(now));
    }
    m_btnReconnect->setEnabled(phase == CReconnectSchedule::Phase::Waiting);
    // Hidden over a scene that already took over a new link, until that link proves dead.
    setVisible(routing() || phase == CReconnectSchedule::Phase::Waiting ||
               phase == CReconnectSchedule::Phase::Connecting);
}

void CReconnectPanel::enterNewHall() {
    m_routingSince = -1;
    setVisible(false);
    // The hall sends its query on the new link as it is built; the change makes it the reader.
    showLayerInNewScene(CHallScene::create());
}

bool attachReconnectPanel(Layer* layer) {
    CReconnectPanel* panel = CReconnectPanel::create();
    if (panel == nullptr) {
        return false;
    }
    layer->addChild(panel, kPanelZOrder);
    return true;
}
