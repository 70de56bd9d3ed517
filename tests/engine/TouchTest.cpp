// Touch dispatch: top-most first, claiming with began, swallowing, invisible nodes.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class TouchTest : public HeadlessTest {
protected:
    // A listener on `node` that logs "<name>:<phase>@x,y" and claims the touch when `claim`.
    EventListenerTouchOneByOne* listen(Node* node, const std::string& name, bool claim,
                                       bool swallow = false) {
        auto* listener = EventListenerTouchOneByOne::create();
        listener->setSwallowTouches(swallow);
        listener->onTouchBegan = [this, name, claim](Touch* t, Event*) {
            note(name, "began", t);
            return claim;
        };
        listener->onTouchMoved = [this, name](Touch* t, Event*) { note(name, "moved", t); };
        listener->onTouchEnded = [this, name](Touch* t, Event*) { note(name, "ended", t); };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            listener, node);
        return listener;
    }
    void note(const std::string& name, const char* phase, Touch* t) {
        log += name + ":" + phase + "@" + std::to_string(static_cast<int>(t->getLocation().x)) +
               "," + std::to_string(static_cast<int>(t->getLocation().y)) + " ";
    }
    std::string log;
};

TEST_F(TouchTest, ABeganThatReturnsTrueGetsTheMovesAndTheEnd) {
    Layer* layer = runLayer();
    listen(layer, "desk", true);
    headless::touchBegin(100, 50);
    headless::touchMove(120, 55);
    headless::touchMove(140, 60);
    headless::touchEnd(140, 60);
    headless::stepFrames(1);
    EXPECT_EQ(log, "desk:began@100,50 desk:moved@120,55 desk:moved@140,60 desk:ended@140,60 ");
}

TEST_F(TouchTest, ABeganThatReturnsFalseGetsNothingMore) {
    Layer* layer = runLayer();
    listen(layer, "desk", false);
    headless::touchBegin(100, 50);
    headless::touchMove(120, 55);
    headless::touchEnd(120, 55);
    headless::stepFrames(1);
    EXPECT_EQ(log, "desk:began@100,50 ");
}

TEST_F(TouchTest, TopMostIsOfferedFirstAndSwallowingStopsTheRest) {
    Layer* layer = runLayer();
    Node* below = Node::create();
    Node* above = Node::create();
    layer->addChild(above, 2);
    layer->addChild(below, 1);
    listen(layer, "layer", true);
    listen(below, "below", true);
    listen(above, "above", true);
    headless::tap(1, 2);
    EXPECT_EQ(log,
              "above:began@1,2 below:began@1,2 layer:began@1,2 "
              "above:ended@1,2 below:ended@1,2 layer:ended@1,2 ");
    log.clear();
    Node* top = Node::create();
    layer->addChild(top, 3);
    listen(top, "top", true, /*swallow=*/true);
    headless::tap(1, 2);
    EXPECT_EQ(log, "top:began@1,2 top:ended@1,2 ");
}

TEST_F(TouchTest, InvisibleNodesAndNodesOutsideTheRunningSceneAreNotOffered) {
    Layer* layer = runLayer();
    Node* hidden = Node::create();
    layer->addChild(hidden);
    hidden->setVisible(false);
    listen(hidden, "hidden", true);
    Node* detached = Node::create();
    detached->retain();
    listen(detached, "detached", true);
    headless::tap(5, 5);
    EXPECT_EQ(log, "");
    hidden->setVisible(true);
    headless::tap(5, 5);
    EXPECT_EQ(log, "hidden:began@5,5 hidden:ended@5,5 ");
    detached->release();
}

TEST_F(TouchTest, ALayerBindsItsOwnHandlers) {
    struct Desk : Layer {
        CREATE_FUNC(Desk)
        bool init() override {
            if (!Layer::init()) {
                return false;
            }
            auto* listener = EventListenerTouchOneByOne::create();
            listener->onTouchBegan = CC_CALLBACK_2(Desk::onTouchBegan, this);
            listener->onTouchMoved = CC_CALLBACK_2(Desk::onTouchMoved, this);
            Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
                listener, this);
            return true;
        }
        bool onTouchBegan(Touch*, Event*) override {
            ++began;
            return true;
        }
        void onTouchMoved(Touch*, Event*) override { ++moved; }
        int began = 0;
        int moved = 0;
    };
    Scene* scene = Scene::create();
    Desk* desk = Desk::create();
    scene->addChild(desk);
    Director::getInstance()->runWithScene(scene);
    headless::touchBegin(10, 10);
    headless::touchMove(20, 10);
    headless::touchEnd(20, 10);
    headless::stepFrames(1);
    EXPECT_EQ(desk->began, 1);
    EXPECT_EQ(desk->moved, 1);
}

TEST_F(TouchTest, MovesWithoutAPressAreIgnored) {
    Layer* layer = runLayer();
    listen(layer, "desk", true);
    headless::touchMove(10, 10);
    headless::touchEnd(10, 10);
    headless::stepFrames(1);
    EXPECT_EQ(log, "");
}

}  // namespace
