// The hall: its look, the periodic query, quick join and the way to the desk.

#include <algorithm>

#include "engine/backend/headless/Headless.h"
#include "scenes/common/CSettingsPanel.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/ResourceShadow.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

const std::string kQuery = R"({"opt":"query"})";
const std::string kAdd = R"({"opt":"add"})";

std::string queryAnswer(const std::string& online) {
    return R"({"opt":"query","online":")" + online + R"(","version":"28"})";
}

std::size_t countOf(const std::vector<std::string>& sent, const std::string& text) {
    return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), text));
}

// The panels of kind `Panel` anywhere under `root`.
template <class Panel>
std::vector<Node*> panelsUnder(Node* root) {
    std::vector<Node*> found;
    for (Node* child : root->getChildren()) {
        if (dynamic_cast<Panel*>(child) != nullptr) {
            found.push_back(child);
        }
        const std::vector<Node*> deeper = panelsUnder<Panel>(child);
        found.insert(found.end(), deeper.begin(), deeper.end());
    }
    return found;
}

}  // namespace

class HallSceneTest : public SceneTest {};

TEST_F(HallSceneTest, FreshHallShowsItsLayoutPlaysMusicAndQueriesOnce) {
    CHallScene* hall = startHall();
    HallProbe probe{*hall};

    EXPECT_EQ(probe.online()->getString(), "online: 0");
    EXPECT_EQ(probe.online()->getPosition(), Vec2(512, 334));
    EXPECT_EQ(probe.online()->getLocalZOrder(), 2);
    EXPECT_EQ(probe.online()->getColor(), Color3B::WHITE);
    EXPECT_EQ(probe.quickJoin()->getPosition(), Vec2(512, 384));
    EXPECT_TRUE(probe.quickJoin()->isEnabled());
    EXPECT_EQ(takeSent(), std::vector<std::string>{kQuery});

    const auto played = headless::sounds();
    const auto music = std::find_if(played.begin(), played.end(), [](const auto& sound) {
        return sound.call == headless::SoundCall::PlayMusic;
    });
    ASSERT_NE(music, played.end());
    EXPECT_EQ(music->path, "sound/bj.mp3");
    EXPECT_TRUE(music->loop);
}

TEST_F(HallSceneTest, QueryAnswerShowsTheOnlineTextDirectlyAfterTheColon) {
    CHallScene* hall = startHall();
    feed(queryAnswer("17 players"));
    EXPECT_EQ(HallProbe{*hall}.online()->getString(), "online:17 players");
    EXPECT_EQ(CHallScene::makeOnlineText(""), "online:");
}

TEST_F(HallSceneTest, TakesAtMostOneMessagePerPoll) {
    CHallScene* hall = startHall();
    Label* online = HallProbe{*hall}.online();
    push(queryAnswer("1"));
    push(queryAnswer("2"));
    ASSERT_TRUE(stepUntil([&] { return online->getString() != "online: 0"; }, 0.2));
    EXPECT_EQ(online->getString(), "online:1");
    headless::stepFrames(4);  // less than a poll interval
    EXPECT_EQ(online->getString(), "online:1");
    ASSERT_TRUE(stepUntil([&] { return online->getString() != "online:1"; }, 0.2));
    EXPECT_EQ(online->getString(), "online:2");
}

// The counter starts at 1 and is tested before it grows, so the 100th poll (about 10 s in) sends
// the first periodic query.
TEST_F(HallSceneTest, SendsThePeriodicQueryOnTheHundredthPoll) {
    startHall();
    EXPECT_EQ(takeSent(), std::vector<std::string>{kQuery});
    step(9.8);
    EXPECT_EQ(countOf(takeSent(), kQuery), 0u);
    step(0.5);
    EXPECT_EQ(countOf(takeSent(), kQuery), 1u);
    step(9.5);
    EXPECT_EQ(countOf(takeSent(), kQuery), 0u);
    step(0.6);
    EXPECT_EQ(countOf(takeSent(), kQuery), 1u);
}

// Only hall polls count: a return from the desk keeps the phase of the first hall.
TEST_F(HallSceneTest, PollCounterSurvivesAReturnFromTheDesk) {
    startHall();
    step(5.0);  // about 50 polls
    feed(R"({"opt":"add","desk":"1","site":"0","name":"me"})");
    headless::stepFrames(1);
    ASSERT_NE(runningDesk(), nullptr);
    step(20.0);
    feed(R"({"opt":"timeout"})");
    headless::stepFrames(1);
    ASSERT_NE(runningHall(), nullptr);
    EXPECT_EQ(countOf(takeSent(), kQuery), 2u);  // one per hall created, none from the desk

    step(4.3);
    EXPECT_EQ(countOf(takeSent(), kQuery), 0u);
    step(1.2);
    EXPECT_EQ(countOf(takeSent(), kQuery), 1u);
}

