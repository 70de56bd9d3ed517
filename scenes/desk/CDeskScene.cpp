// The desk's creation: its parts, in the order their widgets join the layer (the order the
// table is drawn in and offered touches), and the seat it is seen from.

#include "scenes/desk/CDeskScene.h"

#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CReconnectPanel.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskAuto.h"
#include "scenes/desk/CDeskHelp.h"
#include "scenes/desk/CDeskSeats.h"
#include "scenes/desk/CDeskTalk.h"
#include "scenes/desk/CDeskTurn.h"
#include "scenes/desk/CHandView.h"
#include "scenes/desk/CLastTrick.h"
#include "scenes/desk/CPlayArea.h"
#include "scenes/desk/CPrivateDeskBar.h"
#include "scenes/desk/CWatchBar.h"

using namespace engine;

namespace {
constexpr int kPrivateBarZOrder = 5;  // above the table, below the panels
}  // namespace

CDeskScene::CDeskScene() = default;
CDeskScene::~CDeskScene() = default;

CDeskScene* CDeskScene::createSeated(const stMsg& seating, bool creator) {
    if (!isSeatNumber(seating.site)) {
        return nullptr;
    }
    CDeskScene* desk = create();
    if (desk == nullptr) {
        return nullptr;
    }
    desk->setDeskInfo(seating.desk, seating.site, seating.name);
    if (!seating.code.empty() && !desk->setPrivateDesk(seating.code, creator)) {
        return nullptr;
    }
    return desk;
}

bool CDeskScene::init() {
    if (!Layer::init()) {
        return false;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    Sprite* background = makeFrameSprite("beijing");
    m_btnReturn = makeImageButton("return.png", "return_press.png");
    if (background == nullptr || m_btnReturn == nullptr) {
        return false;
    }
    background->setPosition(Vec2(visible.width / 2, visible.height / 2));
    addChild(background, -1);

    const Size returnSize = m_btnReturn->getContentSize();
    m_btnReturn->setPosition(
        Vec2(visible.width - returnSize.width / 2, visible.height - returnSize.height / 2));
    m_btnReturn->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onReturnButton, this));
    addChild(m_btnReturn, 0);
    // The settings button just left of the return button, on its centre line.
    const float settingsX = visible.width - returnSize.width - 8 - CSettingsPanel::kButtonSize / 2;
    if (!CSettingsPanel::addTo(this, Vec2(settingsX, visible.height - returnSize.height / 2),
                               false) ||
        !addParts() || !attachReconnectPanel(this)) {
        return false;
    }
    schedule(CC_SCHEDULE_SELECTOR(CDeskScene::tickCountdown), 1.0f);

    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [this](Touch* touch, Event*) {
        m_hand->touchBegan(touch->getLocation());
        return true;  // the moves follow
    };
    listener->onTouchMoved = [this](Touch* touch, Event*) {
        m_hand->touchMoved(touch->getLocation());
    };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener,
                                                                                          this);
    // The hall's music ends only once the desk is sure to replace it; its data stays loaded.
    SimpleAudioEngine::getInstance()->stopBackgroundMusic(false);
    return true;
}

bool CDeskScene::addParts() {
    m_turn = CDeskTurn::create(*this, {CC_CALLBACK_2(CDeskScene::onReadyButton, this),
                                       CC_CALLBACK_2(CDeskScene::onPlayButton, this),
                                       CC_CALLBACK_2(CDeskScene::onPassButton, this)});
    m_table = m_turn ? CPlayArea::create(*this) : nullptr;
    m_seats = m_table ? CDeskSeats::create(*this) : nullptr;
    if (m_seats == nullptr) {
        return false;
    }
    m_hand = std::make_unique<CHandView>(*this);

    CDeskHelp::Host help;
    help.hand = [this] { return m_hand->model().codes(); };
    help.lastPlay = [this] { return m_table->lastPlay(); };
    help.raiseOnly = [this](const std::vector<int>& codes) {
        m_hand->change([&codes](HandModel& hand) {
            hand.lowerAll();
            hand.raise(codes);
        });
    };
    help.lowerCards = [this] { return lowerCards(); };
    help.play = [this] {
        return pressByKey(m_turn->playButton(), CC_CALLBACK_2(CDeskScene::onPlayButton, this));
    };
    help.pass = [this] {
        return pressByKey(m_turn->passButton(), CC_CALLBACK_2(CDeskScene::onPassButton, this));
    };
    help.ready = [this] {
        return pressByKey(m_turn->readyButton(), CC_CALLBACK_2(CDeskScene::onReadyButton, this));
    };
    help.autoPlay = [this] { return m_auto->pressKey(); };
    m_help = CDeskHelp::create(*this, std::move(help));

    const Size returnSize = m_btnReturn->getContentSize();
    m_auto = m_help ? CDeskAuto::create(
                          *this, returnSize,
                          [this](bool on) { sendToServer(autoMessage(m_desk, m_mySite, on)); })
                    : nullptr;
    m_lastTrick = m_auto ? CLastTrick::create(*this,
                                              [this](int site) -> const st_player_info* {
                                                  return m_seats->seatOf(site);
                                              })
                         : nullptr;
    if (m_lastTrick == nullptr) {
        return false;
    }
    CDeskTalk::NameLabels names{};
    for (int position = 0; position < kSeatCount; ++position) {
        names[static_cast<std::size_t>(position)] =
            m_seats->byPosition()[static_cast<std::size_t>(position)]->name_label;
    }
    m_talk = CDeskTalk::create(
        *this, returnSize, names,
        {[this](int say) { sendToServer(talkMessage(m_desk, m_mySite, say)); },
         [this](int position) {
             return m_seats->byPosition()[static_cast<std::size_t>(position)]->name;
         }});
    return m_talk != nullptr;
}

void CDeskScene::setDeskInfo(int desk, int site, const std::string& name) {
    m_desk = desk;
    m_mySite = site;
    m_myName = name;
    m_table->showDesk(desk);
    m_seats->map(site);
}

bool CDeskScene::setPrivateDesk(const std::string& code, bool creator) {
    if (m_privateBar == nullptr) {
        m_privateBar = CPrivateDeskBar::create();
        if (m_privateBar == nullptr) {
            return false;
        }
        addChild(m_privateBar, kPrivateBarZOrder);
    }
    m_privateBar->setDesk(code, m_desk, m_mySite, creator);
    showPrivateBar();
    return true;
}

void CDeskScene::showPrivateBar() {
    if (m_privateBar != nullptr) {
        m_privateBar->setBotsWanted(m_seats->seatFree() && !m_gameRunning);
    }
}

void CDeskScene::sendTalk(int say) {
    m_talk->say(say);
}
