// Renders the hall and a desk in the middle of a game into the pictures directory, so that a
// person can look at them as a player would.

#include <cstdlib>
#include <filesystem>

#include "cards/CardSprite.h"
#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"
#include "scenes/hall/CRecordPanel.h"

using namespace engine;

namespace {

std::string picturePath(const std::string& name) {
    const char* dir = std::getenv("DESK_PICTURES_DIR");
    return (std::filesystem::path(dir != nullptr ? dir : ".") / name).string();
}

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

// The hall's record panel with a full record (20 games) and a full leaderboard (50 players),
// names as the server gives them (player N, computer players, a long one, Chinese ones).
TEST_F(ScenePicturesTest, RecordPanelAndLeaderboard) {
    CRecordPanel::book() = RecordBook{};
    CHallScene* hall = startHall();
    feed(R"({"opt":"query","online":"128","version":"28"})");
    feed(R"({"opt":"hello","status":"ok","resume":"0","records":"1"})");
    const char* partners[] = {"player12", "computer (hard)", "小明", "player3",
                              "computer (normal)"};
    const char* opponents[] = {"player8,computer (hard)", "老王,张三丰", "player41,player9",
                               "computer (easy),computer (easy)", "a-very-long-player-name,小红"};
    std::string record = R"({"opt":"record","games":"57","wins":"31","draws":"2",)"
                         R"("losses":"24","points":"5815","rating":"1563","last":[)";
    for (int i = 0; i < 20; ++i) {
        const int result = (i * 7 % 5) - 2;
        record += std::string(i == 0 ? "" : ",") + R"({"when":")" +
                  std::to_string(1796000000 - i * 3917) + R"(","result":")" +
                  std::to_string(result) + R"(","points":")" + std::to_string(100 + result * 35) +
                  R"(","partner":")" + partners[i % 5] + R"(","opponents":")" + opponents[i % 5] +
                  R"("})";
    }
    record += "]}";
    const char* names[] = {"张三丰", "小明", "老王", "李四"};
    std::string leaderboard = R"({"opt":"leaderboard","place":"12","top":[)";
    for (int i = 0; i < 50; ++i) {
        const int rating = 1640 - i * 5 - (i % 3);
        leaderboard += std::string(i == 0 ? "" : ",") + R"({"place":")" +
                       std::to_string(i + 1) + R"(","name":")" +
                       (i % 5 == 1 ? names[i / 5 % 4] : "player" + std::to_string(i * 37 % 97 + 2)) +
                       R"(","rating":")" +
                       std::to_string(rating) + R"(","games":")" + std::to_string(60 - i) +
                       R"("})";
    }
    leaderboard += "]}";

    headless::tap(968, 738);
    CRecordPanel* panel = HallProbe{*hall}.recordPanel();
    ASSERT_TRUE(panel->isOpen());
    feed(record);
    feed(leaderboard);
    ASSERT_EQ(CRecordPanel::book().recordState(), RecordBook::State::Shown);
    const std::string recordPath = picturePath("record-panel.png");
    ASSERT_TRUE(headless::saveFrame(recordPath));

    headless::tap(352, 670);
    const RecordPanelProbe probe{*panel};
    EXPECT_EQ(probe.leader(49, 0)->getString(), "50");
    EXPECT_TRUE(probe.rightHeading(0)->isVisible());
    const std::string leaderboardPath = picturePath("leaderboard.png");
    ASSERT_TRUE(headless::saveFrame(leaderboardPath));
    EXPECT_GT(std::filesystem::file_size(leaderboardPath), 0u);
}
