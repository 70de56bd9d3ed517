#include "scenes/common/SceneFlow.h"

#include "engine/Engine.h"
#include "scenes/common/CMessagePump.h"

using namespace engine;

namespace {

void stopTimers(Node* node) {
    node->unscheduleAllCallbacks();
    for (Node* child : node->getChildren()) {
        stopTimers(child);
    }
}

}  // namespace

bool showLayerInNewScene(Layer* layer) {
    if (layer == nullptr) {
        return false;
    }
    Scene* scene = Scene::create();
    if (scene == nullptr) {
        return false;
    }
    scene->addChild(layer);
    Director* director = Director::getInstance();
    if (Scene* old = director->getRunningScene()) {
        stopTimers(old);
        director->replaceScene(scene);
    } else {
        director->runWithScene(scene);
    }
    CMessagePump::setReader(layer);
    return true;
}
