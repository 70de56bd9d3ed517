// Presence and 托管: the tags by the seats' names, the 托管 button and, while the server plays the
// local seat, the banner with 取消托管. The buttons only ask; what the desk shows follows the
// server's "presence" alone, so a press the server ignores changes nothing on the screen.
//
//   element          where (W x H visible)                          shown
//   离线 / 托管 tags  right of each seat's name                       while presence says away /
//                                                                    auto for that seat
//   托管 button       top right, left of the settings gear             during a game, when the
//                                                                    server answered hello, and
//                                                                    the seat is not in 托管
//   banner           (W/2, 150), between the hand and the local       while presence says auto
//                    seat's played cards, over the turn buttons'      for the local seat
//                    row: "托管中" left, 取消托管 right
// While the banner shows, the local turn offers no play, pass or hint and its countdown does not
// act: the server's computer player moves for the seat.

#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskScene.h"

using namespace engine;

namespace {

constexpr float kGap = 8;
constexpr float kBannerY = 150;
constexpr int kBannerZ = 45;
constexpr float kBannerTextSize = 26;
const Color3B kBannerText(255, 214, 120);

}  // namespace

bool CDeskScene::addAutoControls(float W, float H) {
    m_btnAuto = makeImageButton("auto.png", "auto_press.png");
    m_btnCancelAuto = makeImageButton("cancel_auto.png", "cancel_auto_press.png");
    m_autoBanner = Sprite::create("auto_banner.png");
    Label* bannerText = makeTextLabel("托管中", kBannerTextSize);
    if (m_btnAuto == nullptr || m_btnCancelAuto == nullptr || m_autoBanner == nullptr ||
        m_autoBanner->getContentSize().width <= 0 || bannerText == nullptr) {
        return false;
    }

    // Left of the settings gear, which stands left of the return button, on their centre line.
    const Size returnSize = m_btnReturn->getContentSize();
    const float gearLeft = W - returnSize.width - kGap - CSettingsPanel::kButtonSize;
    m_btnAuto->setPosition(
        Vec2(gearLeft - kGap - m_btnAuto->getContentSize().width / 2, H - returnSize.height / 2));
    m_btnAuto->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onAutoButton, this));
    addChild(m_btnAuto, 2);

    const Size banner = m_autoBanner->getContentSize();
    bannerText->setColor(kBannerText);
    bannerText->setPosition(Vec2(banner.width * 0.3f, banner.height / 2));
    m_autoBanner->addChild(bannerText);
    m_btnCancelAuto->setPosition(Vec2(banner.width * 0.72f, banner.height / 2));
    m_btnCancelAuto->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onCancelAutoButton, this));
    m_autoBanner->addChild(m_btnCancelAuto);
    m_autoBanner->setPosition(Vec2(W / 2, kBannerY));
    addChild(m_autoBanner, kBannerZ);
    showAutoControls();
    return true;
}

void CDeskScene::onAutoButton(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED) {
        sendToServer(autoMessage(m_desk, m_mySite, true));
    }
}

void CDeskScene::onCancelAutoButton(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED) {
        sendToServer(autoMessage(m_desk, m_mySite, false));
    }
}

void CDeskScene::showAutoControls() {
    // A server that never answered hello knows no "auto" (an older one closes the link on it).
    const bool offered = m_gameRunning && !m_localAuto && !m_watching &&
                         CMessageQueue::getInstance()->serverFeatures().helloAnswered;
    m_btnAuto->setVisible(offered);
    m_btnAuto->setEnabled(offered);
    m_autoBanner->setVisible(m_localAuto);
}

void CDeskScene::showPresence(st_player_info& seat, const st_seat_info& entry) {
    seat.away_tag->setVisible(entry.away != 0);
    seat.auto_tag->setVisible(entry.auto_play != 0);
}

void CDeskScene::handlePresence(const stMsg& msg) {
    forEachSeat(msg, [](int, st_player_info& seat, const st_seat_info& entry) {
        showPresence(seat, entry);
    });
    if (isSeatNumber(m_mySite) && !m_watching) {
        setLocalAuto(msg.info[static_cast<std::size_t>(m_mySite)].auto_play != 0);
    }
}

void CDeskScene::setLocalAuto(bool on) {
    const bool changed = on != m_localAuto;
    m_localAuto = on;
    showAutoControls();
    if (!changed || !m_gameRunning || m_turnSite != m_mySite) {
        return;
    }
    // Within the local turn: the buttons go while the server plays, and come back with the turn.
    if (on) {
        withdrawTurnButtons();
    } else {
        offerTurnButtons(!m_lastPlay.empty());
    }
}
