#include "scenes/hall/CJoinPanel.h"

#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

// The layout in design points: the board (420 x 330) centred on the design area, the title, the
// field and the message above the pad of four rows of three keys. Where watching is offered, the
// taller board (420 x 410) holds 观战 in a fifth row, centred between the title and that row.
constexpr float kTitleY = kDesignCentreY + 135;
constexpr float kFieldY = kDesignCentreY + 95;
constexpr float kMessageY = kDesignCentreY + 58;
constexpr float kFirstRowY = kDesignCentreY + 15;
constexpr float kRowStep = 46;
constexpr float kColumnStep = 96;
constexpr float kKeyWidth = 86;
constexpr float kKeySize = 24;
constexpr float kFieldSize = 40;
constexpr float kMessageSize = 20;
constexpr float kWatchRowY = kFirstRowY - kRowStep * 4;
constexpr float kWatchKeyWidth = kColumnStep + kKeyWidth;
constexpr float kWatchBoardY = kDesignCentreY - 20;
constexpr const char* kBoard = "settings_panel.png";
constexpr const char* kWatchBoard = "settings_board.png";

}  // namespace

bool CJoinPanel::init() {
    if (!Node::init()) {
        return false;
    }
    m_board = Sprite::create(kBoard);
    m_btnWatch = makeTextButton("观战", kWatchKeyWidth, kKeySize);
    Label* title = makeTextLabel("输入牌桌号", 26);
    m_lblField = makeTextLabel("", kFieldSize);
    m_lblMessage = makeTextLabel("", kMessageSize);
    if (m_board == nullptr || m_board->getContentSize().width <= 0 || title == nullptr ||
        m_lblField == nullptr || m_lblMessage == nullptr || m_btnWatch == nullptr ||
        SpriteFrame::createWithFile(kWatchBoard) == nullptr) {
        return false;
    }
    m_board->setPosition(Vec2(kDesignCentreX, kDesignCentreY));
    addChild(m_board);
    title->setPosition(Vec2(kDesignCentreX, kTitleY));
    addChild(title);
    m_lblField->setColor(kTableGold);
    m_lblField->setPosition(Vec2(kDesignCentreX, kFieldY));
    addChild(m_lblField);
    m_lblMessage->setColor(kWarningRed);
    m_lblMessage->setPosition(Vec2(kDesignCentreX, kMessageY));
    addChild(m_lblMessage);

    // Rows 1 2 3 / 4 5 6 / 7 8 9 / 删除 0 加入.
    for (int digit = 1; digit <= 9; ++digit) {
        const int row = (digit - 1) / 3;
        const int column = (digit - 1) % 3;
        const char c = static_cast<char>('0' + digit);
        if (!addKey(std::string(1, c),
                    Vec2(kDesignCentreX + kColumnStep * static_cast<float>(column - 1),
                         kFirstRowY - kRowStep * static_cast<float>(row)),
                    [this, c] { typeDigit(c); })) {
            return false;
        }
    }
    const float lastRowY = kFirstRowY - kRowStep * 3;
    if (!addKey("删除", Vec2(kDesignCentreX - kColumnStep, lastRowY), [this] { erase(); }) ||
        !addKey("0", Vec2(kDesignCentreX, lastRowY), [this] { typeDigit('0'); }) ||
        !addKey("加入", Vec2(kDesignCentreX + kColumnStep, lastRowY), [this] { submit(); })) {
        return false;
    }
    m_btnWatch->setPosition(Vec2(kDesignCentreX, kWatchRowY));
    onRelease(m_btnWatch, [this] { submit(true); });
    addChild(m_btnWatch);

    // Touches off the board and Esc close it; every other key is the panel's (onKey).
    listenAsPanel(this, m_board, [this] { close(); });
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = CC_CALLBACK_2(CJoinPanel::onKey, this);
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys,
                                                                                          this);
    setVisible(false);
    return true;
}

bool CJoinPanel::addKey(const std::string& text, const Vec2& at,
                        const std::function<void()>& press) {
    ui::Button* key = makeTextButton(text, kKeyWidth, kKeySize);
    if (key == nullptr) {
        return false;
    }
    key->setPosition(at);
    onRelease(key, press);
    addChild(key);
    return true;
}

void CJoinPanel::open() {
    const bool watching = CMessageQueue::getInstance()->serverFeatures().watch;
    m_btnWatch->setVisible(watching);
    if (SpriteFrame* frame = SpriteFrame::createWithFile(watching ? kWatchBoard : kBoard)) {
        m_board->setSpriteFrame(frame);
    }
    m_board->setPosition(Vec2(kDesignCentreX, watching ? kWatchBoardY : kDesignCentreY));
    m_code.clear();
    refresh();
    setVisible(true);
}

void CJoinPanel::close() {
    m_code.clear();
    setVisible(false);
}

void CJoinPanel::onServerMessage(const stMsg& msg) {
    if ((msg.opt == "join" || msg.opt == "watch" || msg.opt == "create") &&
        msg.status == "refused") {
        m_code.refuse(msg);
        refresh();
    }
}

void CJoinPanel::onKey(EventKeyboard::KeyCode key, Event* event) {
    using Key = EventKeyboard::KeyCode;
    if (key == Key::KEY_ESCAPE) {
        return;  // listenAsPanel's: it closes the panel
    }
    event->stopPropagation();
    if (key >= Key::KEY_0 && key <= Key::KEY_9) {
        typeDigit(static_cast<char>('0' + (static_cast<int>(key) - static_cast<int>(Key::KEY_0))));
    } else if (key == Key::KEY_BACKSPACE) {
        erase();
    } else if (key == Key::KEY_ENTER || key == Key::KEY_KP_ENTER) {
        submit();
    }
}

void CJoinPanel::typeDigit(char digit) {
    m_code.addDigit(digit);
    refresh();
}

void CJoinPanel::erase() {
    m_code.removeDigit();
    refresh();
}

void CJoinPanel::submit(bool watching) {
    if (m_code.submit(watching)) {
        CMessageQueue::getInstance()->sendMsg(watching ? watchCodeMessage(m_code.digits())
                                                       : joinDeskMessage(m_code.digits()));
    }
    refresh();
}

void CJoinPanel::refresh() {
    m_lblField->setString(m_code.fieldText());
    m_lblMessage->setString(m_code.message());
}
