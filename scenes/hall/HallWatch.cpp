// The hall's watching: 观战 on a row under quick join, and the watch panel. Main thread.

#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "scenes/common/CLazyPanel.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/hall/CHallScene.h"
#include "scenes/hall/CJoinPanel.h"
#include "scenes/hall/CWatchPanel.h"

using namespace engine;

namespace {
// Centred under quick join and the online count (design points below the centre), as wide as
// 创建牌桌 and 加入牌桌.
constexpr float kWatchOffsetY = 114;
constexpr float kWatchWidth = 200;
constexpr float kWatchTextSize = 26;
}  // namespace

bool CHallScene::addWatching(const Size& visible) {
    m_btnWatch = makeTextButton("观战", kWatchWidth, kWatchTextSize);
    m_watchPanel = CLazyPanel<CWatchPanel>::create(&CWatchPanel::create);
    if (m_btnWatch == nullptr || m_watchPanel == nullptr) {
        return false;
    }
    m_btnWatch->setPosition(Vec2(visible.width / 2, visible.height / 2 - kWatchOffsetY));
    m_btnWatch->addTouchEventListener(CC_CALLBACK_2(CHallScene::onWatch, this));
    addChild(m_btnWatch);
    addChild(m_watchPanel, CWatchPanel::kZOrder);
    showWatchButton();
    return true;
}

void CHallScene::showWatchButton() {
    const bool offered = CMessageQueue::getInstance()->serverFeatures().watch;
    m_btnWatch->setVisible(offered);
    m_btnWatch->setEnabled(offered && !m_seatAsked);
    if (!offered && m_watchPanel->isOpen()) {
        m_watchPanel->close();
    }
}

void CHallScene::onWatch(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED) {
        m_watchPanel->open();
    }
}

void CHallScene::onWatchAnswer(const stMsg& msg) {
    if (msg.opt == "desks" && m_watchPanel->isOpen()) {
        m_watchPanel->built()->onServerMessage(msg);
    } else if (msg.opt == "watch" && msg.status == "refused") {
        if (m_watchPanel->isOpen()) {
            m_watchPanel->built()->onServerMessage(msg);
        } else if (m_joinPanel->isOpen()) {
            m_joinPanel->built()->onServerMessage(msg);
        }
    }
}
