#include "engine/scene/Scene.h"

#include "engine/base/Create.h"
#include "engine/scene/Director.h"

namespace engine {

Scene* Scene::create() {
    return createAutoreleased(new Scene());
}

bool Scene::init() {
    setAnchorPoint(Vec2::ZERO);
    setPosition(Vec2::ZERO);
    setContentSize(Director::getInstance()->getVisibleSize());
    return true;
}

}  // namespace engine