TEST_F(HallSceneTest, QuickJoinActsOnlyWhenTheTouchEndsOnTheButton) {
    CHallScene* hall = startHall();
    ui::Button* button = HallProbe{*hall}.quickJoin();
    takeSent();
    for (auto type : {ui::Widget::TouchEventType::BEGAN, ui::Widget::TouchEventType::MOVED,
                      ui::Widget::TouchEventType::CANCELED}) {
        hall->onQuickJoin(button, type);
    }
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(takeSent().empty());

    headless::tap(512, 384);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(takeSent(), std::vector<std::string>{kAdd});

    headless::tap(512, 384);
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(HallSceneTest, AddAnswerOpensTheDeskForItsDeskAndSeat) {
    startHall();
    headless::tap(512, 384);
    headless::clearRecords();
    feed(R"({"opt":"add","desk":"5","site":"2","name":"bob"})");
    headless::stepFrames(1);

    CDeskScene* desk = runningDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};
    EXPECT_EQ(probe.deskLabel()->getString(), "Desk:5");
    EXPECT_EQ(probe.siteMap().at(2), probe.seats().at(0));
    const auto played = headless::sounds();
    EXPECT_TRUE(std::any_of(played.begin(), played.end(), [](const auto& sound) {
        return sound.call == headless::SoundCall::StopMusic && !sound.releaseData;
    }));
}

TEST_F(HallSceneTest, AddAnswerWithoutAPressStillOpensTheDesk) {
    startHall();
    feed(R"({"opt":"add","desk":"0","site":"3","name":""})");
    headless::stepFrames(1);
    EXPECT_NE(runningDesk(), nullptr);
}

TEST_F(HallSceneTest, OtherKindsAreDroppedAndLost) {
    CHallScene* hall = startHall();
    for (const char* json : {R"({"opt":"change","info":[]})", R"({"opt":"start","cards":"1,2"})",
                             R"({"opt":"game","per":"1","now":"2"})", R"({"opt":"timeout"})",
                             R"({"opt":"over"})", R"({"opt":"run","site":"1"})"}) {
        feed(json);
    }
    feed(queryAnswer("9"));
    EXPECT_EQ(runningHall(), hall);
    EXPECT_EQ(HallProbe{*hall}.online()->getString(), "online:9");
    EXPECT_TRUE(headless::messageBoxes().empty());
}

// A seat outside 0..3 names no seat: the player stays in the hall and may join again.
TEST_F(HallSceneTest, AddAnswerWithoutAValidSeatLeavesThePlayerInTheHall) {
    CHallScene* hall = startHall();
    for (const char* site : {"4", "-1", "7", "-5"}) {
        SCOPED_TRACE(site);
        headless::tap(512, 384);
        ASSERT_FALSE(HallProbe{*hall}.quickJoin()->isEnabled());
        feed(std::string(R"({"opt":"add","desk":"1","site":")") + site + R"(","name":"me"})");
        headless::stepFrames(1);
        EXPECT_EQ(runningHall(), hall);
        EXPECT_TRUE(HallProbe{*hall}.quickJoin()->isEnabled());
    }
}

// A desk that cannot be built (its button image is unreadable) keeps the hall, usable.
TEST_F(HallSceneTest, DeskThatCannotBeBuiltKeepsTheHallUsable) {
    CHallScene* hall = startHall();
    ResourceShadow broken({"return.png"});
    headless::tap(512, 384);
    takeSent();
    feed(R"({"opt":"add","desk":"1","site":"0","name":"me"})");
    headless::stepFrames(1);
    EXPECT_EQ(runningHall(), hall);
    EXPECT_TRUE(HallProbe{*hall}.quickJoin()->isEnabled());

    broken.lift();
    headless::tap(512, 384);
    EXPECT_EQ(takeSent(), std::vector<std::string>{kAdd});
    feed(R"({"opt":"add","desk":"1","site":"0","name":"me"})");
    headless::stepFrames(1);
    EXPECT_NE(runningDesk(), nullptr);
}

// Only the buttons are made with the hall: each hidden panel is built by the first press on its
// button, shown, and kept for the next press; one that cannot be built (its board unreadable)
// leaves the hall as it was and is built at the next press.
TEST_F(HallSceneTest, HiddenPanelsAreBuiltAtTheirButtonsFirstPressAndKept) {
    struct Row {
        const char* panel;
        Vec2 button;
        const char* board;
        std::vector<Node*> (*find)(Node*);
    };
    const Row rows[] = {
        {"settings", Vec2(32, 736), "settings_board.png", &panelsUnder<CSettingsPanel>},
        {"战绩", Vec2(968, 738), "record_panel.png", &panelsUnder<CRecordPanel>},
        {"加入牌桌", Vec2(774, 384), "settings_panel.png", &panelsUnder<CJoinPanel>},
        {"观战", Vec2(512, 270), "record_panel.png", &panelsUnder<CWatchPanel>},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.panel);
        CHallScene* hall = startHall();
        feed(R"({"opt":"hello","status":"ok","resume":"0","private":"1","watch":"1"})");
        step(0.2);
        for (const Row& kind : rows) {
            EXPECT_TRUE(kind.find(hall).empty()) << kind.panel << " built with the hall";
        }
        {
            ResourceShadow broken({row.board});
            headless::tap(row.button.x, row.button.y);
            EXPECT_TRUE(row.find(hall).empty());
            EXPECT_EQ(runningHall(), hall);
        }
        headless::tap(row.button.x, row.button.y);
        const std::vector<Node*> built = row.find(hall);
        ASSERT_EQ(built.size(), 1u);
        EXPECT_TRUE(built[0]->isVisible());
        headless::typeKey(EventKeyboard::KeyCode::KEY_ESCAPE);
        EXPECT_FALSE(built[0]->isVisible());
        headless::tap(row.button.x, row.button.y);
        EXPECT_EQ(row.find(hall), built) << "the panel built at the first press is reused";
        EXPECT_TRUE(built[0]->isVisible());
        headless::typeKey(EventKeyboard::KeyCode::KEY_ESCAPE);
        takeSent();
    }
    feed(R"({"opt":"hello","status":"ok","resume":"0"})");
}
