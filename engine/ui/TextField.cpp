#include "engine/ui/TextField.h"

#include "engine/base/Create.h"
#include "engine/input/EventDispatcher.h"
#include "engine/input/EventListenerKeyboard.h"
#include "engine/scene/Director.h"
#include "engine/scene/Label.h"

namespace engine::ui {

namespace {

constexpr float kPadding = 10.0f;  // between the field's left edge and the text
constexpr const char* kBlinkKey = "caret";

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first `limit` code points of `text` (all of it when limit <= 0).
std::string firstCodePoints(const std::string& text, int limit) {
    if (limit <= 0) {
        return text;
    }
    int count = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!isContinuation(text[at]) && count++ == limit) {
            return text.substr(0, at);
        }
    }
    return text;
}

}  // namespace

TextField* TextField::create(const std::string& fontPath, float fontSize, const Size& size) {
    return createAutoreleased(new TextField(), [&](TextField* field) {
        return field->initWithFont(fontPath, fontSize, size);
    });
}

TextField::~TextField() {
    if (m_keys) {
        m_keys->release();
    }
}

bool TextField::initWithFont(const std::string& fontPath, float fontSize, const Size& size) {
    if (!Widget::init()) {
        return false;
    }
    setContentSize(size);
    setTouchEnabled(true);
    addClickEventListener([this](Ref*) { attach(); });
    m_lblText = Label::createWithTTF("", fontPath, fontSize);
    m_lblComposition = Label::createWithTTF("", fontPath, fontSize);
    m_lblCaret = Label::createWithTTF("|", fontPath, fontSize);
    if (!m_lblText || !m_lblComposition || !m_lblCaret) {
        return false;
    }
    for (Label* label : {m_lblText, m_lblComposition, m_lblCaret}) {
        label->setAnchorPoint(Vec2(0.0f, 0.5f));
        addChild(label);
    }
    m_lblCaret->setVisible(false);
    setTextColor(Color3B::WHITE, Color3B(255, 220, 90));
    m_keys = EventListenerKeyboard::create();
    m_keys->retain();
    m_keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event* event) { onKey(key, event); };
    layoutText();
    return true;
}

void TextField::setTextColor(const Color3B& text, const Color3B& composition) {
    m_lblText->setColor(text);
    m_lblCaret->setColor(text);
    m_lblComposition->setColor(composition);
}

void TextField::setString(const std::string& text) {
    m_text = firstCodePoints(text, m_maxLength);
    m_lblText->setString(m_text);
    layoutText();
}

void TextField::attach() {
    if (m_attached) {
        return;
    }
    m_attached = true;
    const Vec2 low = convertToWorldSpace(Vec2::ZERO);
    const Vec2 high = convertToWorldSpace(Vec2(getContentSize().width, getContentSize().height));
    Director::getInstance()->attachTextInput(this, Rect(low.x, low.y, high.x - low.x, high.y - low.y));
    m_lblCaret->setVisible(true);
    schedule([this](float) { m_lblCaret->setVisible(!m_lblCaret->isVisible()); }, kCaretBlink,
             kBlinkKey);
}

void TextField::detach() {
    if (!m_attached) {
        return;
    }
    m_attached = false;
    Director::getInstance()->detachTextInput(this);
    unschedule(kBlinkKey);
    m_lblCaret->setVisible(false);
    m_composition.clear();
    m_lblComposition->setString("");
    layoutText();
}

void TextField::onEnter() {
    if (m_keys && !m_keys->isRegistered()) {
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(m_keys, this);
    }
    Widget::onEnter();
}

void TextField::onExit() {
    detach();
    Widget::onExit();
}

void TextField::onTextInput(const std::string& text) {
    if (!m_attached) {
        return;
    }
    m_composition.clear();
    m_lblComposition->setString("");
    setString(m_text + text);
    changed();
}

void TextField::onTextEditing(const std::string& text, int) {
    if (!m_attached) {
        return;
    }
    m_composition = text;
    m_lblComposition->setString(m_composition);
    layoutText();
}

void TextField::onKey(EventKeyboard::KeyCode key, Event* event) {
    using K = EventKeyboard::KeyCode;
    if (!m_attached || key == K::KEY_ESCAPE) {
        return;
    }
    event->stopPropagation();
    if (!m_composition.empty()) {
        return;
    }
    if (key == K::KEY_BACKSPACE && !m_text.empty()) {
        std::size_t end = m_text.size() - 1;
        while (end > 0 && isContinuation(m_text[end])) {
            --end;
        }
        setString(m_text.substr(0, end));
        changed();
    } else if ((key == K::KEY_ENTER || key == K::KEY_KP_ENTER) && onSubmit) {
        onSubmit(m_text);
    }
}

void TextField::layoutText() {
    const float middle = getContentSize().height / 2.0f;
    m_lblText->setPosition(Vec2(kPadding, middle));
    const float afterText = kPadding + m_lblText->getContentSize().width;
    m_lblComposition->setPosition(Vec2(afterText, middle));
    m_lblCaret->setPosition(Vec2(afterText + m_lblComposition->getContentSize().width, middle));
    Director::setNeedsRedraw();
}

void TextField::changed() {
    if (onChanged) {
        onChanged(m_text);
    }
}

}  // namespace engine::ui
