// Mouse dispatch: the right button reaches mouse listeners in the touch order, at the design
// point, until one stops it; touch listeners never hear it.
#include "EngineTestSupport.h"
#include "engine/backend/headless/Headless.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class MouseTest : public HeadlessTest {
protected:
    EventListenerMouse* listen(Node* node, const std::string& name, bool stop = false) {
        auto* listener = EventListenerMouse::create();
        listener->onMouseDown = [this, name, stop](EventMouse* event) {
            note(name, "down", event, stop);
        };
        listener->onMouseUp = [this, name, stop](EventMouse* event) {
            note(name, "up", event, stop);
        };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            listener, node);
        return listener;
    }
    void note(const std::string& name, const char* phase, EventMouse* event, bool stop) {
        ASSERT_EQ(event->getType(), Event::Type::MOUSE);
        ASSERT_EQ(event->getMouseButton(), EventMouse::MouseButton::BUTTON_RIGHT);
        const Vec2 at = event->getLocation();
        log += name + ":" + phase + "@" + std::to_string(static_cast<int>(at.x)) + "," +
               std::to_string(static_cast<int>(at.y)) + " ";
        if (stop) {
            event->stopPropagation();
        }
    }
    std::string log;
};

TEST_F(MouseTest, TheRightButtonReachesMouseListenersTopMostFirstUntilStopped) {
    Layer* layer = runLayer();
    Node* below = Node::create();
    Node* above = Node::create();
    layer->addChild(below, 1);
    layer->addChild(above, 2);
    listen(below, "below");
    listen(above, "above");
    auto* touch = EventListenerTouchOneByOne::create();
    touch->onTouchBegan = [this](Touch*, Event*) {
        log += "touch ";
        return true;
    };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(touch,
                                                                                          layer);
    headless::rightClick(100, 200);
    EXPECT_EQ(log, "above:down@100,200 below:down@100,200 above:up@100,200 below:up@100,200 ");

    log.clear();
    Node* top = Node::create();
    layer->addChild(top, 3);
    listen(top, "top", true);
    headless::rightClick(10, 20);
    EXPECT_EQ(log, "top:down@10,20 top:up@10,20 ");

    log.clear();
    top->setVisible(false);
    headless::rightClick(10, 20);
    EXPECT_EQ(log, "above:down@10,20 below:down@10,20 above:up@10,20 below:up@10,20 ");
}

TEST_F(MouseTest, TheWheelReachesScrollCallbacksTopMostFirstUntilStopped) {
    Layer* layer = runLayer();
    Node* below = Node::create();
    Node* above = Node::create();
    layer->addChild(below, 1);
    layer->addChild(above, 2);
    auto listenScroll = [this](Node* node, const std::string& name, bool stop) {
        auto* listener = EventListenerMouse::create();
        listener->onMouseDown = [this, name](EventMouse*) { log += name + ":down "; };
        listener->onMouseScroll = [this, name, stop](EventMouse* event) {
            const Vec2 at = event->getLocation();
            log += name + ":scroll" + std::to_string(static_cast<int>(event->getScrollY())) + "@" +
                   std::to_string(static_cast<int>(at.x)) + "," +
                   std::to_string(static_cast<int>(at.y)) + " ";
            if (stop) {
                event->stopPropagation();
            }
        };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            listener, node);
    };
    listenScroll(below, "below", false);
    listenScroll(above, "above", false);
    struct Row {
        float notches;
        bool aboveStops;
        const char* expected;
    };
    const Row rows[] = {
        {3, false, "above:scroll3@100,200 below:scroll3@100,200 "},
        {-2, false, "above:scroll-2@100,200 below:scroll-2@100,200 "},
        {1, true, "top:scroll1@100,200 "},
    };
    for (const Row& row : rows) {
        if (row.aboveStops) {
            Node* top = Node::create();
            layer->addChild(top, 3);
            listenScroll(top, "top", true);
        }
        log.clear();
        headless::wheel(100, 200, row.notches);
        EXPECT_EQ(log, row.expected);
    }
}

TEST_F(MouseTest, AttentionIsAskedOnlyWhileTheWindowLacksTheFocus) {
    runLayer();
    GLView* view = Director::getInstance()->getOpenGLView();
    ASSERT_NE(view, nullptr);
    const int before = headless::attentionRequests();
    view->requestAttention();
    EXPECT_EQ(headless::attentionRequests(), before);
    headless::setWindowFocused(false);
    view->requestAttention();
    EXPECT_EQ(headless::attentionRequests(), before + 1);
    headless::setWindowFocused(true);
}

}  // namespace
