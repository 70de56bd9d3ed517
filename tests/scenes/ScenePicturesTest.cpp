// Renders the hall and a desk in the middle of a game into the pictures directory, so that a
// person can look at them as a player would.

#include <cstdlib>
#include <filesystem>

#include "cards/CardSprite.h"
#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

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
