#include "tests/scenes/SceneTestKit.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "net/MessageDecoder.h"
#include "scenes/common/CardSprite.h"
#include "scenes/common/SceneFlow.h"
#include "settings/CSettings.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/support/TestSystem.h"

using namespace engine;

std::vector<int> codesOf(const std::vector<CardSprite*>& cards) {
    std::vector<int> codes;
    for (const CardSprite* card : cards) {
        codes.push_back(card->m_card);
    }
    return codes;
}

std::string gameMessage(int per, const std::string& cards, int now, int must,
                        const std::string& surplus, int score) {
    return R"({"opt":"game","per":")" + std::to_string(per) + R"(","surplus":")" + surplus +
           R"(","now":")" + std::to_string(now) + R"(","cards":")" + cards + R"(","score":")" +
           std::to_string(score) + R"(","must":")" + std::to_string(must) + R"("})";
}

std::string changeMessage(const std::array<const char*, 4>& names) {
    std::string out = R"({"opt":"change","info":[)";
    for (std::size_t k = 0; k < names.size(); ++k) {
        out += std::string(k ? "," : "") + R"({"name":")" + names[k] + R"(","ready":"0"})";
    }
    return out + "]}";
}

void SceneTest::SetUp() {
    headless::install();
    // Fresh default settings in a folder of the test's own, never the user's.
    FileUtils::getInstance()->setWritablePath(testsys::makeTempDir("desk-scenes-test-settings"));
    UserDefault::destroyInstance();
    CSettings::applyAudio();
    // A player who chose a name at an earlier start, so no hall opens the name panel over the
    // table; the name panel's own tests clear it.
    CSettings::setPlayerName("测试玩家");
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

bool SceneTest::framesUntil(const std::function<bool()>& done, double seconds) {
    for (double waited = 0; waited < seconds; waited += 1.0 / 60) {
        if (done()) {
            return true;
        }
        headless::stepFrames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

CHallScene* SceneTest::startHall() {
    CHallScene* hall = CHallScene::create();
    EXPECT_NE(hall, nullptr);
    EXPECT_TRUE(showLayerInNewScene(hall));
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

CDeskScene* SceneTest::startMidGameDesk(bool queensRaised) {
    CDeskScene* desk = startDesk(12, 0, "me");
    DeskProbe probe{*desk};
    feed(R"({"opt":"change","info":[{"name":"me","ready":"1"},{"name":"Rainbow","ready":"1"},)"
         R"({"name":"Lotus","ready":"1"},{"name":"Pebble","ready":"1"}]})");
    headless::tap(512, 170);
    feed(R"({"opt":"start","cards":"0,1,4,6,8,9,10,13,16,17,19,22,25,28,30,31,34,37,40,41,44,)"
         R"(46,48,50,51,52,53"})");
    EXPECT_EQ(probe.hand().size(), 27u);
    feed(R"({"opt":"score","p0":"120","p1":"85"})");
    feed(R"({"opt":"game","per":"-1","now":"1","cards":"","surplus":"","score":"0","must":"1"})");
    feed(R"({"opt":"game","per":"1","now":"2","cards":"20,21","surplus":"25","score":"10",)"
         R"("must":"0"})");
    feed(R"({"opt":"game","per":"2","now":"3","cards":"","surplus":"27","score":"10","must":"0"})");
    feed(R"({"opt":"game","per":"3","now":"0","cards":"32,33","surplus":"20","score":"20",)"
         R"("must":"0"})");
    if (queensRaised && probe.hand().size() == 27u) {
        for (std::size_t i : {20u, 21u}) {  // 44 and 46
            const Rect box = probe.hand()[i]->getBoundingBox();
            headless::tap(box.getMinX() + 9, box.getMidY());
        }
        step(4.2);  // the countdown runs
    }
    return desk;
}
