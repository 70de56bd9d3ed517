// The desk's creation, its layout and the seat model.

#include <algorithm>

#include "cards/CardSprite.h"
#include "net/Message.h"
#include "scenes/common/CReconnectPanel.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskScene.h"
#include "wire/GameConstants.h"

using namespace engine;

namespace {

// The 离线 and 托管 tags: small, right of the name's centre, one beside the other.
constexpr float kTagSize = 13;
constexpr float kTagOffsetX = 40;
constexpr float kTagStep = 32;
const Color3B kAwayColour(190, 190, 190);
const Color3B kAutoColour(255, 190, 70);

Size frameSize(const std::string& frameName) {
    SpriteFrame* frame = SpriteFrameCache::getInstance()->getSpriteFrameByName(frameName);
    return frame != nullptr ? frame->getOriginalSize() : Size::ZERO;
}

// Where the elements of one screen position stand (W x H the visible size, Nh the height of the
// "nickname" frame). The ready, over and pass markers share one spot, except that the left seat's
// over marker takes its countdown's spot. The row origin of played cards is truncated toward zero.
//
//   element    0 bottom         1 right           2 top                 3 left
//   name       (W/2-35, Nh/2)   (W-135, Nh+600)   (W/2-35, H-Nh/2)      (70, Nh+600)
//   name z     30               3                 3                     3
//   count      hidden           (W-135, Nh+585)   (W/2-35, H-Nh/2-15)   (70, Nh+585)
//   countdown  (W/2+300, 200)   (W/2+260, 600)    (W/2+140, H-Nh/2-20)  (W/2-280, 600)
//   markers    (W/2, H/2-200)   (W/2+350, H/2)    (W/2, H/2+200)        (W/2-350, H/2)
//   row        (W/2-200, 250)   (W/2, H/2)        (W/2-200, H/2+200)    (0, H/2)
struct SeatPlaces {
    Vec2 name;
    int nameZ = 3;
    Vec2 count;
    Vec2 countdown;
    Vec2 ready;
    Vec2 over;
    Vec2 pass;
    int playX = 0;  // truncated toward zero
    int playY = 0;
};

SeatPlaces seatPlaces(int position, float W, float H, float Nh) {
    SeatPlaces at;
    switch (position) {
        case 0:
            at.name = Vec2(W / 2 - 35, Nh / 2);
            at.nameZ = 30;
            at.countdown = Vec2(W / 2 + 300, 200);
            at.ready = Vec2(W / 2, H / 2 - 200);
            at.over = at.ready;
            at.playX = static_cast<int>(W / 2 - 200);
            at.playY = 250;
            break;
        case 1:
            at.name = Vec2(W - 135, Nh + 600);
            at.count = Vec2(W - 135, Nh + 585);
            at.countdown = Vec2(W / 2 + 260, 600);
            at.ready = Vec2(W / 2 + 350, H / 2);
            at.over = at.ready;
            at.playX = static_cast<int>(W / 2);
            at.playY = static_cast<int>(H / 2);
            break;
        case 2:
            at.name = Vec2(W / 2 - 35, H - Nh / 2);
            at.count = Vec2(W / 2 - 35, H - Nh / 2 - 15);
            at.countdown = Vec2(W / 2 + 140, H - Nh / 2 - 20);
            at.ready = Vec2(W / 2, H / 2 + 200);
            at.over = at.ready;
            at.playX = static_cast<int>(W / 2 - 200);
            at.playY = static_cast<int>(H / 2 + 200);
            break;
        default:
            at.name = Vec2(70, Nh + 600);
            at.count = Vec2(70, Nh + 585);
            at.countdown = Vec2(W / 2 - 280, 600);
            at.ready = Vec2(W / 2 - 350, H / 2);
            at.over = at.countdown;
            at.playX = 0;
            at.playY = static_cast<int>(H / 2);
            break;
    }
    at.pass = at.ready;
    return at;
}

}  // namespace

CDeskScene::~CDeskScene() = default;

