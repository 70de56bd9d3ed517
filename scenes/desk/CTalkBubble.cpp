#include "scenes/desk/CTalkBubble.h"

#include "models/desk/TableTalk.h"
#include "scenes/common/SceneWidgets.h"
#include "wire/GameConstants.h"

using namespace engine;

namespace {

constexpr float kPhraseSize = 18;
constexpr float kEmoteScale = 1.25f;
constexpr float kPadding = 24;  // the panel's width beyond the phrase's
const Color3B kPhraseColour(255, 240, 200);
const char* const kHideKey = "talk_bubble_hide";

}  // namespace

bool CTalkBubble::init() {
    if (!Node::init()) {
        return false;
    }
    m_panel = Sprite::create("talk_bubble.png");
    m_lblPhrase = makeTextLabel("", kPhraseSize);
    if (m_panel == nullptr || m_panel->getContentSize().width <= 0 || m_lblPhrase == nullptr) {
        return false;
    }
    m_lblPhrase->setColor(kPhraseColour);
    addChild(m_panel);
    addChild(m_lblPhrase, 1);
    for (int index = 0; index < kTalkEmotes; ++index) {
        Sprite* face = Sprite::create(tabletalk::emoteImage(kTalkPhrases + index));
        if (face == nullptr || face->getContentSize().width <= 0) {
            return false;
        }
        face->setScale(kEmoteScale);
        face->setVisible(false);
        addChild(face, 1);
        m_emotes[static_cast<std::size_t>(index)] = face;
    }
    setVisible(false);
    return true;
}

void CTalkBubble::show(int say) {
    m_said = say;
    const char* words = tabletalk::phrase(say);
    m_panel->setVisible(words != nullptr);
    m_lblPhrase->setVisible(words != nullptr);
    for (int index = 0; index < kTalkEmotes; ++index) {
        m_emotes[static_cast<std::size_t>(index)]->setVisible(say == kTalkPhrases + index);
    }
    if (words != nullptr) {
        m_lblPhrase->setString(words);
        const float width = m_lblPhrase->getContentSize().width + kPadding;
        m_panel->setScaleX(width / m_panel->getContentSize().width);
    }
    setVisible(true);
    unschedule(kHideKey);
    scheduleOnce([this](float) { setVisible(false); }, kTalkBubbleSeconds, kHideKey);
}

void CTalkBubble::hide() {
    unschedule(kHideKey);
    setVisible(false);
}
