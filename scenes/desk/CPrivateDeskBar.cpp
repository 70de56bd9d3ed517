#include "scenes/desk/CPrivateDeskBar.h"

#include <iterator>

#include "engine/platform/Clipboard.h"
#include "net/CMessageQueue.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

// Under the top seat's name, clear of the seats and the table's middle (design points).
constexpr float kRowY = 690;
constexpr float kCodeX = 512;
constexpr float kCopyX = 720;
constexpr float kCopiedX = 770;
constexpr float kBotsX = 300;
constexpr float kLevelsY = 645;
constexpr float kLevelStep = 92;
constexpr float kButtonWidth = 84;
constexpr float kBotsWidth = 104;
constexpr float kButtonTextSize = 20;
constexpr float kCodeSize = 34;
const char* const kLevelWords[CPrivateDeskBar::kLevelCount] = {"简单", "普通", "困难"};
static_assert(std::size(kBotLevelNames) == CPrivateDeskBar::kLevelCount);

ui::Button* released(ui::Button* button, const std::function<void()>& press) {
    if (button != nullptr) {
        onRelease(button, press);
    }
    return button;
}

}  // namespace

bool CPrivateDeskBar::init() {
    if (!Node::init()) {
        return false;
    }
    m_lblCode = makeTextLabel("", kCodeSize);
    m_lblCopied = makeTextLabel("已复制", kButtonTextSize);
    m_btnCopy =
        released(makeTextButton("复制", kButtonWidth, kButtonTextSize), [this] { copyCode(); });
    m_btnBots =
        released(makeTextButton("加电脑", kBotsWidth, kButtonTextSize), [this] { toggleLevels(); });
    if (m_lblCode == nullptr || m_lblCopied == nullptr || m_btnCopy == nullptr ||
        m_btnBots == nullptr) {
        return false;
    }
    m_lblCode->setColor(kTableGold);
    m_lblCode->setPosition(Vec2(kCodeX, kRowY));
    addChild(m_lblCode);
    m_btnCopy->setPosition(Vec2(kCopyX, kRowY));
    addChild(m_btnCopy);
    m_lblCopied->setAnchorPoint(Vec2(0, 0.5f));
    m_lblCopied->setPosition(Vec2(kCopiedX, kRowY));
    m_lblCopied->setVisible(false);
    addChild(m_lblCopied);
    m_btnBots->setPosition(Vec2(kBotsX, kRowY));
    m_btnBots->setVisible(false);
    addChild(m_btnBots);
    for (int level = 0; level < kLevelCount; ++level) {
        ui::Button* button =
            released(makeTextButton(kLevelWords[level], kButtonWidth, kButtonTextSize),
                     [this, level] { chooseLevel(level); });
        if (button == nullptr) {
            return false;
        }
        button->setPosition(Vec2(kBotsX + kLevelStep * static_cast<float>(level - 1), kLevelsY));
        button->setVisible(false);
        addChild(button);
        m_btnLevels[level] = button;
    }
    return true;
}

void CPrivateDeskBar::setDesk(const std::string& code, int desk, int site, bool creator) {
    m_code = code;
    m_desk = desk;
    m_site = site;
    m_creator = creator;
    m_lblCode->setString("牌桌号 " + code);
}

void CPrivateDeskBar::setBotsWanted(bool wanted) {
    const bool shown = wanted && m_creator;
    m_btnBots->setVisible(shown);
    if (!shown) {
        for (ui::Button* button : m_btnLevels) {
            button->setVisible(false);
        }
    }
}

void CPrivateDeskBar::copyCode() {
    m_lblCopied->setVisible(setClipboardText(m_code));
}

void CPrivateDeskBar::toggleLevels() {
    const bool shown = !m_btnLevels[0]->isVisible();
    for (ui::Button* button : m_btnLevels) {
        button->setVisible(shown);
    }
}

void CPrivateDeskBar::chooseLevel(int level) {
    CMessageQueue::getInstance()->sendMsg(
        botsMessage(m_desk, m_site, std::string(kBotLevelNames[level])));
    for (ui::Button* button : m_btnLevels) {
        button->setVisible(false);
    }
}
