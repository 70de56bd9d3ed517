#include "engine/scene/Scene.h"

#include "engine/scene/Director.h"

namespace engine {

Scene* Scene::create() {
    Scene* scene = new Scene();
    if (scene->init()) {
        scene->autorelease();
        return scene;
    }
    delete scene;
    return nullptr;
}

bool Scene::init() {
    setAnchorPoint(Vec2::ZERO);
    setPosition(Vec2::ZERO);
    setContentSize(Director::getInstance()->getVisibleSize());
    return true;
}

}  // namespace engine
