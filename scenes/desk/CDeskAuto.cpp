#include "scenes/desk/CDeskAuto.h"

#include "net/CMessageQueue.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

constexpr float kGap = 8;
constexpr float kBannerY = 150;
constexpr int kBannerZ = 45;
constexpr float kBannerTextSize = 26;
const Color3B kBannerText(255, 214, 120);

}  // namespace

std::unique_ptr<CDeskAuto> CDeskAuto::create(Node& layer, const Size& returnSize, Ask ask) {
    std::unique_ptr<CDeskAuto> part(new CDeskAuto(std::move(ask)));
    const Size visible = Director::getInstance()->getVisibleSize();
    const float W = visible.width;
    const float H = visible.height;
    part->m_btnAuto = makeImageButton("auto.png", "auto_press.png");
    part->m_btnCancel = makeImageButton("cancel_auto.png", "cancel_auto_press.png");
    part->m_banner = Sprite::create("auto_banner.png");
    Label* bannerText = makeTextLabel("托管中", kBannerTextSize);
    if (part->m_btnAuto == nullptr || part->m_btnCancel == nullptr || part->m_banner == nullptr ||
        part->m_banner->getContentSize().width <= 0 || bannerText == nullptr) {
        return nullptr;
    }

    // Left of the settings gear, which stands left of the return button, on their centre line.
    const float gearLeft = W - returnSize.width - kGap - CSettingsPanel::kButtonSize;
    part->m_btnAuto->setPosition(Vec2(gearLeft - kGap - part->m_btnAuto->getContentSize().width / 2,
                                      H - returnSize.height / 2));
    part->m_btnAuto->addTouchEventListener(CC_CALLBACK_2(CDeskAuto::onAutoButton, part.get()));
    layer.addChild(part->m_btnAuto, 2);

    const Size banner = part->m_banner->getContentSize();
    bannerText->setColor(kBannerText);
    bannerText->setPosition(Vec2(banner.width * 0.3f, banner.height / 2));
    part->m_banner->addChild(bannerText);
    part->m_btnCancel->setPosition(Vec2(banner.width * 0.72f, banner.height / 2));
    part->m_btnCancel->addTouchEventListener(CC_CALLBACK_2(CDeskAuto::onCancelButton, part.get()));
    part->m_banner->addChild(part->m_btnCancel);
    part->m_banner->setPosition(Vec2(W / 2, kBannerY));
    layer.addChild(part->m_banner, kBannerZ);
    part->show(false, false);
    return part;
}

void CDeskAuto::onAutoButton(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED) {
        m_ask(true);
    }
}

void CDeskAuto::onCancelButton(Ref*, ui::Widget::TouchEventType type) {
    if (type == ui::Widget::TouchEventType::ENDED) {
        m_ask(false);
    }
}

bool CDeskAuto::setLocal(bool on) {
    const bool changed = on != m_localAuto;
    m_localAuto = on;
    return changed;
}

void CDeskAuto::show(bool gameRunning, bool watching) {
    // A server that never answered hello knows no "auto" (an older one closes the link on it).
    const bool offered = gameRunning && !m_localAuto && !watching &&
                         CMessageQueue::getInstance()->serverFeatures().helloAnswered;
    m_btnAuto->setVisible(offered);
    m_btnAuto->setEnabled(offered);
    m_banner->setVisible(m_localAuto);
}

bool CDeskAuto::pressKey() {
    return m_localAuto ? pressByKey(m_btnCancel, CC_CALLBACK_2(CDeskAuto::onCancelButton, this))
                       : pressByKey(m_btnAuto, CC_CALLBACK_2(CDeskAuto::onAutoButton, this));
}
