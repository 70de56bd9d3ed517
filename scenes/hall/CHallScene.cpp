#include "scenes/hall/CHallScene.h"

#include "models/desk/PlayerInfo.h"
#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CLazyPanel.h"
#include "scenes/common/CNamePanel.h"
#include "scenes/common/CReconnectPanel.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/hall/CJoinPanel.h"
#include "scenes/hall/CRecordPanel.h"
#include "settings/CSettings.h"

using namespace engine;

std::int32_t CHallScene::pollCount = 1;

namespace {
// The settings button's centre from the top-left corner, in both directions.
constexpr float kSettingsInset = 8 + CSettingsPanel::kButtonSize / 2;
// The 战绩 button's centre from the top-right corner, the settings button's mirror.
constexpr float kRecordInsetX = 8 + CRecordPanel::kButtonWidth / 2;
constexpr float kRecordInsetY = 8 + CRecordPanel::kButtonHeight / 2;
}  // namespace

CHallScene::~CHallScene() = default;

bool CHallScene::init() {
    if (!Layer::init()) {
        return false;
    }
    const Size visible = Director::getInstance()->getVisibleSize();

    Sprite* background = makeFrameSprite("beijing");
    if (background == nullptr) {
        return false;
    }
    background->setPosition(Vec2(visible.width / 2, visible.height / 2));
    addChild(background, -1);

    m_btnQuickJoin = makeImageButton("add_desk_fast.png", "add_desk_fast_press.png");
    if (m_btnQuickJoin == nullptr) {
        return false;
    }
    m_btnQuickJoin->setPosition(Vec2(visible.width / 2, visible.height / 2));
    m_btnQuickJoin->addTouchEventListener(CC_CALLBACK_2(CHallScene::onQuickJoin, this));
    m_btnQuickJoin->setEnabled(true);
    addChild(m_btnQuickJoin);

    m_lblOnline = makeTextLabel("online: 0", 25);
    if (m_lblOnline == nullptr) {
        return false;
    }
    m_lblOnline->setColor(Color3B::WHITE);
    m_lblOnline->setPosition(Vec2(visible.width / 2, visible.height / 2 - 50));
    addChild(m_lblOnline, 2);
    if (!attachReconnectPanel(this)) {
        return false;
    }

    if (!CSettingsPanel::addTo(this, Vec2(kSettingsInset, visible.height - kSettingsInset), true)) {
        return false;
    }
    askForNameAtFirstStart();
    if (!CRecordPanel::addTo(
            this, Vec2(visible.width - kRecordInsetX, visible.height - kRecordInsetY),
            m_recordPanel)) {
        return false;
    }
    if (!addPrivateDesks(visible) || !addWatching(visible)) {
        return false;
    }

    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = CC_CALLBACK_2(CHallScene::onKeyPressed, this);
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys,
                                                                                          this);

    // Every new hall restarts the music, once it is sure to be shown.
    CSettings::playHallMusic();
    schedule(CC_SCHEDULE_SELECTOR(CHallScene::pollQuery), 0.1f);
    CMessageQueue::getInstance()->sendMsg(queryMessage());
    return true;
}

void CHallScene::onQuickJoin(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    m_btnQuickJoin->setEnabled(false);
    m_seatAsked = true;
    CMessageQueue::getInstance()->sendMsg(addMessage());
}

void CHallScene::onKeyPressed(EventKeyboard::KeyCode key, Event* event) {
    if (key != EventKeyboard::KeyCode::KEY_ENTER && key != EventKeyboard::KeyCode::KEY_KP_ENTER) {
        return;
    }
    if (pressByKey(m_btnQuickJoin, CC_CALLBACK_2(CHallScene::onQuickJoin, this))) {
        event->stopPropagation();
    }
}

void CHallScene::pollQuery(float) {
    if (pollCount % 100 == 0) {
        CMessageQueue::getInstance()->sendMsg(queryMessage());
    }
    ++pollCount;
    showPrivateButtons();
    showWatchButton();
}

void CHallScene::onServerMessage(const std::shared_ptr<stMsg>& msg) {
    if (msg->opt == "query") {
        m_lblOnline->setString(makeOnlineText(msg->online));
    } else if (msg->opt == "add") {
        enterDesk(*msg);
    } else if (msg->opt == "resume") {
        showLayerInNewScene(CDeskScene::createRejoined(*msg));
    } else if (msg->opt == "watch" && msg->status == "ok") {
        showLayerInNewScene(CDeskScene::createWatching(*msg));
    } else if (msg->opt == "name" || msg->opt == "hello") {
        CNamePanel::deliver(*msg);
    } else if ((msg->opt == "record" || msg->opt == "leaderboard") && m_recordPanel->isOpen()) {
        m_recordPanel->built()->onServerMessage(msg);
    } else if (msg->opt == "create" && msg->status == "refused") {
        onCreateRefused(*msg);
    } else if (msg->opt == "join" && m_joinPanel->isOpen()) {
        m_joinPanel->built()->onServerMessage(*msg);
    } else if (msg->opt == "desks" || msg->opt == "watch") {
        onWatchAnswer(*msg);
    }
}

std::string CHallScene::makeOnlineText(const std::string& online) {
    return "online:" + online;
}

void CHallScene::askForNameAtFirstStart() {
    CNamePanel* names = CNamePanel::of(this);
    if (names != nullptr && CSettings::playerName().empty()) {
        names->open();
    }
}

void CHallScene::enterDesk(const stMsg& msg) {
    if (isSeatNumber(msg.site)) {
        CDeskScene* desk = CDeskScene::create();
        if (desk != nullptr) {
            desk->setDeskInfo(msg.desk, msg.site, msg.name);
            const bool shown = msg.code.empty() || desk->setPrivateDesk(msg.code, m_createSent || msg.creator != 0);
            if (shown && showLayerInNewScene(desk)) {
                return;
            }
        }
    }
    m_btnQuickJoin->setEnabled(true);
    m_seatAsked = false;
    m_createSent = false;
}
