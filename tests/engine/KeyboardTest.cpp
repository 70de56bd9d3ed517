// Key dispatch: everyone hears a key in the touch order, stopPropagation ends it, hidden and
// removed listeners are skipped.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;
using K = EventKeyboard::KeyCode;

namespace {

class KeyboardTest : public HeadlessTest {
protected:
    // Fixed-priority listeners outlive the scene; theirs call into this fixture.
    void TearDown() override {
        for (EventListenerKeyboard* listener : m_fixed) {
            dispatcher()->removeEventListener(listener);
        }
        HeadlessTest::TearDown();
    }
    // Logs "<name>:<down|up><key> " for each key; `stop` stops the event after logging it.
    EventListenerKeyboard* make(const std::string& name, bool stop = false) {
        auto* listener = EventListenerKeyboard::create();
        listener->onKeyPressed = [this, name, stop](K key, Event* event) {
            note(name, "down", key, event, stop);
        };
        listener->onKeyReleased = [this, name, stop](K key, Event* event) {
            note(name, "up", key, event, stop);
        };
        return listener;
    }
    EventListenerKeyboard* listen(Node* node, const std::string& name, bool stop = false) {
        EventListenerKeyboard* listener = make(name, stop);
        dispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
        return listener;
    }
    EventListenerKeyboard* listenFixed(int priority, const std::string& name) {
        EventListenerKeyboard* listener = make(name);
        dispatcher()->addEventListenerWithFixedPriority(listener, priority);
        m_fixed.push_back(listener);
        return listener;
    }
    void note(const std::string& name, const char* phase, K key, Event* event, bool stop) {
        ASSERT_EQ(event->getType(), Event::Type::KEYBOARD);
        log += name + ":" + phase +
               std::to_string(static_cast<int>(key) - static_cast<int>(K::KEY_A)) + " ";
        if (stop) {
            event->stopPropagation();
        }
    }
    static EventDispatcher* dispatcher() { return Director::getInstance()->getEventDispatcher(); }
    std::string log;
    std::vector<EventListenerKeyboard*> m_fixed;
};

// Letters are logged by their place in the alphabet: KEY_A is 0, KEY_H is 7.
TEST_F(KeyboardTest, EveryListenerHearsTheKeyInTouchOrder) {
    Layer* layer = runLayer();
    Node* below = Node::create();
    Node* above = Node::create();
    layer->addChild(above, 2);
    layer->addChild(below, 1);
    listenFixed(5, "late");
    listen(below, "below");
    listen(layer, "layer");
    listen(above, "above");
    listenFixed(-5, "early");
    headless::typeKey(K::KEY_H);
    EXPECT_EQ(log,
              "early:down7 above:down7 below:down7 layer:down7 late:down7 "
              "early:up7 above:up7 below:up7 layer:up7 late:up7 ");
}

TEST_F(KeyboardTest, StopPropagationEndsTheDelivery) {
    Layer* layer = runLayer();
    Node* panel = Node::create();
    layer->addChild(panel, 1);
    listen(layer, "desk");
    listen(panel, "panel", /*stop=*/true);
    headless::keyPress(K::KEY_A);
    headless::stepFrames(1);
    EXPECT_EQ(log, "panel:down0 ");
}

TEST_F(KeyboardTest, HiddenDisabledAndRemovedListenersHearNothing) {
    Layer* layer = runLayer();
    Node* hidden = Node::create();
    Node* gone = Node::create();
    layer->addChild(hidden);
    layer->addChild(gone);
    hidden->setVisible(false);
    listen(hidden, "hidden");
    listen(gone, "gone");
    listen(layer, "desk")->setEnabled(false);
    gone->removeFromParent();
    headless::typeKey(K::KEY_B);
    EXPECT_EQ(log, "");
    hidden->setVisible(true);
    headless::keyRelease(K::KEY_B);
    headless::stepFrames(1);
    EXPECT_EQ(log, "hidden:up1 ");
}

TEST_F(KeyboardTest, AListenerRemovedByAnEarlierOneIsNotCalled) {
    Layer* layer = runLayer();
    Node* top = Node::create();
    layer->addChild(top, 1);
    EventListenerKeyboard* second = listen(layer, "second");
    auto* first = EventListenerKeyboard::create();
    first->onKeyPressed = [this, second](K, Event*) {
        log += "first ";
        dispatcher()->removeEventListener(second);
    };
    dispatcher()->addEventListenerWithSceneGraphPriority(first, top);
    headless::keyPress(K::KEY_C);
    headless::stepFrames(1);
    EXPECT_EQ(log, "first ");
}

TEST_F(KeyboardTest, TouchListenersHearNoKeysAndKeyListenersNoTouches) {
    Layer* layer = runLayer();
    listen(layer, "keys");
    auto* touch = EventListenerTouchOneByOne::create();
    touch->onTouchBegan = [this](Touch*, Event*) {
        log += "touch ";
        return true;
    };
    dispatcher()->addEventListenerWithSceneGraphPriority(touch, layer);
    headless::typeKey(K::KEY_Z);
    headless::tap(10, 10);
    EXPECT_EQ(log, "keys:down25 keys:up25 touch ");
}

}  // namespace
