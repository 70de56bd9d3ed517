// runWithScene, replaceScene at the next frame, the old scene's stop and release.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class SceneReplaceTest : public HeadlessTest {
protected:
    std::string log;  // outlives the scenes, which the director releases after the test
};

// A layer that writes its life into a shared log.
class LoggingLayer : public Layer {
public:
    static LoggingLayer* create(std::string* log, const std::string& name) {
        auto* layer = new LoggingLayer();
        layer->m_log = log;
        layer->m_nameInLog = name;
        if (!layer->init()) {
            delete layer;
            return nullptr;
        }
        layer->autorelease();
        return layer;
    }
    ~LoggingLayer() override { *m_log += m_nameInLog + "~ "; }
    void onEnter() override {
        Layer::onEnter();
        *m_log += m_nameInLog + "+ ";
    }
    void onExit() override {
        *m_log += m_nameInLog + "- ";
        Layer::onExit();
    }

private:
    std::string* m_log = nullptr;
    std::string m_nameInLog;
};

Scene* sceneWith(Layer* layer) {
    Scene* scene = Scene::create();
    scene->addChild(layer);
    return scene;
}

TEST_F(SceneReplaceTest, RunWithSceneStartsTheFirstSceneAtOnce) {
    Scene* scene = sceneWith(LoggingLayer::create(&log, "a"));
    Director::getInstance()->runWithScene(scene);
    EXPECT_EQ(Director::getInstance()->getRunningScene(), scene);
    EXPECT_EQ(log, "a+ ");
    headless::stepFrames(1);
    EXPECT_EQ(log, "a+ ");  // the director keeps it after the pool drains
}

TEST_F(SceneReplaceTest, ReplaceTakesEffectAtTheNextFrameAndReleasesTheOldScene) {
    Director* director = Director::getInstance();
    director->runWithScene(sceneWith(LoggingLayer::create(&log, "a")));
    headless::stepFrames(1);
    Scene* next = sceneWith(LoggingLayer::create(&log, "b"));
    director->replaceScene(next);
    EXPECT_NE(director->getRunningScene(), next);
    EXPECT_EQ(log, "a+ ");
    headless::stepFrames(1);
    EXPECT_EQ(director->getRunningScene(), next);
    EXPECT_EQ(log, "a+ a- a~ b+ ");
}

TEST_F(SceneReplaceTest, TheOldScenesTimersAndListenersStopWithIt) {
    Director* director = Director::getInstance();
    auto* old = LoggingLayer::create(&log, "a");
    director->runWithScene(sceneWith(old));
    int ticks = 0;
    old->schedule([&](float) { ++ticks; }, 0.0f, "tick");
    auto* listener = EventListenerTouchOneByOne::create();
    int touches = 0;
    listener->onTouchBegan = [&](Touch*, Event*) { return ++touches > 0; };
    director->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, old);
    const size_t listenersBefore = director->getEventDispatcher()->listenerCount();
    headless::stepFrames(2);
    EXPECT_EQ(ticks, 2);
    director->replaceScene(sceneWith(Layer::create()));
    headless::stepFrames(1);
    const int ticksAtReplace = ticks;
    headless::tap(10, 10);
    headless::stepFrames(3);
    EXPECT_EQ(ticks, ticksAtReplace);
    EXPECT_EQ(touches, 0);
    EXPECT_EQ(director->getEventDispatcher()->listenerCount(), listenersBefore - 1);
}

TEST_F(SceneReplaceTest, ATimerOfTheOldSceneMayReplaceItsOwnScene) {
    Director* director = Director::getInstance();
    auto* hall = LoggingLayer::create(&log, "hall");
    director->runWithScene(sceneWith(hall));
    hall->schedule(
        [&](float) { director->replaceScene(sceneWith(LoggingLayer::create(&log, "desk"))); }, 0.1f,
        "poll");
    headless::step(0.1);
    EXPECT_EQ(log, "hall+ hall- hall~ desk+ ");
}

TEST_F(SceneReplaceTest, ReplacingTwiceBeforeAFrameKeepsOnlyTheLast) {
    Director* director = Director::getInstance();
    director->runWithScene(sceneWith(LoggingLayer::create(&log, "a")));
    headless::stepFrames(1);
    director->replaceScene(sceneWith(LoggingLayer::create(&log, "b")));
    director->replaceScene(sceneWith(LoggingLayer::create(&log, "c")));
    headless::stepFrames(1);
    // b never runs; it goes with the pool at the end of the frame.
    EXPECT_EQ(log, "a+ a- a~ c+ b~ ");
}

}  // namespace
