#include "scenes/common/SceneWidgets.h"

#include <algorithm>
#include <vector>

#include "engine/Engine.h"

using namespace engine;

ui::Button* makeImageButton(const std::string& normal, const std::string& pressed) {
    ui::Button* button =
        ui::Button::create(normal, pressed, pressed, ui::Widget::TextureResType::LOCAL);
    if (button == nullptr || button->getContentSize().width <= 0) {
        return nullptr;
    }
    return button;
}

ui::Button* makeTextButton(const std::string& text, float width, float size) {
    ui::Button* button = makeImageButton("talk_phrase.png", "talk_phrase_press.png");
    Label* label = makeTextLabel(text, size);
    if (button == nullptr || label == nullptr) {
        return nullptr;
    }
    const Size picture = button->getContentSize();
    const float stretch = width / picture.width;
    button->setScaleX(stretch);
    // The label undoes the stretch, so the text keeps its own shape.
    label->setScaleX(1 / stretch);
    label->setPosition(Vec2(picture.width / 2, picture.height / 2 + 1));
    button->addChild(label);
    return button;
}

void onRelease(ui::Button* button, const std::function<void()>& press) {
    button->addTouchEventListener([press](Ref*, ui::Widget::TouchEventType type) {
        if (type == ui::Widget::TouchEventType::ENDED) {
            press();
        }
    });
}

Label* makeTextLabel(const std::string& text, float size) {
    return Label::createWithTTF(text, "fonts/arial.ttf", size, Size::ZERO, TextHAlignment::LEFT,
                                TextVAlignment::TOP);
}

Label* makeLeftLabel(const std::string& text, float size, const Vec2& at) {
    Label* label = makeTextLabel(text, size);
    if (label != nullptr) {
        label->setAnchorPoint(Vec2(0, 0.5f));
        label->setPosition(at);
    }
    return label;
}

Sprite* makeFrameSprite(const std::string& frameName) {
    Sprite* sprite = Sprite::create();
    if (sprite != nullptr) {
        sprite->initWithSpriteFrame(
            SpriteFrameCache::getInstance()->getSpriteFrameByName(frameName));
    }
    return sprite;
}

void playEffectOnce(std::string_view path) {
    SimpleAudioEngine::getInstance()->playEffect(std::string(path), false, 1.0f, 0.0f, 1.0f);
}

bool pressByKey(ui::Button* button,
                const std::function<void(Ref*, ui::Widget::TouchEventType)>& onButton) {
    if (button == nullptr || !button->isVisible() || !button->isEnabled()) {
        return false;
    }
    onButton(button, ui::Widget::TouchEventType::ENDED);
    return true;
}

ui::Button* addToggleButton(Node* host, const Vec2& position, const std::string& normal,
                            const std::string& pressed, int zOrder, Node* place,
                            const std::function<void()>& toggle) {
    ui::Button* button = makeImageButton(normal, pressed);
    if (button == nullptr) {
        return nullptr;
    }
    button->setPosition(position);
    onRelease(button, toggle);
    host->addChild(button, zOrder);
    host->addChild(place, zOrder + 1);
    return button;
}

namespace {

// The listeners of listenAsPanel and listenAsModalPanel; `everyKey`: every key and mouse button
// stops at the shown panel, not only those in `swallowed`.
void listenToPanelInput(Node* panel, Node* board, const std::function<void()>& close,
                        std::vector<EventKeyboard::KeyCode> swallowed, bool everyKey) {
    auto* touches = EventListenerTouchOneByOne::create();
    touches->setSwallowTouches(true);
    touches->onTouchBegan = [](Touch*, Event*) { return true; };
    touches->onTouchEnded = [board, close](Touch* touch, Event*) {
        const Rect area = board->getBoundingBox();
        if (!area.containsPoint(touch->getStartLocation()) &&
            !area.containsPoint(touch->getLocation())) {
            close();
        }
    };
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [close, everyKey, taken = std::move(swallowed)](EventKeyboard::KeyCode key,
                                                                         Event* event) {
        if (key == EventKeyboard::KeyCode::KEY_ESCAPE) {
            close();
            event->stopPropagation();
        } else if (everyKey || std::find(taken.begin(), taken.end(), key) != taken.end()) {
            event->stopPropagation();
        }
    };
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(touches, panel);
    if (everyKey) {
        keys->onKeyReleased = [](EventKeyboard::KeyCode, Event* event) { event->stopPropagation(); };
        auto* mouse = EventListenerMouse::create();
        mouse->onMouseDown = [](EventMouse* event) { event->stopPropagation(); };
        mouse->onMouseUp = [](EventMouse* event) { event->stopPropagation(); };
        dispatcher->addEventListenerWithSceneGraphPriority(mouse, panel);
    }
    dispatcher->addEventListenerWithSceneGraphPriority(keys, panel);
}

}  // namespace

void listenAsPanel(Node* panel, Node* board, const std::function<void()>& close,
                   std::initializer_list<EventKeyboard::KeyCode> swallowed) {
    listenToPanelInput(panel, board, close, swallowed, false);
}

void listenAsModalPanel(Node* panel, Node* board, const std::function<void()>& close) {
    listenToPanelInput(panel, board, close, {}, true);
}
