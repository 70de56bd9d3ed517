#include "scenes/desk/CTalkPanel.h"

#include <algorithm>
#include <string>

#include "models/desk/TableTalk.h"
#include "scenes/common/SceneWidgets.h"
#include "wire/GameConstants.h"

using namespace engine;

namespace {

// The board (470 x 300) in its own coordinates: two columns of four phrases, a row of emotes.
constexpr float kBoardWidth = 470;
constexpr float kBoardHeight = 300;
constexpr float kPhraseX[2] = {123, 347};
constexpr float kFirstPhraseY = 258;
constexpr float kPhraseStep = 48;
constexpr float kEmoteY = 48;
constexpr float kFirstEmoteX = 60;
constexpr float kEmoteStep = 70;
constexpr float kPhraseTextSize = 16;
constexpr float kGap = 6;

}  // namespace

bool CTalkPanel::addTo(Node* host, const Vec2& buttonPosition, std::function<void(int)> onSay,
                       ui::Button*& button, CLazyPanel<CTalkPanel>*& panel) {
    // Right-aligned under the button's row, its right edge at the button's right edge or the
    // screen's, whichever is further left.
    const float visibleWidth = Director::getInstance()->getVisibleSize().width;
    const float right =
        std::min(buttonPosition.x + kButtonWidth / 2 + kBoardWidth / 2, visibleWidth - kGap);
    const Vec2 at(right - kBoardWidth, buttonPosition.y - kButtonHeight / 2 - kGap - kBoardHeight);
    button = addPanelButton<CTalkPanel>(
        host, buttonPosition, "talk.png", "talk_press.png", kZOrder,
        [at, onSay = std::move(onSay)]() -> CTalkPanel* {
            CTalkPanel* made = create();
            if (made != nullptr) {
                made->m_onSay = onSay;
                made->setPosition(at);
            }
            return made;
        },
        panel);
    return button != nullptr;
}

bool CTalkPanel::init() {
    if (!Node::init()) {
        return false;
    }
    m_board = Sprite::create("talk_panel.png");
    if (m_board == nullptr || m_board->getContentSize().width <= 0) {
        return false;
    }
    m_board->setPosition(Vec2(kBoardWidth / 2, kBoardHeight / 2));
    addChild(m_board);
    for (int say = 0; say < kTalkCount; ++say) {
        const Vec2 at = say < kTalkPhrases
                            ? Vec2(kPhraseX[say / 4], kFirstPhraseY - kPhraseStep * (say % 4))
                            : Vec2(kFirstEmoteX + kEmoteStep * (say - kTalkPhrases), kEmoteY);
        if (!addChoice(say, at)) {
            return false;
        }
    }
    // Keys 1 to 8 on the board: offered before the panel's own listener, which takes Esc.
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event* event) {
        const int index = static_cast<int>(key) - static_cast<int>(EventKeyboard::KeyCode::KEY_1);
        if (index >= 0 && index < kTalkPhrases) {
            choose(index);
            event->stopPropagation();
        }
    };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys,
                                                                                          m_board);
    listenAsPanel(this, m_board, [this] { close(); });
    setVisible(false);
    return true;
}

bool CTalkPanel::addChoice(int say, const Vec2& at) {
    const char* emote = tabletalk::emoteImage(say);
    ui::Button* button = emote != nullptr ? makeImageButton(emote, emote)
                                          : makeImageButton("talk_phrase.png",
                                                            "talk_phrase_press.png");
    if (button == nullptr) {
        return false;
    }
    if (emote == nullptr) {
        Label* text = makeTextLabel(std::to_string(say + 1) + "  " + tabletalk::phrase(say),
                                    kPhraseTextSize);
        if (text == nullptr) {
            return false;
        }
        const Size size = button->getContentSize();
        text->setPosition(Vec2(size.width / 2, size.height / 2 + 1));
        button->addChild(text);
    }
    button->setPosition(at);
    button->addTouchEventListener([this, say](Ref*, ui::Widget::TouchEventType type) {
        if (type == ui::Widget::TouchEventType::ENDED) {
            choose(say);
        }
    });
    addChild(button);
    return true;
}

void CTalkPanel::choose(int say) {
    close();
    if (m_onSay) {
        m_onSay(say);
    }
}
