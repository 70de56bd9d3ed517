#include "tests/scenes/SceneTestKit.h"

#include <memory>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "net/MessageDecoder.h"

using namespace engine;

std::string gameMessage(int per, const std::string& cards, int now, int must,
                        const std::string& surplus, int score) {
    return R"({"opt":"game","per":")" + std::to_string(per) + R"(","surplus":")" + surplus +
           R"(","now":")" + std::to_string(now) + R"(","cards":")" + cards + R"(","score":")" +
           std::to_string(score) + R"(","must":")" + std::to_string(must) + R"("})";
}

void SceneTest::SetUp() {
    headless::install();
    loadCatalogue();
    CMessageQueue::getInstance()->setSendTap(
        [this](const std::string& text) { m_sent.push_back(text); });
}

void SceneTest::TearDown() {
    CMessageQueue::getInstance()->setSendTap(nullptr);
}

void SceneTest::push(std::string_view json) {
    auto msg = std::make_shared<stMsg>();
    ASSERT_EQ(decodeMessage(json, *msg), DecodeStatus::Ok) << json;
    CMessageQueue::getInstance()->pushMsg(std::move(msg));
}

void SceneTest::feed(std::string_view json) {
    push(json);
    // Polls come every 0.1 s, so eight frames hold at least one; a lone queued message is taken.
    headless::stepFrames(8);
}

void SceneTest::step(double seconds) {
    headless::step(seconds);
}

bool SceneTest::stepUntil(const std::function<bool()>& done, double maxSeconds) {
    for (double waited = 0; waited < maxSeconds; waited += 1.0 / 60) {
        if (done()) {
            return true;
        }
        headless::stepFrames(1);
    }
    return done();
}

CHallScene* SceneTest::startHall() {
    Scene* scene = Scene::create();
    CHallScene* hall = CHallScene::create();
    EXPECT_NE(hall, nullptr);
    scene->addChild(hall);
    if (Director::getInstance()->getRunningScene() == nullptr) {
        Director::getInstance()->runWithScene(scene);
    } else {
        Director::getInstance()->replaceScene(scene);
    }
    headless::stepFrames(1);
    return hall;
}

CDeskScene* SceneTest::startDesk(int desk, int site, const std::string& name) {
    startHall();
    feed(R"({"opt":"add","desk":")" + std::to_string(desk) + R"(","site":")" +
         std::to_string(site) + R"(","name":")" + name + R"("})");
    headless::stepFrames(1);
    CDeskScene* seated = runningDesk();
    EXPECT_NE(seated, nullptr);
    takeSent();
    headless::clearRecords();
    return seated;
}

CDeskScene* SceneTest::dealtDesk(const std::string& hand) {
    CDeskScene* desk = startDesk(3, 1);
    headless::tap(512, 170);  // ready
    feed(R"({"opt":"start","cards":")" + hand + R"("})");
    takeSent();
    headless::clearRecords();
    return desk;
}

void SceneTest::tapCard(const CardSprite* card) {
    const Rect box = card->getBoundingBox();
    headless::tap(box.getMinX() + 9, box.getMidY());
}

namespace {

Node* onlyChildOfRunningScene() {
    Scene* scene = Director::getInstance()->getRunningScene();
    if (scene == nullptr || scene->getChildrenCount() != 1) {
        return nullptr;
    }
    return scene->getChildren().front();
}

}  // namespace

CHallScene* SceneTest::runningHall() {
    return dynamic_cast<CHallScene*>(onlyChildOfRunningScene());
}

CDeskScene* SceneTest::runningDesk() {
    return dynamic_cast<CDeskScene*>(onlyChildOfRunningScene());
}

std::vector<std::string> SceneTest::takeSent() {
    std::vector<std::string> sent;
    sent.swap(m_sent);
    return sent;
}
