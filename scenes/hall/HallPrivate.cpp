// The hall's private desks: 创建牌桌 and 加入牌桌 beside quick join, and the join panel. Main
// thread.

#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CLazyPanel.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/hall/CHallScene.h"
#include "scenes/hall/CJoinPanel.h"

using namespace engine;

namespace {
// Left and right of quick join, on its line (design points from the centre).
constexpr float kButtonOffsetX = 262;
constexpr float kButtonWidth = 200;
constexpr float kButtonTextSize = 26;
}  // namespace

bool CHallScene::addPrivateDesks(const Size& visible) {
    m_btnCreateDesk = makeTextButton("创建牌桌", kButtonWidth, kButtonTextSize);
    m_btnJoinDesk = makeTextButton("加入牌桌", kButtonWidth, kButtonTextSize);
    m_joinPanel = CLazyPanel<CJoinPanel>::create(&CJoinPanel::create);
    if (m_btnCreateDesk == nullptr || m_btnJoinDesk == nullptr || m_joinPanel == nullptr) {
        return false;
    }
    const Vec2 centre(visible.width / 2, visible.height / 2);
    m_btnCreateDesk->setPosition(centre - Vec2(kButtonOffsetX, 0));
    m_btnCreateDesk->addTouchEventListener(CC_CALLBACK_2(CHallScene::onCreateDesk, this));
    m_btnJoinDesk->setPosition(centre + Vec2(kButtonOffsetX, 0));
    m_btnJoinDesk->addTouchEventListener(CC_CALLBACK_2(CHallScene::onJoinDesk, this));
    addChild(m_btnCreateDesk);
    addChild(m_btnJoinDesk);
    addChild(m_joinPanel, CJoinPanel::kZOrder);
    showPrivateButtons();
    return true;
}

void CHallScene::showPrivateButtons() {
    const bool offered = CMessageQueue::getInstance()->serverFeatures().privateDesks;
    const bool idle = !m_seatAsked;
    for (ui::Button* button : {m_btnCreateDesk, m_btnJoinDesk}) {
        button->setVisible(offered);
        button->setEnabled(offered && idle);
    }
    if (!offered && m_joinPanel->isOpen()) {
        m_joinPanel->close();
    }
}

void CHallScene::onCreateDesk(Ref*, ui::Widget::TouchEventType type) {
    if (type != ui::Widget::TouchEventType::ENDED) {
        return;
    }
    m_createSent = true;
    m_seatAsked = true;
    m_btnQuickJoin->setEnabled(false);
    CMessageQueue::getInstance()->sendMsg(createDeskMessage());
    showPrivateButtons();
}

void CHallScene::onCreateRefused(const stMsg& msg) {
    m_btnQuickJoin->setEnabled(true);
    m_seatAsked = false;
    m_createSent = false;
    showPrivateButtons();
    m_joinPanel->open();
    if (CJoinPanel* panel = m_joinPanel->built()) {
        panel->onServerMessage(msg);
    }
}

void CHallScene::onJoinDesk(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED) {
        m_joinPanel->open();
    }
}
