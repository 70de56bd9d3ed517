// Renders the hall and a desk in the middle of a game into the pictures directory, so that a
// person can look at them as a player would.

#include <filesystem>

#include "engine/backend/headless/Headless.h"
#include "scenes/common/CardSprite.h"
#include "scenes/desk/CSummaryPanel.h"
#include "scenes/hall/CRecordPanel.h"
#include "tests/kit/PicturePath.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

bool sameColour(DrawColor a, DrawColor b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

}  // namespace

class ScenePicturesTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        DeskProbe::setTrackerShown(false);
    }
    DeskProbe midGame() { return DeskProbe{*startMidGameDesk()}; }
};

TEST_F(ScenePicturesTest, Hall) {
    startHall();
    feed(R"({"opt":"query","online":"128","version":"28"})");
    const std::string path = picturePath("hall.png");
    ASSERT_TRUE(headless::saveFrame(path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
}

TEST_F(ScenePicturesTest, DeskMidGame) {
    DeskProbe probe{*startMidGameDesk(true)};
    ASSERT_EQ(probe.collectRaised().size(), 2u);
    ASSERT_TRUE(probe.play()->isVisible());

    const std::string path = picturePath("desk.png");
    ASSERT_TRUE(headless::saveFrame(path));
    // A raised card covers, 25 points higher, what a resting one leaves to the table.
    const CardSprite* raised = probe.hand()[20];
    const CardSprite* resting = probe.hand()[19];
    EXPECT_FALSE(sameColour(headless::pixelAt(raised->getPositionX(), 130),
                            headless::pixelAt(resting->getPositionX() - 60, 130)));
}

// The same moment with the helpers in use: the tracker opened with T, the hint pressed with H.
TEST_F(ScenePicturesTest, DeskWithTheHintAndTheTracker) {
    DeskProbe probe = midGame();
    headless::typeKey(EventKeyboard::KeyCode::KEY_T);
    headless::typeKey(EventKeyboard::KeyCode::KEY_H);
    step(2.2);
    // The lowest pair above the nines: the jacks.
    ASSERT_EQ(probe.collectRaised(), (std::vector<int>{40, 41}));
    ASSERT_TRUE(probe.trackerPanel()->isVisible());
    ASSERT_TRUE(probe.hint()->isVisible());
    // Sixes and nines: two of each shown by the right and the left seat, one of each held.
    EXPECT_EQ(probe.trackerPanel()->countText(3), "5");
    EXPECT_EQ(probe.trackerPanel()->countText(6), "5");

    const std::string path = picturePath("desk-helpers.png");
    ASSERT_TRUE(headless::saveFrame(path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
}

// The same moment with the local seat handed to the computer player (the banner over the turn
// buttons' row), the left seat's person gone (离线) and the right seat in 托管 too.
TEST_F(ScenePicturesTest, DeskInAutoWithPresenceTags) {
    DeskProbe probe = midGame();
    const DrawColor table = headless::pixelAt(512, 160);
    feed(R"({"opt":"presence","info":[{"away":"0","auto":"1"},{"away":"0","auto":"1"},)"
         R"({"away":"0","auto":"0"},{"away":"1","auto":"0"}]})");
    ASSERT_TRUE(probe.autoBanner()->isVisible());
    ASSERT_FALSE(probe.play()->isVisible());
    ASSERT_TRUE(probe.seat(3).away_tag->isVisible());

    const std::string path = picturePath("desk-auto.png");
    ASSERT_TRUE(headless::saveFrame(path));
    EXPECT_FALSE(sameColour(headless::pixelAt(512, 160), table)) << "the banner lies there";
}

// The middle of a game with 上一轮 held (L): the trick the left seat's nines and the local
// jacks fought over, the others' passes, over the trick now on the table.
TEST_F(ScenePicturesTest, DeskWithTheLastTrickHeld) {
    DeskProbe probe = midGame();
    feed(gameMessage(0, "40,41", 1, 0, "25", 20));
    feed(gameMessage(1, "", 2, 0, "25", 20));
    feed(gameMessage(2, "", 3, 0, "27", 20));
    feed(gameMessage(3, "", 0, 1, "20", 0));
    feed(R"({"opt":"score","p0":"140","p1":"85"})");
    feed(gameMessage(0, "8", 1, 0, "24", 0));
    feed(gameMessage(1, "12", 2, 0, "24", 0));
    const DrawColor table = headless::pixelAt(700, 500);
    headless::keyPress(EventKeyboard::KeyCode::KEY_L);
    step(0.2);
    ASSERT_TRUE(probe.lastTrickView()->isVisible());
    ASSERT_TRUE(headless::saveFrame(picturePath("desk-last-trick.png")));
    EXPECT_FALSE(sameColour(headless::pixelAt(700, 500), table)) << "the board lies there";
    headless::keyRelease(EventKeyboard::KeyCode::KEY_L);
    step(0.2);
    EXPECT_TRUE(sameColour(headless::pixelAt(700, 500), table)) << "the table is back";
}

// The summary after a game the local team won by going out first and second.
TEST_F(ScenePicturesTest, DeskSummaryAfterTheResult) {
    CDeskScene* desk = startDesk(12, 0, "me");
    DeskProbe probe{*desk};
    feed(R"({"opt":"change","info":[{"name":"me","ready":"1"},{"name":"Rainbow","ready":"1"},)"
         R"({"name":"Lotus","ready":"1"},{"name":"Pebble","ready":"1"}]})");
    headless::tap(512, 170);
    feed(R"({"opt":"start","cards":"0,1,2,36,48,49"})");
    feed(gameMessage(-1, "", 0, 1, "6"));
    feed(gameMessage(0, "36", 1, 0, "5", 10));
    feed(gameMessage(1, "50", 2, 0, "5", 20));
    feed(gameMessage(2, "", 3, 0, "6", 20));
    feed(gameMessage(3, "", 0, 0, "6", 20));
    feed(gameMessage(0, "", 1, 1, "5", 0));
    feed(R"({"opt":"score","p0":"0","p1":"20"})");
    feed(gameMessage(1, "16,17", 2, 0, "3", 10));
    feed(gameMessage(2, "44,45", 3, 0, "4", 10));
    feed(gameMessage(3, "", 0, 0, "6", 10));
    feed(gameMessage(0, "48,49", 1, 0, "3", 30));
    feed(gameMessage(1, "", 2, 0, "3", 30));
    feed(gameMessage(2, "", 3, 0, "4", 30));
    feed(gameMessage(3, "", 0, 1, "6", 0));
    feed(R"({"opt":"score","p0":"30","p1":"20"})");
    feed(gameMessage(0, "0,1,2", 1, 0, "0", 0));
    feed(gameMessage(1, "", 2, 0, "3", 0));
    feed(gameMessage(2, "4,5,6,7", -1, 0, "0", 0));
    feed(R"({"opt":"score","p0":"180","p1":"20"})");
    feed(R"({"opt":"over","info":[{"name":"me","result":"2"},{"name":"Rainbow","result":"-2"},)"
         R"({"name":"Lotus","result":"2"},{"name":"Pebble","result":"-2"}]})");
    ASSERT_TRUE(probe.summaryPanel()->isOpen());
    EXPECT_EQ(probe.summaryPanel()->teamText(), "我方 180 分（含余分 150）    对方 20 分");
    ASSERT_TRUE(headless::saveFrame(picturePath("desk-summary.png")));
}

// The hall's record panel with a full record (20 games) and leaderboard (50 players), names as
// the server gives them (player N, computer players) and Chinese ones.
TEST_F(ScenePicturesTest, RecordPanelAndLeaderboard) {
    CRecordPanel::book() = RecordBook{};
    CHallScene* hall = startHall();
    feed(R"({"opt":"hello","status":"ok","resume":"0","records":"1"})");
    const char* names[] = {"player12", "computer (hard)", "小明", "player3", "computer (normal)",
                           "老王", "张三丰", "player41", "computer (easy)", "李四"};
    std::string record = R"({"opt":"record","games":"57","wins":"31","draws":"2",)"
                         R"("losses":"24","points":"5815","rating":"1563","last":[)";
    std::string leaderboard = R"({"opt":"leaderboard","place":"12","top":[)";
    for (int i = 0; i < 50; ++i) {
        const std::string result = std::to_string(i * 7 % 5 - 2);
        if (i < 20) {
            record += std::string(i == 0 ? "" : ",") + R"({"when":")" +
                      std::to_string(1796000000 - i * 3917) + R"(","result":")" + result +
                      R"(","points":")" + std::to_string(100 + (i * 7 % 5 - 2) * 35) +
                      R"(","partner":")" + names[i % 5] + R"(","opponents":")" +
                      names[5 + i % 5] + "," + names[5 + (i + 2) % 5] + R"("})";
        }
        leaderboard += std::string(i == 0 ? "" : ",") + R"({"place":")" + std::to_string(i + 1) +
                       R"(","name":")" + (i == 2 ? "老王" : i == 7 ? "张三丰" : i == 30 ? "李四" : "player" +
                       std::to_string(i * 37 % 97 + 2)) + R"(","rating":")" +
                       std::to_string(1640 - i * 5) + R"(","games":")" + std::to_string(60 - i) +
                       R"("})";
    }
    headless::tap(968, 738);
    feed(record + "]}");
    feed(leaderboard + "]}");
    ASSERT_EQ(CRecordPanel::book().recordState(), RecordBook::State::Shown);
    ASSERT_TRUE(headless::saveFrame(picturePath("record-panel.png")));

    headless::tap(352, 670);
    ASSERT_NE(HallProbe{*hall}.recordPanel(), nullptr);
    const RecordPanelProbe probe{*HallProbe{*hall}.recordPanel()};
    EXPECT_EQ(probe.leader(49, 0)->getString(), "50");
    EXPECT_TRUE(probe.rightHeading(0)->isVisible());
    ASSERT_TRUE(headless::saveFrame(picturePath("leaderboard.png")));
}

