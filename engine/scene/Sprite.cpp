#include "engine/scene/Sprite.h"

#include "engine/base/Create.h"
#include "engine/platform/Backend.h"
#include "engine/scene/Director.h"
#include "engine/scene/SpriteFrame.h"
#include "engine/scene/SpriteFrameCache.h"
#include "engine/scene/TextureCache.h"

namespace engine {

Sprite::Sprite() {
    setAnchorPoint(Vec2::ANCHOR_MIDDLE);
}

Sprite::~Sprite() {
    if (m_frame) {
        m_frame->release();
    }
}

Sprite* Sprite::create() {
    return createAutoreleased(new Sprite());
}

Sprite* Sprite::create(const std::string& filename) {
    return createAutoreleased(new Sprite(), [&](Sprite* s) { return s->initWithFile(filename); });
}

Sprite* Sprite::createWithSpriteFrame(SpriteFrame* frame) {
    return createAutoreleased(new Sprite(),
                              [&](Sprite* s) { return s->initWithSpriteFrame(frame); });
}

Sprite* Sprite::createWithSpriteFrameName(const std::string& name) {
    return createAutoreleased(new Sprite(),
                              [&](Sprite* s) { return s->initWithSpriteFrameName(name); });
}

bool Sprite::init() {
    return true;
}

bool Sprite::initWithFile(const std::string& filename) {
    if (SpriteFrame* frame = SpriteFrame::createWithFile(filename)) {
        setSpriteFrame(frame);
    }
    return true;
}

bool Sprite::initWithSpriteFrame(SpriteFrame* frame) {
    if (!frame) {
        return false;
    }
    setSpriteFrame(frame);
    return true;
}

bool Sprite::initWithSpriteFrameName(const std::string& name) {
    return initWithSpriteFrame(SpriteFrameCache::getInstance()->getSpriteFrameByName(name));
}

void Sprite::setSpriteFrame(SpriteFrame* frame) {
    if (frame == m_frame) {
        return;
    }
    if (frame) {
        frame->retain();
    }
    if (m_frame) {
        m_frame->release();
    }
    m_frame = frame;
    setContentSize(frame ? frame->getOriginalSize() : Size::ZERO);
    Director::setNeedsRedraw();
}

void Sprite::setSpriteFrame(const std::string& name) {
    if (SpriteFrame* frame = SpriteFrameCache::getInstance()->getSpriteFrameByName(name)) {
        setSpriteFrame(frame);
    }
}

void Sprite::draw(const AffineTransform& toWorld) {
    if (m_frame && m_frame->getTexture()) {
        drawTexture(*m_frame->getTexture(), m_frame->getRectInPixels(),
                    Rect(Vec2::ZERO, getContentSize()), toWorld);
    }
}

}  // namespace engine
