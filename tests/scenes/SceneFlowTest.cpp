// Scene changes: one reader of the server's messages, switched by the change itself, and nothing
// of the old scene acting after it.

#include "engine/backend/headless/Headless.h"
#include "scenes/common/SceneFlow.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

class SceneFlowTest : public SceneTest {};

// A message queued just after a change, when the old scene's 0.1 s timers are all due at the
// next frame, goes to the new scene.
TEST_F(SceneFlowTest, AMessageQueuedAtAChangeGoesToTheNewScene) {
    startDesk(3, 1);
    ASSERT_TRUE(showLayerInNewScene(CHallScene::create()));
    push(R"({"opt":"add","desk":"9","site":"2","name":"me"})");
    headless::stall(0.25);
    headless::stepFrames(20);
    CDeskScene* desk = runningDesk();
    ASSERT_NE(desk, nullptr) << "the new hall took the seating answer";
    EXPECT_EQ(DeskProbe{*desk}.deskLabel()->getString(), "Desk:9");
}

// The same from the hall to the desk, and with several records: each goes to the scene that
// runs when its poll comes, in order, and none is lost.
TEST_F(SceneFlowTest, RecordsAcrossAChangeReachTheNewSceneInOrder) {
    startHall();
    push(R"({"opt":"add","desk":"4","site":"0","name":"me"})");
    push(R"({"opt":"change","info":[{"name":"me","ready":"1"},{"name":"b"},{},{}]})");
    push(R"({"opt":"score","p0":"35","p1":"10"})");
    headless::stepFrames(30);
    CDeskScene* desk = runningDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};
    EXPECT_EQ(probe.seat(1).name_label->getString(), "b");
    EXPECT_TRUE(probe.seat(0).ready_sprite->isVisible());
    EXPECT_EQ(probe.ownScore()->getString(), "35");
}

// The change stops the old scene's timers: a local countdown about to run out sends nothing.
TEST_F(SceneFlowTest, TheOldScenesTimersStopAtTheChange) {
    CDeskScene* desk = dealtDesk("8,12,13");
    feed(gameMessage(0, "9", 1, 0));
    step(30.2);
    takeSent();
    ASSERT_EQ(DeskProbe{*desk}.seat(1).countdown->getString(), "0");
    ASSERT_TRUE(showLayerInNewScene(CHallScene::create()));
    headless::stall(1.5);
    headless::stepFrames(2);
    EXPECT_NE(runningHall(), nullptr);
    EXPECT_EQ(takeSent(), std::vector<std::string>{R"({"opt":"query"})"})
        << "only the new hall's query, no pass from the desk";
}
