#include "scenes/desk/CDeskHelp.h"

#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CCardTrackerPanel.h"

using namespace engine;

namespace {

constexpr float kHintOffsetX = -270;  // from the middle; play is at -100, both 152 wide at 0.8
constexpr float kTurnButtonsY = 170;
constexpr float kCornerGap = 4;
constexpr float kNoticeY = 250;
constexpr int kNoticeZ = 40;
constexpr float kNoticeSeconds = 2;
const char* const kNoticeKey = "notice";
const char* const kNothingBeats = "没有大过上家的牌";

}  // namespace

bool CDeskHelp::s_trackerShown = false;

std::unique_ptr<CDeskHelp> CDeskHelp::create(Node& layer, Host host) {
    std::unique_ptr<CDeskHelp> help(new CDeskHelp(layer, std::move(host)));
    return help->build() ? std::move(help) : nullptr;
}

bool CDeskHelp::build() {
    const Size visible = Director::getInstance()->getVisibleSize();
    const float W = visible.width;
    const float H = visible.height;
    m_btnHint = makeImageButton("hint.png", "hint_press.png");
    m_btnTracker = makeImageButton("tracker.png", "tracker_press.png");
    m_trackerPanel = CCardTrackerPanel::create();
    m_notice = Sprite::create("notice.png");
    m_lblNotice = makeTextLabel(kNothingBeats, 20);
    if (m_btnHint == nullptr || m_btnTracker == nullptr || m_trackerPanel == nullptr ||
        m_notice == nullptr || m_lblNotice == nullptr) {
        return false;
    }

    m_btnHint->setPosition(Vec2(W / 2 + kHintOffsetX, kTurnButtonsY));
    m_btnHint->setScale(0.8f);
    m_btnHint->addTouchEventListener(CC_CALLBACK_2(CDeskHelp::onHintButton, this));
    m_layer.addChild(m_btnHint, 2);
    offerHint(false);

    SpriteFrame* score = SpriteFrameCache::getInstance()->getSpriteFrameByName("score");
    const float scoreHeight = score != nullptr ? score->getOriginalSize().height : 0;
    const Size button = m_btnTracker->getContentSize();
    const float rowY = H - scoreHeight - kCornerGap - button.height / 2;
    m_btnTracker->setPosition(Vec2(kCornerGap + button.width / 2, rowY));
    m_btnTracker->addTouchEventListener(CC_CALLBACK_2(CDeskHelp::onTrackerButton, this));
    m_layer.addChild(m_btnTracker, 2);

    const Size panel = m_trackerPanel->getContentSize();
    m_trackerPanel->setPosition(
        Vec2(kCornerGap + button.width + kCornerGap + panel.width / 2, rowY));
    m_trackerPanel->setVisible(s_trackerShown);
    m_trackerPanel->show(m_cardTracker);
    m_layer.addChild(m_trackerPanel, 2);

    const Size notice = m_notice->getContentSize();
    m_lblNotice->setColor(Color3B(255, 236, 170));
    m_lblNotice->setPosition(Vec2(notice.width / 2, notice.height / 2));
    m_notice->addChild(m_lblNotice);
    m_notice->setPosition(Vec2(W / 2, kNoticeY));
    m_notice->setVisible(false);
    m_layer.addChild(m_notice, kNoticeZ);

    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = CC_CALLBACK_2(CDeskHelp::onKeyPressed, this);
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseDown = [this](EventMouse* event) {
        if (event->getMouseButton() == EventMouse::MouseButton::BUTTON_RIGHT) {
            m_host.lowerCards();
        }
    };
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(keys, &m_layer);
    dispatcher->addEventListenerWithSceneGraphPriority(mouse, &m_layer);
    return true;
}

// ---- Hint ---------------------------------------------------------------------------------------

void CDeskHelp::offerHint(bool shown) {
    m_btnHint->setVisible(shown);
    m_btnHint->setEnabled(shown);
}

void CDeskHelp::onHintButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    const std::vector<int>& play = m_hintCycle.next(m_host.hand(), m_host.lastPlay());
    // Each code raises the left-most resting copy: a play of two equal codes raises two cards.
    m_host.raiseOnly(play);
    if (play.empty()) {
        showNotice(kNothingBeats);
    }
}

void CDeskHelp::showNotice(const std::string& text) {
    m_lblNotice->setString(text);
    m_notice->setVisible(true);
    // Another notice while one shows gives it two seconds from then.
    m_layer.unschedule(kNoticeKey);
    m_layer.scheduleOnce([this](float) { m_notice->setVisible(false); }, kNoticeSeconds,
                         kNoticeKey);
}

// ---- Keys ---------------------------------------------------------------------------------------

void CDeskHelp::onKeyPressed(EventKeyboard::KeyCode key, Event* event) {
    using K = EventKeyboard::KeyCode;
    bool taken = false;
    switch (key) {
        case K::KEY_ENTER:
        case K::KEY_KP_ENTER:
            taken = m_host.play();
            break;
        case K::KEY_BACKSPACE:
            taken = m_host.pass();
            break;
        case K::KEY_H:
            taken = pressByKey(m_btnHint, CC_CALLBACK_2(CDeskHelp::onHintButton, this));
            break;
        case K::KEY_R:
            taken = m_host.ready();
            break;
        case K::KEY_T:
            taken = pressByKey(m_btnTracker, CC_CALLBACK_2(CDeskHelp::onTrackerButton, this));
            break;
        case K::KEY_A:
            taken = m_host.autoPlay();
            break;
        case K::KEY_ESCAPE:
            // With nothing raised, Esc is left to whoever else listens for it.
            taken = m_host.lowerCards();
            break;
        default:
            break;
    }
    if (taken) {
        event->stopPropagation();
    }
}

// ---- Turn alert ---------------------------------------------------------------------------------

void CDeskHelp::alertTurn() {
    playEffectOnce("sound/turn.wav");
    if (GLView* view = Director::getInstance()->getOpenGLView()) {
        view->requestAttention();
    }
}

// ---- Card tracker -------------------------------------------------------------------------------

void CDeskHelp::onTrackerButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    s_trackerShown = !s_trackerShown;
    m_trackerPanel->setVisible(s_trackerShown);
}

void CDeskHelp::deal(const std::vector<int>& hand) {
    m_cardTracker.deal(hand);
    m_trackerPanel->show(m_cardTracker);
}

void CDeskHelp::seen(const std::vector<int>& codes) {
    m_cardTracker.shown(codes);
    m_trackerPanel->show(m_cardTracker);
}

void CDeskHelp::hideTracker() {
    m_btnTracker->setVisible(false);
    m_btnTracker->setEnabled(false);
    m_trackerPanel->setVisible(false);
}