bool CDeskScene::init() {
    if (!Layer::init()) {
        return false;
    }
    m_seats.clear();

    const Size visible = Director::getInstance()->getVisibleSize();
    const float W = visible.width;
    const float H = visible.height;
    const Size score = frameSize("score");

    Sprite* background = makeFrameSprite("beijing");
    m_btnReturn = makeImageButton("return.png", "return_press.png");
    m_btnPlay = makeImageButton("put.png", "put_press.png");
    m_btnPass = makeImageButton("noput.png", "noput_press.png");
    m_btnReady = makeImageButton("ready.png", "ready_press.png");
    Sprite* scorePanel = makeFrameSprite("score");
    m_lblDesk = makeTextLabel("desk:" + std::to_string(m_desk), 20);
    m_lblOwnScore = makeTextLabel("0", 25);
    m_lblOtherScore = makeTextLabel("0", 25);
    m_lblTableScore = makeTextLabel("0", 40);
    if (background == nullptr || m_btnReturn == nullptr || m_btnPlay == nullptr ||
        m_btnPass == nullptr || m_btnReady == nullptr || scorePanel == nullptr ||
        m_lblDesk == nullptr || m_lblOwnScore == nullptr || m_lblOtherScore == nullptr ||
        m_lblTableScore == nullptr) {
        return false;
    }

    background->setPosition(Vec2(W / 2, H / 2));
    addChild(background, -1);

    const Size returnSize = m_btnReturn->getContentSize();
    m_btnReturn->setPosition(Vec2(W - returnSize.width / 2, H - returnSize.height / 2));
    m_btnReturn->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onReturnButton, this));
    addChild(m_btnReturn, 0);
    // The settings button just left of the return button, on its centre line.
    const float settingsX = W - returnSize.width - 8 - CSettingsPanel::kButtonSize / 2;
    if (!CSettingsPanel::addTo(this, Vec2(settingsX, H - returnSize.height / 2), false)) {
        return false;
    }

    m_btnPlay->setPosition(Vec2(W / 2 - 100, 170));
    m_btnPlay->setScale(0.8f);
    m_btnPlay->setVisible(false);
    m_btnPlay->setEnabled(true);
    m_btnPlay->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onPlayButton, this));
    addChild(m_btnPlay, 2);

    m_btnPass->setPosition(Vec2(W / 2 + 100, 170));
    m_btnPass->setScale(0.8f);
    m_btnPass->setVisible(false);
    m_btnPass->setEnabled(true);
    m_btnPass->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onPassButton, this));
    addChild(m_btnPass, 2);

    m_btnReady->setPosition(Vec2(W / 2, 170));
    m_btnReady->setScale(0.8f);
    m_btnReady->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onReadyButton, this));
    addChild(m_btnReady, 2);

    scorePanel->setPosition(Vec2(score.width / 2, H - score.height / 2));
    addChild(scorePanel, 0);

    m_lblDesk->setPosition(Vec2(W / 2, H / 2));
    addChild(m_lblDesk, 0);
    m_lblOwnScore->setColor(Color3B::BLACK);
    m_lblOwnScore->setPosition(Vec2(80, H - score.height / 2));
    addChild(m_lblOwnScore, 0);
    m_lblOtherScore->setColor(Color3B::BLACK);
    m_lblOtherScore->setPosition(Vec2(170, H - score.height / 2));
    addChild(m_lblOtherScore, 0);
    m_lblTableScore->setPosition(Vec2(W / 2, H / 2 + 30));
    addChild(m_lblTableScore, 0);

    for (int position = 0; position < kSeatCount; ++position) {
        if (!addSeat(position)) {
            return false;
        }
    }
    if (!addHelpers(W, H) || !addAutoControls(W, H) || !addLastTrick(W) || !addTalk(W, H)) {
        return false;
    }

    if (!attachReconnectPanel(this)) {
        return false;
    }
    schedule(CC_SCHEDULE_SELECTOR(CDeskScene::tickCountdown), 1.0f);

    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = CC_CALLBACK_2(CDeskScene::onTouchBegan, this);
    listener->onTouchMoved = CC_CALLBACK_2(CDeskScene::onTouchMoved, this);
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener,
                                                                                          this);
    // The hall's music ends only once the desk is sure to replace it; its data stays loaded.
    SimpleAudioEngine::getInstance()->stopBackgroundMusic(false);
    return true;
}

