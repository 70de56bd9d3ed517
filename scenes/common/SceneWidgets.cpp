#include "scenes/common/SceneWidgets.h"

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

Label* makeTextLabel(const std::string& text, float size) {
    return Label::createWithTTF(text, "fonts/arial.ttf", size, Size::ZERO, TextHAlignment::LEFT,
                                TextVAlignment::TOP);
}

Sprite* makeFrameSprite(const std::string& frameName) {
    Sprite* sprite = Sprite::create();
    if (sprite != nullptr) {
        sprite->initWithSpriteFrame(
            SpriteFrameCache::getInstance()->getSpriteFrameByName(frameName));
    }
    return sprite;
}

bool pressByKey(ui::Button* button,
                const std::function<void(Ref*, ui::Widget::TouchEventType)>& onButton) {
    if (button == nullptr || !button->isVisible() || !button->isEnabled()) {
        return false;
    }
    onButton(button, ui::Widget::TouchEventType::ENDED);
    return true;
}
