// Timers: intervals with remainder, at most one call per frame, running only while the node runs.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class SchedulerTest : public HeadlessTest {};

class Poller : public Layer {
public:
    CREATE_FUNC(Poller)
    bool init() override {
        if (!Layer::init()) {
            return false;
        }
        schedule(CC_SCHEDULE_SELECTOR(Poller::poll), 0.1f);
        return true;
    }
    void poll(float) { ++polls; }
    int polls = 0;
};

TEST_F(SchedulerTest, IntervalTimerFiresOncePerIntervalOfFrames) {
    Layer* layer = runLayer();
    int calls = 0;
    layer->schedule([&](float) { ++calls; }, 0.1f, "tick");
    headless::stepFrames(5);
    EXPECT_EQ(calls, 0);
    headless::stepFrames(1);  // 6 frames of 1/60 s = 0.1 s
    EXPECT_EQ(calls, 1);
    headless::step(0.9);
    EXPECT_EQ(calls, 10);
}

TEST_F(SchedulerTest, RemainderIsKeptForTheNextInterval) {
    // 0.25 s with frames of 1/60 s: due after 15 frames each time, never drifting.
    Layer* layer = runLayer();
    int calls = 0;
    layer->schedule([&](float) { ++calls; }, 0.25f, "quarter");
    headless::step(10.0);
    EXPECT_EQ(calls, 40);
    // 0.07 s does not divide into frames: 5 frames = 0.0833 leaves 0.0133 over, so the next
    // call comes after 4 more frames.
    int odd = 0;
    layer->schedule([&](float) { ++odd; }, 0.07f, "odd");
    headless::stepFrames(5);
    EXPECT_EQ(odd, 1);
    headless::stepFrames(4);
    EXPECT_EQ(odd, 2);
}

TEST_F(SchedulerTest, ALongFrameGivesOneCallNotABurst) {
    Layer* layer = runLayer();
    int calls = 0;
    layer->schedule([&](float) { ++calls; }, 0.1f, "tick");
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    scheduler->update(1.0f);  // one frame after a stall of a second
    EXPECT_EQ(calls, 1);
    scheduler->update(0.0f);
    EXPECT_EQ(calls, 1);  // time beyond one interval was dropped
    scheduler->update(0.1f);
    EXPECT_EQ(calls, 2);
}

TEST_F(SchedulerTest, SelectorTimerOfALayerRunsWhileItsSceneRuns) {
    auto* scene = Scene::create();
    auto* poller = Poller::create();
    scene->addChild(poller);
    scene->retain();  // kept past the pool until it runs
    headless::step(0.5);
    EXPECT_EQ(poller->polls, 0);  // not running yet
    Director::getInstance()->runWithScene(scene);
    scene->release();
    headless::step(0.5);
    EXPECT_EQ(poller->polls, 5);
    EXPECT_TRUE(poller->isScheduled(CC_SCHEDULE_SELECTOR(Poller::poll)));
    poller->unschedule(CC_SCHEDULE_SELECTOR(Poller::poll));
    headless::step(0.5);
    EXPECT_EQ(poller->polls, 5);
}

TEST_F(SchedulerTest, TimersStopWhenTheNodeIsRemovedWithCleanup) {
    Layer* layer = runLayer();
    Node* child = Node::create();
    layer->addChild(child);
    int calls = 0;
    child->schedule([&](float) { ++calls; }, 0.0f, "every-frame");
    headless::stepFrames(3);
    EXPECT_EQ(calls, 3);
    layer->removeChild(child, true);
    headless::stepFrames(3);
    EXPECT_EQ(calls, 3);
}

TEST_F(SchedulerTest, OnceAndRepeatCountsAndSelfUnscheduling) {
    Layer* layer = runLayer();
    int once = 0;
    int repeated = 0;
    int self = 0;
    layer->scheduleOnce([&](float) { ++once; }, 0.2f, "once");
    layer->schedule([&](float) { ++repeated; }, 0.1f, 2, 0.0f, "thrice");
    layer->schedule(
        [&](float) {
            ++self;
            layer->unschedule("self");
        },
        0.0f, "self");
    headless::step(2.0);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(repeated, 3);
    EXPECT_EQ(self, 1);
}

TEST_F(SchedulerTest, AnIdleSceneWaitsForItsNextTimer) {
    Layer* layer = runLayer();
    Director* director = Director::getInstance();
    EXPECT_EQ(director->secondsUntilWork(false), 0.0);  // the first scene is drawn at once
    headless::stepFrames(1);  // the first drawing
    EXPECT_GT(director->secondsUntilWork(false), 1e6);  // nothing to do at all
    layer->schedule([](float) {}, 1.0f, "slow");
    EXPECT_NEAR(director->secondsUntilWork(false), 1.0, 1e-6);
    headless::step(0.5);
    EXPECT_NEAR(director->secondsUntilWork(false), 0.5, 1e-3);
    // Input or a change waits only for the animation interval since the last frame.
    EXPECT_NEAR(director->secondsUntilWork(true), 1.0 / 60, 1e-6);
    layer->setPosition(1, 1);
    EXPECT_NEAR(director->secondsUntilWork(false), 1.0 / 60, 1e-6);
}

}  // namespace
