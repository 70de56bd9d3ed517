#include "engine/ui/Button.h"

#include "engine/base/Create.h"
#include "engine/platform/Backend.h"
#include "engine/scene/Director.h"
#include "engine/scene/SpriteFrame.h"
#include "engine/scene/SpriteFrameCache.h"
#include "engine/scene/TextureCache.h"

namespace engine::ui {

Button* Button::create() {
    return createAutoreleased(new Button());
}

Button* Button::create(const std::string& normalImage, const std::string& selectedImage,
                       const std::string& disableImage, TextureResType texType) {
    return createAutoreleased(new Button(), [&](Button* b) {
        return b->init(normalImage, selectedImage, disableImage, texType);
    });
}

Button::~Button() {
    for (SpriteFrame* frame : {m_normal, m_pressed, m_disabled}) {
        if (frame) {
            frame->release();
        }
    }
}

bool Button::init() {
    if (!Widget::init()) {
        return false;
    }
    setTouchEnabled(true);
    return true;
}

bool Button::init(const std::string& normalImage, const std::string& selectedImage,
                  const std::string& disableImage, TextureResType texType) {
    if (!init()) {
        return false;
    }
    loadTextures(normalImage, selectedImage, disableImage, texType);
    return true;
}

void Button::setImage(SpriteFrame*& slot, const std::string& name, TextureResType texType) {
    SpriteFrame* frame = nullptr;
    if (!name.empty()) {
        if (texType == TextureResType::PLIST) {
            frame = SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
        } else {
            frame = SpriteFrame::createWithFile(name);
        }
    }
    if (frame) {
        frame->retain();
    }
    if (slot) {
        slot->release();
    }
    slot = frame;
    Director::setNeedsRedraw();
}

void Button::loadTextures(const std::string& normal, const std::string& selected,
                          const std::string& disabled, TextureResType texType) {
    loadTextureNormal(normal, texType);
    loadTexturePressed(selected, texType);
    loadTextureDisabled(disabled, texType);
}

void Button::loadTextureNormal(const std::string& name, TextureResType texType) {
    setImage(m_normal, name, texType);
    setContentSize(m_normal ? m_normal->getOriginalSize() : Size::ZERO);
}

void Button::loadTexturePressed(const std::string& name, TextureResType texType) {
    setImage(m_pressed, name, texType);
}

void Button::loadTextureDisabled(const std::string& name, TextureResType texType) {
    setImage(m_disabled, name, texType);
}

int Button::shownImage() const {
    if (!isEnabled() || !isBright()) {
        return 2;
    }
    return isHighlighted() ? 1 : 0;
}

void Button::draw(const AffineTransform& toWorld) {
    SpriteFrame* frame = m_normal;
    const int shown = shownImage();
    if (shown == 2 && m_disabled) {
        frame = m_disabled;
    } else if (shown == 1 && m_pressed) {
        frame = m_pressed;
    }
    if (!frame || !frame->getTexture()) {
        return;
    }
    const Size box = getContentSize();
    const Size size = frame->getOriginalSize();
    const Rect local((box.width - size.width) / 2, (box.height - size.height) / 2, size.width,
                     size.height);
    drawTexture(*frame->getTexture(), frame->getRectInPixels(), local, toWorld);
}

}  // namespace engine::ui
