// The desk's helpers, beside the table's own elements: the hint, the keys and the right button, the
// turn alert and the card tracker. None of them sends anything of its own: a key or the hint only
// does what a press of a button or a touch on the cards would.
//
//   element           where (W x H visible)                         shown
//   hint button       (W/2 - 270, 170), scale 0.8, left of play     with the play button
//   tracker button    the top-left corner, under the score panel    always
//   tracker panel     right of the tracker button                   when toggled on (session)
//   notice            (W/2, 250), over the local seat's empty row   two seconds after a hint
//                                                                   that found nothing, or a
//                                                                   refused 入座
//   托管 button, tags, banner: DeskAuto.cpp

#include "cards/CardSprite.h"
#include "scenes/desk/CCardTrackerPanel.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/common/SceneWidgets.h"

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

bool CDeskScene::s_trackerShown = false;

bool CDeskScene::addHelpers(float W, float H) {
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
    m_btnHint->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onHintButton, this));
    addChild(m_btnHint, 2);
    offerHint(false);

    SpriteFrame* score = SpriteFrameCache::getInstance()->getSpriteFrameByName("score");
    const float scoreHeight = score != nullptr ? score->getOriginalSize().height : 0;
    const Size button = m_btnTracker->getContentSize();
    const float rowY = H - scoreHeight - kCornerGap - button.height / 2;
    m_btnTracker->setPosition(Vec2(kCornerGap + button.width / 2, rowY));
    m_btnTracker->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onTrackerButton, this));
    addChild(m_btnTracker, 2);

    const Size panel = m_trackerPanel->getContentSize();
    m_trackerPanel->setPosition(
        Vec2(kCornerGap + button.width + kCornerGap + panel.width / 2, rowY));
    m_trackerPanel->setVisible(s_trackerShown);
    m_trackerPanel->show(m_cardTracker);
    addChild(m_trackerPanel, 2);

    const Size notice = m_notice->getContentSize();
    m_lblNotice->setColor(Color3B(255, 236, 170));
    m_lblNotice->setPosition(Vec2(notice.width / 2, notice.height / 2));
    m_notice->addChild(m_lblNotice);
    m_notice->setPosition(Vec2(W / 2, kNoticeY));
    m_notice->setVisible(false);
    addChild(m_notice, kNoticeZ);

    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = CC_CALLBACK_2(CDeskScene::onKeyPressed, this);
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseDown = CC_CALLBACK_1(CDeskScene::onMouseDown, this);
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(keys, this);
    dispatcher->addEventListenerWithSceneGraphPriority(mouse, this);
    return true;
}

// ---- Hint ---------------------------------------------------------------------------------------

void CDeskScene::offerHint(bool shown) {
    m_btnHint->setVisible(shown);
    m_btnHint->setEnabled(shown);
}

void CDeskScene::onHintButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    std::vector<int> hand;
    for (const CardSprite* card : m_hand) {
        hand.push_back(card->m_card);
    }
    const std::vector<int>& play = m_hintCycle.next(hand, m_lastPlay);
    lowerRaisedCards();
    if (play.empty()) {
        showNotice(kNothingBeats);
        return;
    }
    // Each code raises the left-most resting copy: a play of two equal codes raises two cards.
    for (int code : play) {
        for (CardSprite* card : m_hand) {
            if (card->m_card == code && !isRaised(card)) {
                card->m_selected = true;
                card->setPosition(Vec2(card->getPositionX(), kHandRaisedY));
                break;
            }
        }
    }
}

void CDeskScene::showNotice(const std::string& text) {
    m_lblNotice->setString(text);
    m_notice->setVisible(true);
    // Another notice while one shows gives it two seconds from then.
    unschedule(kNoticeKey);
    scheduleOnce([this](float) { m_notice->setVisible(false); }, kNoticeSeconds, kNoticeKey);
}

bool CDeskScene::lowerRaisedCards() {
    bool lowered = false;
    for (CardSprite* card : m_hand) {
        if (isRaised(card)) {
            lowered = true;
            card->m_selected = false;
            card->setPosition(Vec2(card->getPositionX(), kHandRestY));
        }
    }
    return lowered;
}

// ---- Keys and the right button ------------------------------------------------------------------

void CDeskScene::onKeyPressed(EventKeyboard::KeyCode key, Event* event) {
    using K = EventKeyboard::KeyCode;
    bool taken = false;
    switch (key) {
        case K::KEY_ENTER:
        case K::KEY_KP_ENTER:
            taken = pressByKey(m_btnPlay, CC_CALLBACK_2(CDeskScene::onPlayButton, this));
            break;
        case K::KEY_BACKSPACE:
            taken = pressByKey(m_btnPass, CC_CALLBACK_2(CDeskScene::onPassButton, this));
            break;
        case K::KEY_H:
            taken = pressByKey(m_btnHint, CC_CALLBACK_2(CDeskScene::onHintButton, this));
            break;
        case K::KEY_R:
            taken = pressByKey(m_btnReady, CC_CALLBACK_2(CDeskScene::onReadyButton, this));
            break;
        case K::KEY_T:
            taken = pressByKey(m_btnTracker, CC_CALLBACK_2(CDeskScene::onTrackerButton, this));
            break;
        case K::KEY_A:
            // One key for both ways: 托管 while it is offered, 取消托管 while the banner shows.
            taken = m_localAuto
                        ? pressByKey(m_btnCancelAuto,
                                     CC_CALLBACK_2(CDeskScene::onCancelAutoButton, this))
                        : pressByKey(m_btnAuto, CC_CALLBACK_2(CDeskScene::onAutoButton, this));
            break;
        case K::KEY_ESCAPE:
            // With nothing raised, Esc is left to whoever else listens for it.
            taken = lowerRaisedCards();
            break;
        default:
            break;
    }
    if (taken) {
        event->stopPropagation();
    }
}

void CDeskScene::onMouseDown(EventMouse* event) {
    if (event->getMouseButton() == EventMouse::MouseButton::BUTTON_RIGHT) {
        lowerRaisedCards();
    }
}

// ---- Turn alert ---------------------------------------------------------------------------------

void CDeskScene::alertTurn() {
    playSound("sound/turn.wav");
    if (GLView* view = Director::getInstance()->getOpenGLView()) {
        view->requestAttention();
    }
}

// ---- Card tracker -------------------------------------------------------------------------------

void CDeskScene::onTrackerButton(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    s_trackerShown = !s_trackerShown;
    m_trackerPanel->setVisible(s_trackerShown);
}

void CDeskScene::showTrackerCounts() {
    m_trackerPanel->show(m_cardTracker);
}
