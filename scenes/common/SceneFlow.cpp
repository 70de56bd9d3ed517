#include "scenes/common/SceneFlow.h"

#include "engine/Engine.h"

using namespace engine;

bool showLayerInNewScene(Layer* layer) {
    if (layer == nullptr) {
        return false;
    }
    Scene* scene = Scene::create();
    if (scene == nullptr) {
        return false;
    }
    scene->addChild(layer);
    Director::getInstance()->replaceScene(scene);
    return true;
}