bool CDeskScene::addSeat(int position) {
    const Size visible = Director::getInstance()->getVisibleSize();
    const SeatPlaces at =
        seatPlaces(position, visible.width, visible.height, frameSize("nickname").height);

    auto seat = std::make_shared<st_player_info>();
    seat->name_label = makeTextLabel("", 15);
    seat->count_label = makeTextLabel("", 15);
    seat->countdown = LabelAtlas::create(std::to_string(kTurnSeconds), "num.png", 14, 21, '0');
    seat->ready_sprite = makeFrameSprite("zhunbei");
    seat->over_label = makeTextLabel("over", 15);
    seat->pass_label = makeTextLabel("pass", 15);
    seat->away_tag = makeTextLabel("离线", kTagSize);
    seat->auto_tag = makeTextLabel("托管", kTagSize);
    if (seat->name_label == nullptr || seat->count_label == nullptr || seat->countdown == nullptr ||
        seat->ready_sprite == nullptr || seat->over_label == nullptr ||
        seat->pass_label == nullptr || seat->away_tag == nullptr || seat->auto_tag == nullptr) {
        return false;
    }

    seat->name_label->setColor(Color3B::RED);
    seat->name_label->setPosition(at.name);
    addChild(seat->name_label, at.nameZ);

    // The tags stand in a row right of the name's centre, hidden until presence says so.
    const std::pair<Label*, Color3B> tags[] = {{seat->away_tag, kAwayColour},
                                               {seat->auto_tag, kAutoColour}};
    float tagX = at.name.x + kTagOffsetX;
    for (const auto& [tag, colour] : tags) {
        tag->setColor(colour);
        tag->setAnchorPoint(Vec2(0, 0.5f));
        tag->setPosition(Vec2(tagX, at.name.y));
        tag->setVisible(false);
        addChild(tag, at.nameZ);
        tagX += kTagStep;
    }

    if (position == 0) {
        seat->count_label->setVisible(false);
    } else {
        seat->count_label->setColor(Color3B::WHITE);
        seat->count_label->setPosition(at.count);
    }
    addChild(seat->count_label, 0);

    seat->countdown->setPosition(at.countdown);
    seat->countdown->setVisible(false);
    addChild(seat->countdown, 0);

    seat->ready_sprite->setPosition(at.ready);
    seat->ready_sprite->setVisible(false);
    addChild(seat->ready_sprite, 0);

    seat->over_label->setColor(Color3B::RED);
    seat->over_label->setPosition(at.over);
    seat->over_label->setVisible(false);
    addChild(seat->over_label, 0);

    seat->pass_label->setColor(Color3B::RED);
    seat->pass_label->setPosition(at.pass);
    seat->pass_label->setVisible(false);
    addChild(seat->pass_label, 0);

    seat->play_x = at.playX;
    seat->play_y = at.playY;
    m_seats.push_back(std::move(seat));
    return true;
}

void CDeskScene::setDeskInfo(int desk, int site, const std::string& name) {
    m_desk = desk;
    m_mySite = site;
    m_myName = name;
    m_lblDesk->setString("Desk:" + std::to_string(desk));
    // A local seat outside 0..3 names no seat: the desk then maps none and shows no seat's news.
    m_siteMap.clear();
    if (!isSeatNumber(site)) {
        return;
    }
    for (int position = 0; position < kSeatCount; ++position) {
        m_siteMap[(site + position) % kSeatCount] = m_seats[position];
    }
}

st_player_info* CDeskScene::seatOf(int site) const {
    const auto found = m_siteMap.find(site);
    return found != m_siteMap.end() ? found->second.get() : nullptr;
}

void CDeskScene::forEachSeat(
    const stMsg& msg,
    const std::function<void(int, st_player_info&, const st_seat_info&)>& visit) const {
    for (int site = 0; site < kSeatCount; ++site) {
        if (st_player_info* seat = seatOf(site)) {
            visit(site, *seat, msg.info[static_cast<std::size_t>(site)]);
        }
    }
}

float CDeskScene::handCardX(std::size_t count, std::size_t index, float cardWidth) const {
    const float W = Director::getInstance()->getVisibleSize().width;
    return W / 2 - 9.0f * (static_cast<float>(count) - 1) + 18.0f * static_cast<float>(index) +
           cardWidth / 4;
}

void CDeskScene::layoutHand() {
    for (std::size_t i = 0; i < m_hand.size(); ++i) {
        CardSprite* card = m_hand[i];
        card->setPosition(
            Vec2(handCardX(m_hand.size(), i, card->getContentSize().width), kHandRestY));
        card->m_selected = false;
    }
}

void CDeskScene::removeFromHand(std::size_t index) {
    CardSprite* card = m_hand[index];
    if (card == m_lastTouched) {
        m_lastTouched = nullptr;
    }
    m_hand.erase(m_hand.begin() + static_cast<std::ptrdiff_t>(index));
    removeChild(card, true);
}

void CDeskScene::returnToHand(const std::vector<int>& codes) {
    for (int code : codes) {
        CardSprite* card = CardSprite::createWithCard(code);
        if (card == nullptr) {
            continue;
        }
        addChild(card, 1);
        const auto place = std::upper_bound(
            m_hand.begin(), m_hand.end(), code,
            [](int value, const CardSprite* held) { return value < held->m_card; });
        m_hand.insert(place, card);
    }
}

void CDeskScene::takeFromHand(const std::vector<int>& codes) {
    for (int code : codes) {
        const auto found =
            std::find_if(m_hand.begin(), m_hand.end(),
                         [code](const CardSprite* held) { return held->m_card == code; });
        if (found != m_hand.end()) {
            removeFromHand(static_cast<std::size_t>(found - m_hand.begin()));
        }
    }
}

void CDeskScene::clearPlayed(st_player_info& seat) {
    for (CardSprite* card : seat.played) {
        removeChild(card, true);
    }
    seat.played.clear();
}

void CDeskScene::hideMarkers(st_player_info& seat) {
    seat.countdown->setVisible(false);
    seat.ready_sprite->setVisible(false);
    seat.over_label->setVisible(false);
    seat.pass_label->setVisible(false);
}
