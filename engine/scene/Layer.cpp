#include "engine/scene/Layer.h"

#include "engine/base/Create.h"
#include "engine/scene/Director.h"

namespace engine {

Layer* Layer::create() {
    return createAutoreleased(new Layer());
}

bool Layer::init() {
    setAnchorPoint(Vec2::ZERO);
    setPosition(Vec2::ZERO);
    setContentSize(Director::getInstance()->getVisibleSize());
    return true;
}

bool Layer::onTouchBegan(Touch*, Event*) {
    return false;
}
void Layer::onTouchMoved(Touch*, Event*) {}
void Layer::onTouchEnded(Touch*, Event*) {}
void Layer::onTouchCancelled(Touch*, Event*) {}

}  // namespace engine