// The hall offering watching (观战 under quick join), its watch panel with a list longer than the
// window (long names, computer players, games of more than an hour), a refusal, and the join
// panel with its 观战 key.
TEST_F(ScenePicturesTest, WatchPanelAndJoinPanelWatchKey) {
    CHallScene* hall = startHall();
    feed(R"({"opt":"query","online":"128","version":"28"})");
    feed(R"({"opt":"hello","status":"ok","resume":"0","private":"1","watch":"1"})");
    step(0.2);
    ASSERT_TRUE(HallProbe{*hall}.watch()->isVisible());
    ASSERT_TRUE(headless::saveFrame(picturePath("hall-watch.png")));

    const char* names[] = {"小明", "computer (hard)", "老王", "player41", "张三丰十二个字的名字啊",
                           "computer (easy)", "李四", "player7"};
    std::string desks = R"({"opt":"desks","info":[)";
    for (int i = 0; i < 23; ++i) {
        desks += std::string(i == 0 ? "" : ",") + R"({"desk":")" + std::to_string(i * 3 + 1) +
                 R"(","p0":")" + std::to_string(i * 35 % 260) + R"(","p1":")" +
                 std::to_string(i * 55 % 210) + R"(","seconds":")" + std::to_string(i * 413 % 4000) +
                 R"(","watchers":")" + std::to_string(i * 7 % 51) + R"(","seats":[)";
        for (int k = 0; k < 4; ++k) {
            const char* name = names[(i + k * 3) % 8];
            desks += std::string(k == 0 ? "" : ",") + R"({"name":")" + name + R"(","bot":")" +
                     (std::string(name).rfind("computer", 0) == 0 ? "1" : "0") + R"("})";
        }
        desks += "]}";
    }
    headless::tap(512, 270);
    feed(desks + "]}");
    headless::wheel(512, 384, 2);
    headless::tap(300, 566 - 48 * 3);
    feed(R"({"opt":"watch","status":"refused","reason":"desk full"})");
    ASSERT_NE(HallProbe{*hall}.watchPanel(), nullptr);
    ASSERT_EQ(HallProbe{*hall}.watchPanel()->list().size(), 23);
    ASSERT_TRUE(headless::saveFrame(picturePath("watch-panel.png")));

    headless::typeKey(EventKeyboard::KeyCode::KEY_ESCAPE);
    headless::tap(774, 384);
    for (int i = 0; i < 3; ++i) {
        headless::typeKey(EventKeyboard::KeyCode::KEY_4);
    }
    ASSERT_NE(HallProbe{*hall}.joinPanel(), nullptr);
    ASSERT_TRUE(HallProbe{*hall}.joinPanel()->isOpen());
    ASSERT_TRUE(headless::saveFrame(picturePath("join-watch.png")));
    feed(R"({"opt":"hello","status":"ok","resume":"0"})");
}
